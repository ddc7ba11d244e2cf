// Makes the catalogue's build files from its data file:
//
//   ulvren_text_generator TEXTS.tsv [--table OUT.cpp] [--ids OUT.h] [--resource-script OUT.rc]
//
// --table writes the compiled string table, --ids the header of TEXT_ constants and
// --resource-script the Windows resource script fragment. Exits non-zero, writing nothing, when
// the data file is faulty.

#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "text/generator/catalogue_source.h"
#include "text/generator/generated_sources.h"
#include "text/generator/string_table_layout.h"

namespace {

constexpr const char* kUsage =
    "usage: ulvren_text_generator TEXTS.tsv [--table OUT.cpp] [--ids OUT.h] "
    "[--resource-script OUT.rc]\n";

bool WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
    file.close();
    if (!file) {
        std::cerr << "ulvren_text_generator: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string input_path = argv[1];
    std::map<std::string, std::string> outputs;  // switch to path
    for (int arg = 2; arg < argc; arg += 2) {
        const std::string option = argv[arg];
        if (option != "--table" && option != "--ids" && option != "--resource-script") {
            std::cerr << kUsage;
            return 2;
        }
        outputs[option] = argv[arg + 1];
    }

    std::ifstream input(input_path, std::ios::binary);
    if (!input) {
        std::cerr << "ulvren_text_generator: cannot read " << input_path << "\n";
        return 1;
    }
    const std::string file_text{std::istreambuf_iterator<char>(input),
                                std::istreambuf_iterator<char>()};
    std::string error;
    const auto source = ulvren::ParseCatalogueSource(file_text, error);
    if (!source) {
        std::cerr << input_path << ": " << error << "\n";
        return 1;
    }

    bool ok = true;
    for (const auto& [option, path] : outputs) {
        if (option == "--table") {
            ok &= WriteFile(path, ulvren::CompiledTableSource(ulvren::LayOutStringTable(*source)));
        } else if (option == "--ids") {
            ok &= WriteFile(path, ulvren::TextIdsHeader(*source));
        } else {
            ok &= WriteFile(path, ulvren::ResourceScript(*source));
        }
    }
    return ok ? 0 : 1;
}

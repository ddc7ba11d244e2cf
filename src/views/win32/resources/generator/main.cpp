// Writes the dialog templates and the main window's initialisation data from the one table of
// ui/dialog_templates.cpp, for the resource compiler:
//
//   ulvren_resource_generator OUT.rc

#include <fstream>
#include <iostream>
#include <vector>

#include "host/platform.h"
#include "ui/control_ids.h"
#include "views/win32/resources/generator/dialog_init_script.h"
#include "views/win32/resources/generator/dialog_script.h"

namespace {

// The list items travel in the template's initialisation data in code page 936 (GBK).
constexpr unsigned kListItemsCodePage = 936;

}  // namespace

int main(int argc, char** argv) {
    using namespace ulvren;
    if (argc != 2) {
        std::cerr << "usage: ulvren_resource_generator OUT.rc\n";
        return 2;
    }
    std::vector<std::string> items;
    for (const std::string_view item : kDiskTypeListItems) {
        const auto gbk = platform::Utf8ToCodePage(item, kListItemsCodePage);
        if (!gbk) {
            std::cerr << "ulvren_resource_generator: a list item has no GBK bytes\n";
            return 1;
        }
        items.push_back(*gbk);
    }
    const std::vector<std::string_view> item_views(items.begin(), items.end());

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Made by ulvren_resource_generator from ui/dialog_templates.cpp; edit that file.\n\n"
        << "#pragma code_page(65001)\n\n"
        << "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED\n\n";
    for (const DialogTemplate* dialog :
         {&MainWindowTemplate(), &EnterPasswordTemplate(), &ChangePasswordTemplate()}) {
        out << DialogScript(*dialog) << "\n";
    }
    out << DialogInitScript(static_cast<std::uint16_t>(IDD_MAIN_WINDOW),
                            static_cast<std::uint16_t>(CONTROL_DISK_TYPE_LIST), item_views);
    out.close();
    if (!out) {
        std::cerr << "ulvren_resource_generator: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

// Writes the initialisation data of the main window's template (the disk-type list's items):
//
//   ulvren_dialog_init_generator OUT.rc

#include <fstream>
#include <iostream>

#include "resources/generator/dialog_init_script.h"
#include "ui/disk_type_items.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: ulvren_dialog_init_generator OUT.rc\n";
        return 2;
    }
    constexpr std::uint16_t kMainWindowTemplate = 102;
    constexpr std::uint16_t kDiskTypeList = 1016;
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Made by ulvren_dialog_init_generator from ui/disk_type_items.h; edit that file.\n"
        << ulvren::DialogInitScript(kMainWindowTemplate, kDiskTypeList, ulvren::kDiskTypeItemsGbk);
    out.close();
    if (!out) {
        std::cerr << "ulvren_dialog_init_generator: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

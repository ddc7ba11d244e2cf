#include "views/win32/dialog_init_data.h"

#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/byte_order.h"
#include "views/win32/ansi_text.h"

namespace ulvren::views::win32 {
namespace {

constexpr WORD kDialogInitResourceType = 240;  // RT_DLGINIT
constexpr WORD kComboBoxAddString16 = 0x403;
constexpr unsigned kListItemsCodePage = 936;
// Each record: control id (16 bits), message (16 bits), data length (32 bits), the data.
constexpr std::size_t kRecordHeaderSize = 8;

std::span<const std::uint8_t> DialogInitData(HINSTANCE instance, int template_id) {
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(template_id),
                                      MAKEINTRESOURCEA(kDialogInitResourceType));
    const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, found)};
}

}  // namespace

void ExecuteDialogInit(HINSTANCE instance, HWND dialog, int template_id) {
    const auto data = DialogInitData(instance, template_id);
    std::size_t at = 0;
    while (at + 2 <= data.size()) {
        const WORD control = LoadLe16(data, at);
        if (control == 0 || at + kRecordHeaderSize > data.size()) {
            return;
        }
        const WORD message = LoadLe16(data, at + 2);
        const std::uint32_t length = LoadLe32(data, at + 4);
        at += kRecordHeaderSize;
        if (length > data.size() - at) {
            return;
        }
        std::string_view item(reinterpret_cast<const char*>(data.data() + at), length);
        if (!item.empty() && item.back() == '\0') {
            item.remove_suffix(1);
        }
        if (message == kComboBoxAddString16) {
            const std::wstring wide = CodePageToWide(item, kListItemsCodePage);
            SendDlgItemMessageW(dialog, control, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(wide.c_str()));
        }
        at += length;
    }
}

}  // namespace ulvren::views::win32

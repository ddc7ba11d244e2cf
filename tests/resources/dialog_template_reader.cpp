#include "dialog_template_reader.h"

namespace ulvren {
namespace {

constexpr std::uint32_t kSetFont = 0x40;    // DS_SETFONT
constexpr std::uint32_t kShellFont = 0x48;  // DS_SHELLFONT

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }

    std::uint32_t Read(std::size_t size) {
        if (at_ + size > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
        }
        at_ += size;
        return value;
    }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Read(2)); }
    std::int16_t Short() { return static_cast<std::int16_t>(Read(2)); }
    std::uint32_t Dword() { return Read(4); }

    std::u16string String() {
        std::u16string text;
        while (ok_) {
            const std::uint16_t unit = Word();
            if (unit == 0) {
                break;
            }
            text += static_cast<char16_t>(unit);
        }
        return text;
    }

    // A name or an ordinal (0xFFFF then the number); predefined classes by their names.
    std::u16string NameOrOrdinal() {
        const std::uint16_t first = Word();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            static const char16_t* const kClasses[] = {u"BUTTON",  u"EDIT",      u"STATIC",
                                                       u"LISTBOX", u"SCROLLBAR", u"COMBOBOX"};
            const std::uint16_t ordinal = Word();
            if (ordinal >= 0x80 && ordinal <= 0x85) {
                return kClasses[ordinal - 0x80];
            }
            return u"#" + std::u16string(1, static_cast<char16_t>(ordinal));
        }
        std::u16string text(1, static_cast<char16_t>(first));
        return text + String();
    }

    void AlignTo4() { at_ = (at_ + 3) & ~std::size_t{3}; }
    void Skip(std::size_t size) { at_ += size; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

void PrintTo(const CompiledControl& control, std::ostream* out) {
    const auto narrow = [](const std::u16string& text) {
        std::string ascii;
        for (char16_t c : text) {
            ascii += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return ascii;
    };
    *out << "{id " << control.id << ", " << narrow(control.window_class) << ", \""
         << narrow(control.caption) << "\", " << control.x << "," << control.y << " " << control.cx
         << "x" << control.cy << ", style 0x" << std::hex << control.style << ", ex 0x"
         << control.ex_style << std::dec << "}";
}

std::optional<CompiledDialog> ReadDialogTemplate(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    if (in.Word() != 1 || in.Word() != 0xFFFF) {
        return std::nullopt;
    }
    CompiledDialog dialog;
    in.Dword();  // help id
    dialog.ex_style = in.Dword();
    dialog.style = in.Dword();
    const std::uint16_t count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    in.NameOrOrdinal();  // menu
    in.NameOrOrdinal();  // window class
    dialog.title = in.String();
    if ((dialog.style & kSetFont) != 0 || (dialog.style & kShellFont) == kShellFont) {
        dialog.point_size = in.Word();
        dialog.weight = in.Word();
        dialog.italic = static_cast<std::uint8_t>(in.Read(1));
        dialog.charset = static_cast<std::uint8_t>(in.Read(1));
        dialog.typeface = in.String();
    }
    for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
        in.AlignTo4();
        CompiledControl control;
        in.Dword();  // help id
        control.ex_style = in.Dword();
        control.style = in.Dword();
        control.x = in.Short();
        control.y = in.Short();
        control.cx = in.Short();
        control.cy = in.Short();
        control.id = in.Dword();
        // Class names are compared without regard to case: upper case here.
        for (char16_t c : in.NameOrOrdinal()) {
            control.window_class += c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
        }
        control.caption = in.NameOrOrdinal();
        in.Skip(in.Word());  // creation data
        dialog.controls.push_back(std::move(control));
    }
    if (!in.ok()) {
        return std::nullopt;
    }
    return dialog;
}

}  // namespace ulvren

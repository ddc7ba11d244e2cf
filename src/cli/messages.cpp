#include "cli/messages.h"

#include "text/text_catalogue.h"

namespace ulvren::cli {
namespace {

constexpr std::string_view kPrefix = "ulvren: ";

}  // namespace

std::string FillText(TextId id, UiLanguage language, const std::vector<std::string>& arguments) {
    const std::string text = LocalizedTextUtf8(id, language);
    std::string filled;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t close = text.find('}', at);
        if (text[at] == '{' && close != std::string::npos && close - at == 2 &&
            text[at + 1] >= '1' && text[at + 1] <= '9') {
            const auto index = static_cast<std::size_t>(text[at + 1] - '1');
            if (index < arguments.size()) {
                filled += arguments[index];
                at = close + 1;
                continue;
            }
        }
        filled += text[at++];
    }
    return filled;
}

std::string Messages::Line(const Message& message) const {
    return std::string(kPrefix) + FillText(message.text, language_, message.arguments) + '\n';
}

void Messages::Say(const Message& message) const {
    err_ << Line(message) << std::flush;
}

void Messages::SayAsIs(std::string_view text) const {
    err_ << kPrefix << text << '\n' << std::flush;
}

}  // namespace ulvren::cli

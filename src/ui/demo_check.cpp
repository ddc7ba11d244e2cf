#include "ui/demo_check.h"

#include "text/text_catalogue.h"
#include "text/text_ids.h"

namespace ulvren {

std::optional<int> DemoCheck::Conclude(std::string_view capacity) {
    if (concluded_ || !shown_after_ms_ || capacity.empty()) {
        return std::nullopt;
    }
    concluded_ = true;
    const bool found = capacity.ends_with(" MB");
    out_ << program_ << ": window shown " << *shown_after_ms_
         << " ms after start; capacity field \"" << capacity << "\"; "
         << (found ? "recorder found" : "no recorder found") << std::endl;
    return found ? 0 : 1;
}

std::optional<int> DemoCheck::BoxShown(std::string_view text, UiLanguage language) {
    out_ << program_ << ": the window says \"" << text << "\"" << std::endl;
    if (concluded_ || text == LocalizedTextUtf8(TEXT_WAITING_FOR_RECORDER, language)) {
        return std::nullopt;
    }
    concluded_ = true;
    out_ << program_ << ": no recorder found" << std::endl;
    return 1;
}

int DemoCheck::Deadline() {
    concluded_ = true;
    out_ << program_ << ": no detection within " << kDeadline.count() << " s" << std::endl;
    return 1;
}

}  // namespace ulvren

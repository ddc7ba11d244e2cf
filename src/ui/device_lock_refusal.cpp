#include "ui/device_lock_refusal.h"

#include "text/text_catalogue.h"
#include "text/text_ids.h"

namespace ulvren {

std::string DeviceLockRefusalText(const HostError& reason, UiLanguage language) {
    std::string text = LocalizedTextUtf8(TEXT_DEVICE_LOCK_REFUSED, language);
    if (!reason.text.empty()) {
        text += '\n' + reason.text;
    }
    return text;
}

}  // namespace ulvren

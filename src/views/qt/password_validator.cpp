#include "views/qt/password_validator.h"

#include <utility>

namespace ulvren::views::qt {

PasswordValidator::PasswordValidator(std::function<bool(std::string_view text)> fits,
                                     QObject* parent)
    : QValidator(parent), fits_(std::move(fits)) {}

QValidator::State PasswordValidator::validate(QString& input, int& /*position*/) const {
    const QByteArray utf8 = input.toUtf8();
    return fits_(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))
               ? Acceptable
               : Invalid;
}

}  // namespace ulvren::views::qt

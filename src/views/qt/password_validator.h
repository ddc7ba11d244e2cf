#pragma once

#include <QValidator>
#include <functional>
#include <string_view>

namespace ulvren::views::qt {

// Refuses every edit after which the text would no longer fit (typed, pasted or dropped): the
// edit then keeps the text it had.
class PasswordValidator final : public QValidator {
  public:
    PasswordValidator(std::function<bool(std::string_view text)> fits, QObject* parent);

    State validate(QString& input, int& position) const override;

  private:
    std::function<bool(std::string_view text)> fits_;
};

}  // namespace ulvren::views::qt

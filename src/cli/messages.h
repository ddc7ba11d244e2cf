#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_id.h"
#include "text/ui_language.h"

namespace ulvren::cli {

// One of the command line's own messages: a catalogue text and what fills its places "{1}",
// "{2}" and so on.
struct Message {
    TextId text = 0;
    std::vector<std::string> arguments;
};

// Text `id` in `language` with its places filled; a place without an argument stays as it is.
std::string FillText(TextId id, UiLanguage language, const std::vector<std::string>& arguments);

// Where the command line says what it could not do: the standard error stream, each message a
// line of its own after "ulvren: ", in the user's language.
class Messages {
  public:
    Messages(std::ostream& err, UiLanguage language) : err_(err), language_(language) {}

    // The whole line of `message`, "ulvren: " to the line's end, for whoever writes it later.
    std::string Line(const Message& message) const;
    void Say(const Message& message) const;
    void Say(TextId id, std::initializer_list<std::string> arguments = {}) const {
        Say(Message{id, arguments});
    }
    // Words that are not the command line's own: the system's, a host's or a simulated file's.
    void SayAsIs(std::string_view text) const;

    UiLanguage Language() const { return language_; }

  private:
    std::ostream& err_;
    UiLanguage language_;
};

}  // namespace ulvren::cli

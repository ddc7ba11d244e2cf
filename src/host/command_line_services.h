#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the command line needs of the system beyond the device: the terminal, the standard
// streams and the requests to end the program. Each platform implements all of it
// (src/hosts/<platform>/); the windows use only the requests to end the program.
namespace ulvren::platform {

// Why ReadHiddenLines read no passwords.
enum class HiddenInputFailure {
    None,
    NoTerminal,  // there is no terminal (console) to read from
    ReadFailed,  // the input ended early or a line was longer than the bound
};

// Reads one line per prompt from the terminal with echo off (prompts go to the terminal too, so
// standard output stays clean). Empty, with `failure` set, when there is no terminal, the input
// ends early or a line is longer than `max_line_bytes`. The terminal gets its echo back whatever
// ends the reading, a signal included, and while the program is stopped (job control); typing
// stays hidden when it goes on.
std::optional<std::vector<std::string>> ReadHiddenLines(const std::vector<std::string>& prompts,
                                                        std::size_t max_line_bytes,
                                                        HiddenInputFailure& failure);

// True when the standard error stream is a terminal (a console), where a line may update in place.
bool StandardErrorIsTerminal();

// Makes sure the standard input, output and error streams are open (a closed one is opened on
// the null device), so that nothing the program opens later takes the place of one of them. Call
// it before anything else is opened. False when that cannot be done.
bool EnsureStandardStreamsOpen();

// Holds off the requests to end the program (Ctrl-C, a termination request, the terminal going
// away, a logout) for as long as it lives: the first request writes `notice` to the standard
// error stream, calls `on_request` (when given) on a thread of the deferral's own, and the program
// goes on; a second one ends it at once. Requests that whoever started the program told it to
// ignore stay ignored. One deferral at a time.
class EndRequestDeferral {
  public:
    virtual ~EndRequestDeferral() = default;
};
std::unique_ptr<EndRequestDeferral> DeferEndRequests(std::string notice,
                                                     std::function<void()> on_request = {});

// The character set of the user's terminal where it is not UTF-8 (a zh_TW.Big5 or zh_CN.GBK
// locale): the program's texts are converted into it, and what is typed in it is converted to
// UTF-8 before anything else looks at it.
class TerminalCharset {
  public:
    virtual ~TerminalCharset() = default;
    // What the terminal shows for `utf8`; a character it has no way to show becomes "?".
    virtual std::string FromUtf8(std::string_view utf8) const = 0;
    // The UTF-8 of what was typed; empty when it is not text in the terminal's character set.
    virtual std::optional<std::string> ToUtf8(std::string_view typed) const = 0;
};
// Null when the terminal takes UTF-8 (or plain ASCII): there is nothing to convert.
std::unique_ptr<TerminalCharset> OpenTerminalCharset();

}  // namespace ulvren::platform

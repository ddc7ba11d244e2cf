#pragma once

#include <memory>
#include <streambuf>
#include <string>

#include "host/command_line_services.h"

namespace ulvren::cli {

// Passes text on to another stream buffer in the terminal's character set. An incomplete UTF-8
// sequence waits for its end; everything else goes out at each flush.
class CharsetStreamBuf final : public std::streambuf {
  public:
    CharsetStreamBuf(std::streambuf& target, const platform::TerminalCharset& charset)
        : target_(target), charset_(charset) {}

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    std::streambuf& target_;
    const platform::TerminalCharset& charset_;
    std::string pending_;
};

// For as long as it lives, standard output and error write in the terminal's character set
// where that is not UTF-8; elsewhere it does nothing.
class TerminalText {
  public:
    explicit TerminalText(std::unique_ptr<platform::TerminalCharset> charset);
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

  private:
    std::unique_ptr<platform::TerminalCharset> charset_;
    std::unique_ptr<CharsetStreamBuf> out_;
    std::unique_ptr<CharsetStreamBuf> err_;
    std::streambuf* original_out_ = nullptr;
    std::streambuf* original_err_ = nullptr;
};

}  // namespace ulvren::cli

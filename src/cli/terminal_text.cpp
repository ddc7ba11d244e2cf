#include "cli/terminal_text.h"

#include <iostream>

namespace ulvren::cli {
namespace {

// How many bytes at the end of `text` start a UTF-8 sequence that has not ended yet.
std::size_t IncompleteTail(const std::string& text) {
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back for the lead
        }
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

}  // namespace

CharsetStreamBuf::int_type CharsetStreamBuf::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        pending_ += traits_type::to_char_type(c);
    }
    return traits_type::not_eof(c);
}

std::streamsize CharsetStreamBuf::xsputn(const char* text, std::streamsize count) {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
}

int CharsetStreamBuf::sync() {
    const std::size_t complete = pending_.size() - IncompleteTail(pending_);
    const std::string converted = charset_.FromUtf8(std::string_view(pending_).substr(0, complete));
    pending_.erase(0, complete);
    const auto size = static_cast<std::streamsize>(converted.size());
    if (target_.sputn(converted.data(), size) != size) {
        return -1;
    }
    return target_.pubsync();
}

TerminalText::TerminalText(std::unique_ptr<platform::TerminalCharset> charset)
    : charset_(std::move(charset)) {
    if (!charset_) {
        return;
    }
    out_ = std::make_unique<CharsetStreamBuf>(*std::cout.rdbuf(), *charset_);
    err_ = std::make_unique<CharsetStreamBuf>(*std::cerr.rdbuf(), *charset_);
    original_out_ = std::cout.rdbuf(out_.get());
    original_err_ = std::cerr.rdbuf(err_.get());
}

TerminalText::~TerminalText() {
    if (!charset_) {
        return;
    }
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(original_out_);
    std::cerr.rdbuf(original_err_);
}

}  // namespace ulvren::cli

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pictog {

// How much of a text quoteForMessage keeps.
enum class QuoteLength {
    Shortened, // an item of input: beyond MaxQuotedCharacters characters it ends in "…"
    Whole, // a file name or a whole message: every character
};

// Characters of a shortened quote before the "…".
constexpr std::size_t MaxQuotedCharacters = 60;

// The text as a message may show it: every control byte written as \xNN (C0, DEL, the UTF-8
// form of a C1 control and a lone byte 0x80-0x9F, which 8-bit terminals read as C1), so that a
// crafted line or file name cannot send escape sequences to a terminal. Other bytes, also ones
// that are not valid UTF-8, pass unchanged. A shortened quote counts an escape as one character
// and never cuts a UTF-8 sequence.
std::string quoteForMessage(std::string_view text, QuoteLength length = QuoteLength::Shortened);

} // namespace pictog

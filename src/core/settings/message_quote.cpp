#include "settings/message_quote.h"

#include <algorithm>

namespace pictog {

namespace {

    // The length of the valid UTF-8 sequence starting at text[i], or 0 when none starts there.
    std::size_t utf8Length(std::string_view text, std::size_t i)
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead >= 0xf0 && lead <= 0xf4 ? 4
            : lead >= 0xe0                                      ? 3
            : lead >= 0xc2 && lead <= 0xdf                      ? 2
                                                                : 0;
        if (length == 0 || i + length > text.size())
            return 0;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80)
                return 0;
        return length;
    }

} // namespace

std::string quoteForMessage(std::string_view text, QuoteLength length)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(std::min<std::size_t>(text.size(), 4 * MaxQuotedCharacters));
    auto escape = [&](unsigned char byte) {
        out += "\\x";
        out += digits[byte >> 4];
        out += digits[byte & 15];
    };
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (length == QuoteLength::Shortened && characters == MaxQuotedCharacters) {
            out += "\xe2\x80\xa6"; // …
            break;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7f)
                escape(byte);
            else
                out += static_cast<char>(byte);
            ++i;
            continue;
        }
        const std::size_t sequence = utf8Length(text, i);
        if (sequence == 2 && byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080..U+009F: terminals that take C1 controls read U+009B as CSI.
            escape(byte);
            escape(static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else if (sequence > 0) {
            out.append(text.substr(i, sequence));
            i += sequence;
        } else {
            if (byte <= 0x9f)
                escape(byte);
            else
                out += static_cast<char>(byte);
            ++i;
        }
    }
    return out;
}

} // namespace pictog

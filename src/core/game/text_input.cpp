#include "game/text_input.h"

#include <cstring>

namespace pictog::game {

ReadFunction readFromString(std::string_view text)
{
    return [text](char* buffer, std::size_t capacity) mutable {
        const std::size_t count = text.size() < capacity ? text.size() : capacity;
        std::memcpy(buffer, text.data(), count);
        text.remove_prefix(count);
        return count;
    };
}

TextInput::TextInput(ReadFunction read, std::size_t capacity)
    : m_read(std::move(read))
    , m_buffer(capacity)
{
}

bool TextInput::refill(std::size_t count)
{
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_consumed += m_pos;
        m_pos = 0;
    }
    while (!m_eof && m_end < count) {
        const std::size_t got = m_read(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got == 0)
            m_eof = true;
        m_end += got;
    }
    return m_end >= count;
}

bool TextInput::readLine(std::string& line, std::size_t maxLength, bool& truncated)
{
    line.clear();
    truncated = false;
    if (peek() < 0)
        return false;
    for (;;) {
        const char* begin = data();
        const std::size_t size = available();
        std::size_t length = 0;
        while (length < size && begin[length] != '\n' && begin[length] != '\r')
            ++length;
        const std::size_t room = maxLength - line.size();
        if (length > room)
            truncated = true;
        line.append(begin, length < room ? length : room);
        skip(length);
        const int c = peek();
        if (c < 0)
            return true;
        if (c == '\n' || c == '\r') {
            skip();
            if (c == '\r' && peek() == '\n')
                skip();
            return true;
        }
    }
}

bool isValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned min;
        unsigned value;
        if ((c & 0xE0) == 0xC0) {
            more = 1, min = 0x80, value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, min = 0x800, value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, value = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i] & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

void repairEncoding(std::string& text)
{
    bool high = false;
    for (const char c : text)
        high |= static_cast<unsigned char>(c) >= 0x80;
    if (!high || isValidUtf8(text))
        return;
    std::string utf8;
    utf8.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    text.swap(utf8);
}

} // namespace pictog::game

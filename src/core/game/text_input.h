#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pictog::game {

// Fills the buffer with up to capacity bytes of input and returns how many it wrote; 0 at the end
// of the input (or after a read error, which the function's owner keeps).
using ReadFunction = std::function<std::size_t(char* buffer, std::size_t capacity)>;

// A read function over bytes in memory, for tests and for text given as an argument.
ReadFunction readFromString(std::string_view text);

// Buffered forward reading over a read function, in constant memory: the readers of games and
// lines look at the buffered bytes directly and ask for more only at the end of what is there.
class TextInput
{
public:
    explicit TextInput(ReadFunction read, std::size_t capacity = 1 << 16);

    // The byte at the read position (0..255), or -1 at the end of the input.
    int peek()
    {
        if (m_pos < m_end)
            return static_cast<unsigned char>(m_buffer[m_pos]);
        return ensure(1) ? static_cast<unsigned char>(m_buffer[m_pos]) : -1;
    }
    void skip(std::size_t count = 1) { m_pos += count; }
    // Makes at least count bytes visible at data() when the input still holds them (count must
    // not exceed the capacity); returns whether it did.
    bool ensure(std::size_t count) { return m_end - m_pos >= count || refill(count); }
    const char* data() const { return m_buffer.data() + m_pos; }
    std::size_t available() const { return m_end - m_pos; }
    std::size_t capacity() const { return m_buffer.size(); }
    // Reads up to the next line end (LF, CR LF or CR) into line, which is cleared first, and
    // skips the line end. Bytes past maxLength are skipped, and truncated says so. False at the
    // end of the input, when no line is left.
    bool readLine(std::string& line, std::size_t maxLength, bool& truncated);
    // Bytes taken from the input so far.
    unsigned long long consumed() const { return m_consumed + m_pos; }

private:
    bool refill(std::size_t count);

    ReadFunction m_read;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    unsigned long long m_consumed = 0;
    bool m_eof = false;
};

// True when the text is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view text);
// Text that is not valid UTF-8 is taken as Latin-1 and replaced by its UTF-8 form; valid text is
// left alone.
void repairEncoding(std::string& text);

} // namespace pictog::game

#pragma once

#include <cstddef>
#include <vector>

namespace pictog::cli {

// Reads lines from a file descriptor one byte at a time without ever holding a whole line, so
// memory stays constant whatever the length of a line or of the input. A CR directly before the
// line feed (or the end of the input) is not part of the line.
class LineReader {
public:
    explicit LineReader(int fd, std::size_t bufferSize = 1 << 16);

    // Moves to the next line, dropping what is left of the current one; false when the input
    // holds no further line. An input that ends without a line feed still ends with a line.
    bool nextLine();

    // The next byte of the current line, or -1 at its end.
    int next()
    {
        if (m_lineDone)
            return -1;
        if (m_pos == m_end && !fill())
            return endLine();
        const unsigned char c = m_buffer[m_pos++];
        if (c == '\n')
            return endLine();
        if (c == '\r')
            return carriageReturn();
        return c;
    }

    // True once reading failed with an error other than the end of the input.
    bool failed() const { return m_failed; }

private:
    bool fill();
    int endLine()
    {
        m_lineDone = true;
        return -1;
    }
    int carriageReturn();

    int m_fd;
    std::vector<unsigned char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    bool m_failed = false;
    bool m_lineDone = true;
};

// Reads the bytes of one string as a single line, for a position given as an argument; the
// text is taken exactly as given.
class StringLine {
public:
    explicit StringLine(const char* text)
        : m_pos(reinterpret_cast<const unsigned char*>(text))
    {
    }
    int next() { return *m_pos ? *m_pos++ : -1; }

private:
    const unsigned char* m_pos;
};

} // namespace pictog::cli

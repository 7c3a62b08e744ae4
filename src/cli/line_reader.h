#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

namespace pictog::cli {

// The bytes of one line that lies whole in memory, read front to back.
struct LineView {
    const unsigned char* pos;
    const unsigned char* end;

    // The next byte 0..255, or -1 at the end of the line.
    int next() { return pos < end ? *pos++ : -1; }
};

// Reads lines from a file descriptor in constant memory whatever the length of a line or of the
// input. A CR directly before the line feed (or the end of the input) is not part of the line.
class LineReader
{
public:
    explicit LineReader(int fd, std::size_t bufferSize = 1 << 16);

    // Calls fn(source) for each line of the input, where source offers next() → byte or -1 at
    // the end of the line; fn may stop reading anywhere, the rest of the line is skipped. A line
    // that fits the buffer is handed over as a LineView; a longer one is streamed through this
    // reader byte by byte. An input that ends without a line feed still ends with a line.
    template <class Fn> void forEachLine(Fn&& fn)
    {
        for (;;) {
            const unsigned char* const begin = m_buffer.data() + m_pos;
            const void* const lineFeed = std::memchr(begin, '\n', m_end - m_pos);
            if (lineFeed) {
                const auto* end = static_cast<const unsigned char*>(lineFeed);
                m_pos = static_cast<std::size_t>(end - m_buffer.data()) + 1;
                if (end > begin && end[-1] == '\r')
                    --end;
                LineView line { begin, end };
                fn(line);
                continue;
            }
            // No line feed in what is buffered: move the partial line to the front and read more
            // behind it, unless the buffer is already full of it.
            if (m_pos > 0 || m_end < m_buffer.size()) {
                if (m_pos > 0) {
                    std::memmove(m_buffer.data(), begin, m_end - m_pos);
                    m_end -= m_pos;
                    m_pos = 0;
                }
                if (readMore())
                    continue;
                if (m_end == 0)
                    return;
                // The last line, without a line feed.
                const unsigned char* const start = m_buffer.data();
                const unsigned char* end = start + m_end;
                if (end[-1] == '\r')
                    --end;
                m_pos = m_end = 0;
                LineView line { start, end };
                fn(line);
                return;
            }
            // A line longer than the buffer: stream it.
            m_lineDone = false;
            fn(*this);
            skipLine();
        }
    }

    // The next byte of the line being streamed, or -1 at its end.
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

    // True once reading failed with an error other than the end of the input; the input then
    // counts as ended, and error() is the errno of the failed read.
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

private:
    // Replaces the buffer's contents with the next block of input; false at its end.
    bool fill();
    // Appends input behind the buffered bytes; false when nothing more comes.
    bool readMore();
    void skipLine()
    {
        while (!m_lineDone)
            next();
    }
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
    int m_error = 0;
    bool m_lineDone = true;
};

// Reads the bytes of one string as a single line, for a position given as an argument; the
// text is taken exactly as given.
class StringLine
{
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

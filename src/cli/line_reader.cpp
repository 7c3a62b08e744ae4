#include "line_reader.h"

#include <cerrno>
#include <unistd.h>

namespace pictog::cli {

LineReader::LineReader(int fd, std::size_t bufferSize)
    : m_fd(fd)
    , m_buffer(bufferSize)
{
}

bool LineReader::fill()
{
    if (m_eof)
        return false;
    for (;;) {
        const ssize_t count = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (count > 0) {
            m_pos = 0;
            m_end = static_cast<std::size_t>(count);
            return true;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            m_failed = true;
        m_eof = true;
        m_pos = m_end = 0;
        return false;
    }
}

int LineReader::carriageReturn()
{
    if (m_pos == m_end && !fill())
        return endLine();
    if (m_buffer[m_pos] == '\n') {
        ++m_pos;
        return endLine();
    }
    return '\r';
}

bool LineReader::nextLine()
{
    while (!m_lineDone)
        next();
    if (m_pos == m_end && !fill())
        return false;
    m_lineDone = false;
    return true;
}

} // namespace pictog::cli

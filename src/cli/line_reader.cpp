#include "line_reader.h"

#include <cerrno>
#include <unistd.h>

namespace pictog::cli {

LineReader::LineReader(int fd, std::size_t bufferSize)
    : m_fd(fd)
    , m_buffer(bufferSize)
{
}

bool LineReader::readMore()
{
    while (!m_eof && m_end < m_buffer.size()) {
        const ssize_t count = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (count > 0) {
            m_end += static_cast<std::size_t>(count);
            return true;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            m_error = errno;
        m_eof = true;
    }
    return false;
}

bool LineReader::fill()
{
    m_pos = m_end = 0;
    return readMore();
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

} // namespace pictog::cli

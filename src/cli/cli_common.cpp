#include "cli_common.h"

#include "settings/message_quote.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace pictog::cli {

Output::Output(int fd, std::size_t capacity)
    : m_fd(fd)
    , m_data(new char[capacity])
    , m_capacity(capacity)
{
}

Output::~Output()
{
    flush();
}

void Output::write(const char* data, std::size_t size)
{
    if (m_size + size > m_capacity) {
        flush();
        if (size > m_capacity) {
            // Too big to buffer: write it straight through.
            writeAll(data, size);
            return;
        }
    }
    std::memcpy(m_data.get() + m_size, data, size);
    m_size += size;
}

bool Output::flush()
{
    writeAll(m_data.get(), m_size);
    m_size = 0;
    return !m_failed;
}

bool Output::writeAll(const char* data, std::size_t size)
{
    while (size > 0 && !m_failed) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_failed = true;
            m_error = errno;
            break;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return !m_failed;
}

Arguments::Arguments(int argc, char** argv, int first)
{
    for (int i = first; i < argc; ++i)
        m_args.push_back(argv[i]);
}

const char* Arguments::take()
{
    const std::string_view arg = m_args[m_pos];
    if (arg == "-h" || arg == "--help")
        throw HelpRequested {};
    return m_args[m_pos++];
}

const char* Arguments::value(std::string_view option)
{
    if (empty())
        throw UsageError("option " + std::string(option) + " needs a value");
    return m_args[m_pos++];
}

std::string numberedOutputPath(
    const std::string& folder, long lineNumber, std::string_view extension)
{
    char number[24];
    std::snprintf(number, sizeof number, "%04ld.", lineNumber);
    std::string path = folder;
    path += number;
    path += extension;
    return path;
}

void reportReadError(Output& err, int error)
{
    err.write("pictog-cli: cannot read the input: ");
    err.write(std::strerror(error));
    err.put('\n');
}

void reportLine(Output& err, long lineNumber, std::string_view message)
{
    err.write("pictog-cli: line ");
    err.write(std::to_string(lineNumber));
    err.write(": ");
    err.write(quoteForMessage(message, QuoteLength::Whole));
    err.put('\n');
}

} // namespace pictog::cli

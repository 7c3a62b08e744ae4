#pragma once

#include "line_reader.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pictog::cli {

// Exit codes shared by every command.
constexpr int ExitOk = 0;
constexpr int ExitRejected = 1;
constexpr int ExitUsage = 2;

// A wrong command line: reported as one line on stderr followed by the usage text, exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options that come before the command.
struct GlobalOptions {
    std::string iniFile; // empty: built-in defaults
};

// A large write buffer over a file descriptor; write errors are remembered, not thrown.
class Output {
public:
    explicit Output(int fd, std::size_t capacity = 1 << 16);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(const char* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }
    void put(char c)
    {
        if (m_size == m_capacity)
            flush();
        m_data[m_size++] = c;
    }
    // Room for size bytes (at most the capacity) at the end of the buffer; commit(size) after
    // writing into it.
    char* reserve(std::size_t size)
    {
        if (m_size + size > m_capacity)
            flush();
        return m_data.get() + m_size;
    }
    void commit(std::size_t size) { m_size += size; }
    bool flush();
    bool failed() const { return m_failed; }

private:
    bool writeAll(const char* data, std::size_t size);

    int m_fd;
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity;
    bool m_failed = false;
};

// The arguments of one command after its name, with helpers for options that take a value.
class Arguments {
public:
    Arguments(int argc, char** argv, int first);

    bool empty() const { return m_pos >= m_args.size(); }
    // The next argument without consuming it; empty when there is none.
    std::string_view peek() const { return empty() ? std::string_view() : m_args[m_pos]; }
    const char* take() { return m_args[m_pos++]; }
    // The value of an option whose name was just taken; a missing value is a usage error.
    const char* value(std::string_view option);
    std::size_t remaining() const { return m_args.size() - m_pos; }

private:
    std::vector<const char*> m_args;
    std::size_t m_pos = 0;
};

// Reports a rejected line on stderr as "pictog-cli: line N: MESSAGE".
void reportLine(Output& err, long lineNumber, std::string_view message);

// Calls fn(lineNumber, source) for the position given as the argument (line 1), or for each line
// of stdin when position is null. source offers next() → byte or -1 at the end of the line.
template <class Fn>
void forEachInputLine(const char* position, Fn&& fn)
{
    if (position) {
        StringLine source(position);
        fn(1L, source);
        return;
    }
    LineReader reader(0);
    long lineNumber = 0;
    while (reader.nextLine())
        fn(++lineNumber, reader);
}

// The commands over FEN/EPD lines.
int runNormalize(const GlobalOptions& options, Arguments& args, Output& out, Output& err);
int runValidate(const GlobalOptions& options, Arguments& args, Output& out, Output& err);
int runTransform(const GlobalOptions& options, Arguments& args, Output& out, Output& err);

} // namespace pictog::cli

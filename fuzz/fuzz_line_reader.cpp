// pictog-cli's line reader: whatever the buffer size and however read() splits the input (short
// reads, interruptions, a read error), the lines it hands over are those of a plain split on
// line feeds with one CR before each line end dropped; a consumer that stops early still gets
// the next line whole, the parser reads a streamed line as it reads the same text from memory,
// and nothing is read again once the input has ended.
#include "fuzz_check.h"

#include "line_reader.h"
#include "position/epd_line.h"
#include "position/epd_parser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

// The fuzz target is linked with --wrap=read: every read() of the line reader comes here, and
// reads of the fake descriptor are answered from the script below.
extern "C" ssize_t __real_read(int fd, void* data, std::size_t size);
extern "C" ssize_t __wrap_read(int fd, void* data, std::size_t size);

namespace {

using namespace pictog;

// A small deterministic generator for chunk sizes and consumer behaviour.
struct Steps {
    std::uint32_t state;
    std::uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

struct ReadScript {
    int fd = -1;
    std::string_view input;
    std::size_t delivered = 0;
    int readsBeforeError = -1; // -1: never fails
    int reads = 0;
    bool interruptSome = false;
    std::size_t maxChunk = 1;
    Steps steps { 1 };
    bool ended = false; // a read returned 0 or failed
    bool readAfterEnd = false;
    bool failed = false;
};

ReadScript g_script;

ssize_t scriptedRead(void* data, std::size_t size)
{
    ReadScript& s = g_script;
    if (s.ended)
        s.readAfterEnd = true;
    if (s.interruptSome && s.steps.next() % 4 == 0) {
        errno = EINTR;
        return -1;
    }
    if (s.readsBeforeError >= 0 && s.reads == s.readsBeforeError) {
        s.ended = true;
        s.failed = true;
        errno = EIO;
        return -1;
    }
    ++s.reads;
    const std::size_t left = s.input.size() - s.delivered;
    if (left == 0) {
        s.ended = true;
        return 0;
    }
    std::size_t chunk = 1 + s.steps.next() % s.maxChunk;
    chunk = std::min({ chunk, size, left });
    std::memcpy(data, s.input.data() + s.delivered, chunk);
    s.delivered += chunk;
    return static_cast<ssize_t>(chunk);
}

// The lines of the text: split on LF, one CR before each line end dropped, no line after a final
// LF.
std::vector<std::string> referenceLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

bool sameOutcome(const EpdParse& a, const EpdParse& b)
{
    return a.accepted == b.accepted && a.message == b.message && a.board == b.board
        && a.panel == b.panel;
}

// What the consumer did with one line.
struct SeenLine {
    enum class Mode { ReadAll, ReadSome, Parse } mode;
    std::string bytes; // ReadAll, ReadSome
    std::size_t limit = 0; // ReadSome
    EpdParse parse; // Parse
};

} // namespace

extern "C" ssize_t __wrap_read(int fd, void* data, std::size_t size)
{
    if (fd == g_script.fd && fd >= 0)
        return scriptedRead(data, size);
    return __real_read(fd, data, size);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A descriptor number of our own that no other part of the process reads.
    g_script.fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(g_script.fd >= 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const std::size_t bufferSize = provider.ConsumeIntegralInRange<std::size_t>(1, 96);
    ReadScript& script = g_script;
    const int fd = script.fd;
    script = ReadScript {};
    script.fd = fd;
    script.readsBeforeError = provider.ConsumeIntegralInRange<int>(-1, 40);
    if (script.readsBeforeError >= 20)
        script.readsBeforeError = -1; // most runs read to the end
    script.interruptSome = provider.ConsumeBool();
    script.maxChunk = provider.ConsumeIntegralInRange<std::size_t>(1, 200);
    script.steps.state = provider.ConsumeIntegral<std::uint32_t>();
    Steps consumer { provider.ConsumeIntegral<std::uint32_t>() };
    const std::string text = provider.ConsumeRemainingBytesAsString();
    script.input = text;

    std::vector<SeenLine> seen;
    EpdParse reused;
    pictog::cli::LineReader reader(fd, bufferSize);
    reader.forEachLine([&](auto& source) {
        SeenLine line { static_cast<SeenLine::Mode>(consumer.next() % 3), {}, 0, {} };
        switch (line.mode) {
        case SeenLine::Mode::ReadAll:
            for (int c; (c = source.next()) != -1;)
                line.bytes.push_back(static_cast<char>(c));
            // The end of a line stays the end.
            FUZZ_CHECK(source.next() == -1);
            break;
        case SeenLine::Mode::ReadSome:
            line.limit = consumer.next() % 8;
            for (int c; line.bytes.size() < line.limit && (c = source.next()) != -1;)
                line.bytes.push_back(static_cast<char>(c));
            break;
        case SeenLine::Mode::Parse:
            detail::parseEPDLineInto(source, reused);
            line.parse = reused;
            break;
        }
        seen.push_back(std::move(line));
    });

    FUZZ_CHECK(!script.readAfterEnd);
    FUZZ_CHECK(reader.failed() == script.failed);
    if (script.failed)
        FUZZ_CHECK(reader.error() == EIO);
    else
        FUZZ_CHECK(script.delivered == text.size());

    const std::vector<std::string> expected
        = referenceLines(std::string_view(text).substr(0, script.delivered));
    FUZZ_CHECK(seen.size() == expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const SeenLine& line = seen[i];
        switch (line.mode) {
        case SeenLine::Mode::ReadAll:
            FUZZ_CHECK(line.bytes == expected[i]);
            break;
        case SeenLine::Mode::ReadSome:
            FUZZ_CHECK(line.bytes == expected[i].substr(0, line.limit));
            break;
        case SeenLine::Mode::Parse:
            FUZZ_CHECK(sameOutcome(line.parse, ParseEPDLine(expected[i])));
            break;
        }
    }
    return 0;
}

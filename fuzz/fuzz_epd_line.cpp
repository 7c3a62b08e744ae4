// FEN/EPD lines: any text is either accepted or rejected with one of the parser's messages, an
// accepted line's built form reads back as the same position, and the parser gives the same
// answer whichever byte source it reads from and whatever an earlier parse left in its result.
#include "fuzz_check.h"

#include "position/epd_line.h"
#include "position/epd_parser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace pictog;

// A source that hands out one byte per call and keeps answering -1 once the text has ended,
// counting the calls made after the end.
struct CountingSource {
    std::string_view text;
    std::size_t pos = 0;
    int callsAfterEnd = 0;

    int next()
    {
        if (pos < text.size())
            return static_cast<unsigned char>(text[pos++]);
        ++callsAfterEnd;
        return -1;
    }
};

bool isParserMessage(const std::string& message)
{
    if (message == MsgRankError || message == MsgPositionError || message == MsgMoveRightError
        || message == MsgEpFieldError)
        return true;
    // "c - Invalid character ...": one character, a UTF-8 sequence of up to four bytes.
    const std::size_t suffix = message.size() - MsgInvalidCharSuffix.size();
    return message.size() > MsgInvalidCharSuffix.size()
        && std::string_view(message).substr(suffix) == MsgInvalidCharSuffix && suffix <= 4;
}

bool sameOutcome(const EpdParse& a, const EpdParse& b)
{
    return a.accepted == b.accepted && a.message == b.message && a.board == b.board
        && a.panel == b.panel;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const EpdParse parse = ParseEPDLine(text);
    FUZZ_CHECK(parse.accepted == parse.message.empty());
    if (!parse.accepted)
        FUZZ_CHECK(isParserMessage(parse.message));

    // Another source over the same bytes.
    CountingSource counting { text };
    const EpdParse streamed = detail::parseEPDLine(counting);
    FUZZ_CHECK(sameOutcome(parse, streamed));
    FUZZ_CHECK(counting.callsAfterEnd <= 1);

    // A result reused after a parse that filled every field, as pictog-cli reuses one per run.
    EpdParse reused;
    StringByteSource busy("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq e3 99 998");
    detail::parseEPDLineInto(busy, reused);
    StringByteSource again(text);
    detail::parseEPDLineInto(again, reused);
    FUZZ_CHECK(sameOutcome(parse, reused));

    // Whatever the outcome, the state left behind can be written; an accepted line's built form
    // is accepted again and gives the same board, panel and text.
    const std::string built = BuildEPDLine(parse.board, parse.panel);
    FUZZ_CHECK(built.size() <= MaxEpdLineLength);
    if (parse.accepted) {
        const EpdParse reread = ParseEPDLine(built);
        FUZZ_CHECK(reread.accepted);
        FUZZ_CHECK(reread.board == parse.board);
        FUZZ_CHECK(reread.panel == parse.panel);
        FUZZ_CHECK(BuildEPDLine(reread.board, reread.panel) == built);
    }
    return 0;
}

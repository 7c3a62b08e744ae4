#pragma once

// Reading a record line ("FEN<TAB>id \"x\"; c0 \"y\"; [%cal Ge2e4]"): the position streamed into
// the parser, the text after the TAB kept for the operations and the arrows and marks.
#include "cli_common.h"

#include "diagram/annotations.h"
#include "export/html_diagram.h"
#include "game/epd_operations.h"
#include "position/epd_parser.h"

#include <optional>
#include <string>

namespace pictog::cli {

// Text after the TAB of an input line longer than this is not read.
constexpr std::size_t MaxAnnotationText = 1 << 16;

// The bytes of a record line up to the TAB that starts its operations, as recordPosition splits
// it: a TAB directly followed by a letter, '[' or '{'. Any other TAB is handed on, so the lines
// read before records existed read exactly as they did. finish() keeps what follows that TAB.
template <class Source> class RecordPositionSource
{
public:
    explicit RecordPositionSource(Source& in)
        : m_in(in)
    {
    }

    int next()
    {
        if (m_ended)
            return -1;
        int c;
        if (m_pending != NoByte) {
            c = m_pending;
            m_pending = NoByte;
        } else {
            c = m_in.next();
        }
        if (c == '\t') {
            const int following = m_in.next();
            if (following >= 0 && game::startsRecordTail(static_cast<char>(following))) {
                m_ended = true;
                m_tail = true;
                m_pending = following;
                return -1;
            }
            m_pending = following;
        }
        if (c == -1)
            m_ended = true;
        return c;
    }

    // Reads the rest of the line into afterTab (the text after the operations' TAB, up to
    // MaxAnnotationText bytes): false when it is longer.
    bool finish(std::string& afterTab)
    {
        while (next() != -1) { }
        if (!m_tail)
            return true;
        bool fits = true;
        for (int c = m_pending; c != -1; c = m_in.next()) {
            if (afterTab.size() < MaxAnnotationText)
                afterTab.push_back(static_cast<char>(c));
            else
                fits = false;
        }
        m_pending = NoByte;
        return fits;
    }

private:
    static constexpr int NoByte = -2;
    Source& m_in;
    int m_pending = NoByte;
    bool m_ended = false;
    bool m_tail = false;
};

// What a record line adds to the position: the captions its id and c0 give and its arrows and
// marks. message is set when the text after the TAB cannot be read.
struct RecordExtras {
    std::string id;
    std::string c0;
    Annotations annotations;
    std::string message;
};

// Reads the text after a record line's TAB: EPD operations with [%cal]/[%csl] commands between
// them, the arrows and marks added to base as parseAnnotationComment adds them. Text that does
// not read as operations is read as before records existed, as a comment whose [%cal]/[%csl]
// commands alone count.
RecordExtras readRecordExtras(std::string_view afterTab, const Annotations& base = {});

// The captions of the export options, with the record's id as the first header and its c0 as the
// first footer where the options leave those empty.
Captions recordCaptions(const Captions& given, const RecordExtras& extras);

// A line read for an export: the parsed position and the record's extras. message is the
// parser's message, the extras' message or the length fault; empty when the line gives a
// position.
struct RecordRead {
    EpdParse parse;
    RecordExtras extras;
    std::string message;
};

template <class Source> RecordRead readRecord(Source& source, const Annotations& base = {})
{
    RecordRead read;
    RecordPositionSource<Source> position(source);
    read.parse = detail::parseEPDLine(position);
    std::string afterTab;
    const bool fits = position.finish(afterTab);
    if (!read.parse.accepted) {
        read.message = read.parse.message;
        return read;
    }
    if (!fits) {
        read.message = "annotation text after the TAB is too long";
        return read;
    }
    read.extras = readRecordExtras(afterTab, base);
    read.message = read.extras.message;
    return read;
}

} // namespace pictog::cli

#pragma once

// The FEN/EPD line reader, written over a forward-only byte source so that the same code reads a
// pasted string and, in the command-line tool, a line of any length straight from a stream.
//
// A line holds up to six fields, each separated from the next by exactly one space:
//
//   placement  side  castling  en-passant  half-move-clock  move-number
//   rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1
//
// placement   squares from a8 along each rank to h1: piece letters PNBRQK / pnbrqk, digits 1..8 for
//             runs of empty squares; a "/" is skipped wherever it stands, so rank boundaries are
//             not checked, but the whole field must describe exactly 64 squares.
// side        "w" or "b"; further letters up to the next space are ignored ("white" reads as w).
// castling    "-" or letters K, Q, k, q in any order, repeats allowed; the first other character
//             ends the field without complaint.
// en-passant  "-" or one of a3, a6, ..., h3, h6 (case-sensitive); characters after the first two
//             up to the next space are ignored.
// counters    the rest of the line, trimmed; read only when it holds two space-separated values,
//             each a decimal integer or else its default (0 and 1), clamped to 0..100 and 1..999.
//
// Any field after the placement may be missing, so four-field EPD lines read with counters 0 and
// 1. Because fields are split on single spaces, a doubled space makes the following field start
// with a blank; that is deliberate and matches what users of the window have always seen.

#include "epd_line.h"

#include <climits>

namespace pictog::detail {

// Piece code of each byte that is a FEN piece letter, 0 for every other byte.
struct PieceLetterTable {
    unsigned char code[256] {};
    constexpr PieceLetterTable()
    {
        const char letters[] = "PNBRQKpnbrqk";
        for (int i = 0; i < 12; ++i)
            code[static_cast<unsigned char>(letters[i])] = static_cast<unsigned char>(i + 1);
    }
};
inline constexpr PieceLetterTable pieceLetters {};

inline int pieceCodeOfLetter(int c)
{
    return c >= 0 ? pieceLetters.code[c & 0xFF] : 0;
}

inline bool isTrimmable(int c)
{
    return c >= 0 && c <= ' ';
}

// Reads a decimal integer with an optional sign, followed only by trimmable bytes, up to a
// space (stopAtSpace) or the end. Leading trimmable bytes must already be skipped. Returns the
// byte that ended the token (' ' or -1); valid is false for anything that is not such an integer,
// including values outside the 32-bit range.
template <class Source>
int readCounterToken(Source& in, int c, bool stopAtSpace, int& value, bool& valid)
{
    long long magnitude = 0;
    bool negative = false;
    bool digits = false;
    bool trailing = false;
    valid = true;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = in.next();
    }
    for (; c != -1 && !(stopAtSpace && c == ' '); c = in.next()) {
        if (!trailing && c >= '0' && c <= '9') {
            digits = true;
            if (magnitude <= INT_MAX)
                magnitude = magnitude * 10 + (c - '0');
        } else if (isTrimmable(c)) {
            trailing = true;
        } else {
            valid = false;
        }
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (!digits || signedValue < INT_MIN || signedValue > INT_MAX)
        valid = false;
    value = valid ? static_cast<int>(signedValue) : 0;
    return c;
}

template <class Source> void appendCharacter(std::string& out, Source& in, int c)
{
    out.push_back(static_cast<char>(c));
    // Report a multi-byte UTF-8 character whole rather than a lone lead byte.
    int more = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
    while (more-- > 0) {
        const int follow = in.next();
        if (follow < 0 || (follow & 0xC0) != 0x80)
            break;
        out.push_back(static_cast<char>(follow));
    }
}

// Parses one line from the source into result, which is reset first (its message buffer is
// kept, so a caller that parses many lines reuses one result).
template <class Source> void parseEPDLineInto(Source& in, EpdParse& result)
{
    result.accepted = false;
    result.message.clear();
    result.board.Clear();
    result.panel = PanelState {};
    auto fail = [&result](std::string_view message) { result.message.assign(message); };

    // Placement. The board starts empty and the stream only moves forward, so each square is
    // written at most once and a run of empty squares only moves the counters. The file counter
    // wraps to the next rank after h; on the first rank it runs on past h1 (those squares are
    // not placed), capped at 10, where the outcome no longer changes.
    int rank = 7;
    int file = 0;
    int c = in.next();
    while (c != -1 && c != ' ') {
        if (c == '/') {
            c = in.next();
            // A slash that ends the text has nothing after it to read.
            if (c == -1)
                return fail(MsgPositionError);
        }
        if (c >= '1' && c <= '8') {
            // The limit is 9, not 8: a run may spill one square over into the next rank.
            file += c - '0';
            if (file > 9)
                return fail(MsgRankError);
            if (file > 7 && rank > 0) {
                --rank;
                file -= 8;
            }
        } else if (const int piece = pieceCodeOfLetter(c)) {
            if (file <= 7)
                result.board.SetPiece(piece, squareIndex(file, rank));
            if (file < 10)
                ++file;
            if (file > 7 && rank > 0) {
                --rank;
                file = 0;
            }
        } else {
            appendCharacter(result.message, in, c);
            result.message.append(MsgInvalidCharSuffix);
            return;
        }
        c = in.next();
    }
    if (rank != 0 || file != 8)
        return fail(MsgPositionError);

    auto skipToSpace = [&in](int from) {
        while (from != -1 && from != ' ')
            from = in.next();
        return from;
    };
    auto accept = [&result]() { result.accepted = true; };
    if (c == -1)
        return accept();

    // Side to move.
    c = in.next();
    if (c == 'w')
        result.panel.moveRight = 0;
    else if (c == 'b')
        result.panel.moveRight = 1;
    else
        return fail(MsgMoveRightError);
    if (skipToSpace(in.next()) == -1)
        return accept();

    // Castling rights. A text ending right after the separating space has no castling field;
    // it is accepted as if the field were absent.
    c = in.next();
    if (c != '-') {
        for (;; c = in.next()) {
            if (c == 'K')
                result.panel.whiteShortCastling = true;
            else if (c == 'Q')
                result.panel.whiteLongCastling = true;
            else if (c == 'k')
                result.panel.blackShortCastling = true;
            else if (c == 'q')
                result.panel.blackLongCastling = true;
            else
                break;
        }
    }
    if (skipToSpace(c) == -1)
        return accept();

    // En-passant square; an empty field at the end of the text is taken as absent, like castling.
    c = in.next();
    if (c == -1)
        return accept();
    if (c != '-') {
        const int second = in.next();
        const int entry
            = second < 0 ? 0 : epEntryFor(static_cast<char>(c), static_cast<char>(second));
        if (entry == 0)
            return fail(MsgEpFieldError);
        result.panel.epField = entry;
        c = in.next();
    }
    if (skipToSpace(c) == -1)
        return accept();

    // Counters: the trimmed rest must hold a space; a lone number is not read.
    c = in.next();
    while (isTrimmable(c))
        c = in.next();
    if (c == -1)
        return accept();
    int halfMove = 0;
    bool halfMoveValid = false;
    c = readCounterToken(in, c, true, halfMove, halfMoveValid);
    if (c == -1)
        return accept();
    c = in.next();
    while (isTrimmable(c))
        c = in.next();
    if (c == -1)
        return accept();
    int moveNumber = 1;
    bool moveNumberValid = false;
    readCounterToken(in, c, false, moveNumber, moveNumberValid);
    result.panel.setHalfMoveClock(halfMoveValid ? halfMove : 0);
    result.panel.setMoveNumber(moveNumberValid ? moveNumber : 1);
    accept();
}

// Parses one line from the source; see ParseEPDLine.
template <class Source> EpdParse parseEPDLine(Source& in)
{
    EpdParse result;
    parseEPDLineInto(in, result);
    return result;
}

} // namespace pictog::detail

// Piece lists: any text, for either colour, ends ignored, completed or failed with one of the
// reader's messages; every placement is a square of the board and a piece of the list's colour,
// and the board they make builds a line that reads back unchanged.
#include "fuzz_check.h"

#include "position/epd_line.h"
#include "position/piece_list.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace pictog;

std::size_t trimmedLength(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return end - begin;
}

bool isReaderMessage(const std::string& message, PieceColor color)
{
    const bool white = color == PieceColor::White;
    return message == (white ? "no white piece position string" : "no black piece position string")
        || message
        == (white ? "error in white piece position string" : "error in black piece position string")
        || message == "letter a-h expected" || message == "digit 1-8 expected";
}

void check(std::string_view text, PieceColor color)
{
    const PieceListOutcome outcome = ReadPieceList(text, color);
    using Status = PieceListOutcome::Status;
    FUZZ_CHECK((outcome.status == Status::Ignored) == (trimmedLength(text) < 4));
    FUZZ_CHECK((outcome.status == Status::Failed) == !outcome.message.empty());
    if (outcome.status == Status::Failed)
        FUZZ_CHECK(isReaderMessage(outcome.message, color));
    if (outcome.status == Status::Ignored)
        FUZZ_CHECK(outcome.placements.empty());
    // Each placement takes at least the two characters of its square.
    FUZZ_CHECK(outcome.placements.size() <= text.size() / 2);

    const bool white = color == PieceColor::White;
    for (const Placement& placement : outcome.placements) {
        FUZZ_CHECK(isOnBoard(placement.square));
        FUZZ_CHECK(placement.piece == Empty
            || (white ? placement.piece >= WhitePawn && placement.piece <= WhiteKing
                      : placement.piece >= BlackPawn && placement.piece <= BlackKing));
    }

    TChessPosition board = emptyPosition();
    applyPlacements(board, outcome.placements);
    const std::string line = BuildEPDLine(board, PanelState {});
    const EpdParse reread = ParseEPDLine(line);
    FUZZ_CHECK(reread.accepted);
    FUZZ_CHECK(reread.board == board);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, PieceColor::White);
    check(text, PieceColor::Black);
    return 0;
}

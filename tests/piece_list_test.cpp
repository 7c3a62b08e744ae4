#include "position/epd_line.h"
#include "position/piece_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictog {
namespace {

    using Status = PieceListOutcome::Status;
    constexpr PieceColor White = PieceColor::White;
    constexpr PieceColor Black = PieceColor::Black;

    struct Case {
        const char* text;
        PieceColor color;
        Status status;
        const char* message;
        // The squares the list sets, as "Ke1 Pa2 -d4" (a dash for an emptied square; the
        // colour follows from the list).
        const char* placed;
    };

    // "Ke1 Bd2 -d4" → placements in order.
    std::vector<Placement> placementsOf(const char* text, PieceColor color)
    {
        std::vector<Placement> result;
        const std::string letters = "-PNBRQK";
        for (const char* p = text; *p;) {
            if (*p == ' ') {
                ++p;
                continue;
            }
            int piece = static_cast<int>(letters.find(p[0]));
            if (piece > 0 && color == Black)
                piece += 6;
            result.push_back({ piece, squareIndex(p[1] - 'a', p[2] - '1') });
            p += 3;
        }
        return result;
    }

    class PieceList : public testing::TestWithParam<Case>
    {
    };

    TEST_P(PieceList, ReadsTheSquaresAndReportsTheFirstError)
    {
        const Case& c = GetParam();
        const PieceListOutcome outcome = ReadPieceList(c.text, c.color);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.placements, placementsOf(c.placed, c.color));
    }

    INSTANTIATE_TEST_SUITE_P(Lists, PieceList,
        testing::Values(
            // Letter sets: "B" is a bishop in English and a pawn in German.
            Case { "wKe1", White, Status::Completed, "", "Ke1" },
            Case { "wKe1Qd1Pa2b2c2", White, Status::Completed, "", "Ke1 Qd1 Pa2 Pb2 Pc2" },
            Case { "WKe1Bd2", White, Status::Completed, "", "Ke1 Pd2" },
            Case { "wKe1Bd2", White, Status::Completed, "", "Ke1 Bd2" },
            Case { "wLc1Bd2", White, Status::Completed, "", "Bc1 Pd2" },
            Case { "wDd1Bb2", White, Status::Completed, "", "Qd1 Pb2" },
            Case { "wTa1Bb2", White, Status::Completed, "", "Ra1 Pb2" },
            Case { "wSb1Bb2", White, Status::Completed, "", "Nb1 Pb2" },
            Case { "wBb1Lc1Bd1", White, Status::Completed, "", "Bb1 Bc1 Pd1" },
            Case { "WKe1Dd1Ta1Lc1Sb1Pa2", White, Status::Completed, "", "Ke1 Qd1 Ra1 Bc1 Nb1 Pa2" },
            Case { "bKe8Qd8Ra8Bc8Nb8Pa7", Black, Status::Completed, "", "Ke8 Qd8 Ra8 Bc8 Nb8 Pa7" },
            Case { "bLc8Bd7", Black, Status::Completed, "", "Bc8 Bd7" },
            Case { "bDd8Tb8Sc8Bd7", Black, Status::Completed, "", "Qd8 Rb8 Nc8 Bd7" },
            Case { "sKe8Bd7", Black, Status::Completed, "", "Ke8 Pd7" },
            // Squares before the first piece letter are emptied.
            Case { "wd4e4", White, Status::Completed, "", "-d4 -e4" },
            Case { "bh8Ka1", Black, Status::Completed, "", "-h8 Ka1" },
            // Blanks around the text are dropped; one character left at the end is ignored.
            Case { "  wKe1\t ", White, Status::Completed, "", "Ke1" },
            Case { "wKe1Q", White, Status::Completed, "", "Ke1" },
            Case { "we12", White, Status::Completed, "", "-e1" },
            // Too short: nothing happens and nothing is said.
            Case { "", White, Status::Ignored, "", "" },
            Case { "wK", White, Status::Ignored, "", "" },
            Case { "wKe", White, Status::Ignored, "", "" },
            Case { "  wKe  ", White, Status::Ignored, "", "" },
            Case { "xKe", White, Status::Ignored, "", "" },
            // The colour letter.
            Case { "xKe1", White, Status::Failed, "no white piece position string", "" },
            Case { "bKe1", White, Status::Failed, "no white piece position string", "" },
            Case { "1Ke1", White, Status::Failed, "no white piece position string", "" },
            Case { "wKe8", Black, Status::Failed, "no black piece position string", "" },
            Case { "SKe8", Black, Status::Failed, "no black piece position string", "" },
            Case { "BKe8", Black, Status::Failed, "no black piece position string", "" },
            // Errors after some squares were read: those squares stand.
            Case { "wKe1Qd", White, Status::Failed, "error in white piece position string", "Ke1" },
            Case { "bKe8Qd", Black, Status::Failed, "error in black piece position string", "Ke8" },
            Case { "wke1", White, Status::Failed, "letter a-h expected", "" },
            Case { "wKi1", White, Status::Failed, "letter a-h expected", "" },
            Case { "wKQe1", White, Status::Failed, "letter a-h expected", "" },
            Case { "wKe1 Qd1", White, Status::Failed, "letter a-h expected", "Ke1" },
            Case { "wKe9", White, Status::Failed, "digit 1-8 expected", "" },
            Case { "wKe0", White, Status::Failed, "digit 1-8 expected", "" },
            Case { "wKe1Pa2bx", White, Status::Failed, "digit 1-8 expected", "Ke1 Pa2" },
            Case { "bKe8kd7", Black, Status::Failed, "letter a-h expected", "Ke8" }));

    TEST(PieceList, PlacementsAddToTheBoard)
    {
        // The board is not cleared first: the list only changes the squares it names.
        TChessPosition board;
        const PieceListOutcome outcome = ReadPieceList("bQe4d1Pe2", Black);
        ASSERT_EQ(outcome.status, Status::Completed);
        applyPlacements(board, outcome.placements);
        EXPECT_EQ(BuildEPDLine(board, PanelState {}),
            "rnbqkbnr/pppppppp/8/8/4q3/8/PPPPpPPP/RNBqKBNR w - - 0 1");

        const PieceListOutcome failed = ReadPieceList("wa1h1Kx1", White);
        ASSERT_EQ(failed.status, Status::Failed);
        applyPlacements(board, failed.placements);
        EXPECT_EQ(BuildEPDLine(board, PanelState {}),
            "rnbqkbnr/pppppppp/8/8/4q3/8/PPPPpPPP/1NBqKBN1 w - - 0 1");
    }

} // namespace
} // namespace pictog

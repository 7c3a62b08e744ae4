// The geometry of sheets, checked against the page arithmetic worked out here: A4 is 210 x 297 mm,
// Letter 215.9 x 279.4 mm, with 15 mm margins, a 10 mm title band, 10 mm column gaps, 5 mm row
// gaps and 17 mm of text under each diagram.
#include "diagram_sheet.h"

#include <gtest/gtest.h>

namespace pictog {
namespace {

    TEST(SheetLayoutTest, GridsAndSquareSizes)
    {
        struct Case {
            SheetPage page;
            int columns, rows;
            double squareMm;
            int wantColumns, wantRows;
            double wantDiagram;
        };
        // A4 grid room: 180 x 257 mm. 2x3: cells 85 wide, (257 - 10) / 3 = 82.33 high, so the
        // diagram is 82.33 - 17 = 65.33 mm; 3x4: (180 - 20) / 3 = 53.33 wide, (257 - 15) / 4 - 17
        // = 43.5 high. Letter room 185.9 x 239.4: 2x3 gives (239.4 - 10) / 3 - 17 = 59.47.
        // A 6 mm square makes a 48 mm diagram: (180 + 10) / 58 = 3 columns, (257 + 5) / 70 = 3
        // rows.
        const Case cases[] = {
            { SheetPage::A4, 0, 0, 0, 2, 3, 257.0 / 3 - 10.0 / 3 - 17 },
            { SheetPage::A4, 2, 3, 0, 2, 3, 247.0 / 3 - 17 },
            { SheetPage::A4, 3, 4, 0, 3, 4, 43.5 },
            { SheetPage::A4, 1, 1, 0, 1, 1, 180 },
            { SheetPage::Letter, 2, 3, 0, 2, 3, 229.4 / 3 - 17 },
            { SheetPage::A4, 0, 0, 6, 3, 3, 48 },
            { SheetPage::A4, 2, 2, 6, 2, 2, 48 },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.columns) + "x" + std::to_string(c.rows) + " "
                + std::to_string(c.squareMm));
            const SheetLayoutResult result
                = sheetLayout({ c.page, c.columns, c.rows, c.squareMm, 1.0 });
            ASSERT_EQ(result.error, "");
            const SheetLayout& layout = result.layout;
            EXPECT_EQ(layout.columns, c.wantColumns);
            EXPECT_EQ(layout.rows, c.wantRows);
            EXPECT_NEAR(layout.diagramMm, c.wantDiagram, 1e-6);
            // Every cell lies inside the margins, and the last one's text above the bottom one.
            const int last = layout.perPage() - 1;
            EXPECT_NEAR(layout.cellLeft(0), 15, 1e-9);
            EXPECT_NEAR(layout.cellTop(0), 25, 1e-9);
            EXPECT_LE(layout.cellLeft(last) + layout.cellWidth, layout.paper.width - 15 + 1e-6);
            EXPECT_LE(layout.cellTop(last) + layout.diagramMm + SheetTextMm,
                layout.paper.height - 15 + 1e-6);
            EXPECT_LE(layout.diagramMm, layout.cellWidth + 1e-9);
        }
    }

    TEST(SheetLayoutTest, SizesThatDoNotFitSayWhatDoes)
    {
        struct Case {
            SheetRequest request;
            const char* error;
        };
        // A 30 mm square is a 240 mm board; the most on A4 is min(180, 257 - 17) / 8 = 22.5 mm,
        // with a frame 1.1 times the board 180 / 8.8 = 20.45; the 2x2 grid allows
        // min(85, 126 - 17) / 8 = 10.6. 9x9 cells of 20 mm: (180 + 10) / 30 = 6 columns and
        // (257 + 5) / 42 = 6 rows.
        const Case cases[] = {
            { { SheetPage::A4, 0, 0, 30, 1.0 },
                "--square-mm 30 does not fit an A4 page: at most 22.5 mm" },
            { { SheetPage::A4, 0, 0, 30, 1.1 },
                "--square-mm 30 does not fit an A4 page: at most 20.4 mm" },
            { { SheetPage::A4, 2, 2, 12, 1.0 },
                "--square-mm 12 does not fit an A4 page: at most 10.6 mm" },
            { { SheetPage::A4, 9, 9, 0, 1.0 }, "--grid 9x9 does not fit an A4 page: at most 6x6" },
        };
        for (const Case& c : cases)
            EXPECT_EQ(sheetLayout(c.request).error, c.error);
    }

    TEST(SheetLayoutTest, PagesAndNumbering)
    {
        using P = SheetPagePlan;
        struct Case {
            long diagrams;
            int perPage, perSolutions;
            SolutionPlacement placement;
            std::vector<P> pages;
        };
        const Case cases[] = {
            { 6, 6, 24, SolutionPlacement::None, { P { false, 0, 6 } } },
            { 7, 6, 24, SolutionPlacement::None, { P { false, 0, 6 }, P { false, 6, 1 } } },
            { 12, 12, 24, SolutionPlacement::End, { P { false, 0, 12 }, P { true, 0, 12 } } },
            { 13, 6, 5, SolutionPlacement::End,
                { P { false, 0, 6 }, P { false, 6, 6 }, P { false, 12, 1 }, P { true, 0, 5 },
                    P { true, 5, 5 }, P { true, 10, 3 } } },
            { 8, 6, 24, SolutionPlacement::Page,
                { P { false, 0, 6 }, P { true, 0, 6 }, P { false, 6, 2 }, P { true, 6, 2 } } },
            { 0, 6, 24, SolutionPlacement::End, {} },
        };
        for (const Case& c : cases)
            EXPECT_EQ(planPages(c.diagrams, c.perPage, c.perSolutions, c.placement), c.pages)
                << c.diagrams << " diagrams";
        // 1,200 puzzles in 2x3: 200 diagram pages; the numbers run on across them.
        const std::vector<P> book = planPages(1200, 6, 24, SolutionPlacement::None);
        ASSERT_EQ(book.size(), 200u);
        EXPECT_EQ(book[199].first, 1194);
        // A4 solution pages hold 257 / 10.5 = 24 entries.
        EXPECT_EQ(solutionsPerPage(sheetLayout({}).layout), 24);
    }

    TEST(SheetLayoutTest, NumberedSolutions)
    {
        struct Case {
            std::vector<std::string> moves;
            bool white, figurines;
            const char* text;
        };
        const Case cases[] = {
            { { "Qxf7+", "Kd8", "Qf8#" }, true, false, "1. Qxf7+ Kd8 2. Qf8#" },
            { { "Kd8", "Qf8#" }, false, false, "1... Kd8 2. Qf8#" },
            { { "Rxe8+", "Bf8", "Bh6" }, false, false, "1... Rxe8+ 2. Bf8 Bh6" },
            { { "e8=Q+", "Kxe8", "O-O" }, true, true,
                "1. e8=\xE2\x99\x95+ \xE2\x99\x94xe8 2. O-O" },
            { { "Nf3", "Bb5" }, true, true,
                "1. \xE2\x99\x98"
                "f3 \xE2\x99\x97"
                "b5" },
            { {}, true, false, "" },
        };
        for (const Case& c : cases)
            EXPECT_EQ(numberedSolution(c.moves, c.white, c.figurines), c.text);
    }

} // namespace
} // namespace pictog

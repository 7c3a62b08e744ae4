#pragma once

// Sheets and books of many diagrams: a grid of numbered diagrams on A4 or Letter pages, each with
// its side to move and caption under it, solution pages, page numbers and a title, written as one
// PDF or one SVG or PNG a page. The page geometry is plain arithmetic in millimetres (sheetLayout,
// planPages), so it can be checked without drawing.

#include "diagram_renderer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pictog {

enum class SheetPage { A4, Letter };
enum class SolutionPlacement { End, Page, None };

// The page's size in millimetres.
struct SheetPaper {
    double width = 0;
    double height = 0;
};
SheetPaper sheetPaper(SheetPage page);
// "A4" or "Letter".
const char* sheetPageName(SheetPage page);

// The fixed parts of a sheet, in millimetres: printed puzzle books keep margins of 15-20 mm and
// gaps of about 10 mm between diagrams.
constexpr double SheetMarginMm = 15;
constexpr double SheetHeaderMm
    = 10; // the title band at the top of every page (filled on the first)
constexpr double SheetFooterMm = 6; // the page number, inside the bottom margin
constexpr double SheetColumnGapMm = 10;
constexpr double SheetRowGapMm = 5;
constexpr double SheetTextMm = 17; // under each diagram: number and prompt, three caption lines
constexpr double SheetSolutionMm = 10.5; // one solution entry: two lines of text

// What the user asked for: a grid, or a square size (millimetres) with the grid that fits, or
// both (the grid is then checked against the size).
struct SheetRequest {
    SheetPage page = SheetPage::A4;
    int columns = 0; // 0: from the square size, or 2x3 without one
    int rows = 0;
    double squareMm = 0; // 0: the largest that the grid allows
    // The diagram's edge (board, frame and coordinates) per board edge, from the render options.
    double frameRatio = 1;
};

// Where everything goes on every page, in millimetres from the page's top-left corner.
struct SheetLayout {
    SheetPaper paper;
    int columns = 0;
    int rows = 0;
    double cellWidth = 0; // the width of a diagram's column (its text wraps inside it)
    double diagramMm = 0; // the diagram's edge, frame and coordinates included
    double gridLeft = 0;
    double gridTop = 0;
    double columnPitch = 0; // from one cell's left edge to the next
    double rowPitch = 0;
    int perPage() const { return columns * rows; }
    double cellLeft(int index) const { return gridLeft + (index % columns) * columnPitch; }
    double cellTop(int index) const { return gridTop + (index / columns) * rowPitch; }
};

// The layout, or the message of a request that does not fit ("--square-mm 30 does not fit an A4
// page: at most 22.9 mm", "--grid 9x9 does not fit an A4 page: at most 4x5").
struct SheetLayoutResult {
    SheetLayout layout;
    std::string error;
};
SheetLayoutResult sheetLayout(const SheetRequest& request);

// The render options of a sheet's diagrams: the settings' picture in the choices' look, on the
// white of the page.
DiagramRenderOptions sheetDiagramOptions(
    const PictureSettings& settings, const DiagramChoices& choices);
// The layout of the request for diagrams of those options, whose frame and coordinates take
// their share of each cell (the request's frameRatio is set from them).
SheetLayoutResult sheetLayoutFor(SheetRequest request, const DiagramRenderOptions& diagram);

// The number of solution entries that fill a solutions page of the layout.
int solutionsPerPage(const SheetLayout& layout);

// One page of the document: diagrams first..first+count-1 (counted from 0), or their solutions.
struct SheetPagePlan {
    bool solutions = false;
    long first = 0;
    long count = 0;
    friend bool operator==(const SheetPagePlan& a, const SheetPagePlan& b)
    {
        return a.solutions == b.solutions && a.first == b.first && a.count == b.count;
    }
};
// The pages for a number of diagrams: diagram pages of perPage each; solution pages at the end
// (perSolutionPage each) or after each diagram page, or none.
std::vector<SheetPagePlan> planPages(
    long diagrams, int perPage, int perSolutionPage, SolutionPlacement placement);

// A solution as numbered moves counted from 1: {"Qxf7+", "Kd8", "Qf8#"} with White to move gives
// "1. Qxf7+ Kd8 2. Qf8#", with Black to move "1... Qxf7+ 2. Kd8 Qf8#". figurines: the piece
// letters K Q R B N as the chess figurines U+2654-2658.
std::string numberedSolution(
    const std::vector<std::string>& moves, bool whiteToMove, bool figurines);

// One diagram of a sheet.
struct SheetDiagram {
    TChessPosition board;
    PanelState panel;
    Annotations annotations;
    std::string fen; // the line written, invisible, into the text layer
    std::string caption; // from the record's id and comment; may be empty
    std::string solution; // the numbered solution; empty when the record has none
    bool whiteToMove = true;
};

enum class SheetFormat { Pdf, Svg, Png };

struct SheetOptions {
    SheetLayout layout;
    int start = 1; // the number of the first diagram
    SolutionPlacement solutions = SolutionPlacement::End;
    std::string prompt; // replaces "White to play" / "Black to play" when not empty
    std::string title; // on the first page and in the PDF's metadata
    bool turnBoard = false; // each diagram from the side to move
    DiagramRenderOptions diagram; // colours, frame and coordinates of every diagram
    double dpi = 150; // PNG pages
};

// The pages of the sheet. PDF: the whole document to sink as it is made (memory stays flat).
// SVG and PNG: each page's file to pageSink (page number from 1). The message of the first
// fault ("cannot read the font file PATH", "Error in creating sheet") or nothing.
using SheetSink = std::function<bool(const unsigned char* data, std::size_t size)>;
using SheetPageSink = std::function<bool(int page, std::string bytes)>;
std::optional<std::string> renderSheetPdf(
    const SheetOptions& options, const std::vector<SheetDiagram>& diagrams, const SheetSink& sink);
std::optional<std::string> renderSheetPages(const SheetOptions& options,
    const std::vector<SheetDiagram>& diagrams, SheetFormat format, const SheetPageSink& sink);

} // namespace pictog

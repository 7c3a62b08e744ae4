// The geometry of sheets: grids of diagrams on a page, the order of diagram and solution pages and
// the text of a solution.
#include "diagram_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pictog {

namespace {

    double availableWidth(const SheetPaper& paper)
    {
        return paper.width - 2 * SheetMarginMm;
    }
    double availableHeight(const SheetPaper& paper)
    {
        return paper.height - 2 * SheetMarginMm - SheetHeaderMm;
    }

    // The number of items of a size that fit in a length with gaps between them.
    int fitting(double length, double item, double gap)
    {
        return item <= 0 ? 0 : static_cast<int>(std::floor((length + gap) / (item + gap) + 1e-9));
    }

    // Millimetres with one decimal, rounded down so that the size given fits.
    std::string millimetres(double value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", std::floor(value * 10 + 1e-9) / 10);
        return text;
    }

} // namespace

SheetPaper sheetPaper(SheetPage page)
{
    return page == SheetPage::A4 ? SheetPaper { 210, 297 } : SheetPaper { 215.9, 279.4 };
}

const char* sheetPageName(SheetPage page)
{
    return page == SheetPage::A4 ? "A4" : "Letter";
}

SheetLayoutResult sheetLayout(const SheetRequest& request)
{
    SheetLayoutResult result;
    SheetLayout& layout = result.layout;
    layout.paper = sheetPaper(request.page);
    const double width = availableWidth(layout.paper);
    const double height = availableHeight(layout.paper);
    const std::string page
        = std::string(" does not fit an ") + sheetPageName(request.page) + " page: at most ";
    // The smallest diagram a grid may shrink to.
    constexpr double MinDiagramMm = 20;
    int columns = request.columns;
    int rows = request.rows;
    const double boardEdge = 8 * request.frameRatio;
    if (request.squareMm > 0) {
        const double diagram = request.squareMm * boardEdge;
        const int fitColumns = fitting(width, diagram, SheetColumnGapMm);
        const int fitRows = fitting(height, diagram + SheetTextMm, SheetRowGapMm);
        if (columns == 0) {
            columns = fitColumns;
            rows = fitRows;
        }
        if (fitColumns < 1 || fitRows < 1 || columns > fitColumns || rows > fitRows) {
            const double cellWidth
                = (width - (std::max(columns, 1) - 1) * SheetColumnGapMm) / std::max(columns, 1);
            const double cellHeight
                = (height - (std::max(rows, 1) - 1) * SheetRowGapMm) / std::max(rows, 1);
            const double most = std::min(cellWidth, cellHeight - SheetTextMm) / boardEdge;
            char given[32];
            std::snprintf(given, sizeof given, "%g", request.squareMm);
            result.error = "--square-mm " + std::string(given) + page
                + (most > 0 ? millimetres(most) + " mm" : std::string("no diagram of that grid"));
            return result;
        }
        layout.diagramMm = diagram;
    } else {
        if (columns == 0) {
            columns = 2;
            rows = 3;
        }
        const double cellWidth = (width - (columns - 1) * SheetColumnGapMm) / columns;
        const double cellHeight = (height - (rows - 1) * SheetRowGapMm) / rows;
        layout.diagramMm = std::min(cellWidth, cellHeight - SheetTextMm);
        if (layout.diagramMm < MinDiagramMm) {
            result.error = "--grid " + std::to_string(columns) + "x" + std::to_string(rows) + page
                + std::to_string(fitting(width, MinDiagramMm, SheetColumnGapMm)) + "x"
                + std::to_string(fitting(height, MinDiagramMm + SheetTextMm, SheetRowGapMm));
            return result;
        }
    }
    layout.columns = columns;
    layout.rows = rows;
    layout.cellWidth = (width - (columns - 1) * SheetColumnGapMm) / columns;
    layout.columnPitch = layout.cellWidth + SheetColumnGapMm;
    // Rows share the height when the grid was asked for; a square size packs them from the top.
    layout.rowPitch = request.squareMm > 0
        ? layout.diagramMm + SheetTextMm + SheetRowGapMm
        : (height - (rows - 1) * SheetRowGapMm) / rows + SheetRowGapMm;
    layout.gridLeft = SheetMarginMm;
    layout.gridTop = SheetMarginMm + SheetHeaderMm;
    return result;
}

DiagramRenderOptions sheetDiagramOptions(
    const PictureSettings& settings, const DiagramChoices& choices)
{
    DiagramRenderOptions options = buildRenderOptions(settings, choices, {}, {});
    // The page is white; so is the band around each board.
    options.colorDiagramBackground = "#FFFFFF";
    return options;
}

SheetLayoutResult sheetLayoutFor(SheetRequest request, const DiagramRenderOptions& diagram)
{
    const DiagramSize size = diagramSize(diagram);
    request.frameRatio
        = static_cast<double>(std::max(size.width, size.height)) / (8.0 * diagram.squarePx);
    return sheetLayout(request);
}

int solutionsPerPage(const SheetLayout& layout)
{
    return std::max(1, static_cast<int>(availableHeight(layout.paper) / SheetSolutionMm));
}

std::vector<SheetPagePlan> planPages(
    long diagrams, int perPage, int perSolutionPage, SolutionPlacement placement)
{
    std::vector<SheetPagePlan> pages;
    auto addSolutions = [&](long first, long count) {
        for (long at = first; at < first + count; at += perSolutionPage)
            pages.push_back({ true, at, std::min<long>(perSolutionPage, first + count - at) });
    };
    for (long first = 0; first < diagrams; first += perPage) {
        const long count = std::min<long>(perPage, diagrams - first);
        pages.push_back({ false, first, count });
        if (placement == SolutionPlacement::Page)
            addSolutions(first, count);
    }
    if (placement == SolutionPlacement::End)
        addSolutions(0, diagrams);
    return pages;
}

std::string numberedSolution(
    const std::vector<std::string>& moves, bool whiteToMove, bool figurines)
{
    std::string text;
    int number = 1;
    bool white = whiteToMove;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (white || i == 0) {
            if (!text.empty())
                text += ' ';
            text += std::to_string(number) + (white ? ". " : "... ");
        } else {
            text += ' ';
        }
        for (const char c : moves[i]) {
            // ♔ ♕ ♖ ♗ ♘: U+2654..2658, three bytes in UTF-8.
            const char* figurine = nullptr;
            switch (figurines ? c : 0) {
            case 'K':
                figurine = "\xE2\x99\x94";
                break;
            case 'Q':
                figurine = "\xE2\x99\x95";
                break;
            case 'R':
                figurine = "\xE2\x99\x96";
                break;
            case 'B':
                figurine = "\xE2\x99\x97";
                break;
            case 'N':
                figurine = "\xE2\x99\x98";
                break;
            default:
                break;
            }
            if (figurine)
                text += figurine;
            else
                text += c;
        }
        if (!white)
            ++number;
        white = !white;
    }
    return text;
}

} // namespace pictog

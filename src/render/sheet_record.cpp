#include "sheet_record.h"

#include <string>

namespace pictog {

SheetDiagram sheetDiagram(const game::Board& board,
    const std::vector<game::EpdOperation>& operations, const Annotations* annotations,
    bool figurines)
{
    SheetDiagram diagram;
    diagram.fen = board.fenLine();
    board.toPosition(diagram.board, diagram.panel);
    diagram.whiteToMove = board.whiteToMove();
    if (annotations)
        diagram.annotations = *annotations;
    const std::string* id = game::firstOperand(operations, "id");
    const std::string* comment = game::firstOperand(operations, "c0");
    if (id)
        diagram.caption = *id;
    if (comment)
        diagram.caption += (id ? " \xE2\x80\x93 " : "") + *comment;
    if (const std::vector<std::string> moves = game::solutionMoves(operations); !moves.empty())
        diagram.solution = numberedSolution(moves, board.whiteToMove(), figurines);
    return diagram;
}

} // namespace pictog

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
    // The solution is the principal variation, or else the best move.
    const game::EpdOperation* solution = game::findOperation(operations, "pv");
    if (!solution || solution->operands.empty())
        solution = game::findOperation(operations, "bm");
    if (solution) {
        std::vector<std::string> moves;
        for (const game::EpdOperand& operand : solution->operands)
            moves.push_back(operand.text);
        diagram.solution = numberedSolution(moves, board.whiteToMove(), figurines);
    }
    return diagram;
}

} // namespace pictog

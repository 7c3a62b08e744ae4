#include "transformation.h"

namespace pictog {

namespace {

    struct Target {
        int file;
        int rank;
    };

    Target targetOf(Transformation transformation, int f, int r)
    {
        switch (transformation) {
        case Transformation::RotateLeft:
            return { 7 - r, f };
        case Transformation::RotateRight:
            return { r, 7 - f };
        case Transformation::SwitchColor:
        case Transformation::MirrorHorizontal:
            return { f, 7 - r };
        case Transformation::MirrorVertical:
            return { 7 - f, r };
        case Transformation::MirrorLeftDiagonal:
            return { r, f };
        case Transformation::MirrorRightDiagonal:
            return { 7 - r, 7 - f };
        }
        return { f, r };
    }

    int switchedColour(int piece)
    {
        if (piece >= BlackPawn && piece <= BlackKing)
            return piece - 6;
        if (piece >= WhitePawn && piece <= WhiteKing)
            return piece + 6;
        return piece;
    }

    constexpr std::string_view names[] = { "rotate-left", "rotate-right", "switch-color",
        "mirror-horizontal", "mirror-vertical", "mirror-left-diagonal", "mirror-right-diagonal" };

} // namespace

TChessPosition TransformBoard(const TChessPosition& board, Transformation transformation)
{
    TChessPosition result = emptyPosition();
    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            int piece = board.GetPiece(squareIndex(file, rank));
            if (transformation == Transformation::SwitchColor)
                piece = switchedColour(piece);
            const Target target = targetOf(transformation, file, rank);
            result.SetPiece(piece, squareIndex(target.file, target.rank));
        }
    }
    return result;
}

std::string_view transformationName(Transformation transformation)
{
    return names[static_cast<int>(transformation)];
}

std::optional<Transformation> transformationFromName(std::string_view name)
{
    for (Transformation t : AllTransformations)
        if (transformationName(t) == name)
            return t;
    return std::nullopt;
}

} // namespace pictog

#pragma once

#include "chess_position.h"

#include <optional>
#include <string_view>

namespace pictog {

// The seven geometric transformations of the Edit > Transform menu.
enum class Transformation {
    RotateLeft,
    RotateRight,
    SwitchColor,
    MirrorHorizontal,
    MirrorVertical,
    MirrorLeftDiagonal,
    MirrorRightDiagonal,
};

inline constexpr Transformation AllTransformations[]
    = { Transformation::RotateLeft, Transformation::RotateRight, Transformation::SwitchColor,
          Transformation::MirrorHorizontal, Transformation::MirrorVertical,
          Transformation::MirrorLeftDiagonal, Transformation::MirrorRightDiagonal };

// The board with every piece moved to its target square (and, for SwitchColor, given the other
// colour). Only the 64 squares are carried over; the caller resets the side panel.
TChessPosition TransformBoard(const TChessPosition& board, Transformation transformation);

// The command-line name of a transformation ("rotate-left", ...).
std::string_view transformationName(Transformation transformation);

// The transformation with the given command-line name, if there is one.
std::optional<Transformation> transformationFromName(std::string_view name);

} // namespace pictog

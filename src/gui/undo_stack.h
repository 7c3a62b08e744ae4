#pragma once

#include "diagram/annotations.h"
#include "position/chess_position.h"
#include "position/panel_state.h"

#include "editor/undo_stack.h"

#include <QString>

#include <array>

namespace pictog::gui {

// Everything an edit can change in the window: the board, the side panel (with the lists' texts,
// which may hold typed text), the captions, the annotations and the line field.
struct EditorState {
    TChessPosition board;
    PanelState panel;
    QString moveRightText;
    QString epFieldText;
    std::array<QString, 4> captions; // header 1, header 2, footer 1, footer 2
    Annotations annotations;
    QString line;

    friend bool operator==(const EditorState& a, const EditorState& b)
    {
        return a.board == b.board && a.panel == b.panel && a.moveRightText == b.moveRightText
            && a.epFieldText == b.epFieldText && a.captions == b.captions
            && a.annotations == b.annotations && a.line == b.line;
    }
    friend bool operator!=(const EditorState& a, const EditorState& b) { return !(a == b); }
};

using pictog::UndoStack;

} // namespace pictog::gui

#pragma once

#include "diagram/annotations.h"
#include "position/chess_position.h"
#include "position/panel_state.h"

#include <QString>

#include <array>
#include <cstddef>
#include <deque>

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

// A linear undo history of whole snapshots: the current state and the states before and after
// it. Recording a state that differs from the current one ends the redo branch; beyond `limit`
// steps the oldest is forgotten.
template <class State> class UndoStack
{
public:
    explicit UndoStack(std::size_t limit = 200)
        : m_limit(limit < 1 ? 1 : limit)
    {
    }

    // Forgets every step; state becomes the only, current one.
    void reset(const State& state)
    {
        m_steps.assign(1, Step { state, 0 });
        m_current = 0;
    }

    // Makes state the current step unless it equals the current one (then false). A non-zero
    // mergeKey equal to that of the current step replaces it instead of adding one, so that
    // typing in one field is one step; an undo or a step of another key ends the merging.
    bool record(const State& state, int mergeKey = 0)
    {
        if (m_steps.empty()) {
            reset(state);
            return true;
        }
        if (m_steps[m_current].state == state)
            return false;
        m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_current) + 1, m_steps.end());
        if (mergeKey != 0 && m_steps[m_current].mergeKey == mergeKey && m_current > 0) {
            m_steps[m_current].state = state;
            return true;
        }
        m_steps.push_back(Step { state, mergeKey });
        if (m_steps.size() > m_limit + 1)
            m_steps.pop_front();
        m_current = m_steps.size() - 1;
        return true;
    }

    // The state of the current step; reset or record must have run.
    const State& current() const { return m_steps[m_current].state; }

    bool canUndo() const { return m_current > 0; }
    bool canRedo() const { return m_current + 1 < m_steps.size(); }
    // The number of steps that can be undone.
    std::size_t undoCount() const { return m_current; }

    // Steps back (forward) and returns the state to show; only when canUndo (canRedo).
    const State& undo()
    {
        m_steps[m_current].mergeKey = 0;
        --m_current;
        m_steps[m_current].mergeKey = 0;
        return m_steps[m_current].state;
    }
    const State& redo()
    {
        ++m_current;
        m_steps[m_current].mergeKey = 0;
        return m_steps[m_current].state;
    }

private:
    struct Step {
        State state;
        int mergeKey;
    };
    std::size_t m_limit;
    std::deque<Step> m_steps;
    std::size_t m_current = 0;
};

} // namespace pictog::gui

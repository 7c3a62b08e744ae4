#pragma once

#include <cstddef>
#include <deque>

namespace pictog {

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

    // Puts state in place of the current step's without adding a step (moving through a game
    // is no edit); the redo branch, which went on from the replaced state, ends.
    void replaceCurrent(const State& state)
    {
        if (m_steps.empty())
            return reset(state);
        m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_current) + 1, m_steps.end());
        m_steps[m_current] = Step { state, 0 };
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

} // namespace pictog

#pragma once

// The two settings states the writer helper saves in turn, shared with the test that kills it.

#include "settings/pictog_params.h"

#include <string>

namespace pictog::robustness {

// Sets the store to state 0 or 1. The captions are long, so that writing the file takes more
// than one system call and a kill can land anywhere in it.
inline void applyWriterState(TPictogParams& params, int state)
{
    const char letter = state == 0 ? 'a' : 'b';
    params.setFenLine(state == 0 ? "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
                                 : "8/8/8/8/8/8/8/k6K b - - 17 42");
    params.setHeader1(std::string(96 * 1024, letter));
    params.setFooter2(std::string(32 * 1024, static_cast<char>(letter + 1)));
    params.setMoveNumber(state == 0 ? 1 : 42);
    params.setBorderSize(state == 0 ? 3 : 7);
}

} // namespace pictog::robustness

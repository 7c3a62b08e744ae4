#pragma once

// The reading of PGN games, EPD lines and puzzle files into records of the selected positions,
// shared by `positions` and `sheet`.
#include "cli_common.h"

#include "game/board.h"
#include "game/epd_operations.h"

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace pictog::cli {

enum class RecordFormat { Sniff, Pgn, Epd, Csv };

// A position of a game named on the command line: after a number of plies, or after White's or
// Black's move of that number.
struct MovePoint {
    int number = 0;
    int side = -1; // -1: number counts plies; 0 White's move; 1 Black's
};

// The selection options: --at, --every, --commented, --games, --solution, --from, and the files.
struct RecordSelection {
    RecordFormat format = RecordFormat::Sniff;
    bool start = false;
    bool end = false;
    bool every = false;
    bool commented = false;
    std::vector<MovePoint> points;
    std::vector<std::pair<long, long>> games; // inclusive ranges; empty: every game
    int solution = -1; // -1: not given
    std::vector<const char*> files;

    bool wantsGame(long number) const;
    long lastGame() const;
};

// Takes the value of a selection option whose name arg was just taken; false when arg is none.
// A bad value throws UsageError.
bool parseSelectionOption(std::string_view arg, Arguments& args, RecordSelection& selection);
// The defaults after the last option: the end position of games, stdin without files.
void finishSelection(RecordSelection& selection);

// Receives each selected position with its operations (id, c0, pv, ...) and annotations (may
// be null).
using RecordSink = std::function<void(const game::Board& board,
    const std::vector<game::EpdOperation>& operations, const Annotations* annotations)>;

// Reads every file of the selection in order; the faults go to err as
// "pictog-cli: FILE: line N: MESSAGE". False when any file or record was rejected.
bool readRecords(const RecordSelection& selection, Output& err, const RecordSink& sink);

} // namespace pictog::cli

// Reading and writing FEN/EPD lines: the core of every batch command of pictog-cli.
//
//   epd_bench --benchmark_counters_tabular=true
//
// Each benchmark runs over the same 4096 lines (seeded): boards with 2 to 32 pieces, as games
// have them, random castling rights, en-passant squares and counters.
#include "position/epd_line.h"
#include "position/epd_parser.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace pictog {
namespace {

    struct Sample {
        TChessPosition board = emptyPosition();
        PanelState panel;
        std::string line;
    };

    const std::vector<Sample>& samples()
    {
        static const std::vector<Sample> all = [] {
            std::mt19937 random(20240601);
            auto uniform = [&random](int low, int high) {
                return std::uniform_int_distribution<int>(low, high)(random);
            };
            std::vector<Sample> result(4096);
            for (Sample& sample : result) {
                sample.board.SetPiece(WhiteKing, squareIndex(uniform(0, 7), uniform(0, 7)));
                sample.board.SetPiece(BlackKing, squareIndex(uniform(0, 7), uniform(0, 7)));
                for (int pieces = uniform(0, 30); pieces > 0; --pieces)
                    sample.board.SetPiece(uniform(WhitePawn, WhiteQueen) + 6 * uniform(0, 1),
                        squareIndex(uniform(0, 7), uniform(0, 7)));
                sample.panel.moveRight = uniform(0, 1);
                sample.panel.whiteShortCastling = uniform(0, 1);
                sample.panel.whiteLongCastling = uniform(0, 1);
                sample.panel.blackShortCastling = uniform(0, 1);
                sample.panel.blackLongCastling = uniform(0, 1);
                sample.panel.epField = uniform(0, 3) == 0 ? uniform(1, 16) : 0;
                sample.panel.setHalfMoveClock(uniform(0, 50));
                sample.panel.setMoveNumber(uniform(1, 120));
                sample.line = BuildEPDLine(sample.board, sample.panel);
            }
            return result;
        }();
        return all;
    }

    void setCounters(benchmark::State& state, std::int64_t bytes)
    {
        state.SetItemsProcessed(state.iterations());
        state.SetBytesProcessed(bytes);
    }

    // ParseEPDLine as the window calls it: a fresh result for every line.
    void BM_ParseEPDLine(benchmark::State& state)
    {
        const std::vector<Sample>& lines = samples();
        std::size_t i = 0;
        std::int64_t bytes = 0;
        for (auto _ : state) {
            const std::string& line = lines[i++ & 4095].line;
            EpdParse parse = ParseEPDLine(line);
            benchmark::DoNotOptimize(parse);
            bytes += static_cast<std::int64_t>(line.size());
        }
        setCounters(state, bytes);
    }
    BENCHMARK(BM_ParseEPDLine);

    // The command-line tool's way: one result reused for every line.
    void BM_ParseEPDLineInto(benchmark::State& state)
    {
        const std::vector<Sample>& lines = samples();
        EpdParse parse;
        std::size_t i = 0;
        std::int64_t bytes = 0;
        for (auto _ : state) {
            const std::string& line = lines[i++ & 4095].line;
            StringByteSource source(line);
            detail::parseEPDLineInto(source, parse);
            benchmark::DoNotOptimize(parse);
            bytes += static_cast<std::int64_t>(line.size());
        }
        setCounters(state, bytes);
    }
    BENCHMARK(BM_ParseEPDLineInto);

    // A line rejected in the middle of its placement, with the message composed.
    void BM_ParseRejectedLine(benchmark::State& state)
    {
        const std::string line = "rnbqkbnr/pppp?ppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
        EpdParse parse;
        for (auto _ : state) {
            StringByteSource source(line);
            detail::parseEPDLineInto(source, parse);
            benchmark::DoNotOptimize(parse);
        }
        setCounters(state, static_cast<std::int64_t>(state.iterations() * line.size()));
    }
    BENCHMARK(BM_ParseRejectedLine);

    // BuildEPDLine as the window calls it: a new string for every line.
    void BM_BuildEPDLine(benchmark::State& state)
    {
        const std::vector<Sample>& boards = samples();
        std::size_t i = 0;
        std::int64_t bytes = 0;
        for (auto _ : state) {
            const Sample& sample = boards[i++ & 4095];
            std::string line = BuildEPDLine(sample.board, sample.panel);
            benchmark::DoNotOptimize(line);
            bytes += static_cast<std::int64_t>(line.size());
        }
        setCounters(state, bytes);
    }
    BENCHMARK(BM_BuildEPDLine);

    // writeEPDLine into a buffer, as the command-line tool writes its output.
    void BM_WriteEPDLine(benchmark::State& state)
    {
        const std::vector<Sample>& boards = samples();
        char buffer[MaxEpdLineLength];
        std::size_t i = 0;
        std::int64_t bytes = 0;
        for (auto _ : state) {
            const Sample& sample = boards[i++ & 4095];
            const std::size_t length = writeEPDLine(buffer, sample.board, sample.panel);
            benchmark::DoNotOptimize(buffer);
            bytes += static_cast<std::int64_t>(length);
        }
        setCounters(state, bytes);
    }
    BENCHMARK(BM_WriteEPDLine);

    // Parse and build together: what `pictog-cli normalize` does for each line, without I/O.
    void BM_Normalize(benchmark::State& state)
    {
        const std::vector<Sample>& lines = samples();
        EpdParse parse;
        char buffer[MaxEpdLineLength];
        std::size_t i = 0;
        std::int64_t bytes = 0;
        for (auto _ : state) {
            const std::string& line = lines[i++ & 4095].line;
            StringByteSource source(line);
            detail::parseEPDLineInto(source, parse);
            const std::size_t length = writeEPDLine(buffer, parse.board, parse.panel);
            benchmark::DoNotOptimize(buffer);
            bytes += static_cast<std::int64_t>(length);
        }
        setCounters(state, bytes);
    }
    BENCHMARK(BM_Normalize);

} // namespace
} // namespace pictog

BENCHMARK_MAIN();

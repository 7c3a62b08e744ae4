// The game module: perft (legal move generation and play) and SAN reading and writing.
//
//   game_bench --benchmark_counters_tabular=true
//
// perft counts every leaf of the move tree, the last ply by the size of its move list (bulk
// counting). The SAN benchmarks run over the moves of 200 seeded random games (about 50,000
// moves with checks, captures, castling and promotions), each read or written in the position
// where it was played.
#include "game/board.h"
#include "game/san.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace pictog::game {
namespace {

    void perftBenchmark(benchmark::State& state, const char* line, int depth)
    {
        const Board board = *Board::fromLine(line);
        std::uint64_t nodes = 0;
        for (auto _ : state) {
            nodes = perft(board, depth);
            benchmark::DoNotOptimize(nodes);
        }
        state.counters["nodes"] = static_cast<double>(nodes);
        state.counters["nodes/s"] = benchmark::Counter(
            static_cast<double>(nodes) * static_cast<double>(state.iterations()),
            benchmark::Counter::kIsRate);
    }

    void BM_PerftInitial6(benchmark::State& state)
    {
        perftBenchmark(state, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 6);
    }
    BENCHMARK(BM_PerftInitial6)->Unit(benchmark::kMillisecond)->MinTime(3.0);

    void BM_PerftKiwipete5(benchmark::State& state)
    {
        perftBenchmark(
            state, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5);
    }
    BENCHMARK(BM_PerftKiwipete5)->Unit(benchmark::kMillisecond)->MinTime(3.0);

    struct Played {
        Board board;
        Move move;
        std::string san;
    };

    // Random games that prefer captures, checks and promotions a little, so that the sample
    // holds the moves that need the most work to read.
    const std::vector<Played>& playedMoves()
    {
        static const std::vector<Played> all = [] {
            std::vector<Played> result;
            std::mt19937 random(20261208);
            for (int game = 0; game < 200; ++game) {
                Board board = Board::initial();
                for (int ply = 0; ply < 300; ++ply) {
                    MoveList moves;
                    generateLegalMoves(board, moves);
                    if (moves.empty() || board.halfmoveClock() >= 100)
                        break;
                    Move chosen = moves[random() % moves.size()];
                    for (const Move m : moves)
                        if ((m.flags & FlagCapture) || m.promotion)
                            if (random() % 3 == 0)
                                chosen = m;
                    result.push_back({ board, chosen, writeSan(board, chosen) });
                    board.play(chosen);
                }
            }
            return result;
        }();
        return all;
    }

    void BM_ReadSan(benchmark::State& state)
    {
        const std::vector<Played>& played = playedMoves();
        std::size_t i = 0;
        for (auto _ : state) {
            const Played& p = played[i];
            MoveRead read = readSan(p.board, p.san);
            benchmark::DoNotOptimize(read);
            i = i + 1 == played.size() ? 0 : i + 1;
        }
        state.counters["moves"] = static_cast<double>(played.size());
        state.counters["reads/s"] = benchmark::Counter(
            static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    BENCHMARK(BM_ReadSan);

    void BM_WriteSan(benchmark::State& state)
    {
        const std::vector<Played>& played = playedMoves();
        std::size_t i = 0;
        for (auto _ : state) {
            const Played& p = played[i];
            std::string san = writeSan(p.board, p.move);
            benchmark::DoNotOptimize(san);
            i = i + 1 == played.size() ? 0 : i + 1;
        }
        state.counters["writes/s"] = benchmark::Counter(
            static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    BENCHMARK(BM_WriteSan);

    // Reading and playing: what a game reader does for every move.
    void BM_ReadSanAndPlay(benchmark::State& state)
    {
        const std::vector<Played>& played = playedMoves();
        std::size_t i = 0;
        for (auto _ : state) {
            const Played& p = played[i];
            Board board = p.board;
            board.play(readSan(board, p.san).move);
            benchmark::DoNotOptimize(board);
            i = i + 1 == played.size() ? 0 : i + 1;
        }
        state.counters["moves/s"] = benchmark::Counter(
            static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    BENCHMARK(BM_ReadSanAndPlay);

} // namespace
} // namespace pictog::game

BENCHMARK_MAIN();

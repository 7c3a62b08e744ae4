// Writes a corpus of legal PGN games of real shape for the game reading benchmarks: the seven tag
// roster and a few more, move numbers, clock comments on some games, text comments with arrows
// and marks, NAGs and glyphs, short variations, and moves chosen at random among the legal ones,
// with castling and promotions preferred so that every kind of move occurs. The same count and
// seed give the same bytes.
//
//   pgn_corpus GAMES [SEED] > corpus.pgn
#include "game/board.h"
#include "game/san.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace pictog::game;

// splitmix64: small, fast and the same everywhere.
class Random
{
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

const char* const players[] = { "Carlsen, Magnus", "Nakamura, Hikaru", "Caruana, Fabiano",
    "Ding, Liren", "Nepomniachtchi, Ian", "Firouzja, Alireza", "Giri, Anish", "So, Wesley",
    "Rapport, Richard", "Duda, Jan-Krzysztof", "Müller, Jürgen", "Åberg, Östen", "Lagno, Kateryna",
    "Hou, Yifan", "Ju, Wenjun", "Polgar, Judit" };
const char* const events[]
    = { "Casual game", "Club Championship", "Rated blitz game", "Open A", "Team League" };
const char* const words[] = { "White", "Black", "keeps", "the", "initiative", "a", "better",
    "endgame", "threatens", "mate", "only", "move", "with", "pressure", "on", "file", "weak",
    "pawn", "\"active\"", "plan", "is", "unclear" };

class Writer
{
public:
    void token(const std::string& text)
    {
        if (m_column > 0 && m_column + 1 + text.size() > 79) {
            m_text += '\n';
            m_column = 0;
        } else if (m_column > 0) {
            m_text += ' ';
            ++m_column;
        }
        m_text += text;
        m_column += text.size();
    }
    void end()
    {
        m_text += "\n\n";
        m_column = 0;
        std::fwrite(m_text.data(), 1, m_text.size(), stdout);
        m_text.clear();
    }
    std::string& raw() { return m_text; }

private:
    std::string m_text;
    std::size_t m_column = 0;
};

std::string squareName(int sq)
{
    return { static_cast<char>('a' + sq % 8), static_cast<char>('1' + sq / 8) };
}

Move pickMove(Random& random, const MoveList& moves)
{
    for (const Move& move : moves) {
        if ((move.flags & FlagCastling) && random.chance(90))
            return move;
        if (move.promotion == 4 || (move.promotion && random.chance(30)))
            return move;
    }
    if (random.chance(40)) {
        for (int tries = 0; tries < 4; ++tries) {
            const Move& move
                = moves[static_cast<std::size_t>(random.below(static_cast<int>(moves.size())))];
            if (move.flags & FlagCapture)
                return move;
        }
    }
    return moves[static_cast<std::size_t>(random.below(static_cast<int>(moves.size())))];
}

std::string moveNumber(const Board& board, bool always)
{
    if (board.whiteToMove())
        return std::to_string(board.fullmoveNumber()) + ".";
    return always ? std::to_string(board.fullmoveNumber()) + "..." : std::string();
}

std::string textComment(Random& random)
{
    std::string text = "{";
    const int count = 2 + random.below(8);
    for (int i = 0; i < count; ++i) {
        text += ' ';
        text += words[random.below(sizeof words / sizeof *words)];
    }
    if (random.chance(40)) {
        const char colors[] = "GRYB";
        text += " [%cal ";
        const int arrows = 1 + random.below(3);
        for (int i = 0; i < arrows; ++i) {
            const int from = random.below(64);
            const int to = (from + 1 + random.below(63)) % 64;
            if (i > 0)
                text += ',';
            text += colors[random.below(4)] + squareName(from) + squareName(to);
        }
        text += ']';
        if (random.chance(50))
            text += std::string(" [%csl ") + colors[random.below(4)] + squareName(random.below(64))
                + "]";
    }
    return text + " }";
}

void writeGame(Random& random, long number, Writer& out)
{
    const int white = random.below(sizeof players / sizeof *players);
    const int black = (white + 1 + random.below(15)) % 16;
    const bool clocks = random.chance(35);
    const int length = 16 + random.below(150);

    // Play first, so that the result tag can say how it ended.
    std::vector<Move> line;
    Board board = Board::initial();
    MoveList moves;
    std::string result;
    for (int ply = 0; ply < length; ++ply) {
        generateLegalMoves(board, moves);
        if (moves.empty())
            break;
        const Move move = pickMove(random, moves);
        line.push_back(move);
        board.play(move);
    }
    static const char* const results[] = { "1-0", "0-1", "1/2-1/2", "*" };
    const GameStatus ending = pictog::game::status(board);
    if (ending == GameStatus::Checkmate)
        result = board.whiteToMove() ? "0-1" : "1-0";
    else if (ending == GameStatus::Stalemate)
        result = "1/2-1/2";
    else
        result = results[random.below(4)];

    char date[32];
    std::snprintf(date, sizeof date, "%d.%02d.%02d", 1990 + random.below(35), 1 + random.below(12),
        1 + random.below(28));
    std::string& text = out.raw();
    auto tag = [&text](const char* name, const std::string& value) {
        text += '[';
        text += name;
        text += " \"";
        text += value;
        text += "\"]\n";
    };
    tag("Event", events[random.below(5)]);
    tag("Site", random.chance(50) ? "?" : "Berlin GER");
    tag("Date", random.chance(10) ? "????.??.??" : date);
    tag("Round", std::to_string(1 + number % 9));
    tag("White", players[white]);
    tag("Black", players[black]);
    tag("Result", result);
    tag("WhiteElo", std::to_string(1500 + random.below(1300)));
    tag("BlackElo", std::to_string(1500 + random.below(1300)));
    tag("ECO",
        std::string(1, static_cast<char>('A' + random.below(5)))
            + std::to_string(10 + random.below(90)));
    if (clocks)
        tag("TimeControl", "180+2");
    text += '\n';

    static const char* const glyphs[] = { "!", "?", "!?", "?!" };
    board = Board::initial();
    bool interrupted = false;
    int seconds = 180;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const Move move = line[i];
        const std::string numbering = moveNumber(board, interrupted);
        if (!numbering.empty())
            out.token(numbering);
        std::string san = writeSan(board, move);
        if (random.chance(2))
            san += glyphs[random.below(4)];
        out.token(san);
        interrupted = false;
        if (random.chance(3)) {
            out.token("$" + std::to_string(1 + random.below(6)));
        }
        if (clocks) {
            seconds = std::max(1, seconds + 2 - random.below(8));
            char clock[40];
            std::snprintf(
                clock, sizeof clock, "{ [%%clk 0:%02d:%02d] }", seconds / 60, seconds % 60);
            out.token(clock);
            interrupted = true;
        }
        if (random.chance(4)) {
            out.token(textComment(random));
            interrupted = true;
        }
        // A short variation: another move instead of this one, and a few after it.
        if (i > 0 && random.chance(4)) {
            Board variation = board;
            generateLegalMoves(variation, moves);
            const Move first = pickMove(random, moves);
            out.token("(" + moveNumber(variation, true));
            out.token(writeSan(variation, first));
            variation.play(first);
            const int more = random.below(5);
            for (int j = 0; j < more; ++j) {
                generateLegalMoves(variation, moves);
                if (moves.empty())
                    break;
                const Move next = pickMove(random, moves);
                const std::string n = moveNumber(variation, false);
                if (!n.empty())
                    out.token(n);
                out.token(writeSan(variation, next));
                variation.play(next);
            }
            out.raw() += ')';
            interrupted = true;
        }
        board.play(move);
    }
    out.token(result);
    out.end();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: pgn_corpus GAMES [SEED]\n");
        return 2;
    }
    const long games = std::atol(argv[1]);
    Random random(argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 17);
    Writer out;
    for (long number = 1; number <= games; ++number)
        writeGame(random, number, out);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

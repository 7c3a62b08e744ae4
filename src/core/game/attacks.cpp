#include "game/attacks.h"

#include <initializer_list>
#include <memory>

namespace pictog::game::attacks {

namespace {

    // Attacks of a slider on sq going in the given (file, rank) steps, stopping at the first
    // occupied square (included).
    Bitboard slide(int sq, Bitboard occupied, const int (*steps)[2])
    {
        Bitboard result = 0;
        for (int d = 0; d < 4; ++d) {
            int file = sq % 8 + steps[d][0];
            int rank = sq / 8 + steps[d][1];
            while (file >= 0 && file < 8 && rank >= 0 && rank < 8) {
                const int to = 8 * rank + file;
                result |= bit(to);
                if (occupied & bit(to))
                    break;
                file += steps[d][0];
                rank += steps[d][1];
            }
        }
        return result;
    }

    constexpr int rookSteps[4][2] = { { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 } };
    constexpr int bishopSteps[4][2] = { { 1, 1 }, { -1, 1 }, { 1, -1 }, { -1, -1 } };

    int popCount(Bitboard b)
    {
        int n = 0;
        for (; b; b &= b - 1)
            ++n;
        return n;
    }

    // Multipliers found once with the search below (seeds as in buildTables); the search only
    // runs again for a square whose stored multiplier would collide.
    constexpr Bitboard rookMagics[64] = {
        0x2080008610a04003ULL,
        0x140004010002005ULL,
        0x200102108814200ULL,
        0x4100050820100100ULL,
        0x600080420100200ULL,
        0x29001a0100280400ULL,
        0x40002040918b008ULL,
        0x200040580205201ULL,
        0x8000800040008020ULL,
        0x81004000810020ULL,
        0x8004801000842000ULL,
        0x801002009041000ULL,
        0x1001004080100ULL,
        0x802000201100408ULL,
        0x259000441000200ULL,
        0x80600208042010cULL,
        0x2880004000402014ULL,
        0x1000828020004000ULL,
        0x320088010028020ULL,
        0x1840090020100500ULL,
        0x14008080080004ULL,
        0x2420808002000400ULL,
        0x2400808001000200ULL,
        0xc009060000418304ULL,
        0x10800080204000ULL,
        0x4800200080400080ULL,
        0x880200080801000ULL,
        0x813000900100020ULL,
        0x28008180280400ULL,
        0x1900040080020080ULL,
        0x8209a80c00821009ULL,
        0x20006c2000900a4ULL,
        0x400400828800880ULL,
        0x9200802000804002ULL,
        0x801000802000ULL,
        0x80082801000ULL,
        0x9080180800400ULL,
        0x4220020080800400ULL,
        0x1008308104000208ULL,
        0x40082000061ULL,
        0x200840008fe08008ULL,
        0x2000500020004000ULL,
        0x89a0080010004040ULL,
        0x400201003030008ULL,
        0x5024000408008080ULL,
        0x2406020004008080ULL,
        0x4010002008080ULL,
        0x9800289400420001ULL,
        0x240004880002680ULL,
        0x900200240100140ULL,
        0x8000200010008080ULL,
        0x9c00100102200900ULL,
        0x81001008000500ULL,
        0x800040080020080ULL,
        0x9020118902400ULL,
        0x2020008044010200ULL,
        0x3430018800021c1ULL,
        0x901400285201101ULL,
        0x8080100900402001ULL,
        0x248082010000501ULL,
        0x2001008208482ULL,
        0x1000400080201ULL,
        0xc010011022008804ULL,
        0x200100802c4402ULL,
    };
    constexpr Bitboard bishopMagics[64] = {
        0x390129808002940ULL,
        0x24080200a202000cULL,
        0xc188420042000000ULL,
        0x9008208020800810ULL,
        0x164030880000202ULL,
        0x280a021084264000ULL,
        0x20c8480208211002ULL,
        0x40b018801111080ULL,
        0x4c929080805c2ULL,
        0x402c081004005040ULL,
        0xd05023060404c000ULL,
        0x108004042080a000ULL,
        0x4020820210028040ULL,
        0x100208220220444ULL,
        0x141820908808c100ULL,
        0x804084104012100ULL,
        0x20400802100240ULL,
        0xc0200210c610202ULL,
        0x450080104032840ULL,
        0x12008c22020060ULL,
        0x20b0800404a02001ULL,
        0x900808508014000ULL,
        0x880200842000ULL,
        0x30802224090810ULL,
        0x1408209404a00280ULL,
        0x2020088101406ULL,
        0x9c02020820480040ULL,
        0x10110040b4040002ULL,
        0x341010009444000ULL,
        0x1029010802009004ULL,
        0x4124024104980480ULL,
        0x240e008110248800ULL,
        0x121080900202000ULL,
        0xc1090a400080800ULL,
        0x2005140210500480ULL,
        0x5120180080081ULL,
        0x6900440400404100ULL,
        0x92006500020080ULL,
        0x4250d01002a0838ULL,
        0x8802004700120090ULL,
        0x8404100491000400ULL,
        0x8044441404002082ULL,
        0x4404020801012ULL,
        0x201010401016820ULL,
        0x2002200a2003400ULL,
        0x140410005a000040ULL,
        0x11040800810040ULL,
        0x20218a0082000102ULL,
        0x41880808d40100ULL,
        0x400250808140001ULL,
        0x100002422280288ULL,
        0x120042020100ULL,
        0x220004008220402ULL,
        0x1108222002022142ULL,
        0x40040428260c2400ULL,
        0x2082020c24008140ULL,
        0x1000802401200802ULL,
        0x1604102084042020ULL,
        0x40040100411000ULL,
        0x1300000b1940c00ULL,
        0x20020060a04110ULL,
        0x148000810010204ULL,
        0x8080883248880104ULL,
        0x1020180300a02aULL,
    };

    // A fixed-seed xorshift generator: the magics found are the same on every run.
    struct Random {
        Bitboard state;
        Bitboard next()
        {
            state ^= state >> 12;
            state ^= state << 25;
            state ^= state >> 27;
            return state * 2685821657736338717ULL;
        }
        Bitboard sparse() { return next() & next() & next(); }
    };

    // Finds a magic for every square, by trial when the stored one fails: the mask leaves out the
    // board's edge squares that never block, each subset of the mask is enumerated, and a candidate
    // multiplier is kept when no two subsets with different attacks share a table slot.
    void initMagics(Magic* magics, Bitboard* table, const int (*steps)[2], const Bitboard* stored,
        Bitboard seed)
    {
        Random random { seed };
        Bitboard occupancy[4096];
        Bitboard reference[4096];
        int epoch[4096] = {};
        int attempt = 0;
        Bitboard* slot = table;
        for (int sq = 0; sq < 64; ++sq) {
            const Bitboard rankEdges
                = (0xFFULL | 0xFF00000000000000ULL) & ~(0xFFULL << (8 * (sq / 8)));
            const Bitboard fileEdges = (0x0101010101010101ULL | 0x8080808080808080ULL)
                & ~(0x0101010101010101ULL << (sq % 8));
            Magic& m = magics[sq];
            m.mask = slide(sq, 0, steps) & ~(rankEdges | fileEdges);
            const int bits = popCount(m.mask);
            m.shift = static_cast<unsigned>(64 - bits);
            m.table = slot;
            int size = 0;
            Bitboard subset = 0;
            do {
                occupancy[size] = subset;
                reference[size] = slide(sq, subset, steps);
                ++size;
                subset = (subset - m.mask) & m.mask;
            } while (subset);
            for (bool found = false, first = true; !found; first = false) {
                if (first)
                    m.magic = stored[sq];
                else
                    do
                        m.magic = random.sparse();
                    while (popCount((m.mask * m.magic) >> 56) < 6);
                ++attempt;
                found = true;
                for (int i = 0; i < size; ++i) {
                    const unsigned idx = m.index(occupancy[i]);
                    if (epoch[idx] < attempt) {
                        epoch[idx] = attempt;
                        slot[idx] = reference[i];
                    } else if (slot[idx] != reference[i]) {
                        found = false;
                        break;
                    }
                }
            }
            slot += Bitboard { 1 } << bits;
        }
    }

    std::unique_ptr<Tables> buildTables()
    {
        auto t = std::make_unique<Tables>();
        for (int sq = 0; sq < 64; ++sq) {
            const int file = sq % 8;
            const int rank = sq / 8;
            auto leaper = [&](const int(*offsets)[2], int count) {
                Bitboard result = 0;
                for (int i = 0; i < count; ++i) {
                    const int f = file + offsets[i][0];
                    const int r = rank + offsets[i][1];
                    if (f >= 0 && f < 8 && r >= 0 && r < 8)
                        result |= bit(8 * r + f);
                }
                return result;
            };
            constexpr int knightOffsets[8][2] = { { 1, 2 }, { 2, 1 }, { 2, -1 }, { 1, -2 },
                { -1, -2 }, { -2, -1 }, { -2, 1 }, { -1, 2 } };
            constexpr int kingOffsets[8][2] = { { 1, 0 }, { 1, 1 }, { 0, 1 }, { -1, 1 }, { -1, 0 },
                { -1, -1 }, { 0, -1 }, { 1, -1 } };
            constexpr int whitePawn[2][2] = { { -1, 1 }, { 1, 1 } };
            constexpr int blackPawn[2][2] = { { -1, -1 }, { 1, -1 } };
            t->knight[sq] = leaper(knightOffsets, 8);
            t->king[sq] = leaper(kingOffsets, 8);
            t->pawn[0][sq] = leaper(whitePawn, 2);
            t->pawn[1][sq] = leaper(blackPawn, 2);
        }
        initMagics(t->rook, t->rookTable, rookSteps, rookMagics, 0x5EED0001C0FFEEULL);
        initMagics(t->bishop, t->bishopTable, bishopSteps, bishopMagics, 0xB15B0F00D1234ULL);
        for (int sq = 0; sq < 64; ++sq) {
            t->rookRays[sq] = slide(sq, 0, rookSteps);
            t->bishopRays[sq] = slide(sq, 0, bishopSteps);
        }
        for (int a = 0; a < 64; ++a) {
            for (int b = 0; b < 64; ++b) {
                t->between[a][b] = 0;
                t->line[a][b] = 0;
                if (a == b)
                    continue;
                for (const auto* steps : { rookSteps, bishopSteps }) {
                    const auto attacks
                        = [&](int sq, Bitboard occ) { return slide(sq, occ, steps); };
                    if (attacks(a, 0) & bit(b)) {
                        t->between[a][b] = attacks(a, bit(b)) & attacks(b, bit(a));
                        t->line[a][b] = (attacks(a, 0) & attacks(b, 0)) | bit(a) | bit(b);
                    }
                }
            }
        }
        return t;
    }

} // namespace

const Tables& tables()
{
    static const std::unique_ptr<Tables> instance = buildTables();
    return *instance;
}

} // namespace pictog::game::attacks

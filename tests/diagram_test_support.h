#pragma once

// Stand-in piece bitmaps for the board view tests: each piece is a plain block in a colour of
// its own, stored as 16-colour BMP files the way the program's resources are, so the tests also
// run the BMP reader.

#include "diagram/piece_bitmaps.h"
#include "diagram/raster.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pictog::test {

// A BMP file of bitCount 1, 4 or 8 (through the palette) or 24 or 32 bits per pixel;
// indexOf(x, y) gives the palette entry of each pixel, with y counted from the top.
inline std::vector<unsigned char> makeBmp(int width, int height, int bitCount,
    const std::vector<Pixel>& palette, const std::function<int(int, int)>& indexOf,
    bool topDown = false)
{
    std::vector<unsigned char> out;
    auto put16 = [&out](std::uint32_t v) {
        out.push_back(static_cast<unsigned char>(v));
        out.push_back(static_cast<unsigned char>(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const bool indexed = bitCount <= 8;
    const std::uint32_t paletteBytes = indexed ? static_cast<std::uint32_t>(4 * palette.size()) : 0;
    const std::uint32_t stride = static_cast<std::uint32_t>((width * bitCount + 31) / 32 * 4);
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    out.push_back('B');
    out.push_back('M');
    put32(offset + stride * static_cast<std::uint32_t>(height));
    put32(0);
    put32(offset);
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(topDown ? -height : height));
    put16(1);
    put16(static_cast<std::uint32_t>(bitCount));
    put32(0);
    put32(stride * static_cast<std::uint32_t>(height));
    put32(0);
    put32(0);
    put32(indexed ? static_cast<std::uint32_t>(palette.size()) : 0);
    put32(0);
    if (indexed) {
        for (Pixel p : palette) {
            out.push_back(static_cast<unsigned char>(pixelBlue(p)));
            out.push_back(static_cast<unsigned char>(pixelGreen(p)));
            out.push_back(static_cast<unsigned char>(pixelRed(p)));
            out.push_back(0);
        }
    }
    for (int stored = 0; stored < height; ++stored) {
        const int y = topDown ? stored : height - 1 - stored;
        std::vector<unsigned char> row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const int entry = indexOf(x, y);
            if (indexed) {
                const int bit = x * bitCount;
                row[static_cast<std::size_t>(bit / 8)]
                    |= static_cast<unsigned char>(entry << (8 - bitCount - bit % 8));
            } else {
                const Pixel p = palette[static_cast<std::size_t>(entry)];
                unsigned char* at = row.data() + x * bitCount / 8;
                at[0] = static_cast<unsigned char>(pixelBlue(p));
                at[1] = static_cast<unsigned char>(pixelGreen(p));
                at[2] = static_cast<unsigned char>(pixelRed(p));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// The standard 16-colour palette.
inline std::vector<Pixel> vgaPalette()
{
    return { pixelRgb(0, 0, 0), pixelRgb(128, 0, 0), pixelRgb(0, 128, 0), pixelRgb(128, 128, 0),
        pixelRgb(0, 0, 128), pixelRgb(128, 0, 128), pixelRgb(0, 128, 128), pixelRgb(128, 128, 128),
        pixelRgb(192, 192, 192), pixelRgb(255, 0, 0), pixelRgb(0, 255, 0), pixelRgb(255, 255, 0),
        pixelRgb(0, 0, 255), pixelRgb(255, 0, 255), pixelRgb(0, 255, 255),
        pixelRgb(255, 255, 255) };
}

// The stand-in pieces: piece code c is a block over x 10..27, y 6..33 of its square in palette
// colour c + 2 (so no two pieces share a colour and none is black), black elsewhere in its
// image; its mask is black over the block and white elsewhere.
struct TestPieces {
    static constexpr int BlockLeft = 10, BlockRight = 27, BlockTop = 6, BlockBottom = 33;

    static bool inBlock(int x, int y)
    {
        return x >= BlockLeft && x <= BlockRight && y >= BlockTop && y <= BlockBottom;
    }
    static Pixel colorOf(int piece) { return vgaPalette()[static_cast<std::size_t>(piece + 2)]; }

    TestPieces()
    {
        for (int piece = 1; piece <= 12; ++piece) {
            files["PIECE" + std::to_string(piece)] = makeBmp(38, 38, 4, vgaPalette(),
                [piece](int x, int y) { return inBlock(x, y) ? piece + 2 : 0; });
            files["PIECE" + std::to_string(piece + 12)] = makeBmp(
                38, 38, 4, vgaPalette(), [](int x, int y) { return inBlock(x, y) ? 0 : 15; });
        }
    }

    // A lookup over the stand-ins without the named resources.
    ResourceLookup lookup(std::set<std::string> missing = {}) const
    {
        return [this, missing](std::string_view name) -> std::optional<ResourceBytes> {
            const std::string key(name);
            const auto found = files.find(key);
            if (found == files.end() || missing.count(key))
                return std::nullopt;
            return ResourceBytes { found->second.data(), found->second.size() };
        };
    }

    std::map<std::string, std::vector<unsigned char>> files;
};

// Collects the error messages of the board view's creation.
struct RecordedMessages : ErrorMessages {
    void ShowError(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

} // namespace pictog::test

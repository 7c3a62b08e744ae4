#include "diagram/bmp_codec.h"

#include <cstdint>

namespace pictog {

namespace {

    constexpr std::size_t FileHeaderSize = 14;
    constexpr std::size_t InfoHeaderSize = 40;
    constexpr std::int64_t MaxSide = 16384;

    std::uint32_t readU16(const unsigned char* p)
    {
        return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
    }
    std::uint32_t readU32(const unsigned char* p)
    {
        return readU16(p) | readU16(p + 2) << 16;
    }
    std::int32_t readS32(const unsigned char* p)
    {
        return static_cast<std::int32_t>(readU32(p));
    }

    void putU16(std::vector<unsigned char>& out, std::uint32_t v)
    {
        out.push_back(static_cast<unsigned char>(v));
        out.push_back(static_cast<unsigned char>(v >> 8));
    }
    void putU32(std::vector<unsigned char>& out, std::uint32_t v)
    {
        putU16(out, v & 0xFFFF);
        putU16(out, v >> 16);
    }

} // namespace

std::optional<Raster> decodeBmp(const unsigned char* data, std::size_t size)
{
    if (!data || size < FileHeaderSize + InfoHeaderSize || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    const std::uint32_t pixelOffset = readU32(data + 10);
    const unsigned char* info = data + FileHeaderSize;
    const std::uint32_t infoSize = readU32(info);
    const std::int64_t width = readS32(info + 4);
    const std::int64_t signedHeight = readS32(info + 8);
    const std::uint32_t planes = readU16(info + 12);
    const std::uint32_t bitCount = readU16(info + 14);
    const std::uint32_t compression = readU32(info + 16);
    const std::uint32_t colorsUsed = readU32(info + 32);
    if (infoSize < InfoHeaderSize || infoSize > size - FileHeaderSize || planes != 1
        || compression != 0)
        return std::nullopt;
    const bool topDown = signedHeight < 0;
    const std::int64_t height = topDown ? -signedHeight : signedHeight;
    if (width <= 0 || width > MaxSide || height <= 0 || height > MaxSide)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return std::nullopt;

    // The palette follows the information header, four bytes (blue, green, red, 0) an entry.
    std::vector<Pixel> palette;
    if (bitCount <= 8) {
        const std::uint32_t maxColors = 1u << bitCount;
        const std::uint32_t colors = colorsUsed == 0 ? maxColors : colorsUsed;
        if (colors > maxColors)
            return std::nullopt;
        const std::size_t paletteStart = FileHeaderSize + infoSize;
        if (paletteStart + 4 * static_cast<std::size_t>(colors) > size)
            return std::nullopt;
        for (std::uint32_t i = 0; i < colors; ++i) {
            const unsigned char* entry = data + paletteStart + 4 * i;
            palette.push_back(pixelRgb(entry[2], entry[1], entry[0]));
        }
    }

    const std::int64_t stride = ((width * bitCount + 31) / 32) * 4;
    if (pixelOffset > size || stride * height > static_cast<std::int64_t>(size - pixelOffset))
        return std::nullopt;

    Raster picture(static_cast<int>(width), static_cast<int>(height));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t storedRow = topDown ? y : height - 1 - y;
        const unsigned char* row = data + pixelOffset + storedRow * stride;
        Pixel* out = picture.row(static_cast<int>(y));
        for (std::int64_t x = 0; x < width; ++x) {
            if (bitCount <= 8) {
                const std::int64_t bit = x * bitCount;
                const unsigned byte = row[bit / 8];
                const unsigned shift = 8 - bitCount - static_cast<unsigned>(bit % 8);
                const unsigned entry = (byte >> shift) & ((1u << bitCount) - 1);
                if (entry >= palette.size())
                    return std::nullopt;
                out[x] = palette[entry];
            } else {
                const unsigned char* p = row + x * (bitCount / 8);
                out[x] = pixelRgb(p[2], p[1], p[0]);
            }
        }
    }
    return picture;
}

std::vector<unsigned char> encodeBmp(const Raster& picture)
{
    const std::uint32_t width = static_cast<std::uint32_t>(picture.width());
    const std::uint32_t height = static_cast<std::uint32_t>(picture.height());
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = stride * height;
    const std::uint32_t offset = FileHeaderSize + InfoHeaderSize;

    std::vector<unsigned char> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    putU32(out, offset + imageSize);
    putU32(out, 0); // reserved
    putU32(out, offset);

    putU32(out, InfoHeaderSize);
    putU32(out, width);
    putU32(out, height); // positive: rows from the bottom up
    putU16(out, 1); // planes
    putU16(out, 24);
    putU32(out, 0); // no compression
    putU32(out, imageSize);
    putU32(out, 3780); // 96 dots per inch, in dots per metre
    putU32(out, 3780);
    putU32(out, 0); // no palette
    putU32(out, 0);

    out.resize(offset + imageSize);
    unsigned char* pixels = out.data() + offset;
    for (std::uint32_t y = 0; y < height; ++y) {
        const Pixel* in = picture.row(static_cast<int>(height - 1 - y));
        unsigned char* row = pixels + static_cast<std::size_t>(y) * stride;
        for (std::uint32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<unsigned char>(pixelBlue(in[x]));
            row[3 * x + 1] = static_cast<unsigned char>(pixelGreen(in[x]));
            row[3 * x + 2] = static_cast<unsigned char>(pixelRed(in[x]));
        }
        // The padding bytes are already zero from resize.
    }
    return out;
}

} // namespace pictog

#pragma once

#include "diagram/raster.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace pictog {

// Size of every IDAT chunk but the last.
constexpr std::size_t PngIdatChunkSize = 65535;

// The picture as a PNG file: the signature, IHDR (8 bits per sample, colour type 2 = RGB, no
// interlacing), the zlib stream (level 7, default window, memory level and strategy) of the rows
// from the top, each filtered with filter type 1 (Sub), in IDAT chunks of exactly 65535 bytes
// followed by one shorter chunk when bytes are left, then IEND; no other chunk. Throws
// std::invalid_argument for a picture without pixels and std::runtime_error when zlib fails
// (it does so only when out of memory).
std::vector<unsigned char> encodePng(const Raster& picture);

// The same encoding for many pictures in a row: the compressor and the buffers are kept from one
// picture to the next, which saves most of the cost of a small picture. Not for use by two
// threads at once.
class PngEncoder
{
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // Replaces out with the PNG file of the picture, exactly as encodePng gives it.
    void encode(const Raster& picture, std::vector<unsigned char>& out);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    std::vector<unsigned char> m_rows;
    std::vector<unsigned char> m_chunk;
};

} // namespace pictog

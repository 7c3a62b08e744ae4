#include "diagram/png_encoder.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace pictog {

namespace {

    constexpr unsigned char Signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    constexpr int CompressionLevel = 7;

    void putU32(std::vector<unsigned char>& out, std::uint32_t v)
    {
        out.push_back(static_cast<unsigned char>(v >> 24));
        out.push_back(static_cast<unsigned char>(v >> 16));
        out.push_back(static_cast<unsigned char>(v >> 8));
        out.push_back(static_cast<unsigned char>(v));
    }

    // Length, type, data and the CRC over type and data.
    void putChunk(std::vector<unsigned char>& out, const char (&type)[5], const unsigned char* data,
        std::size_t size)
    {
        putU32(out, static_cast<std::uint32_t>(size));
        const std::size_t typeStart = out.size();
        out.insert(out.end(), type, type + 4);
        if (size > 0)
            out.insert(out.end(), data, data + size);
        const uLong crc = crc32(0L, out.data() + typeStart, static_cast<uInt>(size + 4));
        putU32(out, static_cast<std::uint32_t>(crc));
    }

    // Every row as the filter-type byte 1 and the RGB bytes of its pixels, each minus the byte
    // three places earlier (0 before the first pixel), modulo 256.
    void filterRows(const Raster& picture, std::vector<unsigned char>& rows)
    {
        const std::size_t width = static_cast<std::size_t>(picture.width());
        const std::size_t rowSize = 1 + 3 * width;
        // Every byte is written below, so a buffer kept from an earlier picture needs no clearing.
        rows.resize(rowSize * static_cast<std::size_t>(picture.height()));
        for (int y = 0; y < picture.height(); ++y) {
            unsigned char* out = rows.data() + static_cast<std::size_t>(y) * rowSize;
            *out++ = 1;
            const Pixel* in = picture.row(y);
            Pixel left = 0;
            for (std::size_t x = 0; x < width; ++x) {
                const Pixel p = in[x];
                *out++ = static_cast<unsigned char>(pixelRed(p) - pixelRed(left));
                *out++ = static_cast<unsigned char>(pixelGreen(p) - pixelGreen(left));
                *out++ = static_cast<unsigned char>(pixelBlue(p) - pixelBlue(left));
                left = p;
            }
        }
    }

} // namespace

struct PngEncoder::Stream {
    z_stream z {};
};

PngEncoder::PngEncoder()
    : m_stream(std::make_unique<Stream>())
    , m_chunk(PngIdatChunkSize)
{
    if (deflateInit(&m_stream->z, CompressionLevel) != Z_OK)
        throw std::runtime_error("cannot start the PNG compression");
}

PngEncoder::~PngEncoder()
{
    deflateEnd(&m_stream->z);
}

void PngEncoder::encode(const Raster& picture, std::vector<unsigned char>& out)
{
    if (picture.empty())
        throw std::invalid_argument("a PNG picture needs at least one pixel");

    out.assign(std::begin(Signature), std::end(Signature));

    unsigned char header[13];
    const std::uint32_t width = static_cast<std::uint32_t>(picture.width());
    const std::uint32_t height = static_cast<std::uint32_t>(picture.height());
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
    }
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    header[10] = 0; // deflate
    header[11] = 0; // adaptive filtering
    header[12] = 0; // no interlacing
    putChunk(out, "IHDR", header, sizeof header);

    filterRows(picture, m_rows);

    // A reset stream compresses exactly as a new one does, without allocating again.
    z_stream& z = m_stream->z;
    if (deflateReset(&z) != Z_OK)
        throw std::runtime_error("cannot start the PNG compression");
    z.next_in = m_rows.data();
    z.avail_in = static_cast<uInt>(m_rows.size());

    // The compressed bytes gather in a buffer of one chunk's size; each time it is full it
    // becomes an IDAT chunk of exactly that size, and what is left at the end a shorter one.
    unsigned char* const buffer = m_chunk.data();
    for (;;) {
        z.next_out = buffer;
        z.avail_out = static_cast<uInt>(PngIdatChunkSize);
        const int status = deflate(&z, Z_FINISH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            throw std::runtime_error("PNG compression failed");
        const std::size_t filled = PngIdatChunkSize - z.avail_out;
        if (status == Z_STREAM_END) {
            if (filled > 0)
                putChunk(out, "IDAT", buffer, filled);
            break;
        }
        if (filled != PngIdatChunkSize)
            throw std::runtime_error("PNG compression made no progress");
        putChunk(out, "IDAT", buffer, filled);
    }

    putChunk(out, "IEND", nullptr, 0);
}

std::vector<unsigned char> encodePng(const Raster& picture)
{
    PngEncoder encoder;
    std::vector<unsigned char> out;
    encoder.encode(picture, out);
    return out;
}

} // namespace pictog

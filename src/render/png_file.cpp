// The PNG file of a diagram: the painted image, encoded with the position as metadata.
#include "diagram_painter.h"

#include "export/text_exports.h"
#include "position/epd_line.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>
#include <zlib.h>

namespace pictog {

namespace {

    void appendBigEndian(std::string& out, std::uint32_t v)
    {
        out.push_back(static_cast<char>(v >> 24));
        out.push_back(static_cast<char>(v >> 16));
        out.push_back(static_cast<char>(v >> 8));
        out.push_back(static_cast<char>(v));
    }

    void appendChunk(std::string& out, const char* type, const std::string& data)
    {
        appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = out.size();
        out.append(type, 4);
        out += data;
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + start),
            static_cast<uInt>(out.size() - start));
        appendBigEndian(out, static_cast<std::uint32_t>(crc));
    }

    // tEXt takes Latin-1 text without NUL; a FEN line is plain ASCII, anything else is dropped.
    std::string latin1Text(const std::string& keyword, const std::string& text)
    {
        std::string data = keyword;
        data.push_back('\0');
        for (char c : text)
            if (c >= 0x20 && c < 0x7F)
                data.push_back(c);
        return data;
    }

    // PNG files of opaque ARGB32 pixels: 8-bit RGB, each row filtered with Up (Sub for the
    // first), which leaves the runs of a board's flat squares as zeros, compressed at zlib's
    // fastest level (the picture is mostly flat colour, so little is lost); the
    // compressor is kept from one picture to the next.
    class PngWriter
    {
    public:
        PngWriter()
        {
            m_ready = deflateInit2(&m_z, 1, Z_DEFLATED, 15, 6, Z_DEFAULT_STRATEGY) == Z_OK;
        }
        ~PngWriter()
        {
            if (m_ready)
                deflateEnd(&m_z);
        }
        PngWriter(const PngWriter&) = delete;
        PngWriter& operator=(const PngWriter&) = delete;

        // The file, with extra chunks (complete, CRC included) right after IHDR; empty when
        // zlib fails.
        std::string encode(const unsigned char* data, int width, int height, int stride,
            const std::string& extraChunks, bool alpha = false)
        {
            if (!m_ready || deflateReset(&m_z) != Z_OK)
                return {};
            const std::size_t rowBytes = 1 + (alpha ? 4 : 3) * static_cast<std::size_t>(width);
            m_row.resize(rowBytes);
            m_idat.resize(deflateBound(&m_z, static_cast<uLong>(rowBytes * height)));
            m_z.next_out = reinterpret_cast<Bytef*>(m_idat.data());
            m_z.avail_out = static_cast<uInt>(m_idat.size());
            // Each channel less the same channel of the pixel above (Up), or of the pixel to the
            // left in the first row (Sub), straight from the picture's words.
            const auto channel
                = [](std::uint32_t p, int shift) { return static_cast<unsigned char>(p >> shift); };
            for (int y = 0; y < height; ++y) {
                const auto* current = reinterpret_cast<const std::uint32_t*>(
                    data + static_cast<std::size_t>(y) * stride);
                const auto* above = y == 0 ? nullptr
                                           : reinterpret_cast<const std::uint32_t*>(
                                               data + static_cast<std::size_t>(y - 1) * stride);
                unsigned char* out = m_row.data();
                *out++ = y == 0 ? 1 : 2;
                for (int x = 0; x < width; ++x) {
                    std::uint32_t p = current[x];
                    std::uint32_t q = above ? above[x] : x > 0 ? current[x - 1] : 0;
                    if (alpha) {
                        p = straight(p);
                        q = straight(q);
                    }
                    *out++ = static_cast<unsigned char>(channel(p, 16) - channel(q, 16));
                    *out++ = static_cast<unsigned char>(channel(p, 8) - channel(q, 8));
                    *out++ = static_cast<unsigned char>(channel(p, 0) - channel(q, 0));
                    if (alpha)
                        *out++ = static_cast<unsigned char>(channel(p, 24) - channel(q, 24));
                }
                m_z.next_in = m_row.data();
                m_z.avail_in = static_cast<uInt>(rowBytes);
                if (deflate(&m_z, y + 1 == height ? Z_FINISH : Z_NO_FLUSH) == Z_STREAM_ERROR)
                    return {};
            }
            if (m_z.avail_in != 0)
                return {};
            const std::size_t compressed = m_idat.size() - m_z.avail_out;

            std::string png("\x89PNG\r\n\x1a\n", 8);
            std::string header;
            appendBigEndian(header, static_cast<std::uint32_t>(width));
            appendBigEndian(header, static_cast<std::uint32_t>(height));
            // 8-bit RGB or RGBA, no interlace
            header += std::string(alpha ? "\x08\x06\x00\x00\x00" : "\x08\x02\x00\x00\x00", 5);
            appendChunk(png, "IHDR", header);
            png += extraChunks;
            appendChunk(png, "IDAT", std::string(m_idat.data(), compressed));
            appendChunk(png, "IEND", std::string());
            return png;
        }

    private:
        // A premultiplied ARGB word as straight (not premultiplied) colour.
        static std::uint32_t straight(std::uint32_t p)
        {
            const std::uint32_t a = p >> 24;
            if (a == 0 || a == 255)
                return a == 0 ? 0 : p;
            const auto un = [&](int shift) {
                return std::min<std::uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a);
            };
            return (a << 24) | (un(16) << 16) | (un(8) << 8) | un(0);
        }

        z_stream m_z {};
        bool m_ready = false;
        std::vector<unsigned char> m_row;
        std::string m_idat;
    };

} // namespace

std::string renderDiagramPng(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    const CairoSurface surface = renderSurface(board, panel, options);
    if (!surface)
        return {};
    std::string chunks;
    if (options.dpi > 0) {
        std::string phys;
        const auto perMetre = static_cast<std::uint32_t>(std::lround(options.dpi / 0.0254));
        appendBigEndian(phys, perMetre);
        appendBigEndian(phys, perMetre);
        phys.push_back('\1'); // unit: metre
        appendChunk(chunks, "pHYs", phys);
    }
    appendChunk(chunks, "tEXt", latin1Text("FEN", BuildEPDLine(board, panel)));
    appendChunk(chunks, "tEXt", latin1Text("Software", "Pictog"));
    // iTXt: keyword, NUL, uncompressed, method 0, no language, no translated keyword, UTF-8.
    appendChunk(chunks, "iTXt",
        std::string("Description\0\0\0\0\0", 16)
            + DescribePosition(boardCodesOf(board), panel.moveRight));
    thread_local PngWriter writer;
    return writer.encode(cairo_image_surface_get_data(surface.get()),
        cairo_image_surface_get_width(surface.get()), cairo_image_surface_get_height(surface.get()),
        cairo_image_surface_get_stride(surface.get()), chunks, options.transparent);
}

} // namespace pictog

#include "image_writers.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <zlib.h>

namespace artgen {

namespace {

    void put16(Bytes& out, std::uint32_t v)
    {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }

    void put32(Bytes& out, std::uint32_t v)
    {
        put16(out, v & 0xFFFF);
        put16(out, v >> 16);
    }

    void put32be(Bytes& out, std::uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(v >> shift));
    }

    // The 16 colours every 16-colour display has, in their usual order.
    constexpr Argb Vga16[16] = {
        rgb(0, 0, 0),
        rgb(128, 0, 0),
        rgb(0, 128, 0),
        rgb(128, 128, 0),
        rgb(0, 0, 128),
        rgb(128, 0, 128),
        rgb(0, 128, 128),
        rgb(192, 192, 192),
        rgb(128, 128, 128),
        rgb(255, 0, 0),
        rgb(0, 255, 0),
        rgb(255, 255, 0),
        rgb(0, 0, 255),
        rgb(255, 0, 255),
        rgb(0, 255, 255),
        rgb(255, 255, 255),
    };

    int gifWrite(GifFileType* gif, const GifByteType* data, int length)
    {
        auto* out = static_cast<Bytes*>(gif->UserData);
        out->insert(out->end(), data, data + length);
        return length;
    }

    void pngChunk(Bytes& out, const char* type, const Bytes& data)
    {
        put32be(out, static_cast<std::uint32_t>(data.size()));
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        put32be(
            out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    }

} // namespace

Bytes encodeBmp16(const Image& image)
{
    const std::uint32_t stride = ((static_cast<std::uint32_t>(image.width) * 4 + 31) / 32) * 4;
    const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(image.height);
    const std::uint32_t offset = 14 + 40 + 16 * 4;
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + pixelBytes);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height));
    put16(out, 1);
    put16(out, 4);
    put32(out, 0); // BI_RGB
    put32(out, pixelBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 16);
    put32(out, 0);
    for (Argb c : Vga16) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        out.push_back(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const Argb c = image.at(x, y) | 0xFF000000u;
            const auto* entry = std::find(std::begin(Vga16), std::end(Vga16), c);
            if (entry == std::end(Vga16))
                throw std::runtime_error("BMP pixel outside the 16-colour palette");
            const auto index = static_cast<std::uint8_t>(entry - std::begin(Vga16));
            row[x / 2] |= x % 2 == 0 ? static_cast<std::uint8_t>(index << 4) : index;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeGif(const Image& image)
{
    // Find a rounding coarse enough for the palette; the pieces' few inks and their blends fit
    // at full precision.
    std::map<Argb, int> colours;
    Argb roundMask = 0xFFFFFF;
    for (;;) {
        colours.clear();
        for (Argb p : image.pixels)
            if ((p >> 24) >= GifOpaqueAlpha)
                colours.emplace(p & roundMask, 0);
        if (colours.size() <= 255)
            break;
        roundMask = (roundMask << 1) & 0xFEFEFE;
    }
    int index = 1;
    for (auto& entry : colours)
        entry.second = index++;
    int bits = 1;
    while ((1 << bits) < index)
        ++bits;

    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    if (map == nullptr)
        throw std::runtime_error("giflib: no memory");
    // Entry 0 is transparent; shown white where transparency is ignored.
    map->Colors[0] = { 255, 255, 255 };
    for (const auto& [colour, i] : colours) {
        map->Colors[i] = { static_cast<GifByteType>(colour >> 16),
            static_cast<GifByteType>(colour >> 8), static_cast<GifByteType>(colour) };
    }

    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, gifWrite, &error);
    if (gif == nullptr) {
        GifFreeMapObject(map);
        throw std::runtime_error("giflib: cannot open");
    }
    EGifSetGifVersion(gif, true);
    GraphicsControlBlock control {};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.TransparentColor = 0;
    GifByteType extension[4];
    const std::size_t extensionLength = EGifGCBToExtension(&control, extension);

    bool ok = EGifPutScreenDesc(gif, image.width, image.height, bits, 0, map) == GIF_OK
        && EGifPutExtension(
               gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionLength), extension)
            == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Argb p = image.at(x, y);
            line[x] = (p >> 24) >= GifOpaqueAlpha
                ? static_cast<GifPixelType>(colours.at(p & roundMask))
                : 0;
        }
        ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
    }
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok || !closed)
        throw std::runtime_error("giflib: cannot encode");
    return out;
}

Bytes encodeJpeg(const Image& image, int quality)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors); // a failure ends the tool, which is all it can do
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    info.write_JFIF_header = TRUE;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(image.width) * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < image.width; ++x) {
            const Argb p = image.at(x, y);
            row[x * 3] = static_cast<JSAMPLE>(p >> 16);
            row[x * 3 + 1] = static_cast<JSAMPLE>(p >> 8);
            row[x * 3 + 2] = static_cast<JSAMPLE>(p);
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

namespace {

    // A PNG at zlib level 9 in one IDAT chunk: RGB, or RGBA with the image's alpha.
    Bytes encodePngOf(const Image& image, bool alpha)
    {
        Bytes raw;
        for (int y = 0; y < image.height; ++y) {
            raw.push_back(0);
            for (int x = 0; x < image.width; ++x) {
                const Argb p = image.at(x, y);
                raw.push_back(static_cast<std::uint8_t>(p >> 16));
                raw.push_back(static_cast<std::uint8_t>(p >> 8));
                raw.push_back(static_cast<std::uint8_t>(p));
                if (alpha)
                    raw.push_back(static_cast<std::uint8_t>(p >> 24));
            }
        }
        uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
        Bytes packed(packedSize);
        if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9)
            != Z_OK)
            throw std::runtime_error("zlib: cannot compress");
        packed.resize(packedSize);

        Bytes out = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
        Bytes header;
        put32be(header, static_cast<std::uint32_t>(image.width));
        put32be(header, static_cast<std::uint32_t>(image.height));
        header.insert(header.end(), { 8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0 });
        pngChunk(out, "IHDR", header);
        pngChunk(out, "IDAT", packed);
        pngChunk(out, "IEND", {});
        return out;
    }

} // namespace

Bytes encodePng(const Image& image)
{
    return encodePngOf(image, false);
}

Bytes encodePngWithAlpha(const Image& image)
{
    return encodePngOf(image, true);
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeText(const std::string& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}

} // namespace artgen

// The artwork compiled into the program and the piece images shipped beside it.
#include "diagram/embedded_resources.h"
#include "diagram/jpeg_decoder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

using namespace pictog;

namespace {

constexpr int Edge = 38;
constexpr std::uint32_t Black = 0x000000, White = 0xFFFFFF, Grey = 0xC0C0C0;

std::uint32_t le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint32_t be32(const unsigned char* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// A 38 x 38 piece bitmap as 0xRRGGBB pixels, rows from the top.
struct Bitmap {
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * Edge + x)]; }
};

// Reads PIECEn with the checks of its format; fails the test on any deviation.
Bitmap pieceBitmap(int n)
{
    const std::string name = "PIECE" + std::to_string(n);
    const auto res = findResource(name);
    EXPECT_TRUE(res.has_value()) << name;
    if (!res)
        return {};
    const unsigned char* b = res->data;
    const std::uint32_t stride = 20; // 38 pixels of 4 bits, padded to 4 bytes
    EXPECT_EQ(res->size, 14u + 40 + 64 + stride * Edge) << name;
    EXPECT_TRUE(b[0] == 'B' && b[1] == 'M') << name;
    EXPECT_EQ(le32(b + 2), res->size) << name;
    EXPECT_EQ(le32(b + 14), 40u) << name;
    EXPECT_EQ(static_cast<int>(le32(b + 18)), Edge) << name;
    EXPECT_EQ(static_cast<int>(le32(b + 22)), Edge) << name; // positive: bottom-up
    EXPECT_EQ(b[28] | (b[29] << 8), 4) << name;
    EXPECT_EQ(le32(b + 30), 0u) << name; // uncompressed
    Bitmap bitmap;
    if (res->size != 14u + 40 + 64 + stride * Edge)
        return bitmap;
    const std::uint32_t offset = le32(b + 10);
    for (int y = 0; y < Edge; ++y) {
        const unsigned char* row = b + offset + (Edge - 1 - y) * stride;
        for (int x = 0; x < Edge; ++x) {
            const int index = x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
            const unsigned char* entry = b + 54 + index * 4;
            bitmap.pixels.push_back((entry[2] << 16) | (entry[1] << 8) | entry[0]);
        }
    }
    return bitmap;
}

Bitmap mirrored(const Bitmap& b)
{
    Bitmap m = b;
    for (int y = 0; y < Edge; ++y)
        for (int x = 0; x < Edge; ++x)
            m.pixels[static_cast<std::size_t>(y * Edge + x)] = b.at(Edge - 1 - x, y);
    return m;
}

bool inSilhouette(const Bitmap& mask, int x, int y)
{
    return x >= 0 && y >= 0 && x < Edge && y < Edge && mask.at(x, y) == Black;
}

std::vector<unsigned char> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// A JPEG of the given colour space whose pixel (x, y) has the components sample(x, y, c).
template <typename Sample>
std::vector<unsigned char> encodeJpeg(
    int width, int height, J_COLOR_SPACE space, int components, Sample sample)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                row[static_cast<std::size_t>(x * components + c)]
                    = static_cast<JSAMPLE>(sample(x, y, c));
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

int channelOf(std::uint32_t pixel, int c)
{
    return static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF);
}

const char* const PieceNames[12]
    = { "white pawn", "white knight", "white bishop", "white rook", "white queen", "white king",
          "black pawn", "black knight", "black bishop", "black rook", "black queen", "black king" };

} // namespace

TEST(EmbeddedResources, FindsExactlyTheProgramsNames)
{
    std::vector<std::string> present;
    for (int n = 1; n <= 24; ++n)
        present.push_back("PIECE" + std::to_string(n));
    for (int n = 1; n <= 6; ++n)
        present.push_back("PALETTE" + std::to_string(n));
    present.push_back("ABOUT");
    for (const std::string& name : present) {
        const auto res = findResource(name);
        ASSERT_TRUE(res.has_value()) << name;
        EXPECT_NE(res->data, nullptr) << name;
        EXPECT_GT(res->size, 0u) << name;
    }
    for (const char* name : { "", "PIECE0", "PIECE25", "PIECE01", "piece1", "PIECE1 ", "PALETTE0",
             "PALETTE7", "about", "PIECE" }) {
        EXPECT_FALSE(findResource(name).has_value()) << '"' << name << '"';
    }
}

// An image is black wherever the square shows through its mask; the mask is black over the
// whole silhouette; every pixel is one of the three colours of the drawing.
class PieceBitmapTest : public testing::TestWithParam<int>
{
};

TEST_P(PieceBitmapTest, ImageAndMaskFollowTheDrawingRule)
{
    const int code = GetParam();
    const bool white = code <= 6;
    const Bitmap image = pieceBitmap(code);
    const Bitmap mask = pieceBitmap(code + 12);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(Edge * Edge));
    ASSERT_EQ(mask.pixels.size(), static_cast<std::size_t>(Edge * Edge));

    int silhouette = 0, whites = 0, greys = 0;
    for (int y = 0; y < Edge; ++y) {
        for (int x = 0; x < Edge; ++x) {
            const std::uint32_t m = mask.at(x, y), p = image.at(x, y);
            ASSERT_TRUE(m == Black || m == White)
                << PieceNames[code - 1] << " mask at " << x << "," << y;
            ASSERT_TRUE(p == Black || p == White || p == Grey)
                << PieceNames[code - 1] << " at " << x << "," << y;
            if (m == White) {
                EXPECT_EQ(p, Black)
                    << PieceNames[code - 1] << ": drawing outside the mask at " << x << "," << y;
                continue;
            }
            ++silhouette;
            whites += p == White;
            greys += p == Grey;
            // The outline: a silhouette pixel beside the outside is black on either colour.
            const bool edge = !inSilhouette(mask, x - 1, y) || !inSilhouette(mask, x + 1, y)
                || !inSilhouette(mask, x, y - 1) || !inSilhouette(mask, x, y + 1);
            if (edge) {
                EXPECT_EQ(p, Black)
                    << PieceNames[code - 1] << ": outline broken at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(silhouette, 150) << PieceNames[code - 1];
    if (white) {
        EXPECT_GT(whites, silhouette * 2 / 5)
            << PieceNames[code - 1] << " is not mostly white inside";
        if (code == 1) {
            EXPECT_TRUE(greys >= 1 && greys <= 12)
                << "the white pawn has " << greys << " grey pixels";
        } else {
            EXPECT_EQ(greys, 0) << PieceNames[code - 1];
        }
    } else {
        EXPECT_EQ(greys, 0) << PieceNames[code - 1];
        EXPECT_LT(whites, silhouette / 5) << PieceNames[code - 1] << " is not mostly black";
        if (code == 7) {
            EXPECT_EQ(whites, 0) << "the black pawn is entirely black";
        } else {
            EXPECT_GT(whites, 0) << PieceNames[code - 1] << " has no white detail lines";
        }
    }
}

// The silhouette is one piece with a free pixel all round, so neighbouring squares never touch,
// and the black piece has the white one's silhouette.
TEST_P(PieceBitmapTest, SilhouetteIsOneShapeInsideTheSquare)
{
    const int code = GetParam();
    const Bitmap mask = pieceBitmap(code + 12);
    ASSERT_EQ(mask.pixels.size(), static_cast<std::size_t>(Edge * Edge));
    if (code > 6) {
        EXPECT_EQ(mask.pixels, pieceBitmap(code + 6).pixels) << PieceNames[code - 1];
    }

    std::vector<int> stack;
    std::vector<bool> seen(Edge * Edge, false);
    int total = 0;
    for (int i = 0; i < Edge * Edge; ++i) {
        const int x = i % Edge, y = i / Edge;
        if (mask.pixels[i] != Black)
            continue;
        ++total;
        EXPECT_TRUE(x > 0 && y > 0 && x < Edge - 1 && y < Edge - 1)
            << PieceNames[code - 1] << " touches the square's edge at " << x << "," << y;
        if (stack.empty() && !seen[i] && total == 1) {
            stack.push_back(i);
            seen[i] = true;
        }
    }
    int reached = 0;
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        ++reached;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = i % Edge + dx, y = i / Edge + dy;
                if (inSilhouette(mask, x, y) && !seen[y * Edge + x]) {
                    seen[y * Edge + x] = true;
                    stack.push_back(y * Edge + x);
                }
            }
        }
    }
    EXPECT_EQ(reached, total) << PieceNames[code - 1] << " has stray pixels";
}

INSTANTIATE_TEST_SUITE_P(AllPieces, PieceBitmapTest, testing::Range(1, 13));

TEST(PieceBitmaps, MasksAreMirrorSymmetricExceptTheKnight)
{
    for (int code = 1; code <= 12; ++code) {
        const Bitmap mask = pieceBitmap(code + 12);
        const Bitmap flipped = mirrored(mask);
        int differing = 0;
        for (std::size_t i = 0; i < mask.pixels.size(); ++i)
            differing += mask.pixels[i] != flipped.pixels[i];
        if (code == 2 || code == 8) {
            EXPECT_GT(differing, 40) << PieceNames[code - 1] << " must face one way";
        } else {
            EXPECT_EQ(differing, 0) << PieceNames[code - 1];
        }
    }
}

// Six different silhouettes, the king standing tallest and the pawn smallest.
TEST(PieceBitmaps, SilhouettesDifferAndRankByHeight)
{
    std::vector<Bitmap> masks;
    std::vector<int> top;
    for (int code = 1; code <= 6; ++code) {
        masks.push_back(pieceBitmap(code + 12));
        int row = Edge;
        for (int i = 0; i < Edge * Edge && row == Edge; ++i)
            if (masks.back().pixels[i] == Black)
                row = i / Edge;
        top.push_back(row);
    }
    for (int a = 0; a < 6; ++a)
        for (int b = a + 1; b < 6; ++b)
            EXPECT_NE(masks[a].pixels, masks[b].pixels) << PieceNames[a] << " / " << PieceNames[b];
    EXPECT_EQ(*std::min_element(top.begin(), top.end()), top[5]) << "the king is not the tallest";
    EXPECT_EQ(*std::max_element(top.begin(), top.end()), top[0]) << "the pawn is not the smallest";
}

TEST(PaletteIcons, DecodeToWhitePiecesOnALightGround)
{
    for (int n = 1; n <= 6; ++n) {
        const auto res = findResource("PALETTE" + std::to_string(n));
        ASSERT_TRUE(res.has_value());
        const JpegDecoding decoded = decodeJpeg(res->data, res->size);
        ASSERT_TRUE(decoded.image.has_value()) << n << ": " << decoded.error;
        const RgbPixels& icon = *decoded.image;
        ASSERT_EQ(icon.width, Edge);
        ASSERT_EQ(icon.height, Edge);
        ASSERT_EQ(icon.pixels.size(), static_cast<std::size_t>(Edge * Edge));
        int dark = 0, light = 0;
        for (std::uint32_t p : icon.pixels) {
            EXPECT_EQ(p >> 24, 0u);
            const int grey = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            dark += grey < 64;
            light += grey > 240;
        }
        for (const std::uint32_t corner :
            { icon.pixels.front(), icon.pixels[Edge - 1], icon.pixels.back() })
            EXPECT_GT(corner & 0xFF, 180u) << "palette " << n << " ground is not light";
        EXPECT_GT(dark, 40) << "palette " << n << " shows no outline";
        EXPECT_GT(light, 40) << "palette " << n << " shows no white piece";
    }
}

TEST(JpegDecoder, ReportsDamagedDataAsAnError)
{
    const auto res = findResource("PALETTE6");
    ASSERT_TRUE(res.has_value());
    const std::vector<unsigned char> good(res->data, res->data + res->size);
    const std::vector<unsigned char> soiOnly = { 0xFF, 0xD8 };
    const std::vector<unsigned char> text = { 'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g' };
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        { "empty", {} },
        { "not a JPEG", text },
        { "start marker only", soiOnly },
        { "cut after the headers",
            { good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 4) } },
        { "cut in the middle",
            { good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2) } },
        { "cut before the end marker", { good.begin(), good.end() - 40 } },
    };
    for (const Case& c : cases) {
        const JpegDecoding decoded = decodeJpeg(c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(decoded.image.has_value()) << c.what;
        EXPECT_FALSE(decoded.error.empty()) << c.what;
    }
    EXPECT_FALSE(decodeJpeg(nullptr, 0).image.has_value());
}

// Colour and greyscale pictures come out as 0x00RRGGBB, row by row from the top, in their own size.
TEST(JpegDecoder, DecodesColourAndGreyInPixelOrder)
{
    // Flat quarters of pure colours survive quality 100 within a few levels.
    const std::uint32_t quarters[4] = { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00 };
    const int w = 32, h = 16;
    auto quarter = [&](int x, int y) { return quarters[(y >= h / 2) * 2 + (x >= w / 2)]; };
    const auto colour = encodeJpeg(
        w, h, JCS_RGB, 3, [&](int x, int y, int c) { return channelOf(quarter(x, y), c); });
    const JpegDecoding rgb = decodeJpeg(colour.data(), colour.size());
    ASSERT_TRUE(rgb.image.has_value()) << rgb.error;
    ASSERT_EQ(rgb.image->width, w);
    ASSERT_EQ(rgb.image->height, h);
    for (const auto& [x, y] :
        { std::pair { 3, 3 }, std::pair { 28, 3 }, std::pair { 3, 12 }, std::pair { 28, 12 } }) {
        const std::uint32_t p = rgb.image->pixels[static_cast<std::size_t>(y * w + x)];
        EXPECT_EQ(p >> 24, 0u);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(channelOf(p, c), channelOf(quarter(x, y), c), 8)
                << x << "," << y << " channel " << c;
    }

    const auto grey
        = encodeJpeg(w, h, JCS_GRAYSCALE, 1, [](int x, int, int) { return x < 16 ? 40 : 220; });
    const JpegDecoding mono = decodeJpeg(grey.data(), grey.size());
    ASSERT_TRUE(mono.image.has_value()) << mono.error;
    for (const int x : { 2, 29 }) {
        const std::uint32_t p = mono.image->pixels[static_cast<std::size_t>(5 * w + x)];
        EXPECT_EQ(channelOf(p, 0), channelOf(p, 1));
        EXPECT_EQ(channelOf(p, 1), channelOf(p, 2));
        EXPECT_NEAR(channelOf(p, 0), x < 16 ? 40 : 220, 6);
    }

    const auto cmyk = encodeJpeg(8, 8, JCS_CMYK, 4, [](int, int, int) { return 128; });
    const JpegDecoding unsupported = decodeJpeg(cmyk.data(), cmyk.size());
    EXPECT_FALSE(unsupported.image.has_value());
    EXPECT_FALSE(unsupported.error.empty());
}

// Damage anywhere gives a picture or an error, never a crash or a message on the console.
TEST(JpegDecoder, SurvivesRandomDamage)
{
    const auto res = findResource("PALETTE2");
    ASSERT_TRUE(res.has_value());
    std::mt19937 random(2002);
    int errors = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<unsigned char> bytes(res->data, res->data + res->size);
        const int hits = 1 + round % 8;
        for (int i = 0; i < hits; ++i)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        const JpegDecoding decoded = decodeJpeg(bytes.data(), bytes.size());
        if (decoded.image) {
            EXPECT_EQ(decoded.image->pixels.size(),
                static_cast<std::size_t>(decoded.image->width) * decoded.image->height);
        } else {
            ++errors;
            EXPECT_FALSE(decoded.error.empty());
        }
    }
    EXPECT_GT(errors, 0);
}

TEST(AboutPicture, IsASmallTrueColourPng)
{
    const auto res = findResource("ABOUT");
    ASSERT_TRUE(res.has_value());
    ASSERT_GT(res->size, 33u);
    const unsigned char signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    EXPECT_TRUE(std::equal(signature, signature + 8, res->data));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(res->data + 12), 4), "IHDR");
    const std::uint32_t width = be32(res->data + 16), height = be32(res->data + 20);
    EXPECT_TRUE(width >= 100 && width <= 150) << width;
    EXPECT_TRUE(height >= 100 && height <= 150) << height;
    EXPECT_EQ(res->data[24], 8); // bits per channel
    EXPECT_EQ(res->data[25], 2); // RGB
}

// The HTML image folder: eight sets of twelve pieces at their sizes and the two side-to-move
// marks, each with a transparent ground, in the sources and beside the built program.
TEST(PieceImageSets, EverySetHasTwelveImagesOfItsSize)
{
    struct Image {
        std::string file;
        int size;
    };
    std::vector<Image> images = { { "w2move.gif", 29 }, { "b2move.gif", 29 } };
    const int sizes[8] = { 38, 32, 48, 30, 35, 35, 35, 35 };
    for (int set = 1; set <= 8; ++set)
        for (char colour : { 'w', 'b' })
            for (char piece : { 'p', 'n', 'b', 'r', 'q', 'k' })
                images.push_back({ std::string { colour, piece } + std::to_string(set) + ".gif",
                    sizes[set - 1] });

    for (const std::string folder :
        { PICTOG_RESOURCES_DIR "/chesspieces", PICTOG_BIN_DIR "/chesspieces" }) {
        for (const Image& image : images) {
            const std::string path = folder + "/" + image.file;
            const std::vector<unsigned char> bytes = readFile(path);
            ASSERT_GT(bytes.size(), 13u) << path;
            EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a") << path;

            int error = 0;
            GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
            ASSERT_NE(gif, nullptr) << path;
            ASSERT_EQ(DGifSlurp(gif), GIF_OK) << path;
            EXPECT_EQ(gif->SWidth, image.size) << path;
            EXPECT_EQ(gif->SHeight, image.size) << path;
            ASSERT_EQ(gif->ImageCount, 1) << path;
            GraphicsControlBlock control {};
            ASSERT_EQ(DGifSavedExtensionToGCB(gif, 0, &control), GIF_OK) << path;
            ASSERT_GE(control.TransparentColor, 0) << path;
            const SavedImage& frame = gif->SavedImages[0];
            ASSERT_EQ(frame.ImageDesc.Width, image.size);
            ASSERT_EQ(frame.ImageDesc.Height, image.size);
            const GifByteType* px = frame.RasterBits;
            const int n = image.size;
            for (int corner : { 0, n - 1, n * (n - 1), n * n - 1 })
                EXPECT_EQ(px[corner], control.TransparentColor) << path << " corner " << corner;
            const int opaque = static_cast<int>(std::count_if(
                px, px + n * n, [&](GifByteType v) { return v != control.TransparentColor; }));
            EXPECT_GT(opaque, n * n / 6) << path;
            DGifCloseFile(gif, &error);
        }
    }
}

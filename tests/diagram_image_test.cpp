#include "diagram/bmp_codec.h"
#include "diagram/diagram_picture.h"
#include "diagram/file_output.h"
#include "diagram/png_encoder.h"
#include "diagram_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <csignal>
#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictog {
namespace {

    std::uint32_t bigEndian(const unsigned char* p)
    {
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8
            | p[3];
    }

    // The PNG standard's CRC, bit by bit.
    std::uint32_t referenceCrc(const unsigned char* data, std::size_t size)
    {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = 0; i < size; ++i) {
            crc ^= data[i];
            for (int bit = 0; bit < 8; ++bit)
                crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        return crc ^ 0xFFFFFFFFu;
    }

    struct Chunk {
        std::string type;
        std::vector<unsigned char> data;
    };

    // The chunks of a PNG file; fails the test on a bad signature, length or CRC.
    std::vector<Chunk> chunksOf(const std::vector<unsigned char>& png)
    {
        static const unsigned char signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
        std::vector<Chunk> chunks;
        EXPECT_TRUE(png.size() >= 8 && std::equal(signature, signature + 8, png.begin()));
        std::size_t at = 8;
        while (at + 12 <= png.size()) {
            const std::uint32_t length = bigEndian(&png[at]);
            EXPECT_LE(at + 12 + length, png.size());
            if (at + 12 + length > png.size())
                break;
            Chunk chunk { std::string(png.begin() + long(at + 4), png.begin() + long(at + 8)),
                std::vector<unsigned char>(
                    png.begin() + long(at + 8), png.begin() + long(at + 8 + length)) };
            EXPECT_EQ(bigEndian(&png[at + 8 + length]), referenceCrc(&png[at + 4], length + 4))
                << chunk.type;
            chunks.push_back(std::move(chunk));
            at += 12 + length;
        }
        EXPECT_EQ(at, png.size()) << "bytes after the last chunk";
        return chunks;
    }

    std::vector<unsigned char> idatData(const std::vector<Chunk>& chunks)
    {
        std::vector<unsigned char> data;
        for (const Chunk& chunk : chunks)
            if (chunk.type == "IDAT")
                data.insert(data.end(), chunk.data.begin(), chunk.data.end());
        return data;
    }

    std::vector<unsigned char> inflateAll(const std::vector<unsigned char>& compressed)
    {
        z_stream z {};
        EXPECT_EQ(inflateInit(&z), Z_OK);
        std::vector<unsigned char> out;
        unsigned char buffer[1 << 14];
        z.next_in = const_cast<unsigned char*>(compressed.data());
        z.avail_in = static_cast<uInt>(compressed.size());
        int status = Z_OK;
        while (status == Z_OK) {
            z.next_out = buffer;
            z.avail_out = sizeof buffer;
            status = inflate(&z, Z_NO_FLUSH);
            out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
        }
        EXPECT_EQ(status, Z_STREAM_END);
        EXPECT_EQ(z.avail_in, 0u) << "bytes after the zlib stream";
        inflateEnd(&z);
        return out;
    }

    // Decodes a colour type 2 PNG whose every row uses filter 1, as this program writes them.
    Raster decodeOurPng(const std::vector<unsigned char>& png)
    {
        const std::vector<Chunk> chunks = chunksOf(png);
        EXPECT_FALSE(chunks.empty());
        if (chunks.empty())
            return {};
        const int width = static_cast<int>(bigEndian(&chunks[0].data[0]));
        const int height = static_cast<int>(bigEndian(&chunks[0].data[4]));
        const std::vector<unsigned char> rows = inflateAll(idatData(chunks));
        const std::size_t rowSize = 1 + 3 * static_cast<std::size_t>(width);
        EXPECT_EQ(rows.size(), rowSize * static_cast<std::size_t>(height));
        Raster picture(width, height);
        for (int y = 0; y < height && rows.size() == rowSize * std::size_t(height); ++y) {
            const unsigned char* row = &rows[static_cast<std::size_t>(y) * rowSize];
            EXPECT_EQ(row[0], 1) << "filter of row " << y;
            int r = 0, g = 0, b = 0;
            for (int x = 0; x < width; ++x) {
                r = (r + row[1 + 3 * x]) & 0xFF;
                g = (g + row[2 + 3 * x]) & 0xFF;
                b = (b + row[3 + 3 * x]) & 0xFF;
                picture.setPixel(x, y, pixelRgb(r, g, b));
            }
        }
        return picture;
    }

    Raster noise(int width, int height)
    {
        Raster r(width, height);
        std::uint32_t state = 0x9E3779B9u;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                r.setPixel(x, y, 0xFF000000u | (state & 0xFFFFFF));
            }
        return r;
    }

    Raster samplePicture()
    {
        test::TestPieces pieces;
        TPictogram2D board(pieces.lookup());
        return *ComposeDiagramPicture(board, DiagramPictureOptions());
    }

    TEST(PngEncoder, HeaderChunksAndImageDataOfTheDiagramPicture)
    {
        const Raster picture = samplePicture();
        const std::vector<unsigned char> png = encodePng(picture);
        const std::vector<Chunk> chunks = chunksOf(png);
        ASSERT_EQ(chunks.size(), 3u); // a small picture fits one IDAT
        EXPECT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[1].type, "IDAT");
        EXPECT_EQ(chunks[2].type, "IEND");
        EXPECT_TRUE(chunks[2].data.empty());
        const std::vector<unsigned char> ihdr { 0, 0, 1, 120, 0, 0, 1, 120, 8, 2, 0, 0, 0 };
        EXPECT_EQ(chunks[0].data, ihdr); // 376 × 376, 8 bits, RGB

        const std::vector<unsigned char> rows = inflateAll(chunks[1].data);
        ASSERT_EQ(rows.size(), 376u * 1129u);
        for (std::size_t y = 0; y < 376; ++y)
            ASSERT_EQ(rows[y * 1129], 1) << y;
        EXPECT_EQ(decodeOurPng(png), picture);

        // Level 7 with the default window: the same stream compress2 makes at level 7.
        uLongf size = compressBound(static_cast<uLong>(rows.size()));
        std::vector<unsigned char> expected(size);
        ASSERT_EQ(
            compress2(expected.data(), &size, rows.data(), static_cast<uLong>(rows.size()), 7),
            Z_OK);
        expected.resize(size);
        EXPECT_EQ(chunks[1].data, expected);
        EXPECT_EQ(chunks[1].data[0], 0x78);
        EXPECT_EQ(chunks[1].data[1], 0xDA);
    }

    TEST(PngEncoder, LargeDataSplitsIntoFullChunksAndOneShorter)
    {
        struct Case {
            int width, height;
        };
        for (const Case& c :
            { Case { 400, 300 }, Case { 1, 1 }, Case { 7, 3 }, Case { 1000, 1 } }) {
            const Raster picture = noise(c.width, c.height);
            const std::vector<unsigned char> png = encodePng(picture);
            const std::vector<Chunk> chunks = chunksOf(png);
            ASSERT_GE(chunks.size(), 3u);
            EXPECT_EQ(chunks.front().type, "IHDR");
            EXPECT_EQ(chunks.back().type, "IEND");
            const std::size_t total = idatData(chunks).size();
            const std::size_t full = total / PngIdatChunkSize;
            const std::size_t rest = total % PngIdatChunkSize;
            ASSERT_EQ(chunks.size(), 2 + full + (rest ? 1 : 0));
            for (std::size_t i = 1; i + 1 < chunks.size(); ++i) {
                EXPECT_EQ(chunks[i].type, "IDAT");
                const bool last = i + 2 == chunks.size();
                EXPECT_EQ(chunks[i].data.size(), last && rest ? rest : PngIdatChunkSize)
                    << "chunk " << i;
            }
            EXPECT_EQ(decodeOurPng(png), picture) << c.width << " × " << c.height;
            if (c.width == 400) {
                EXPECT_EQ(full, 5u); // 360,300 bytes of noise hardly compress
            }
        }
        EXPECT_THROW(encodePng(Raster()), std::invalid_argument);
    }

    TEST(PngEncoder, ReusedEncoderAndPictureGiveTheSameBytesAsNewOnes)
    {
        test::TestPieces pieces;
        TPictogram2D board(pieces.lookup());
        PngEncoder encoder;
        Raster reused;
        std::vector<unsigned char> bytes;
        struct Case {
            bool showBorder, coordinates;
            int emptied; // a square emptied before this picture
        };
        const Case cases[] = { { true, true, -1 }, { false, false, 4 }, { true, false, 74 },
            { false, true, 0 }, { true, true, 63 } };
        for (const Case& c : cases) {
            if (c.emptied >= 0)
                board.SetSquare(Empty, c.emptied);
            DiagramPictureOptions options;
            options.showBorder = c.showBorder;
            options.coordinates = c.coordinates;
            ASSERT_TRUE(ComposeDiagramPicture(board, options, reused));
            const std::optional<Raster> fresh = ComposeDiagramPicture(board, options);
            ASSERT_TRUE(fresh);
            EXPECT_EQ(reused, *fresh);
            encoder.encode(reused, bytes);
            EXPECT_EQ(bytes, encodePng(*fresh));
        }
        encoder.encode(noise(300, 300), bytes); // several chunks, then a small picture again
        EXPECT_EQ(decodeOurPng(bytes), noise(300, 300));
        encoder.encode(reused, bytes);
        EXPECT_EQ(bytes, encodePng(reused));
    }

    TEST(BmpWriter, TwentyFourBitRowsFromTheBottomPaddedToFourBytes)
    {
        Raster picture(3, 2);
        picture.setPixel(0, 0, pixelRgb(1, 2, 3));
        picture.setPixel(2, 0, pixelRgb(4, 5, 6));
        picture.setPixel(0, 1, pixelRgb(7, 8, 9));
        picture.setPixel(2, 1, pixelRgb(10, 11, 12));
        const std::vector<unsigned char> bmp = encodeBmp(picture);
        ASSERT_EQ(bmp.size(), 14u + 40u + 2u * 12u);
        auto u32 = [&bmp](std::size_t at) {
            return std::uint32_t(bmp[at]) | std::uint32_t(bmp[at + 1]) << 8
                | std::uint32_t(bmp[at + 2]) << 16 | std::uint32_t(bmp[at + 3]) << 24;
        };
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(u32(2), bmp.size());
        EXPECT_EQ(u32(10), 54u); // pixel data offset
        EXPECT_EQ(u32(14), 40u);
        EXPECT_EQ(u32(18), 3u);
        EXPECT_EQ(u32(22), 2u); // positive: bottom-up
        EXPECT_EQ(u32(26), 1u | 24u << 16); // one plane, 24 bits
        EXPECT_EQ(u32(30), 0u); // no compression
        EXPECT_EQ(u32(34), 24u);
        const std::vector<unsigned char> rows(bmp.begin() + 54, bmp.end());
        const std::vector<unsigned char> expected {
            9,
            8,
            7,
            0,
            0,
            0,
            12,
            11,
            10,
            0,
            0,
            0, // the bottom row first, blue green red
            3,
            2,
            1,
            0,
            0,
            0,
            6,
            5,
            4,
            0,
            0,
            0,
        };
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(decodeBmp(bmp.data(), bmp.size()), picture);
        const Raster diagram = samplePicture();
        const std::vector<unsigned char> big = encodeBmp(diagram);
        EXPECT_EQ(decodeBmp(big.data(), big.size()), diagram);
    }

    // A fresh empty folder for one test.
    class FileOutputTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            char name[] = "/tmp/pictog_output_XXXXXX";
            ASSERT_NE(::mkdtemp(name), nullptr);
            folder = name;
        }
        void TearDown() override
        {
            for (const std::string& entry : entries())
                ::unlink((folder + "/" + entry).c_str());
            ::rmdir((folder + "/sub").c_str());
            ::rmdir(folder.c_str());
        }
        std::vector<std::string> entries() const
        {
            std::vector<std::string> names;
            if (DIR* dir = ::opendir(folder.c_str())) {
                while (const dirent* entry = ::readdir(dir)) {
                    const std::string name = entry->d_name;
                    if (name != "." && name != "..")
                        names.push_back(name);
                }
                ::closedir(dir);
            }
            std::sort(names.begin(), names.end());
            return names;
        }
        std::string contents(const std::string& name) const
        {
            std::ifstream in(folder + "/" + name, std::ios::binary);
            return std::string(
                (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        }
        std::string write(const std::string& name, const std::string& text) const
        {
            return writeFileReplacing(folder + "/" + name,
                reinterpret_cast<const unsigned char*>(text.data()), text.size());
        }

        std::string folder;
    };

    TEST_F(FileOutputTest, WritesAndReplacesLeavingOnlyTheFile)
    {
        EXPECT_EQ(write("a.png", "first"), "");
        EXPECT_EQ(write("a.png", "second, longer"), "");
        EXPECT_EQ(write("b.png", ""), "");
        EXPECT_EQ(contents("a.png"), "second, longer");
        EXPECT_EQ(entries(), (std::vector<std::string> { "a.png", "b.png" }));
        struct stat info {
        };
        ASSERT_EQ(::stat((folder + "/a.png").c_str(), &info), 0);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    }

    TEST_F(FileOutputTest, FailuresReportTheErrorTextAndLeaveNothingBehind)
    {
        EXPECT_EQ(write("missing/a.png", "x"), "No such file or directory");
        ASSERT_EQ(::mkdir((folder + "/sub").c_str(), 0777), 0);
        EXPECT_EQ(write("sub", "x"), "Is a directory");
        EXPECT_EQ(entries(), (std::vector<std::string> { "sub" }));
    }

    TEST_F(FileOutputTest, WriteFailingHalfwayKeepsTheOldFile)
    {
        ASSERT_EQ(write("a.png", "old picture"), "");
        // A file size limit makes the write itself fail part of the way through, as a full
        // disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 1000;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const std::string error = write("a.png", std::string(5000, 'n'));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(error, "File too large");
        EXPECT_EQ(contents("a.png"), "old picture");
        EXPECT_EQ(entries(), (std::vector<std::string> { "a.png" }));
    }

} // namespace
} // namespace pictog

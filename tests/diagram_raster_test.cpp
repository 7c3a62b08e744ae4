#include "diagram/label_font.h"
#include "diagram/raster.h"

#include <gtest/gtest.h>

#include <set>

namespace pictog {
namespace {

    // A picture whose every pixel differs: the pixel tells where it came from.
    Raster numbered(int width, int height, int base)
    {
        Raster r(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                r.setPixel(x, y, pixelRgb(base, 16 * y + x, 0x5A));
        return r;
    }

    TEST(Raster, BlockOperationsCombineOnlyWhereBothPicturesReach)
    {
        struct Case {
            int dx, dy, sx, sy, width, height;
        };
        const Case cases[] = {
            { 1, 1, 0, 0, 2, 2 }, // wholly inside
            { 0, 0, 0, 0, 99, 99 }, // larger than both
            { -2, 1, 0, 0, 4, 2 }, // left of the destination
            { 3, 2, 0, 0, 4, 4 }, // over the destination's right and bottom edges
            { 1, 0, -1, -2, 3, 4 }, // starting above and left of the source
            { 0, 0, 2, 1, 5, 5 }, // past the source's right and bottom edges
            { 5, 0, 0, 0, 2, 2 }, // wholly outside
            { 1, 1, 0, 0, 0, 3 }, // empty
        };
        const Raster source = numbered(3, 3, 0xC3);
        for (const Case& c : cases) {
            for (BlockOp op : { BlockOp::Copy, BlockOp::And, BlockOp::Or }) {
                Raster dest = numbered(5, 4, 0x3C);
                const Raster before = dest;
                copyBlock(dest, c.dx, c.dy, source, c.sx, c.sy, c.width, c.height, op);
                for (int y = 0; y < dest.height(); ++y) {
                    for (int x = 0; x < dest.width(); ++x) {
                        const int i = x - c.dx;
                        const int j = y - c.dy;
                        const int sx = c.sx + i;
                        const int sy = c.sy + j;
                        const bool covered = i >= 0 && i < c.width && j >= 0 && j < c.height
                            && sx >= 0 && sx < 3 && sy >= 0 && sy < 3;
                        Pixel expected = before.pixel(x, y);
                        if (covered) {
                            const Pixel s = source.pixel(sx, sy);
                            expected = op == BlockOp::Copy ? s
                                : op == BlockOp::And       ? (expected & s)
                                                           : (expected | s);
                        }
                        EXPECT_EQ(dest.pixel(x, y), expected)
                            << "case (" << c.dx << ", " << c.dy << ", " << c.sx << ", " << c.sy
                            << ", " << c.width << ", " << c.height << ") op "
                            << static_cast<int>(op) << " at (" << x << ", " << y << ")";
                    }
                }
            }
        }
    }

    // The picture as text, '#' for the given pixel.
    std::string drawing(const Raster& r, Pixel ink)
    {
        std::string text;
        for (int y = 0; y < r.height(); ++y) {
            for (int x = 0; x < r.width(); ++x)
                text += r.pixel(x, y) == ink ? '#' : '.';
            text += '\n';
        }
        return text;
    }

    TEST(Raster, OutlinesIncludeBothCornersAndFillsClip)
    {
        Raster r(7, 5, WhitePixel);
        r.outlineRect(1, 1, 4, 3, BlackPixel);
        EXPECT_EQ(drawing(r, BlackPixel),
            ".......\n"
            ".####..\n"
            ".#..#..\n"
            ".####..\n"
            ".......\n");
        Raster swapped(7, 5, WhitePixel);
        swapped.outlineRect(4, 3, 1, 1, BlackPixel);
        EXPECT_EQ(swapped, r);

        Raster edge(4, 3, WhitePixel);
        edge.outlineRect(-1, 1, 5, 2, BlackPixel); // sides outside, only top and bottom show
        edge.fillRect({ 3, -5, 10, 6 }, pixelRgb(9, 9, 9));
        EXPECT_EQ(drawing(edge, BlackPixel),
            "....\n"
            "####\n"
            "####\n");
        EXPECT_EQ(edge.pixel(3, 0), pixelRgb(9, 9, 9));
        EXPECT_EQ(edge.pixel(2, 0), WhitePixel);
    }

    TEST(Raster, UniteCoversBothAndIgnoresEmpty)
    {
        EXPECT_EQ(unite({ 152, 228, 38, 38 }, { 150, 152, 38, 38 }), (Rect { 150, 152, 40, 114 }));
        EXPECT_EQ(unite({}, { 1, 2, 3, 4 }), (Rect { 1, 2, 3, 4 }));
        EXPECT_EQ(unite({ 1, 2, 3, 4 }, { 9, 9, 0, 5 }), (Rect { 1, 2, 3, 4 }));
    }

    TEST(LabelFont, EveryLabelIsABoldGlyphInItsCell)
    {
        std::set<std::vector<bool>> shapes;
        for (char label : std::string("abcdefgh12345678")) {
            const std::string text(1, label);
            const TextSize size = labelTextSize(text);
            EXPECT_GE(size.width, 6) << label;
            EXPECT_LE(size.width, 9) << label;
            EXPECT_EQ(size.height, 16) << label;

            Raster cell(size.width + 4, 20, pixelRgb(1, 1, 1));
            drawLabel(cell, 2, 2, text, BlackPixel, WhitePixel);
            std::vector<bool> shape;
            int ink = 0;
            int lowest = 0;
            int highest = 99;
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < size.width + 4; ++x) {
                    const Pixel p = cell.pixel(x, y);
                    const bool inCell = x >= 2 && x < 2 + size.width && y >= 2 && y < 18;
                    if (!inCell) {
                        EXPECT_EQ(p, pixelRgb(1, 1, 1)) << label << " outside its cell";
                        continue;
                    }
                    shape.push_back(p == BlackPixel);
                    if (p == BlackPixel) {
                        ++ink;
                        lowest = std::max(lowest, y - 2);
                        highest = std::min(highest, y - 2);
                        // Bold: every ink pixel has an ink neighbour to the left or right.
                        EXPECT_TRUE(cell.pixel(x - 1, y) == BlackPixel
                            || cell.pixel(x + 1, y) == BlackPixel)
                            << label << " at (" << x - 2 << ", " << y - 2 << ")";
                    } else {
                        EXPECT_EQ(p, WhitePixel) << label;
                    }
                }
                if (y >= 2 && y < 18) {
                    EXPECT_NE(cell.pixel(1 + size.width, y), BlackPixel) << label << ": no gap";
                }
            }
            EXPECT_GT(ink, 20) << label;
            EXPECT_GE(highest, 3) << label;
            EXPECT_LE(lowest, label == 'g' ? 15 : 12) << label;
            EXPECT_TRUE(shapes.insert(shape).second) << label << " looks like another label";
        }
        EXPECT_EQ(labelTextSize("x").width, 0);
        EXPECT_EQ(labelTextSize("a1").width, labelTextSize("a").width + labelTextSize("1").width);
    }

} // namespace
} // namespace pictog

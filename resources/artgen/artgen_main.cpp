// pictog-artgen: draws every picture of the program from the piece outlines in
// resources/pieces and writes them into a resources folder:
//   bitmaps/PIECE1.bmp .. PIECE24.bmp    the board's 38-pixel images and masks
//   palette/PALETTE1.jpg .. PALETTE6.jpg the editing palette's white pieces
//   about.png                            the About box picture
//   chesspieces/wp1.gif .. bk8.gif, w2move.gif, b2move.gif   the HTML image sets
//   icons/pictog-16.png .. pictog-256.png, icons/pictog.svg   the desktop icon
// With --preview DIR it also writes enlarged contact sheets there for looking at the work.

#include "image_writers.h"
#include "piece_art.h"
#include "piece_source.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <sstream>
#include <string>

namespace artgen {

namespace {

    constexpr int SquareSize = 38;
    constexpr Argb Black = rgb(0, 0, 0);
    constexpr Argb White = rgb(255, 255, 255);
    constexpr Argb Grey = rgb(192, 192, 192);

    constexpr int SetSizes[8] = { 38, 32, 48, 30, 35, 35, 35, 35 };
    const char PieceLetters[6] = { 'p', 'n', 'b', 'r', 'q', 'k' };

    struct Bitmaps {
        std::array<Image, 24> images; // PIECE1..PIECE24 in order
    };

    Image imageOf(const Grid& roles, bool black)
    {
        Image image(SquareSize, SquareSize, Black);
        for (int y = 0; y < SquareSize; ++y) {
            for (int x = 0; x < SquareSize; ++x) {
                const auto role = roles.at(x, y);
                if (black)
                    image.at(x, y) = role == DetailInk ? White : Black;
                else
                    image.at(x, y) = role == Fill ? White : role == ShadeInk ? Grey : Black;
            }
        }
        return image;
    }

    Image maskOf(const Grid& roles)
    {
        Image mask(SquareSize, SquareSize, White);
        for (int y = 0; y < SquareSize; ++y)
            for (int x = 0; x < SquareSize; ++x)
                if (roles.at(x, y) != Outside)
                    mask.at(x, y) = Black;
        return mask;
    }

    Bitmaps drawBitmaps(const std::array<PieceSource, 6>& pieces)
    {
        Bitmaps b;
        for (int i = 0; i < 6; ++i) {
            const PixelArt art = drawPixelArt(pieces[i]);
            b.images[i] = imageOf(art.white, false);
            b.images[i + 6] = imageOf(art.black, true);
            b.images[i + 12] = maskOf(art.white);
            b.images[i + 18] = maskOf(art.black);
        }
        return b;
    }

    // The looks of the eight HTML image sets: 1 to 5 the standard drawing at their sizes, 6 bold
    // lines, 7 cream and brown, 8 fine lines with grey black pieces.
    Style setStyle(int set)
    {
        Style s;
        switch (set) {
        case 6:
            s.outlineWidth = 2.1;
            s.detailWidth = 1.6;
            break;
        case 7:
            s.white = { rgb(58, 38, 20), rgb(246, 234, 206), rgb(58, 38, 20), rgb(246, 234, 206) };
            s.black = { rgb(30, 18, 8), rgb(84, 52, 30), rgb(246, 234, 206), rgb(84, 52, 30) };
            break;
        case 8:
            s.outlineWidth = 1.0;
            s.detailWidth = 0.9;
            s.black = { rgb(0, 0, 0), rgb(96, 96, 96), rgb(235, 235, 235), rgb(96, 96, 96) };
            break;
        default:
            break;
        }
        return s;
    }

    // The side-to-move mark: a disc with an outline, white or black.
    PieceSource moveMark()
    {
        PieceSource disc;
        disc.name = "disc";
        disc.symmetric = true;
        Polyline circle;
        circle.closed = true;
        const double r = 124.5; // 9.5 pixels at 29, so the rim ends on pixel edges
        for (int i = 0; i < 256; ++i) {
            const double a = 2 * 3.14159265358979323846 * i / 256;
            circle.points.push_back({ CentreX - r * std::sin(a), CentreX - r * std::cos(a) });
        }
        disc.outline.push_back(circle);
        return disc;
    }

    Image gifLook(const Image& image)
    {
        Image out(image.width, image.height, 0);
        for (std::size_t i = 0; i < image.pixels.size(); ++i)
            if ((image.pixels[i] >> 24) >= GifOpaqueAlpha)
                out.pixels[i] = image.pixels[i] | 0xFF000000u;
        return out;
    }

    std::string setFileName(bool black, int piece, int set)
    {
        return std::string(1, black ? 'b' : 'w') + PieceLetters[piece] + std::to_string(set)
            + ".gif";
    }

    // The About picture: a corner of a board with a few pieces, framed.
    Image drawAbout(const std::array<PieceSource, 6>& pieces)
    {
        constexpr int cell = 40;
        constexpr int border = 2;
        const Argb light = rgb(255, 255, 255), dark = rgb(0, 128, 128);
        Image picture(3 * cell + 2 * border, 3 * cell + 2 * border, rgb(40, 40, 40));
        // piece index (0..5) plus 6 for black, -1 for none; rows from the top.
        const int layout[3][3] = { { -1, 11, -1 }, { 3, 4, 7 }, { 5, 1, -1 } };
        const Style style;
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                const int x = border + col * cell, y = border + row * cell;
                const Argb square = (row + col) % 2 == 0 ? light : dark;
                for (int yy = 0; yy < cell; ++yy)
                    for (int xx = 0; xx < cell; ++xx)
                        picture.at(x + xx, y + yy) = square;
                const int p = layout[row][col];
                if (p >= 0)
                    blendOnto(picture, drawSmooth(pieces[p % 6], p >= 6, cell, style), x, y);
            }
        }
        return picture;
    }

    // ---- the desktop icon: the white knight on a light board square with a dark rim ----

    constexpr int IconSizes[] = { 16, 22, 24, 32, 48, 64, 128, 256 };
    constexpr Argb IconSquare = rgb(0x9E, 0xC2, 0xEF);
    constexpr Argb IconRim = rgb(0x39, 0x7A, 0xAE);
    // In parts of the icon's edge: the square's inset, corner radius and rim, and the knight's
    // edge.
    constexpr double IconInset = 1.0 / 32, IconRadius = 0.16, IconRimWidth = 1.0 / 16;
    constexpr double IconKnight = 0.84;

    // Distance of (x, y) outside a rounded square from a to b with corner radius r; negative
    // inside.
    double roundedSquareDistance(double x, double y, double a, double b, double r)
    {
        const double centre = (a + b) / 2, half = (b - a) / 2 - r;
        const double qx = std::abs(x - centre) - half, qy = std::abs(y - centre) - half;
        const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
    }

    Image drawIcon(const PieceSource& knight, int size)
    {
        constexpr int samples = 8;
        const double a = size * IconInset, b = size - a, r = size * IconRadius;
        const double rim = std::max(1.0, size * IconRimWidth);
        Image icon(size, size, 0);
        for (int py = 0; py < size; ++py) {
            for (int px = 0; px < size; ++px) {
                int inside = 0, onRim = 0;
                for (int sy = 0; sy < samples; ++sy) {
                    for (int sx = 0; sx < samples; ++sx) {
                        const double x = px + (sx + 0.5) / samples, y = py + (sy + 0.5) / samples;
                        const double d = roundedSquareDistance(x, y, a, b, r);
                        if (d <= 0) {
                            ++inside;
                            onRim += d > -rim;
                        }
                    }
                }
                if (inside == 0)
                    continue;
                Argb colour = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const int v
                        = (static_cast<int>((IconRim >> shift) & 0xFF) * onRim
                              + static_cast<int>((IconSquare >> shift) & 0xFF) * (inside - onRim)
                              + inside / 2)
                        / inside;
                    colour |= static_cast<Argb>(v) << shift;
                }
                const Argb alpha = static_cast<Argb>((inside * 255 + 32) / (samples * samples));
                icon.at(px, py) = (alpha << 24) | colour;
            }
        }
        const int edge = static_cast<int>(std::lround(size * IconKnight));
        const int offset = (size - edge) / 2;
        blendOnto(icon, drawSmooth(knight, false, edge, Style()), offset, offset);
        return icon;
    }

    std::string svgPath(const std::vector<Polyline>& lines, bool mirrored)
    {
        std::ostringstream d;
        d.setf(std::ios::fixed);
        d.precision(1);
        for (const Polyline& line : lines) {
            for (std::size_t i = 0; i < line.points.size(); ++i) {
                const Point p = line.points[i];
                d << (i == 0 ? (d.tellp() > 0 ? " M" : "M") : " L")
                  << (mirrored ? DesignSize - p.x : p.x) << ' ' << p.y;
            }
            if (line.closed)
                d << " Z";
        }
        return d.str();
    }

    // The same icon as scalable vector graphics, on a 256-unit canvas; the knight is our outline
    // in its 380-unit design square, its outline band drawn inside the silhouette as the
    // rasteriser does.
    std::string iconSvg(const PieceSource& knight)
    {
        const double size = 256, a = size * IconInset, r = size * IconRadius;
        const double rim = size * IconRimWidth;
        const double scale = size * IconKnight / DesignSize;
        const double offset = (size - size * IconKnight) / 2;
        std::vector<Polyline> outline = knight.outline;
        std::string silhouette = svgPath(outline, false);
        if (knight.symmetric)
            silhouette += " " + svgPath(outline, true);
        const Style style;
        std::ostringstream svg;
        svg.setf(std::ios::fixed);
        svg.precision(2);
        svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
               "viewBox=\"0 0 256 256\">\n"
            << "  <title>Pictog</title>\n"
            << "  <rect x=\"" << a + rim / 2 << "\" y=\"" << a + rim / 2 << "\" width=\""
            << size - 2 * a - rim << "\" height=\"" << size - 2 * a - rim << "\" rx=\""
            << r - rim / 2 << "\" fill=\"#9EC2EF\" stroke=\"#397AAE\" stroke-width=\"" << rim
            << "\"/>\n"
            << "  <clipPath id=\"knight\"><path d=\"" << silhouette << "\"/></clipPath>\n"
            << "  <g transform=\"translate(" << offset << ' ' << offset << ") scale(" << scale
            << ")\" clip-path=\"url(#knight)\" stroke-linecap=\"round\" "
               "stroke-linejoin=\"round\">\n"
            << "    <path d=\"" << silhouette << "\" fill=\"#FFFFFF\"/>\n";
        for (const Detail& detail : knight.details) {
            if (detail.kind == DetailKind::Shade) // white on the white piece
                continue;
            for (int mirrored = 0; mirrored < (detail.paired && knight.symmetric ? 2 : 1);
                 ++mirrored) {
                const std::string d = svgPath({ detail.line }, mirrored != 0);
                if (detail.kind == DetailKind::Stroke)
                    svg << "    <path d=\"" << d << "\" fill=\"none\" stroke=\"#000000\" "
                        << "stroke-width=\"" << style.detailWidth * detail.width * 10 << "\"/>\n";
                else
                    svg << "    <path d=\"" << d << "\" fill=\"#000000\"/>\n";
            }
        }
        svg << "    <path d=\"" << silhouette << "\" fill=\"none\" stroke=\"#000000\" "
            << "stroke-width=\"" << 2 * style.outlineWidth * 10 << "\"/>\n"
            << "  </g>\n</svg>\n";
        return svg.str();
    }

    // ---- previews ----

    Image scaled(const Image& image, int factor)
    {
        Image out(image.width * factor, image.height * factor);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                out.at(x, y) = image.at(x / factor, y / factor);
        return out;
    }

    void fill(Image& image, int x0, int y0, int w, int h, Argb colour)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                image.at(x, y) = colour;
    }

    // The board's way: AND with the mask, then OR with the image.
    void drawMasked(Image& target, const Image& image, const Image& mask, int x0, int y0)
    {
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                Argb& t = target.at(x0 + x, y0 + y);
                t = ((t & mask.at(x, y)) | image.at(x, y)) | 0xFF000000u;
            }
        }
    }

    void writePreviews(const std::string& folder, const Bitmaps& bitmaps,
        const std::array<PieceSource, 6>& pieces, const Image& about,
        const std::array<Image, 6>& palette)
    {
        std::filesystem::create_directories(folder);
        const Argb light = rgb(255, 255, 255), dark = rgb(0, 128, 128);

        // Every piece on both square colours, board-drawn.
        Image sheet(6 * SquareSize, 4 * SquareSize);
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 6; ++col) {
                const int code = (row % 2) * 6 + col; // 0..11
                const Argb square = (row / 2 + col) % 2 == 0 ? light : dark;
                fill(sheet, col * SquareSize, row * SquareSize, SquareSize, SquareSize, square);
                drawMasked(sheet, bitmaps.images[code], bitmaps.images[code + 12], col * SquareSize,
                    row * SquareSize);
            }
        }
        writeFile(folder + "/bitmaps-x4.png", encodePng(scaled(sheet, 4)));

        // The initial position at true size and doubled.
        const char* start[8] = { "rnbqkbnr", "pppppppp", "........", "........", "........",
            "........", "PPPPPPPP", "RNBQKBNR" };
        Image board(8 * SquareSize, 8 * SquareSize);
        for (int r = 0; r < 8; ++r) {
            for (int f = 0; f < 8; ++f) {
                const Argb square = (r + f) % 2 == 0 ? light : dark;
                fill(board, f * SquareSize, r * SquareSize, SquareSize, SquareSize, square);
                const char c = start[r][f];
                if (c == '.')
                    continue;
                const std::string letters = "pnbrqk";
                const int kind = static_cast<int>(letters.find(static_cast<char>(c | 0x20)));
                const int code = kind + ((c & 0x20) ? 6 : 0);
                drawMasked(board, bitmaps.images[code], bitmaps.images[code + 12], f * SquareSize,
                    r * SquareSize);
            }
        }
        writeFile(folder + "/board-x1.png", encodePng(board));
        writeFile(folder + "/board-x2.png", encodePng(scaled(board, 2)));

        // Each HTML set on the default table colours: white then black pieces, on both colours.
        const Argb cellLight = rgb(0x9E, 0xC2, 0xEF), cellDark = rgb(0x39, 0x7A, 0xAE);
        for (int set = 1; set <= 8; ++set) {
            const int size = SetSizes[set - 1];
            Image sets(6 * size, 4 * size);
            for (int row = 0; row < 4; ++row) {
                for (int col = 0; col < 6; ++col) {
                    const Argb square = (row / 2 + col) % 2 == 0 ? cellLight : cellDark;
                    fill(sets, col * size, row * size, size, size, square);
                    blendOnto(sets,
                        gifLook(drawSmooth(pieces[col], row % 2 == 1, size, setStyle(set))),
                        col * size, row * size);
                }
            }
            writeFile(
                folder + "/set" + std::to_string(set) + "-x4.png", encodePng(scaled(sets, 4)));
        }

        // The outlines themselves, large.
        constexpr int large = 120;
        Image outlines(6 * large, 2 * large);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 6; ++col) {
                fill(outlines, col * large, row * large, large, large,
                    (row + col) % 2 == 0 ? light : cellLight);
                blendOnto(outlines, drawSmooth(pieces[col], row == 1, large, Style()), col * large,
                    row * large);
            }
        }
        writeFile(folder + "/outlines-120.png", encodePng(outlines));

        Image marks(4 * 29, 29);
        for (int i = 0; i < 4; ++i) {
            fill(marks, i * 29, 0, 29, 29, i % 2 == 0 ? cellLight : cellDark);
            blendOnto(marks, gifLook(drawSmooth(moveMark(), i >= 2, 29, Style())), i * 29, 0);
        }
        writeFile(folder + "/move-marks-x4.png", encodePng(scaled(marks, 4)));

        Image icons(6 * SquareSize + 5 * 4, SquareSize, rgb(212, 208, 200));
        for (int i = 0; i < 6; ++i)
            blendOnto(icons, palette[i], i * (SquareSize + 4), 0);
        writeFile(folder + "/palette-x4.png", encodePng(scaled(icons, 4)));
        writeFile(folder + "/about-x2.png", encodePng(scaled(about, 2)));
    }

    int run(int argc, char** argv)
    {
        std::string piecesDir, outDir, previewDir;
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string option = argv[i];
            if (option == "--pieces")
                piecesDir = argv[i + 1];
            else if (option == "--out")
                outDir = argv[i + 1];
            else if (option == "--preview")
                previewDir = argv[i + 1];
        }
        if (piecesDir.empty() || outDir.empty() || argc % 2 == 0) {
            std::fprintf(stderr, "usage: pictog-artgen --pieces DIR --out DIR [--preview DIR]\n");
            return 2;
        }

        const std::array<PieceSource, 6> pieces = readPieceSources(piecesDir);
        namespace fs = std::filesystem;
        fs::create_directories(outDir + "/bitmaps");
        fs::create_directories(outDir + "/palette");
        fs::create_directories(outDir + "/chesspieces");

        const Bitmaps bitmaps = drawBitmaps(pieces);
        for (int i = 0; i < 24; ++i)
            writeFile(outDir + "/bitmaps/PIECE" + std::to_string(i + 1) + ".bmp",
                encodeBmp16(bitmaps.images[i]));

        // The palette: white pieces on the light grey of the window's buttons.
        std::array<Image, 6> palette;
        for (int i = 0; i < 6; ++i) {
            palette[i]
                = flatten(drawSmooth(pieces[i], false, SquareSize, Style()), rgb(228, 226, 220));
            writeFile(outDir + "/palette/PALETTE" + std::to_string(i + 1) + ".jpg",
                encodeJpeg(palette[i], 92));
        }

        const Image about = drawAbout(pieces);
        writeFile(outDir + "/about.png", encodePng(about));

        for (int set = 1; set <= 8; ++set) {
            const Style style = setStyle(set);
            for (int black = 0; black < 2; ++black)
                for (int i = 0; i < 6; ++i)
                    writeFile(outDir + "/chesspieces/" + setFileName(black != 0, i, set),
                        encodeGif(drawSmooth(pieces[i], black != 0, SetSizes[set - 1], style)));
        }
        const PieceSource mark = moveMark();
        writeFile(
            outDir + "/chesspieces/w2move.gif", encodeGif(drawSmooth(mark, false, 29, Style())));
        writeFile(
            outDir + "/chesspieces/b2move.gif", encodeGif(drawSmooth(mark, true, 29, Style())));

        fs::create_directories(outDir + "/icons");
        for (const int size : IconSizes)
            writeFile(outDir + "/icons/pictog-" + std::to_string(size) + ".png",
                encodePngWithAlpha(drawIcon(pieces[1], size)));
        writeText(outDir + "/icons/pictog.svg", iconSvg(pieces[1]));

        if (!previewDir.empty())
            writePreviews(previewDir, bitmaps, pieces, about, palette);
        return 0;
    }

} // namespace

} // namespace artgen

int main(int argc, char** argv)
{
    try {
        return artgen::run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pictog-artgen: %s\n", e.what());
        return 1;
    }
}

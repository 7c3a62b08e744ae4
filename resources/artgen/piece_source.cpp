#include "piece_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace artgen {

namespace {

    constexpr double Pi = 3.14159265358979323846;

    // Design units between the points of a flattened curve: a third of a pixel at the largest
    // size we draw, so no facet ever shows.
    constexpr double FlatStep = 2.0;

    class SourceError : public std::runtime_error
    {
    public:
        SourceError(const std::string& path, int line, const std::string& what)
            : std::runtime_error(path + ":" + std::to_string(line) + ": " + what)
        {
        }
    };

    Point lerp(Point a, Point b, double t)
    {
        return { a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t };
    }
    double distance(Point a, Point b)
    {
        return std::hypot(b.x - a.x, b.y - a.y);
    }

    int segmentsFor(double length)
    {
        return std::max(4, static_cast<int>(std::ceil(length / FlatStep)));
    }

    void appendCubic(std::vector<Point>& out, Point p0, Point p1, Point p2, Point p3)
    {
        const int n = segmentsFor(distance(p0, p1) + distance(p1, p2) + distance(p2, p3));
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            const Point a = lerp(p0, p1, t), b = lerp(p1, p2, t), c = lerp(p2, p3, t);
            const Point d = lerp(a, b, t), e = lerp(b, c, t);
            out.push_back(i == n ? p3 : lerp(d, e, t));
        }
    }

    void appendQuadratic(std::vector<Point>& out, Point p0, Point p1, Point p2)
    {
        const int n = segmentsFor(distance(p0, p1) + distance(p1, p2));
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            out.push_back(i == n ? p2 : lerp(lerp(p0, p1, t), lerp(p1, p2, t), t));
        }
    }

    // A circle starting at its top and running round symmetrically, so a circle on the centre line
    // mirrors onto itself point for point.
    Polyline circle(Point centre, double radius)
    {
        Polyline p;
        p.closed = true;
        const int n = std::max(16, 4 * ((segmentsFor(2 * Pi * radius) + 3) / 4));
        for (int i = 0; i < n; ++i) {
            const double a = 2 * Pi * i / n;
            p.points.push_back(
                { centre.x - radius * std::sin(a), centre.y - radius * std::cos(a) });
        }
        return p;
    }

    double signedArea(const std::vector<Point>& points)
    {
        double area = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % points.size()];
            area += a.x * b.y - b.x * a.y;
        }
        return area / 2;
    }

    Point mirrored(Point p)
    {
        return { DesignSize - p.x, p.y };
    }

    Polyline mirroredReversed(const Polyline& line)
    {
        Polyline m;
        m.closed = line.closed;
        for (auto it = line.points.rbegin(); it != line.points.rend(); ++it)
            m.points.push_back(mirrored(*it));
        return m;
    }

    bool onCentre(Point p)
    {
        return std::fabs(p.x - CentreX) < 1e-9;
    }

    // The subpaths of one block of path commands, flattened.
    struct PathBlock {
        std::vector<Polyline> paths;
    };

    class Reader
    {
    public:
        Reader(std::string path, std::istream& in)
            : m_path(std::move(path))
            , m_in(in)
        {
        }

        PieceSource read();

    private:
        [[noreturn]] void fail(const std::string& what) const
        {
            throw SourceError(m_path, m_line, what);
        }
        bool nextLine(std::vector<std::string>& words);
        PathBlock readPath();
        double number(const std::vector<std::string>& words, std::size_t i) const;
        std::vector<Polyline> closeOutline(const PathBlock& block, bool symmetric) const;

        std::string m_path;
        std::istream& m_in;
        int m_line = 0;
    };

    bool Reader::nextLine(std::vector<std::string>& words)
    {
        std::string text;
        while (std::getline(m_in, text)) {
            ++m_line;
            const auto hash = text.find('#');
            if (hash != std::string::npos)
                text.erase(hash);
            std::istringstream split(text);
            words.clear();
            for (std::string w; split >> w;)
                words.push_back(w);
            if (!words.empty())
                return true;
        }
        return false;
    }

    double Reader::number(const std::vector<std::string>& words, std::size_t i) const
    {
        if (i >= words.size())
            fail("missing number after " + words[0]);
        // from_chars, not stod: the desktop program runs under the user's locale, where a
        // decimal comma would turn "12.5" into 12.
        const std::string& word = words[i];
        double v = 0;
        const char* begin = word.data();
        if (!word.empty() && word[0] == '+')
            ++begin;
        const auto [end, error] = std::from_chars(begin, word.data() + word.size(), v);
        if (error != std::errc() || end != word.data() + word.size())
            fail("not a number: " + word);
        return v;
    }

    PathBlock Reader::readPath()
    {
        PathBlock block;
        std::vector<Point>* current = nullptr;
        Point at;
        std::vector<std::string> w;
        auto need = [&](std::size_t count) {
            if (w.size() != count + 1)
                fail(w[0] + " takes " + std::to_string(count) + " numbers");
            if (w[0] != "M" && w[0] != "O" && current == nullptr)
                fail(w[0] + " before M");
        };
        while (nextLine(w)) {
            const std::string& op = w[0];
            if (op == "end")
                return block;
            if (op == "M") {
                need(2);
                at = { number(w, 1), number(w, 2) };
                block.paths.push_back({ { at }, false });
                current = &block.paths.back().points;
            } else if (op == "L") {
                need(2);
                at = { number(w, 1), number(w, 2) };
                current->push_back(at);
            } else if (op == "Q") {
                need(4);
                const Point c { number(w, 1), number(w, 2) }, to { number(w, 3), number(w, 4) };
                appendQuadratic(*current, at, c, to);
                at = to;
            } else if (op == "C") {
                need(6);
                const Point c1 { number(w, 1), number(w, 2) }, c2 { number(w, 3), number(w, 4) };
                const Point to { number(w, 5), number(w, 6) };
                appendCubic(*current, at, c1, c2, to);
                at = to;
            } else if (op == "Z") {
                need(0);
                block.paths.back().closed = true;
                current = nullptr;
            } else if (op == "O") {
                need(3);
                block.paths.push_back(circle({ number(w, 1), number(w, 2) }, number(w, 3)));
                current = nullptr;
            } else {
                fail("unknown path command " + op);
            }
        }
        fail("missing end");
    }

    // Symmetric pieces give each open outline as its left half from the centre line back to it;
    // the right half is the mirror. Closed paths of a symmetric piece get a mirrored twin.
    std::vector<Polyline> Reader::closeOutline(const PathBlock& block, bool symmetric) const
    {
        std::vector<Polyline> out;
        for (const Polyline& path : block.paths) {
            Polyline p = path;
            if (!p.closed) {
                if (!symmetric)
                    fail("an open outline needs Z in a piece that is not symmetric");
                if (!onCentre(p.points.front()) || !onCentre(p.points.back()))
                    fail("a half outline must start and end on x = 190");
                const Polyline twin = mirroredReversed(p);
                p.points.insert(p.points.end(), twin.points.begin() + 1, twin.points.end() - 1);
                p.closed = true;
            }
            // Counter-clockwise throughout, so overlapping parts unite under the non-zero rule.
            if (signedArea(p.points) < 0)
                std::reverse(p.points.begin(), p.points.end());
            out.push_back(p);
            if (symmetric && path.closed) {
                Polyline twin = mirroredReversed(p);
                out.push_back(twin);
            }
        }
        return out;
    }

    PieceSource Reader::read()
    {
        PieceSource piece;
        std::vector<std::string> w;
        while (nextLine(w)) {
            const std::string& key = w[0];
            if (key == "name" && w.size() == 2) {
                piece.name = w[1];
            } else if (key == "letter" && w.size() == 2 && w[1].size() == 1) {
                piece.letter = w[1][0];
            } else if (key == "symmetric" && w.size() == 1) {
                piece.symmetric = true;
            } else if (key == "outline" || key == "outline38") {
                auto& target = key == "outline" ? piece.outline : piece.outline38;
                const auto paths = closeOutline(readPath(), piece.symmetric);
                target.insert(target.end(), paths.begin(), paths.end());
            } else if (key == "stroke" || key == "dot" || key == "shade" || key == "stroke38"
                || key == "dot38" || key == "shade38") {
                const bool at38 = key.back() == '8';
                const std::string kind = at38 ? key.substr(0, key.size() - 2) : key;
                Detail d;
                d.kind = kind == "stroke" ? DetailKind::Stroke
                    : kind == "dot"       ? DetailKind::Dot
                                          : DetailKind::Shade;
                bool single = false;
                for (std::size_t i = 1; i < w.size(); ++i) {
                    if (w[i] == "single")
                        single = true;
                    else if (w[i] == "white")
                        d.whiteOnly = true;
                    else if (w[i] == "width")
                        d.width = number(w, ++i);
                    else
                        fail("unknown option " + w[i]);
                }
                auto& target = at38 ? piece.details38 : piece.details;
                for (const Polyline& p : readPath().paths) {
                    if (d.kind != DetailKind::Stroke && !p.closed)
                        fail(kind + " paths must be closed");
                    d.line = p;
                    d.paired = piece.symmetric && !single;
                    target.push_back(d);
                    if (d.paired) {
                        d.line = mirroredReversed(p);
                        target.push_back(d);
                    }
                }
            } else if (key == "fix38") {
                if (w.size() != 5)
                    fail("fix38 takes white|black|both, x, y and a role");
                PixelFix f;
                f.target = w[1] == "white" ? PixelTarget::White
                    : w[1] == "black"      ? PixelTarget::Black
                    : w[1] == "both"       ? PixelTarget::Both
                                           : (fail("bad fix38 target " + w[1]), PixelTarget::Both);
                f.x = static_cast<int>(number(w, 2));
                f.y = static_cast<int>(number(w, 3));
                if (f.x < 0 || f.x >= 38 || f.y < 0 || f.y >= 38)
                    fail("fix38 pixel outside 0..37");
                const std::string& r = w[4];
                f.role = r == "outside" ? PixelRole::Outside
                    : r == "outline"    ? PixelRole::Outline
                    : r == "fill"       ? PixelRole::Fill
                    : r == "detail"     ? PixelRole::Detail
                    : r == "shade"      ? PixelRole::Shade
                                        : (fail("bad fix38 role " + r), PixelRole::Fill);
                piece.fixes38.push_back(f);
            } else {
                fail("unknown line " + key);
            }
        }
        if (piece.name.empty() || piece.outline.empty())
            fail("a piece needs a name and an outline");
        return piece;
    }

} // namespace

PieceSource readPieceSource(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Reader(path, in).read();
}

PieceSource readPieceSourceText(const std::string& name, const std::string& text)
{
    std::istringstream in(text);
    return Reader(name, in).read();
}

std::array<PieceSource, 6> readPieceSources(const std::string& folder)
{
    static const char* const names[6] = { "pawn", "knight", "bishop", "rook", "queen", "king" };
    static const char letters[6] = { 'p', 'n', 'b', 'r', 'q', 'k' };
    std::array<PieceSource, 6> pieces;
    for (int i = 0; i < 6; ++i) {
        pieces[i] = readPieceSource(folder + "/" + names[i] + ".txt");
        if (pieces[i].letter != letters[i])
            throw std::runtime_error(std::string(names[i]) + ".txt: wrong piece letter");
    }
    return pieces;
}

} // namespace artgen

// The HTML diagram code and the preview page around it. The golden files under tests/data hold the
// exact bytes; PICTOG_UPDATE_GOLDEN=1 rewrites them from the current code (review the diff!).
#include "export/forum_schemes.h"
#include "export/html_diagram.h"
#include "export/html_preview.h"
#include "position/epd_line.h"
#include "settings/file_system.h"
#include "settings/pictog_params.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace pictog {
namespace {

    std::string readAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void expectGolden(const std::string& name, const std::string& actual)
    {
        const std::string path = std::string(PICTOG_TEST_DATA) + "/" + name;
        if (const char* update = std::getenv("PICTOG_UPDATE_GOLDEN"); update && *update == '1') {
            std::ofstream(path, std::ios::binary) << actual;
            return;
        }
        const std::string expected = readAll(path);
        ASSERT_FALSE(expected.empty()) << "missing golden file " << path;
        EXPECT_EQ(actual, expected) << "differs from " << path;
    }

    std::size_t count(std::string_view text, std::string_view what)
    {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string_view::npos;
             at = text.find(what, at + what.size()))
            ++n;
        return n;
    }

    // The settings of a store without a file, as a fresh installation has them.
    HtmlSettings defaultSettings()
    {
        TPictogParams params = TPictogParams::readOnly("/opt/pictog", "");
        params.LoadSettings();
        return htmlSettingsOf(params);
    }

    struct Position {
        BoardCodes pieces;
        PanelState panel;
        std::string line;
    };

    Position positionOf(std::string_view fen)
    {
        const EpdParse parse = ParseEPDLine(fen);
        EXPECT_TRUE(parse.accepted) << fen;
        return { boardCodesOf(parse.board), parse.panel, BuildEPDLine(parse.board, parse.panel) };
    }

    struct GoldenCase {
        const char* golden;
        const char* fen;
        std::function<void(HtmlSettings&)> adjust;
        Captions captions;
        HtmlMode mode;
        int moveRight; // -2: as the line says
    };

    constexpr std::string_view Initial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

    TEST(HtmlDiagramTest, GoldenOutputs)
    {
        const Captions markup { "Test <b>&amp;</b> one", "sub & title", "footer <1>", "footer 2" };
        const GoldenCase cases[] = {
            // A fresh installation: compact, coordinates, border 3, set 1, no captions.
            { "html_initial_compact.html", Initial.data(), [](HtmlSettings&) {}, {},
                HtmlMode::Clipboard, -2 },
            // One fragment per line, every caption line, unescaped markup.
            { "html_initial_lines.html", Initial.data(), [](HtmlSettings& s) { s.compact = false; },
                markup, HtmlMode::Clipboard, -2 },
            // Black to move, no coordinates, no border, forum colours in lower case.
            { "html_black_plain.html",
                "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
                [](HtmlSettings& s) {
                    s.compact = false;
                    s.coordinates = false;
                    s.showBorder = false;
                    s.colorLightSquares = "#e7d0a7";
                    s.colorDarkSquares = "#a77e5c";
                    s.colorDiagramBackground = "#e6e0c6";
                    s.alignment = "center";
                },
                { "Only header", "", "", "Second footer without a first" }, HtmlMode::Clipboard,
                -2 },
            // Border on with size 0, a set number from an edited file, a web base ending in "/",
            // no side-to-move image, no FEN paragraph, captions switched off.
            { "html_border0_set12.html", "8/8/8/4k3/8/8/3QK3/8 w - - 0 60",
                [](HtmlSettings& s) {
                    s.compact = false;
                    s.borderSize = 0;
                    s.pieceSet = 12;
                    s.webImageBase = "http://example.org/img/";
                    s.showSideToMove = false;
                    s.showFenLine = false;
                    s.showHeader = false;
                    s.showFooter = false;
                    s.alignment = "right";
                },
                markup, HtmlMode::Clipboard, -2 },
            // Preview mode with a Windows-style folder; no side selected counts as Black.
            { "html_preview_set4.html", "4k3/8/8/8/8/8/8/4K2R w K - 0 1",
                [](HtmlSettings& s) {
                    s.pieceSet = 4;
                    s.localImageBase = "C:\\Tools\\chesspieces";
                },
                { "H", "", "F", "" }, HtmlMode::Preview, -1 },
        };
        for (const GoldenCase& c : cases) {
            SCOPED_TRACE(c.golden);
            HtmlSettings settings = defaultSettings();
            c.adjust(settings);
            const Position position = positionOf(c.fen);
            const int moveRight = c.moveRight == -2 ? position.panel.moveRight : c.moveRight;
            expectGolden(c.golden,
                BuildHTMLCode(
                    settings, c.captions, position.line, moveRight, position.pieces, c.mode));
        }
    }

    TEST(HtmlDiagramTest, LineEndsFollowCompact)
    {
        const Position position = positionOf(Initial);
        for (const bool compact : { true, false }) {
            for (const bool fen : { true, false }) {
                HtmlSettings settings = defaultSettings();
                settings.compact = compact;
                settings.showFenLine = fen;
                const std::string code = BuildHTMLCode(settings, { "a", "b", "c", "d" },
                    position.line, 0, position.pieces, HtmlMode::Clipboard);
                SCOPED_TRACE(std::string("compact ") + (compact ? "on" : "off") + ", fen "
                    + (fen ? "on" : "off"));
                if (compact) {
                    EXPECT_EQ(code.find('\r'), std::string::npos);
                    EXPECT_EQ(code.find('\n'), std::string::npos);
                } else {
                    // Every fragment ends with CR LF and no LF stands alone.
                    EXPECT_EQ(code.substr(code.size() - 2), "\r\n");
                    EXPECT_EQ(count(code, "\n"), count(code, "\r\n"));
                    // Rows 1-2, two headers, rows 5-8, 12 + 8 * 12 + 12 board fragments, rows
                    // 12-17, the credit, row 19, two footers, row 22, and the FEN paragraph.
                    EXPECT_EQ(count(code, "\r\n"), (fen ? 141u : 139u));
                }
                const std::string tail = compact ? "</FONT>" : "</FONT>\r\n";
                EXPECT_EQ(code.substr(code.size() - tail.size()), tail);
                EXPECT_EQ(code.find("</P><P") != std::string::npos, fen);
            }
        }
    }

    TEST(HtmlDiagramTest, CaptionLinesNeedTheFirstLineAndTheirSwitch)
    {
        struct CaptionCase {
            Captions captions;
            bool showHeader;
            bool showFooter;
            std::size_t headerLines;
            std::size_t footerLines;
        };
        const CaptionCase cases[] = {
            { { "h1", "h2", "f1", "f2" }, true, true, 2, 2 },
            { { "", "h2", "", "f2" }, true, true, 0, 0 },
            { { "h1", "", "f1", "" }, true, true, 1, 1 },
            { { "h1", "h2", "f1", "f2" }, false, true, 0, 2 },
            { { "h1", "h2", "f1", "f2" }, true, false, 2, 0 },
            // Blanks are text: a caption of one blank counts as not empty.
            { { " ", " ", " ", " " }, true, true, 2, 2 },
        };
        const Position position = positionOf(Initial);
        for (const CaptionCase& c : cases) {
            HtmlSettings settings = defaultSettings();
            settings.showHeader = c.showHeader;
            settings.showFooter = c.showFooter;
            const std::string code = BuildHTMLCode(
                settings, c.captions, position.line, 0, position.pieces, HtmlMode::Clipboard);
            const std::size_t headers = count(code, "<FONT color=\"black\" size=\"+1\"><B>")
                + count(code, "<FONT color=\"black\"><I>");
            const std::size_t footers = count(code, "</FONT><BR>") - headers;
            EXPECT_EQ(headers, c.headerLines) << c.captions.header1 << '|' << c.captions.header2;
            EXPECT_EQ(footers, c.footerLines) << c.captions.footer1 << '|' << c.captions.footer2;
        }
    }

    TEST(HtmlDiagramTest, SizesOfEveryPieceSet)
    {
        struct SetCase {
            int pieceSet;
            const char* size;
            const char* width;
        };
        const SetCase cases[]
            = { { 1, "38", "399" }, { 2, "32", "351" }, { 3, "48", "479" }, { 4, "30", "335" },
                  { 5, "35", "375" }, { 8, "35", "375" }, { 0, "-1", "87" }, { 9, "-1", "87" } };
        const Position position = positionOf(Initial);
        for (const SetCase& c : cases) {
            HtmlSettings settings = defaultSettings();
            settings.pieceSet = c.pieceSet;
            // W does not depend on coordinates or the side-to-move image.
            settings.coordinates = c.pieceSet % 2 == 0;
            settings.showSideToMove = c.pieceSet % 3 == 0;
            const std::string code = BuildHTMLCode(
                settings, {}, position.line, 0, position.pieces, HtmlMode::Clipboard);
            const std::string n = std::to_string(c.pieceSet);
            const std::string square = std::string("width=\"") + c.size + "\" height=\"" + c.size;
            EXPECT_EQ(count(code, square + "\"></TD>"), 32u) << c.pieceSet; // images
            EXPECT_EQ(count(code, "<TD bgcolor=\"#397AAE\" " + square + "\">&nbsp;</TD>")
                    + count(code, "<TD bgcolor=\"#9EC2EF\" " + square + "\">&nbsp;</TD>"),
                32u)
                << c.pieceSet; // empty squares
            EXPECT_NE(code.find(std::string("colspan=\"2\" width=\"") + c.width + "\""),
                std::string::npos)
                << c.pieceSet;
            EXPECT_NE(code.find("/wk" + n + ".gif\""), std::string::npos) << c.pieceSet;
        }
    }

    TEST(HtmlDiagramTest, ImageBases)
    {
        struct BaseCase {
            const char* web;
            const char* local;
            HtmlMode mode;
            const char* expected;
        };
        const BaseCase cases[] = {
            { "http://example.org/pieces", "", HtmlMode::Clipboard, "http://example.org/pieces/" },
            { "http://example.org/pieces/", "", HtmlMode::Clipboard,
                "http://example.org/pieces//" },
            { "", "", HtmlMode::Clipboard, "/" },
            { "", "/opt/pictog/chesspieces", HtmlMode::Preview, "file:///opt/pictog/chesspieces/" },
            { "", "C:\\Tools\\chesspieces", HtmlMode::Preview, "file://C:/Tools/chesspieces/" },
            { "", "\\\\server\\share\\", HtmlMode::Preview, "file:////server/share//" },
        };
        for (const BaseCase& c : cases) {
            HtmlSettings settings;
            settings.webImageBase = c.web;
            settings.localImageBase = c.local;
            EXPECT_EQ(htmlImageBase(settings, c.mode), c.expected) << c.web << c.local;
        }
    }

    TEST(HtmlDiagramTest, SquareColoursAndPieceImages)
    {
        // a1 dark, h1 and a8 light; every piece code names its own image.
        const Position position
            = positionOf("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
        HtmlSettings settings = defaultSettings();
        settings.compact = false;
        settings.colorLightSquares = "LIGHT";
        settings.colorDarkSquares = "DARK";
        const std::string code
            = BuildHTMLCode(settings, {}, position.line, 0, position.pieces, HtmlMode::Clipboard);
        std::vector<std::string> cells;
        std::istringstream lines(code);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("<TD bgcolor=", 0) == 0)
                cells.push_back(line);
        ASSERT_EQ(cells.size(), 64u);
        // cells run a8..h8, a7..h7, ..., a1..h1.
        EXPECT_NE(cells[0].find("\"LIGHT\""), std::string::npos); // a8
        EXPECT_NE(cells[0].find("br1.gif\" border=\"0\" alt=\" BR \""), std::string::npos);
        EXPECT_NE(cells[4].find("bk1.gif\" border=\"0\" alt=\" BK \""), std::string::npos); // e8
        EXPECT_NE(cells[56].find("\"DARK\""), std::string::npos); // a1
        EXPECT_NE(cells[63].find("\"LIGHT\""), std::string::npos); // h1
        EXPECT_NE(cells[60].find("wk1.gif\" border=\"0\" alt=\" WK \""), std::string::npos); // e1
        EXPECT_NE(cells[35].find("\"DARK\" width=\"38\" height=\"38\">&nbsp;</TD>"),
            std::string::npos); // d4
        EXPECT_NE(cells[36].find("\"LIGHT\" width=\"38\" height=\"38\">&nbsp;</TD>"),
            std::string::npos); // e4
    }

    TEST(HtmlDiagramTest, SideToMoveCell)
    {
        const Position position = positionOf(Initial);
        struct SideCase {
            int moveRight;
            bool show;
            const char* expected;
        };
        const SideCase cases[] = {
            { 0, true,
                "<TD valign=\"bottom\"><IMG src=\"https://pictog.github.io/chesspieces/"
                "w2move.gif\" border=\"0\" alt=\" white to move \" width=\"29\" "
                "height=\"29\"></TD>" },
            { 1, true,
                "<TD valign=\"top\"><IMG src=\"https://pictog.github.io/chesspieces/"
                "b2move.gif\" border=\"0\" alt=\" black to move \" width=\"29\" "
                "height=\"29\"></TD>" },
            { -1, true,
                "<TD valign=\"top\"><IMG src=\"https://pictog.github.io/chesspieces/b2move" },
            { 0, false, "<TD valign=\"bottom\">&nbsp;</TD>" },
            { 1, false, "<TD valign=\"top\">&nbsp;</TD>" },
        };
        for (const SideCase& c : cases) {
            HtmlSettings settings = defaultSettings();
            settings.showSideToMove = c.show;
            const std::string code = BuildHTMLCode(
                settings, {}, position.line, c.moveRight, position.pieces, HtmlMode::Clipboard);
            EXPECT_NE(code.find(c.expected), std::string::npos) << c.moveRight << c.show;
        }
    }

    TEST(HtmlPreviewTest, PageAroundTheCode)
    {
        const std::string head
            = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n"
              "<HTML>\r\n<HEAD>\r\n<TITLE>Pictog: HTMLPreview</TITLE>\r\n"
              "<META name=\"generator\" content=\"Pictog V1.01  (12-OCT-2002)\">\r\n"
              "<META name=\"resource-type\" content=\"document\">\r\n"
              "<META http-equiv=\"content-type\" content=\"text/html; "
              "charset=UTF-8\">\r\n</HEAD>\r\n<BODY>\r\n";
        // Compact code is one line; code with line ends leaves an empty line before </BODY>.
        EXPECT_EQ(BuildPreviewPage("<P>one line"), head + "<P>one line\r\n</BODY>\r\n</HTML>\r\n");
        EXPECT_EQ(
            BuildPreviewPage("<P>\r\n<B>\r\n"), head + "<P>\r\n<B>\r\n\r\n</BODY>\r\n</HTML>\r\n");
        EXPECT_EQ(BuildPreviewPage(""), head + "\r\n</BODY>\r\n</HTML>\r\n");
    }

    TEST(HtmlPreviewTest, WritesAndReplacesTheFile)
    {
        char pattern[] = "/tmp/pictog-preview-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        const std::string dir = pattern;
        const std::string path = dir + "/Pictog.html";
        FileSystem files;
        EXPECT_EQ(WritePreviewFile(files, path, "first page, longer than the second"), "");
        EXPECT_EQ(WritePreviewFile(files, path, "second"), "");
        EXPECT_EQ(readAll(path), "second");
        // Failures come back as the system's own text.
        EXPECT_EQ(WritePreviewFile(files, dir + "/missing/Pictog.html", "x"),
            "No such file or directory");
        EXPECT_EQ(WritePreviewFile(files, dir, "x"), "Is a directory");
        ::unlink(path.c_str());
        ::rmdir(dir.c_str());
    }

    TEST(ForumSchemeTest, EntriesOneToEightAreTheSchemes)
    {
        const struct {
            int entry;
            const char* name; // nullptr: no scheme
        } cases[] = { { -1, nullptr }, { 0, nullptr }, { 1, "CCC Forum" }, { 8, "WinBoard Forum" },
            { 9, nullptr }, { 1000, nullptr } };
        for (const auto& c : cases) {
            const ForumScheme* scheme = forumScheme(c.entry);
            EXPECT_EQ(scheme ? std::string(scheme->name) : std::string("none"),
                c.name ? std::string(c.name) : std::string("none"))
                << c.entry;
        }
    }

} // namespace
} // namespace pictog

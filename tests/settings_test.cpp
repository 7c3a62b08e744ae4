// The settings store: the INI format, loading with its corrections, setters, saving, and what
// happens when the file cannot be read or written.
#include "settings/file_system.h"
#include "settings/html_color.h"
#include "settings/ini_file.h"
#include "settings/pictog_params.h"
#include "settings/program_locations.h"
#include "settings/sheet_settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pictog {
namespace {

    std::string readAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void writeAll(const std::string& path, std::string_view text)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }

    void removeTree(const std::string& path)
    {
        ::nftw(
            path.c_str(),
            [](const char* name, const struct stat*, int, FTW*) { return ::remove(name); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }

    bool exists(const std::string& path)
    {
        struct stat info {
        };
        return ::stat(path.c_str(), &info) == 0;
    }

    std::vector<std::string> folderEntries(const std::string& folder)
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
        return names;
    }

    class RecordingReporter : public ErrorReporter
    {
    public:
        void showError(const std::string& message) override { messages.push_back(message); }
        std::vector<std::string> messages;
    };

    // A folder of its own for each test, removed afterwards.
    class SettingsTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            char pattern[] = "/tmp/pictog-settings-XXXXXX";
            ASSERT_NE(::mkdtemp(pattern), nullptr);
            dir = pattern;
            ini = dir + "/Pictog.ini";
        }
        void TearDown() override { removeTree(dir); }

        TPictogParams loaded(std::shared_ptr<FileSystem> files = nullptr)
        {
            TPictogParams params(dir, &reporter, std::move(files));
            params.LoadSettings();
            return params;
        }

        std::string dir;
        std::string ini;
        RecordingReporter reporter;
    };

    TEST(IniFileTest, GoldenFileReadsAndWritesBack)
    {
        // Reading then rewriting drops comments, blanks and lines before the first section,
        // trims, merges nothing else, and keeps every section and key in its place.
        const std::string in = readAll(PICTOG_TEST_DATA "/settings_golden_in.ini");
        ASSERT_FALSE(in.empty());
        IniFile file(in);
        EXPECT_EQ(file.readString("History", "fenLine", "?"),
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
        EXPECT_EQ(file.readString("History", "footer1", "?"), "a=b");
        EXPECT_EQ(file.readString("History", "header2", "?"), "");
        EXPECT_EQ(file.readString("History", "note to self", "?"), "?");
        EXPECT_EQ(file.readString("History", "stray", "?"), "?");
        EXPECT_TRUE(file.hasSection("Standard URLs"));
        EXPECT_TRUE(file.hasSection("Empty"));
    }

    TEST(IniFileTest, LineEndsOfEveryKind)
    {
        const IniFile file("[A]\r\none=1\r\ntwo=2\rthree=3\nfour=4");
        EXPECT_EQ(file.readInteger("A", "one", 0), 1);
        EXPECT_EQ(file.readInteger("A", "two", 0), 2);
        EXPECT_EQ(file.readInteger("A", "three", 0), 3);
        EXPECT_EQ(file.readInteger("A", "four", 0), 4);
    }

    TEST(IniFileTest, WritesReplaceInPlaceAndAppend)
    {
        IniFile file("; comment\n[B]\nx=1\nbare line\ny=2\n\n[A]\nz=3\n");
        file.writeInteger("B", "x", 10);
        file.writeString("A", "new", "v");
        file.writeBool("C", "flag", false);
        EXPECT_EQ(file.text(), "[B]\nx=10\nbare line\ny=2\n\n[A]\nz=3\nnew=v\n\n[C]\nflag=0\n\n");
    }

    TEST(IniFileTest, RepeatedSectionIsMergedIntoTheFirst)
    {
        IniFile file("[A]\nx=1\n[B]\ny=2\n[A]\nz=3\n");
        EXPECT_EQ(file.readInteger("A", "z", 0), 3);
        EXPECT_EQ(file.text(), "[A]\nx=1\nz=3\n\n[B]\ny=2\n\n");
    }

    TEST(IniFileTest, LineBreaksInsideValuesAreWrittenAsBlanks)
    {
        IniFile file;
        file.writeString("History", "header1", "first\r\nsecond\nthird\rfourth");
        file.writeString("History", "header2", "after");
        EXPECT_EQ(file.text(), "[History]\nheader1=first second third fourth\nheader2=after\n\n");
        const IniFile reread(file.text());
        EXPECT_EQ(reread.readString("History", "header1", ""), "first second third fourth");
        EXPECT_EQ(reread.readString("History", "header2", ""), "after");
    }

    TEST(IniFileTest, NamesMatchCaseSensitively)
    {
        const IniFile file("[history]\nfenLine=a\n[History]\nFenLine=b\n");
        EXPECT_EQ(file.readString("History", "fenLine", "default"), "default");
        EXPECT_EQ(file.readString("history", "fenLine", "default"), "a");
        EXPECT_EQ(file.readString("History", "FenLine", "default"), "b");
    }

    struct IntegerCase {
        const char* text;
        int expected; // with the default 77
    };

    TEST(IniFileTest, IntegersInDecimalAndHexadecimal)
    {
        const IntegerCase cases[] = {
            { "12", 12 },
            { "-3", -3 },
            { "+4", 4 },
            { "0x1F", 31 },
            { "0X1f", 31 },
            { "$10", 16 },
            { "-$10", -16 },
            { "$FFFFFFFF", -1 },
            { "2147483647", 2147483647 },
            { "-2147483648", -2147483647 - 1 },
            { "2147483648", 77 },
            { "99999999999", 77 },
            { "$100000000", 77 },
            { "", 77 },
            { "abc", 77 },
            { "12abc", 77 },
            { "1 2", 77 },
            { "0x", 77 },
            { "$", 77 },
            { "-", 77 },
            { "1.5", 77 },
        };
        for (const IntegerCase& c : cases) {
            const IniFile file(std::string("[S]\nk=") + c.text + "\n");
            EXPECT_EQ(file.readInteger("S", "k", 77), c.expected) << "value \"" << c.text << '"';
        }
        EXPECT_EQ(IniFile("[S]\n").readInteger("S", "k", 77), 77);
    }

    struct FlagCase {
        const char* text;
        bool defaultValue;
        bool expected;
    };

    TEST(IniFileTest, FlagsAreIntegers)
    {
        const FlagCase cases[] = {
            { "1", false, true },
            { "0", true, false },
            { "2", false, true },
            { "-1", false, true },
            { "yes", true, true },
            { "yes", false, false },
            { "true", false, false },
            { "", true, true },
            { "$0", true, false },
        };
        for (const FlagCase& c : cases) {
            const IniFile file(std::string("[S]\nf=") + c.text + "\n");
            EXPECT_EQ(file.readBool("S", "f", c.defaultValue), c.expected)
                << "value \"" << c.text << "\", default " << c.defaultValue;
        }
    }

    TEST(SheetSettingsTest, ValuesOutsideTheirChoicesGiveTheDefaults)
    {
        struct Case {
            const char* section; // the [Sheet] lines
            const char* page;
            int columns;
            int rows;
            DiagramStyle style;
            const char* solutions;
        };
        const Case cases[] = {
            { "", "a4", 2, 3, DiagramStyle::Color, "end" },
            { "page=letter\ngrid=3x4\nstyle=print\nsolutions=none\n", "letter", 3, 4,
                DiagramStyle::Print, "none" },
            { "page=A5\ngrid=0x4\nstyle=sepia\nsolutions=later\n", "a4", 2, 3, DiagramStyle::Color,
                "end" },
            { "grid=21x1\n", "a4", 2, 3, DiagramStyle::Color, "end" },
            { "grid=3x\n", "a4", 2, 3, DiagramStyle::Color, "end" },
            { "grid=20x20\nstyle=gray\nsolutions=page\n", "a4", 20, 20, DiagramStyle::Gray,
                "page" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.section);
            const SheetSettings s
                = readSheetSettings(IniFile(std::string("[Sheet]\n") + c.section));
            EXPECT_EQ(s.page, c.page);
            EXPECT_EQ(s.columns, c.columns);
            EXPECT_EQ(s.rows, c.rows);
            EXPECT_EQ(s.style, c.style);
            EXPECT_EQ(s.solutions, c.solutions);
        }
        // What is written reads back, texts and the flag included.
        SheetSettings chosen;
        chosen.page = "letter";
        chosen.columns = 4;
        chosen.rows = 5;
        chosen.style = DiagramStyle::Gray;
        chosen.solutions = "page";
        chosen.title = "Mates in two";
        chosen.prompt = "Find the mate";
        chosen.turnBoard = true;
        IniFile file("");
        writeSheetSettings(file, chosen);
        EXPECT_EQ(readSheetSettings(IniFile(file.text())), chosen);
    }

    TEST_F(SettingsTest, WithoutAFileEverythingIsDefaultAndNothingIsWritten)
    {
        const TPictogParams params = loaded();
        EXPECT_FALSE(params.modified());
        EXPECT_FALSE(exists(ini));
        EXPECT_EQ(params.iniReadStatus(), FileReadStatus::Missing);
        EXPECT_TRUE(params.activated());
        EXPECT_EQ(params.fenLine(), "");
        EXPECT_EQ(params.header1() + params.header2() + params.footer1() + params.footer2(), "");
        EXPECT_EQ(params.moveNumber(), 1);
        EXPECT_EQ(params.halfMoveClock(), 0);
        EXPECT_TRUE(params.showBorder() && params.coordinates() && params.showFenLine()
            && params.showFooter() && params.showHeader() && params.showSideToMove());
        EXPECT_EQ(params.alignment(), "left");
        EXPECT_EQ(params.borderSize(), 3);
        EXPECT_EQ(params.colorLightSquares(), "#9EC2EF");
        EXPECT_EQ(params.colorDarkSquares(), "#397AAE");
        EXPECT_EQ(params.colorDiagramBackground(), "#BCBCC5");
        EXPECT_TRUE(params.compact());
        EXPECT_EQ(params.pieceSet(), 1);
        EXPECT_EQ(params.PieceImageSize(), 38);
        EXPECT_EQ(params.localImageBase(), dir + "/chesspieces");
        EXPECT_EQ(params.webImageBase(), DefaultWebImageBase);
        EXPECT_EQ(params.textEditor(), "xdg-open");
        EXPECT_EQ(params.urlHomePage(), HomePageUrl);
        EXPECT_EQ(params.manualFile(), dir + "/Pictog.txt");
        EXPECT_EQ(params.previewFile(), dir + "/Pictog.html");
        EXPECT_EQ(params.helpFile(), dir + "/Pictog.hlp");
        EXPECT_EQ(params.iniFile(), dir + "/Pictog.ini");
    }

    TEST_F(SettingsTest, ProgramDirIsTakenWithoutTrailingSlash)
    {
        const TPictogParams params(dir + "/");
        EXPECT_EQ(params.programDir(), dir);
        EXPECT_EQ(params.iniFile(), dir + "/Pictog.ini");
    }

    TEST_F(SettingsTest, GoldenFileIsCorrectedAndRewrittenAtOnce)
    {
        writeAll(ini, readAll(PICTOG_TEST_DATA "/settings_golden_in.ini"));
        const TPictogParams params = loaded();
        EXPECT_FALSE(params.modified());
        EXPECT_TRUE(reporter.messages.empty());
        EXPECT_EQ(readAll(ini), readAll(PICTOG_TEST_DATA "/settings_golden_out.ini"));

        EXPECT_EQ(params.textEditor(), "xdg-open");
        EXPECT_EQ(params.header1(), "Opening <b>test</b>");
        EXPECT_EQ(params.halfMoveClock(), 10);
        EXPECT_EQ(params.moveNumber(), 31);
        EXPECT_FALSE(params.showBorder());
        EXPECT_TRUE(params.coordinates());
        EXPECT_TRUE(params.showHeader());
        EXPECT_EQ(params.alignment(), "left");
        EXPECT_EQ(params.borderSize(), 10);
        EXPECT_EQ(params.pieceSet(), 12);
        EXPECT_EQ(params.PieceImageSize(), -1);
        EXPECT_EQ(params.urlCCCForum(), "http://example.org/ccc");
    }

    struct CorrectionCase {
        const char* section;
        const char* line;
        std::function<std::string(const TPictogParams&)> value;
        const char* expected;
        bool rewritten;
    };

    TEST_F(SettingsTest, EveryLoadCorrectionRewritesTheFile)
    {
        const auto half = [](const TPictogParams& p) { return std::to_string(p.halfMoveClock()); };
        const auto move = [](const TPictogParams& p) { return std::to_string(p.moveNumber()); };
        const auto border = [](const TPictogParams& p) { return std::to_string(p.borderSize()); };
        const auto align = [](const TPictogParams& p) { return p.alignment(); };
        const auto set = [](const TPictogParams& p) { return std::to_string(p.pieceSet()); };
        const CorrectionCase cases[] = {
            { "History", "halfMoveClock=101", half, "0", true },
            { "History", "halfMoveClock=-1", half, "0", true },
            { "History", "halfMoveClock=100", half, "100", false },
            { "History", "halfMoveClock=x", half, "0", false },
            { "History", "moveNumber=0", move, "1", true },
            { "History", "moveNumber=1000", move, "1", true },
            { "History", "moveNumber=999", move, "999", false },
            { "HTML Settings", "borderSize=-5", border, "0", true },
            { "HTML Settings", "borderSize=11", border, "10", true },
            { "HTML Settings", "borderSize=0", border, "0", false },
            { "HTML Settings", "borderSize=ten", border, "3", false },
            { "HTML Settings", "alignment=Center", align, "left", true },
            { "HTML Settings", "alignment=centre", align, "left", true },
            { "HTML Settings", "alignment=", align, "left", true },
            { "HTML Settings", "alignment=right", align, "right", false },
            { "HTML Settings", "pieceSet=12", set, "12", false },
            { "HTML Settings", "pieceSet=-3", set, "-3", false },
        };
        for (const CorrectionCase& c : cases) {
            const std::string original = std::string("[") + c.section + "]\n" + c.line + "\n";
            writeAll(ini, original);
            const TPictogParams params = loaded();
            EXPECT_EQ(c.value(params), c.expected) << c.line;
            EXPECT_FALSE(params.modified()) << c.line;
            const std::string after = readAll(ini);
            if (c.rewritten) {
                EXPECT_NE(after.find("[Standard URLs]"), std::string::npos) << c.line;
                const IniFile reread(after);
                const std::string key
                    = std::string(c.line).substr(0, std::string(c.line).find('='));
                EXPECT_EQ(reread.readString(c.section, key, "?"), c.expected) << c.line;
            } else {
                EXPECT_EQ(after, original) << c.line;
            }
        }
    }

    struct FlagLoadCase {
        const char* value;
        bool expected;
    };

    TEST_F(SettingsTest, HistoryFlagReadsWordsAsTheDefault)
    {
        const FlagLoadCase cases[]
            = { { "yes", true }, { "0", false }, { "2", true }, { "1", true } };
        for (const FlagLoadCase& c : cases) {
            writeAll(ini, std::string("[History]\nactivated=") + c.value + "\nfenLine=8/8 w\n");
            const TPictogParams params = loaded();
            EXPECT_EQ(params.activated(), c.expected) << c.value;
            EXPECT_EQ(params.fenLine(), c.expected ? "8/8 w" : "8/8/8/8/8/8/8/8 w - - 0 1");
        }
    }

    TEST_F(SettingsTest, HistoryOffIgnoresTheStoredPosition)
    {
        const std::string original = "[History]\nactivated=0\nfenLine=8/8/8/8/8/8/8/k7 b - - 3 40\n"
                                     "header1=H\nheader2=I\nfooter1=F\nfooter2=G\n"
                                     "halfMoveClock=150\nmoveNumber=40\nlastSaveDir=/home/me\n";
        writeAll(ini, original);
        {
            TPictogParams params = loaded();
            EXPECT_EQ(params.fenLine(), "8/8/8/8/8/8/8/8 w - - 0 1");
            EXPECT_EQ(params.header1() + params.header2() + params.footer1() + params.footer2()
                    + params.lastSaveDir(),
                "");
            EXPECT_EQ(params.halfMoveClock(), 0);
            EXPECT_EQ(params.moveNumber(), 1);
            // The out-of-range clock is not even read, so nothing needs correcting.
            EXPECT_FALSE(params.modified());
            EXPECT_TRUE(params.SaveSettings());
            EXPECT_EQ(readAll(ini), original);
        }
        // Any other change writes the empty-board history over the stored one.
        TPictogParams params = loaded();
        params.setShowBorder(false);
        ASSERT_TRUE(params.SaveSettings());
        const IniFile written(readAll(ini));
        EXPECT_EQ(written.readString("History", "fenLine", "?"), "8/8/8/8/8/8/8/8 w - - 0 1");
        EXPECT_EQ(written.readString("History", "header1", "?"), "");
        EXPECT_EQ(written.readString("History", "lastSaveDir", "?"), "");
        EXPECT_EQ(written.readInteger("History", "halfMoveClock", -1), 0);
        EXPECT_EQ(written.readInteger("History", "moveNumber", -1), 1);
        EXPECT_FALSE(written.readBool("History", "activated", true));
    }

    TEST_F(SettingsTest, HistoryOnRoundTripsPositionAndCaptions)
    {
        {
            TPictogParams params = loaded();
            params.setFenLine("8/8/8/8/8/8/8/k6K b - - 3 40");
            params.setHeader1("  spaced  ");
            params.setHeader2("two\nlines");
            params.setFooter1("<i>f1</i>");
            params.setFooter2("f2");
            params.setMoveNumber(40);
            params.setHalfMoveClock(3);
            params.setLastSaveDir("/home/me/diagrams");
            ASSERT_TRUE(params.SaveSettings());
        }
        const TPictogParams params = loaded();
        EXPECT_EQ(params.fenLine(), "8/8/8/8/8/8/8/k6K b - - 3 40");
        // Surrounding blanks do not survive the trimming reader; a line break becomes a blank.
        EXPECT_EQ(params.header1(), "spaced");
        EXPECT_EQ(params.header2(), "two lines");
        EXPECT_EQ(params.footer1(), "<i>f1</i>");
        EXPECT_EQ(params.footer2(), "f2");
        EXPECT_EQ(params.moveNumber(), 40);
        EXPECT_EQ(params.halfMoveClock(), 3);
        EXPECT_EQ(params.lastSaveDir(), "/home/me/diagrams");
    }

    TEST_F(SettingsTest, LowerCaseSectionIsNotTheHistorySection)
    {
        writeAll(ini, "[history]\nfenLine=8/8/8/8/8/8/8/k6K w - - 0 1\nmoveNumber=5\n");
        const TPictogParams params = loaded();
        EXPECT_EQ(params.fenLine(), "");
        EXPECT_EQ(params.moveNumber(), 1);
    }

    TEST_F(SettingsTest, NewFileGetsSectionsInSaveOrder)
    {
        TPictogParams params = loaded();
        params.setCompact(false);
        ASSERT_TRUE(params.SaveSettings());
        const std::string text = readAll(ini);
        const std::size_t history = text.find("[History]");
        const std::size_t layout = text.find("[Diagram Layout]");
        const std::size_t html = text.find("[HTML Settings]");
        const std::size_t urls = text.find("[Standard URLs]");
        EXPECT_EQ(history, 0u);
        EXPECT_LT(history, layout);
        EXPECT_LT(layout, html);
        EXPECT_LT(html, urls);
        EXPECT_EQ(text.find("[General]"), std::string::npos);
        EXPECT_EQ(text.find("textEditor"), std::string::npos);
        EXPECT_NE(text.find("compact=0\n"), std::string::npos);
        EXPECT_EQ(text.find("[HTML Export]"), std::string::npos) << "written once used";

        params.setHtmlExport(HtmlExportSettings { true });
        ASSERT_TRUE(params.SaveSettings());
        const std::string embedded = readAll(ini);
        const std::size_t section = embedded.find("[HTML Export]\nembedImages=1\n");
        ASSERT_NE(section, std::string::npos);
        EXPECT_GT(section, embedded.find("[Standard URLs]"));
        EXPECT_TRUE(loaded().htmlExport().embedImages);
    }

    struct SetterCase {
        const char* name;
        std::function<void(TPictogParams&)> set;
        std::function<std::string(const TPictogParams&)> get;
        const char* expected;
        bool modifies;
    };

    TEST_F(SettingsTest, SettersClampAndTrackModified)
    {
        const auto border = [](const TPictogParams& p) { return std::to_string(p.borderSize()); };
        const auto set = [](const TPictogParams& p) { return std::to_string(p.pieceSet()); };
        const auto align = [](const TPictogParams& p) { return p.alignment(); };
        const auto light = [](const TPictogParams& p) { return p.colorLightSquares(); };
        const auto half = [](const TPictogParams& p) { return std::to_string(p.halfMoveClock()); };
        const auto flag = [](const TPictogParams& p) { return std::to_string(p.showHeader()); };
        const SetterCase cases[] = {
            { "border 11", [](TPictogParams& p) { p.setBorderSize(11); }, border, "10", true },
            { "border -1", [](TPictogParams& p) { p.setBorderSize(-1); }, border, "0", true },
            { "border 3 (held)", [](TPictogParams& p) { p.setBorderSize(3); }, border, "3", false },
            { "border 12 clamps to the held 10",
                [](TPictogParams& p) {
                    p.setBorderSize(10);
                    p.SaveSettings();
                    p.setBorderSize(12);
                },
                border, "10", false },
            { "set 0", [](TPictogParams& p) { p.setPieceSet(0); }, set, "1", false },
            { "set -4", [](TPictogParams& p) { p.setPieceSet(-4); }, set, "1", false },
            { "set 12", [](TPictogParams& p) { p.setPieceSet(12); }, set, "8", true },
            { "set 4", [](TPictogParams& p) { p.setPieceSet(4); }, set, "4", true },
            { "align Right", [](TPictogParams& p) { p.setAlignment("Right"); }, align, "left",
                false },
            { "align right", [](TPictogParams& p) { p.setAlignment("right"); }, align, "right",
                true },
            { "colour case", [](TPictogParams& p) { p.setColorLightSquares("#9ec2ef"); }, light,
                "#9ec2ef", true },
            { "colour invalid", [](TPictogParams& p) { p.setColorLightSquares("blue"); }, light,
                "blue", true },
            { "half move unchecked", [](TPictogParams& p) { p.setHalfMoveClock(250); }, half, "250",
                true },
            { "flag held", [](TPictogParams& p) { p.setShowHeader(true); }, flag, "1", false },
            { "flag off", [](TPictogParams& p) { p.setShowHeader(false); }, flag, "0", true },
        };
        for (const SetterCase& c : cases) {
            removeTree(ini);
            TPictogParams params = loaded();
            c.set(params);
            EXPECT_EQ(c.get(params), c.expected) << c.name;
            EXPECT_EQ(params.modified(), c.modifies) << c.name;
        }
    }

    TEST_F(SettingsTest, SaveWithoutChangesWritesNothing)
    {
        TPictogParams params = loaded();
        params.setFenLine("");
        params.setMoveNumber(1);
        params.setAlignment("left");
        EXPECT_FALSE(params.modified());
        EXPECT_TRUE(params.SaveSettings());
        EXPECT_FALSE(exists(ini));
    }

    TEST_F(SettingsTest, TextEditorMustNameAnExistingFile)
    {
        const std::string editor = dir + "/my-editor";
        writeAll(editor, "#!/bin/sh\n");
        ::mkdir((dir + "/folder").c_str(), 0755);
        struct EditorCase {
            std::string stored;
            std::string expected;
        };
        const EditorCase cases[] = {
            { editor, editor },
            { dir + "/missing-editor", "xdg-open" },
            { dir + "/folder", "xdg-open" },
            { "", "xdg-open" },
            // A bare name is looked for in the current folder only, not on the search path.
            { "sh", "xdg-open" },
        };
        for (const EditorCase& c : cases) {
            writeAll(ini, "[General]\ntextEditor=" + c.stored + "\n");
            const TPictogParams params = loaded();
            EXPECT_EQ(params.textEditor(), c.expected) << c.stored;
            EXPECT_FALSE(params.modified());
        }

        // A bare name of a file in the current folder is kept.
        char previous[4096];
        ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(::chdir(dir.c_str()), 0);
        writeAll(ini, "[General]\ntextEditor=my-editor\n");
        const TPictogParams params = loaded();
        ASSERT_EQ(::chdir(previous), 0);
        EXPECT_EQ(params.textEditor(), "my-editor");
    }

    // A file system whose chosen primitive fails, for the atomic rewrite.
    class FailingFileSystem : public FileSystem
    {
    public:
        enum class Step { None, Open, Write, Sync, Close, Rename };
        explicit FailingFileSystem(Step step)
            : m_step(step)
        {
        }
        void failAt(Step step) { m_step = step; }

    protected:
        int openFile(const char* path, int flags, mode_t mode) override
        {
            if (m_step == Step::Open && (flags & O_CREAT))
                return fail(EACCES);
            return FileSystem::openFile(path, flags, mode);
        }
        ssize_t writeSome(int fd, const void* data, std::size_t size) override
        {
            if (m_step != Step::Write)
                return FileSystem::writeSome(fd, data, size);
            // Half of the text reaches the disk, then the disk is full.
            if (!m_wroteHalf && size > 1) {
                m_wroteHalf = true;
                return FileSystem::writeSome(fd, data, size / 2);
            }
            return fail(ENOSPC);
        }
        int syncFile(int fd) override
        {
            return m_step == Step::Sync ? fail(EIO) : FileSystem::syncFile(fd);
        }
        int closeFile(int fd) override
        {
            const int result = FileSystem::closeFile(fd);
            return m_step == Step::Close ? fail(EIO) : result;
        }
        int renameFile(const char* from, const char* to) override
        {
            return m_step == Step::Rename ? fail(EXDEV) : FileSystem::renameFile(from, to);
        }

    private:
        static int fail(int error)
        {
            errno = error;
            return -1;
        }
        Step m_step;
        bool m_wroteHalf = false;
    };

    TEST_F(SettingsTest, FailedRewriteLeavesTheOldFileAndStaysModified)
    {
        using Step = FailingFileSystem::Step;
        const std::string original = "[History]\nfenLine=8/8/8/8/8/8/8/k6K w - - 0 1\n"
                                     "; kept because the rewrite never happens\n";
        for (const Step step : { Step::Open, Step::Write, Step::Sync, Step::Close, Step::Rename }) {
            writeAll(ini, original);
            reporter.messages.clear();
            TPictogParams params = loaded(std::make_shared<FailingFileSystem>(step));
            params.setHeader1("new caption");
            EXPECT_FALSE(params.SaveSettings());
            EXPECT_EQ(readAll(ini), original) << static_cast<int>(step);
            EXPECT_TRUE(params.modified());
            ASSERT_EQ(reporter.messages.size(), 1u);
            EXPECT_EQ(reporter.messages[0], "Cannot create file " + ini);
            // No temporary file is left behind.
            EXPECT_EQ(folderEntries(dir), std::vector<std::string> { "Pictog.ini" });
        }
    }

    TEST_F(SettingsTest, LaterSaveRetriesAfterAFailure)
    {
        auto files = std::make_shared<FailingFileSystem>(FailingFileSystem::Step::Rename);
        TPictogParams params(dir, &reporter, files);
        params.LoadSettings();
        params.setHeader1("kept for the retry");
        EXPECT_FALSE(params.SaveSettings());
        EXPECT_FALSE(exists(ini));
        files->failAt(FailingFileSystem::Step::None);
        EXPECT_TRUE(params.SaveSettings());
        EXPECT_FALSE(params.modified());
        EXPECT_EQ(IniFile(readAll(ini)).readString("History", "header1", ""), "kept for the retry");
    }

    TEST_F(SettingsTest, CorrectionOnLoadThatCannotBeWrittenIsReported)
    {
        writeAll(ini, "[HTML Settings]\nborderSize=99\n");
        const TPictogParams params
            = loaded(std::make_shared<FailingFileSystem>(FailingFileSystem::Step::Write));
        EXPECT_EQ(params.borderSize(), 10);
        EXPECT_TRUE(params.modified());
        EXPECT_EQ(reporter.messages, std::vector<std::string> { "Cannot create file " + ini });
        EXPECT_EQ(readAll(ini), "[HTML Settings]\nborderSize=99\n");
    }

    TEST_F(SettingsTest, RewriteKeepsThePermissionsOfTheOldFile)
    {
        writeAll(ini, "[History]\n");
        ::chmod(ini.c_str(), 0600);
        TPictogParams params = loaded();
        params.setHeader1("x");
        ASSERT_TRUE(params.SaveSettings());
        struct stat info {
        };
        ASSERT_EQ(::stat(ini.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }

    class UnreadableFileSystem : public FileSystem
    {
    protected:
        int openFile(const char* path, int flags, mode_t mode) override
        {
            if (!(flags & O_CREAT) && !(flags & O_DIRECTORY)) {
                errno = EACCES;
                return -1;
            }
            return FileSystem::openFile(path, flags, mode);
        }
    };

    TEST_F(SettingsTest, UnreadableFilesStartWithDefaults)
    {
        struct UnreadableCase {
            const char* name;
            std::function<void(const std::string&)> make;
            std::shared_ptr<FileSystem> files;
        };
        const UnreadableCase cases[] = {
            { "folder", [](const std::string& path) { ::mkdir(path.c_str(), 0755); }, nullptr },
            { "binary",
                [](const std::string& path) {
                    writeAll(path,
                        "[HTML Settings]\nborderSize=99\n" + std::string(1, '\0') + "\x01\x02");
                },
                nullptr },
            { "no permission",
                [](const std::string& path) { writeAll(path, "[HTML Settings]\nborderSize=99\n"); },
                std::make_shared<UnreadableFileSystem>() },
        };
        for (const UnreadableCase& c : cases) {
            removeTree(ini);
            c.make(ini);
            reporter.messages.clear();
            TPictogParams params = loaded(c.files);
            EXPECT_EQ(params.iniReadStatus(), FileReadStatus::Unreadable) << c.name;
            EXPECT_FALSE(params.iniReadError().empty()) << c.name;
            EXPECT_EQ(params.borderSize(), 3) << c.name;
            EXPECT_FALSE(params.modified()) << c.name;
            EXPECT_TRUE(reporter.messages.empty()) << c.name;
        }
        // A folder in the way is not replaced: the save says why and keeps the changes.
        removeTree(ini);
        ::mkdir(ini.c_str(), 0755);
        TPictogParams params = loaded();
        params.setCompact(false);
        EXPECT_FALSE(params.SaveSettings());
        EXPECT_EQ(reporter.messages,
            std::vector<std::string> { "Settings not saved: the settings file " + ini
                + " cannot be read (Is a directory), and Pictog does not overwrite it." });
        EXPECT_TRUE(params.modified());
        // Created after the start, the same folder is a failed write like any other.
        removeTree(ini);
        TPictogParams fresh = loaded();
        ::mkdir(ini.c_str(), 0755);
        fresh.setCompact(false);
        reporter.messages.clear();
        EXPECT_FALSE(fresh.SaveSettings());
        EXPECT_EQ(reporter.messages, std::vector<std::string> { "Cannot create file " + ini });
    }

    TEST_F(SettingsTest, ReadOnlyStoreNeverWrites)
    {
        writeAll(ini, "[HTML Settings]\nborderSize=99\nalignment=middle\n");
        TPictogParams params = TPictogParams::readOnly(dir, ini);
        params.LoadSettings();
        EXPECT_EQ(params.borderSize(), 10);
        EXPECT_EQ(params.alignment(), "left");
        params.setCompact(false);
        params.SaveSettings();
        EXPECT_EQ(readAll(ini), "[HTML Settings]\nborderSize=99\nalignment=middle\n");

        TPictogParams none = TPictogParams::readOnly(dir, "");
        none.LoadSettings();
        EXPECT_EQ(none.borderSize(), 3);
        EXPECT_EQ(none.localImageBase(), dir + "/chesspieces");
    }

    TEST(PieceImageSizeTest, EdgeOfEverySet)
    {
        const int expected[] = { -1, 38, 32, 48, 30, 35, 35, 35, 35, -1 };
        for (int set = 0; set <= 9; ++set)
            EXPECT_EQ(pieceImageSize(set), expected[set]) << set;
        EXPECT_EQ(pieceImageSize(-1), -1);
        EXPECT_EQ(pieceImageSize(12), -1);
    }

    struct ColorTextCase {
        const char* text;
        bool valid;
        ColorValue value;
    };

    TEST(HtmlColorTest, ColourTexts)
    {
        const ColorTextCase cases[] = {
            { "#9EC2EF", true, 0xEFC29E },
            { "#9ec2ef", true, 0xEFC29E },
            { "#000000", true, 0 },
            { "#FFFFFF", true, 0xFFFFFF },
            { "#9EC2E", false, 0 },
            { "9EC2EF0", false, 0 },
            { "#GGGGGG", false, 0 },
            { "#12345G", false, 0 }, // only the last digit wrong
            { "#G12345", false, 0 },
            { "#FFF", false, 0 },
            { " #9EC2EF", false, 0 },
            { "#9EC2EF ", false, 0 },
            { "blue", false, 0 },
            { "", false, 0 },
        };
        for (const ColorTextCase& c : cases) {
            EXPECT_EQ(IsHtmlColor(c.text), c.valid) << c.text;
            EXPECT_EQ(HtmlColorToColor(c.text), c.value) << c.text;
        }
        EXPECT_EQ(ColorToHtmlColor(HtmlColorToColor("#e7d0a7")), "#E7D0A7");
        EXPECT_EQ(ColorToHtmlColor(colorValue(0x9E, 0xC2, 0xEF)), "#9EC2EF");
        EXPECT_EQ(ColorToHtmlColor(0x80000005u, [](ColorValue) { return colorValue(1, 2, 3); }),
            "#010203");
    }

    // ---- Where the program keeps its files

    TEST(ProgramLocationsTest, WritableFolderKeepsEverythingBesideTheProgramElseXdgFolders)
    {
        struct Row {
            const char* what;
            LocationFacts facts;
            ProgramLocations expected;
        } rows[] = {
            { "build folder",
                { "/b/bin/", true, true, "/b/share/pictog", true, "/x", "/run/1", "", "/h" },
                { "/b/bin", "/b/bin/Pictog.ini", "/b/bin/Pictog.html", true } },
            { "lone program file in a writable folder",
                { "/p", true, false, "/share/pictog", false, "", "", "", "/h" },
                { "/share/pictog", "/p/Pictog.ini", "/p/Pictog.html", true } },
            { "installed, runtime folder",
                { "/usr/bin", false, false, "/usr/share/pictog", true, "/cfg/", "/run/1", "/c",
                    "/h" },
                { "/usr/share/pictog", "/cfg/pictog/Pictog.ini", "/run/1/pictog/Pictog.html",
                    false } },
            { "installed layout in a writable folder (root, ~/.local)",
                { "/h/.local/bin", true, false, "/h/.local/share/pictog", true, "", "", "", "/h/" },
                { "/h/.local/share/pictog", "/h/.config/pictog/Pictog.ini",
                    "/h/.cache/pictog/Pictog.html", false } },
            { "relative XDG values are ignored",
                { "/usr/bin", false, false, "/usr/share/pictog", true, "cfg", "run", "/c", "/h" },
                { "/usr/share/pictog", "/h/.config/pictog/Pictog.ini", "/c/pictog/Pictog.html",
                    false } },
            { "portable copy on a read-only medium",
                { "/media/p", false, true, "/media/share/pictog", false, "/cfg", "", "", "" },
                { "/media/p", "/cfg/pictog/Pictog.ini", "/cfg/pictog/Pictog.html", false } },
            { "no home at all: the program folder, whose failures get reported",
                { "/usr/bin", false, false, "/usr/share/pictog", true, "", "", "", "" },
                { "/usr/share/pictog", "/usr/bin/Pictog.ini", "/usr/bin/Pictog.html", true } },
        };
        for (const Row& row : rows) {
            const ProgramLocations got = chooseProgramLocations(row.facts);
            EXPECT_EQ(got.dataDir, row.expected.dataDir) << row.what;
            EXPECT_EQ(got.iniFile, row.expected.iniFile) << row.what;
            EXPECT_EQ(got.previewFile, row.expected.previewFile) << row.what;
            EXPECT_EQ(got.portable, row.expected.portable) << row.what;
        }
    }

    TEST_F(SettingsTest, LocationFactsComeFromTheFolderAndTheEnvironment)
    {
        const LocationFacts bare = gatherLocationFacts(dir + "/", "../share/./pictog");
        EXPECT_EQ(bare.programDir, dir);
        EXPECT_TRUE(bare.programDirWritable);
        EXPECT_FALSE(bare.companionsBesideProgram);
        EXPECT_EQ(bare.installedDataDir, folderOfPath(dir) + "/share/pictog");
        ASSERT_EQ(makePrivateFolders(dir + "/share/chesspieces"), "");
        EXPECT_TRUE(gatherLocationFacts(dir + "/bin", "../share").installedDataPresent);
        ASSERT_EQ(makePrivateFolders(dir + "/chesspieces"), "");
        const LocationFacts beside = gatherLocationFacts(dir, "../share/pictog");
        EXPECT_TRUE(beside.companionsBesideProgram);
        EXPECT_FALSE(beside.installedDataPresent);
        EXPECT_EQ(gatherLocationFacts("/usr/bin", "../../../share/pictog").installedDataDir,
            "/share/pictog");
    }

    TEST_F(SettingsTest, PrivateFoldersAreMadeWithTheirParentsForTheUserOnly)
    {
        const std::string nested = dir + "/config/pictog";
        EXPECT_EQ(makePrivateFolders(nested + "/"), "");
        for (const std::string& folder : { dir + "/config", nested }) {
            struct stat info {
            };
            ASSERT_EQ(::stat(folder.c_str(), &info), 0) << folder;
            EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
        }
        EXPECT_EQ(makePrivateFolders(nested), "") << "an existing folder is fine";
        writeAll(dir + "/file", "");
        EXPECT_EQ(makePrivateFolders(dir + "/file/sub"), std::strerror(ENOTDIR));

        // The store at such locations reads and writes there and nowhere else.
        ProgramLocations at { dir + "/share", nested + "/Pictog.ini", dir + "/run/Pictog.html",
            false };
        TPictogParams params(at, &reporter);
        params.LoadSettings();
        EXPECT_EQ(params.helpFile(), dir + "/share/Pictog.hlp");
        EXPECT_EQ(params.localImageBase(), dir + "/share/chesspieces");
        EXPECT_EQ(params.previewFile(), at.previewFile);
        params.setHeader1("kept");
        EXPECT_TRUE(params.SaveSettings());
        EXPECT_NE(readAll(at.iniFile).find("header1=kept"), std::string::npos);
        EXPECT_FALSE(std::ifstream(dir + "/Pictog.ini").good());
    }

} // namespace
} // namespace pictog

// The "Diagram Export" and "View" sections of Pictog.ini: what each key reads as, including
// values a hand edit got wrong, and that writing then reading gives the same settings.
#include "settings/diagram_export_settings.h"
#include "settings/view_settings.h"

#include <gtest/gtest.h>

#include <functional>

namespace pictog {
namespace {

    struct ReadRow {
        const char* entries; // lines of the section
        std::function<bool(const DiagramExportSettings&)> holds;
    };

    TEST(DiagramExportSettingsTest, EachKeyReadsItsValueOrFallsBackToItsDefault)
    {
        using S = DiagramExportSettings;
        const ReadRow rows[] = {
            { "", [](const S& s) { return s == S {}; } },
            { "format=svg\nsizeMode=print\nstyle=gray",
                [](const S& s) {
                    return s.format == ExportFormat::Svg && s.sizeMode == ExportSizeMode::Print
                        && s.style == DiagramStyle::Gray;
                } },
            { "format=PDF\nsizeMode=x\nstyle=sepia",
                [](const S& s) {
                    return s.format == ExportFormat::Png && s.sizeMode == ExportSizeMode::Pixels
                        && s.style == DiagramStyle::Color;
                } },
            { "squarePx=8\ndpi=2400", [](const S& s) { return s.squarePx == 8 && s.dpi == 2400; } },
            { "squarePx=7\ndpi=2401", [](const S& s) { return s.squarePx == 38 && s.dpi == 300; } },
            { "squarePx=1001\ndpi=71",
                [](const S& s) { return s.squarePx == 38 && s.dpi == 300; } },
            { "boardWidth=2.5\nboardWidthUnit=in",
                [](const S& s) {
                    return s.boardWidth == 2.5 && s.boardWidthUnit == LengthUnit::Inches
                        && s.squareMm() == 2.5 * 25.4 / 8;
                } },
            { "boardWidth=600\nboardWidthUnit=mm", [](const S& s) { return s.boardWidth == 60; } },
            { "boardWidth=30in\nboardWidthUnit=in",
                [](const S& s) {
                    return s.boardWidth == 60 && s.boardWidthUnit == LengthUnit::Millimetres;
                } },
            { "boardWidth=inf", [](const S& s) { return s.boardWidth == 60; } },
            { "theme=green\ncoordinates=inside\nframe=thin\ntransparent=1",
                [](const S& s) {
                    return s.theme == BoardTheme::Green && s.coordinates == CoordinatePlace::Inside
                        && s.frame == FrameStyle::Thin && s.transparent && s != S {};
                } },
            { "theme=gray\ncoordinates=none\nframe=none",
                [](const S& s) {
                    return s.theme == BoardTheme::Gray && s.coordinates == CoordinatePlace::None
                        && s.frame == FrameStyle::None;
                } },
            // Names are exact; a number or another case is a hand edit that falls back.
            { "theme=Brown\ncoordinates=2\nframe=heavy\ntransparent=yes",
                [](const S& s) { return s == S {}; } },
            { "marker=1\ncaptions=0\ndrawAnnotations=0\nlastExportDir=/tmp/x/",
                [](const S& s) {
                    return s.marker && !s.captions && !s.drawAnnotations
                        && s.lastExportDir == "/tmp/x/";
                } },
        };
        for (const ReadRow& row : rows) {
            const IniFile ini("[Diagram Export]\n" + std::string(row.entries) + "\n");
            EXPECT_TRUE(row.holds(readDiagramExportSettings(ini))) << row.entries;
        }
    }

    TEST(DiagramExportSettingsTest, WrittenSettingsReadBackTheSame)
    {
        DiagramExportSettings s;
        s.format = ExportFormat::Pdf;
        s.sizeMode = ExportSizeMode::Print;
        s.squarePx = 999;
        s.dpi = 600;
        s.boardWidth = 0.1 + 2.2; // no short decimal form
        s.boardWidthUnit = LengthUnit::Inches;
        s.style = DiagramStyle::Print;
        s.marker = true;
        s.captions = false;
        s.drawAnnotations = false;
        s.lastExportDir = "/home/u/Pictures/";
        s.theme = BoardTheme::Brown;
        s.coordinates = CoordinatePlace::Outside;
        s.frame = FrameStyle::None;
        s.transparent = true;
        IniFile ini("[History]\nfenLine=x\n");
        writeDiagramExportSettings(ini, s);
        const IniFile reread(ini.text());
        EXPECT_EQ(readDiagramExportSettings(reread), s);
        EXPECT_EQ(reread.readString("History", "fenLine", ""), "x");
        EXPECT_EQ(std::string(exportExtension(s.format)), "pdf");
    }

    TEST(ViewSettingsTest, EachBoardSizeRoundTripsAndAnythingElseReadsAsClassic)
    {
        struct Row {
            const char* section;
            BoardSize size;
            bool coordinates;
        };
        const Row rows[] = {
            { "", BoardSize::Classic, false },
            { "[View]\nboardSize=large\ncoordinates=1\n", BoardSize::Large, true },
            { "[View]\nboardSize=fit\n", BoardSize::Fit, false },
            { "[View]\nboardSize=Large\n", BoardSize::Classic, false },
            { "[View]\nboardSize=2\ncoordinates=yes\n", BoardSize::Classic, false },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.section);
            const ViewSettings read = readViewSettings(IniFile(row.section));
            EXPECT_EQ(read.boardSize, row.size);
            EXPECT_EQ(read.coordinates, row.coordinates);
            IniFile written("[History]\nfenLine=x\n");
            writeViewSettings(written, read);
            EXPECT_EQ(readViewSettings(IniFile(written.text())), read);
            EXPECT_EQ(written.readString("History", "fenLine", ""), "x");
        }
    }

} // namespace
} // namespace pictog

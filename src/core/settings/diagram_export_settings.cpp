#include "diagram_export_settings.h"

#include <array>
#include <charconv>
#include <cmath>

namespace pictog {

namespace {

    constexpr double MillimetresPerInch = 25.4;

    struct Name {
        int value;
        std::string_view text;
    };

    constexpr Name FormatNames[] = {
        { static_cast<int>(ExportFormat::Png), "png" },
        { static_cast<int>(ExportFormat::Svg), "svg" },
        { static_cast<int>(ExportFormat::Pdf), "pdf" },
    };
    constexpr Name SizeModeNames[] = {
        { static_cast<int>(ExportSizeMode::Pixels), "pixels" },
        { static_cast<int>(ExportSizeMode::Print), "print" },
    };
    constexpr Name UnitNames[] = {
        { static_cast<int>(LengthUnit::Millimetres), "mm" },
        { static_cast<int>(LengthUnit::Inches), "in" },
    };

    template <std::size_t N>
    int valueOf(const Name (&names)[N], const std::string& text, int defaultValue)
    {
        for (const Name& name : names)
            if (name.text == text)
                return name.value;
        return defaultValue;
    }

    template <std::size_t N> std::string_view textOf(const Name (&names)[N], int value)
    {
        for (const Name& name : names)
            if (name.value == value)
                return name.text;
        return names[0].text;
    }

    // The settings file's names of the coordinate places: the shared names after "settings".
    constexpr std::array<std::string_view, 4> CoordinateKeyNames
        = { "settings", CoordinatePlaceNames[0], CoordinatePlaceNames[1], CoordinatePlaceNames[2] };

    // The entry of names that text is, or defaultValue.
    template <class E, std::size_t N>
    E enumOf(const std::array<std::string_view, N>& names, const std::string& text, E defaultValue)
    {
        for (std::size_t i = 0; i < N; ++i)
            if (names[i] == text)
                return static_cast<E>(i);
        return defaultValue;
    }

    template <class E, std::size_t N>
    std::string_view nameOf(const std::array<std::string_view, N>& names, E value)
    {
        const auto index = static_cast<std::size_t>(value);
        return index < N ? names[index] : names[0];
    }

    int readRange(const IniFile& ini, std::string_view key, int low, int high, int defaultValue)
    {
        const int value = ini.readInteger(SectionDiagramExport, key, defaultValue);
        return value < low || value > high ? defaultValue : value;
    }

} // namespace

double DiagramExportSettings::squareMm() const
{
    const double widthMm
        = boardWidthUnit == LengthUnit::Inches ? boardWidth * MillimetresPerInch : boardWidth;
    return widthMm / 8;
}

bool operator==(const DiagramExportSettings& a, const DiagramExportSettings& b)
{
    return a.format == b.format && a.sizeMode == b.sizeMode && a.squarePx == b.squarePx
        && a.dpi == b.dpi && a.boardWidth == b.boardWidth && a.boardWidthUnit == b.boardWidthUnit
        && a.style == b.style && a.marker == b.marker && a.captions == b.captions
        && a.drawAnnotations == b.drawAnnotations && a.theme == b.theme
        && a.coordinates == b.coordinates && a.frame == b.frame && a.transparent == b.transparent
        && a.lastExportDir == b.lastExportDir;
}

const char* exportExtension(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Svg:
        return "svg";
    case ExportFormat::Pdf:
        return "pdf";
    case ExportFormat::Png:
        break;
    }
    return "png";
}

std::string formatLength(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool parseLength(std::string_view text, double& value)
{
    double parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

DiagramExportSettings readDiagramExportSettings(const IniFile& ini)
{
    DiagramExportSettings s;
    const auto text
        = [&](std::string_view key) { return ini.readString(SectionDiagramExport, key, ""); };
    s.format = static_cast<ExportFormat>(
        valueOf(FormatNames, text("format"), static_cast<int>(s.format)));
    s.sizeMode = static_cast<ExportSizeMode>(
        valueOf(SizeModeNames, text("sizeMode"), static_cast<int>(s.sizeMode)));
    s.squarePx = readRange(ini, "squarePx", 8, 1000, s.squarePx);
    s.dpi = readRange(ini, "dpi", 72, 2400, s.dpi);
    s.boardWidthUnit = static_cast<LengthUnit>(
        valueOf(UnitNames, text("boardWidthUnit"), static_cast<int>(s.boardWidthUnit)));
    double width = 0;
    if (parseLength(text("boardWidth"), width)) {
        DiagramExportSettings candidate = s;
        candidate.boardWidth = width;
        // 5 mm to 500 mm of board: anything else is a typing slip in the file.
        if (candidate.squareMm() * 8 >= 5 && candidate.squareMm() * 8 <= 500)
            s.boardWidth = width;
        else
            s.boardWidthUnit = LengthUnit::Millimetres;
    } else {
        s.boardWidthUnit = LengthUnit::Millimetres;
    }
    s.style = parseDiagramStyle(text("style")).value_or(s.style);
    s.marker = ini.readBool(SectionDiagramExport, "marker", s.marker);
    s.captions = ini.readBool(SectionDiagramExport, "captions", s.captions);
    s.drawAnnotations = ini.readBool(SectionDiagramExport, "drawAnnotations", s.drawAnnotations);
    s.theme = enumOf(BoardThemeNames, text("theme"), s.theme);
    s.coordinates = enumOf(CoordinateKeyNames, text("coordinates"), s.coordinates);
    s.frame = enumOf(FrameStyleNames, text("frame"), s.frame);
    s.transparent = ini.readBool(SectionDiagramExport, "transparent", s.transparent);
    s.lastExportDir = text("lastExportDir");
    return s;
}

void writeDiagramExportSettings(IniFile& ini, const DiagramExportSettings& s)
{
    ini.writeString(
        SectionDiagramExport, "format", textOf(FormatNames, static_cast<int>(s.format)));
    ini.writeString(
        SectionDiagramExport, "sizeMode", textOf(SizeModeNames, static_cast<int>(s.sizeMode)));
    ini.writeInteger(SectionDiagramExport, "squarePx", s.squarePx);
    ini.writeInteger(SectionDiagramExport, "dpi", s.dpi);
    ini.writeString(SectionDiagramExport, "boardWidth", formatLength(s.boardWidth));
    ini.writeString(SectionDiagramExport, "boardWidthUnit",
        textOf(UnitNames, static_cast<int>(s.boardWidthUnit)));
    ini.writeString(SectionDiagramExport, "style", diagramStyleName(s.style));
    ini.writeBool(SectionDiagramExport, "marker", s.marker);
    ini.writeBool(SectionDiagramExport, "captions", s.captions);
    ini.writeBool(SectionDiagramExport, "drawAnnotations", s.drawAnnotations);
    ini.writeString(SectionDiagramExport, "theme", nameOf(BoardThemeNames, s.theme));
    ini.writeString(SectionDiagramExport, "coordinates", nameOf(CoordinateKeyNames, s.coordinates));
    ini.writeString(SectionDiagramExport, "frame", nameOf(FrameStyleNames, s.frame));
    ini.writeBool(SectionDiagramExport, "transparent", s.transparent);
    ini.writeString(SectionDiagramExport, "lastExportDir", s.lastExportDir);
}

} // namespace pictog

#include "pictog_params.h"

#include "position/epd_line.h"

#include <algorithm>

namespace pictog {

namespace {

    std::string withoutTrailingSlashes(std::string path)
    {
        while (!path.empty() && path.back() == '/')
            path.pop_back();
        return path;
    }

    std::string inProgramDir(const std::string& programDir, std::string_view name)
    {
        return programDir + "/" + std::string(name);
    }

    bool isAlignment(std::string_view text)
    {
        return text == "left" || text == "center" || text == "right";
    }

} // namespace

int pieceImageSize(int pieceSet)
{
    switch (pieceSet) {
    case 1:
        return 38;
    case 2:
        return 32;
    case 3:
        return 48;
    case 4:
        return 30;
    case 5:
    case 6:
    case 7:
    case 8:
        return 35;
    default:
        return -1;
    }
}

TPictogParams::TPictogParams(
    std::string programDir, ErrorReporter* reporter, std::shared_ptr<FileSystem> fileSystem)
    : TPictogParams(programDir, inProgramDir(withoutTrailingSlashes(programDir), "Pictog.ini"),
        inProgramDir(withoutTrailingSlashes(programDir), "Pictog.html"), false, reporter,
        std::move(fileSystem))
{
}

TPictogParams::TPictogParams(const ProgramLocations& locations, ErrorReporter* reporter,
    std::shared_ptr<FileSystem> fileSystem)
    : TPictogParams(locations.dataDir, locations.iniFile, locations.previewFile, false, reporter,
        std::move(fileSystem))
{
}

TPictogParams TPictogParams::readOnly(
    std::string programDir, const std::string& iniFile, std::shared_ptr<FileSystem> fileSystem)
{
    const std::string previewFile = inProgramDir(withoutTrailingSlashes(programDir), "Pictog.html");
    return TPictogParams(
        std::move(programDir), iniFile, previewFile, true, nullptr, std::move(fileSystem));
}

TPictogParams::TPictogParams(std::string programDir, std::string iniFile, std::string previewFile,
    bool readOnly, ErrorReporter* reporter, std::shared_ptr<FileSystem> fileSystem)
    : m_fileSystem(fileSystem ? std::move(fileSystem) : std::make_shared<FileSystem>())
    , m_reporter(reporter)
    , m_readOnly(readOnly)
    , m_programDir(withoutTrailingSlashes(std::move(programDir)))
    , m_iniFile(std::move(iniFile))
    , m_previewFile(std::move(previewFile))
{
    m_manualFile = inProgramDir(m_programDir, "Pictog.txt");
    m_helpFile = inProgramDir(m_programDir, "Pictog.hlp");
    m_localImageBase = inProgramDir(m_programDir, "chesspieces");
    if (m_iniFile.empty())
        return;
    // A file that is there but cannot be read as text starts the program with the defaults, the
    // same as no file at all; the status stays available for whoever wants to tell the user.
    FileReadResult read = m_fileSystem->readTextFile(m_iniFile);
    m_readStatus = read.status;
    m_readError = std::move(read.error);
    if (read.status == FileReadStatus::Ok)
        m_ini = IniFile(read.contents);
}

void TPictogParams::LoadSettings()
{
    m_modified = false;

    // The editor is kept only when it names an existing file; a bare name is looked for in the
    // current folder only, so a bare program name falls back to the default.
    const std::string editor = m_ini.readString(SectionGeneral, "textEditor", DefaultTextEditor);
    m_textEditor = m_fileSystem->isExistingFile(editor) ? editor : std::string(DefaultTextEditor);

    m_activated = m_ini.readBool(SectionHistory, "activated", true);
    if (m_activated) {
        m_fenLine = m_ini.readString(SectionHistory, "fenLine", "");
        m_footer1 = m_ini.readString(SectionHistory, "footer1", "");
        m_footer2 = m_ini.readString(SectionHistory, "footer2", "");
        m_halfMoveClock = m_ini.readInteger(SectionHistory, "halfMoveClock", 0);
        if (m_halfMoveClock < 0 || m_halfMoveClock > 100) {
            m_halfMoveClock = 0;
            m_modified = true;
        }
        m_header1 = m_ini.readString(SectionHistory, "header1", "");
        m_header2 = m_ini.readString(SectionHistory, "header2", "");
        m_moveNumber = m_ini.readInteger(SectionHistory, "moveNumber", 1);
        if (m_moveNumber < 1 || m_moveNumber > 999) {
            m_moveNumber = 1;
            m_modified = true;
        }
        m_lastSaveDir = m_ini.readString(SectionHistory, "lastSaveDir", "");
    } else {
        m_fenLine = std::string(EmptyBoardLine);
        m_footer1.clear();
        m_footer2.clear();
        m_header1.clear();
        m_header2.clear();
        m_lastSaveDir.clear();
        m_halfMoveClock = 0;
        m_moveNumber = 1;
    }

    m_showBorder = m_ini.readBool(SectionDiagramLayout, "showBorder", true);
    m_coordinates = m_ini.readBool(SectionDiagramLayout, "coordinates", true);
    m_showFenLine = m_ini.readBool(SectionDiagramLayout, "showFenLine", true);
    m_showFooter = m_ini.readBool(SectionDiagramLayout, "showFooter", true);
    m_showHeader = m_ini.readBool(SectionDiagramLayout, "showHeader", true);
    m_showSideToMove = m_ini.readBool(SectionDiagramLayout, "showSideToMove", true);

    m_alignment = m_ini.readString(SectionHtmlSettings, "alignment", "left");
    if (!isAlignment(m_alignment)) {
        m_alignment = "left";
        m_modified = true;
    }
    m_borderSize = m_ini.readInteger(SectionHtmlSettings, "borderSize", 3);
    if (m_borderSize < 0 || m_borderSize > 10) {
        m_borderSize = std::clamp(m_borderSize, 0, 10);
        m_modified = true;
    }
    m_colorLightSquares
        = m_ini.readString(SectionHtmlSettings, "colorLightSquares", DefaultLightSquares);
    m_colorDarkSquares
        = m_ini.readString(SectionHtmlSettings, "colorDarkSquares", DefaultDarkSquares);
    m_colorDiagramBackground
        = m_ini.readString(SectionHtmlSettings, "colorDiagramBackground", DefaultDiagramBackground);
    m_compact = m_ini.readBool(SectionHtmlSettings, "compact", true);
    // Taken as stored: only the setter clamps, so an edited file can hold any set number.
    m_pieceSet = m_ini.readInteger(SectionHtmlSettings, "pieceSet", 1);
    m_localImageBase = m_ini.readString(
        SectionHtmlSettings, "localImageBase", inProgramDir(m_programDir, "chesspieces"));
    m_webImageBase = m_ini.readString(SectionHtmlSettings, "webImageBase", DefaultWebImageBase);

    m_urlHomePage = std::string(HomePageUrl);

    m_urlPGNStandard
        = m_ini.readString(SectionStandardUrls, "urlPGNStandard", DefaultPGNStandardUrl);
    m_urlEPDStandard
        = m_ini.readString(SectionStandardUrls, "urlEPDStandard", DefaultEPDStandardUrl);
    m_urlCCCForum = m_ini.readString(SectionStandardUrls, "urlCCCForum", DefaultCCCForumUrl);
    m_urlChessBitsForum
        = m_ini.readString(SectionStandardUrls, "urlChessBitsForum", DefaultChessBitsForumUrl);
    m_urlCSSForum = m_ini.readString(SectionStandardUrls, "urlCSSForum", DefaultCSSForumUrl);
    m_urlFCPForum = m_ini.readString(SectionStandardUrls, "urlFCPForum", DefaultFCPForumUrl);
    m_urlWinBoardForum
        = m_ini.readString(SectionStandardUrls, "urlWinBoardForum", DefaultWinBoardForumUrl);

    m_diagramExport = readDiagramExportSettings(m_ini);
    m_boardAnnotations
        = m_activated ? m_ini.readString(SectionDiagramExport, "annotations", "") : std::string();
    m_lastOpenFolder = m_ini.readString(SectionView, "lastOpenFolder", "");

    m_view = readViewSettings(m_ini);
    m_htmlExport = readHtmlExportSettings(m_ini);
    m_sheet = readSheetSettings(m_ini);

    if (m_modified)
        SaveSettings();
}

bool TPictogParams::SaveSettings()
{
    if (!m_modified || m_readOnly)
        return true;

    m_ini.writeBool(SectionHistory, "activated", m_activated);
    m_ini.writeString(SectionHistory, "fenLine", m_fenLine);
    m_ini.writeString(SectionHistory, "footer1", m_footer1);
    m_ini.writeString(SectionHistory, "footer2", m_footer2);
    m_ini.writeInteger(SectionHistory, "halfMoveClock", m_halfMoveClock);
    m_ini.writeString(SectionHistory, "header1", m_header1);
    m_ini.writeString(SectionHistory, "header2", m_header2);
    m_ini.writeInteger(SectionHistory, "moveNumber", m_moveNumber);
    m_ini.writeString(SectionHistory, "lastSaveDir", m_lastSaveDir);

    m_ini.writeBool(SectionDiagramLayout, "showBorder", m_showBorder);
    m_ini.writeBool(SectionDiagramLayout, "coordinates", m_coordinates);
    m_ini.writeBool(SectionDiagramLayout, "showFenLine", m_showFenLine);
    m_ini.writeBool(SectionDiagramLayout, "showFooter", m_showFooter);
    m_ini.writeBool(SectionDiagramLayout, "showHeader", m_showHeader);
    m_ini.writeBool(SectionDiagramLayout, "showSideToMove", m_showSideToMove);

    m_ini.writeString(SectionHtmlSettings, "alignment", m_alignment);
    m_ini.writeInteger(SectionHtmlSettings, "borderSize", m_borderSize);
    m_ini.writeString(SectionHtmlSettings, "colorLightSquares", m_colorLightSquares);
    m_ini.writeString(SectionHtmlSettings, "colorDarkSquares", m_colorDarkSquares);
    m_ini.writeString(SectionHtmlSettings, "colorDiagramBackground", m_colorDiagramBackground);
    m_ini.writeBool(SectionHtmlSettings, "compact", m_compact);
    m_ini.writeInteger(SectionHtmlSettings, "pieceSet", m_pieceSet);
    m_ini.writeString(SectionHtmlSettings, "localImageBase", m_localImageBase);
    m_ini.writeString(SectionHtmlSettings, "webImageBase", m_webImageBase);

    m_ini.writeString(SectionStandardUrls, "urlPGNStandard", m_urlPGNStandard);
    m_ini.writeString(SectionStandardUrls, "urlEPDStandard", m_urlEPDStandard);
    m_ini.writeString(SectionStandardUrls, "urlCCCForum", m_urlCCCForum);
    m_ini.writeString(SectionStandardUrls, "urlChessBitsForum", m_urlChessBitsForum);
    m_ini.writeString(SectionStandardUrls, "urlCSSForum", m_urlCSSForum);
    m_ini.writeString(SectionStandardUrls, "urlFCPForum", m_urlFCPForum);
    m_ini.writeString(SectionStandardUrls, "urlWinBoardForum", m_urlWinBoardForum);

    // The section appears only once something in it was used, so a file of a user who never
    // touches the new features stays byte for byte what it was.
    if (m_ini.hasSection(SectionDiagramExport) || m_diagramExport != DiagramExportSettings {}
        || !m_boardAnnotations.empty()) {
        writeDiagramExportSettings(m_ini, m_diagramExport);
        m_ini.writeString(SectionDiagramExport, "annotations", m_boardAnnotations);
    }
    // The window's view (board size, coordinates, the folder of the last opened file), written
    // once it differs from the classic one.
    if (m_ini.hasSection(SectionView) || m_view != ViewSettings {} || !m_lastOpenFolder.empty()) {
        writeViewSettings(m_ini, m_view);
        m_ini.writeString(SectionView, "lastOpenFolder", m_lastOpenFolder);
    }
    // Written once the images were embedded, so other files stay as they were.
    if (m_ini.hasSection(SectionHtmlExport) || m_htmlExport != HtmlExportSettings {})
        writeHtmlExportSettings(m_ini, m_htmlExport);
    if (m_ini.hasSection(SectionSheet) || m_sheet != SheetSettings {})
        writeSheetSettings(m_ini, m_sheet);

    // A file that was there but could not be read is never replaced: it may hold settings this
    // run never saw, such as a file an editor saved in UTF-16. Once it is gone, saving works.
    const bool keepUnreadFile
        = m_readStatus == FileReadStatus::Unreadable && m_fileSystem->exists(m_iniFile);
    if (keepUnreadFile) {
        // Not a full disk but the file itself: say so, in the words of the start-up notice.
        if (m_reporter)
            m_reporter->showError("Settings not saved: the settings file " + m_iniFile
                + " cannot be read (" + m_readError + "), and Pictog does not overwrite it.");
        return false;
    }
    if (!m_fileSystem->replaceFileAtomically(m_iniFile, m_ini.text()).empty()) {
        if (m_reporter)
            m_reporter->showError("Cannot create file " + m_iniFile);
        return false;
    }
    m_modified = false;
    return true;
}

std::string TPictogParams::unreadableIniNotice() const
{
    return "Cannot read the settings file " + m_iniFile + ": " + m_readError
        + ".\nPictog runs with the default settings and will not overwrite this file.";
}

void TPictogParams::setAlignment(std::string_view value)
{
    assign(m_alignment, isAlignment(value) ? value : std::string_view("left"));
}

void TPictogParams::setBorderSize(int value)
{
    assign(m_borderSize, std::clamp(value, 0, 10));
}

void TPictogParams::setPieceSet(int value)
{
    assign(m_pieceSet, value <= 0 ? 1 : value > 8 ? 8 : value);
}

} // namespace pictog

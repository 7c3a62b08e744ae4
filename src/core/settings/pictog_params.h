#pragma once

#include "diagram/diagram_style.h"

#include "diagram_export_settings.h"
#include "error_reporter.h"
#include "file_system.h"
#include "html_color.h"
#include "html_export_settings.h"
#include "ini_file.h"
#include "program_locations.h"
#include "sheet_settings.h"
#include "view_settings.h"

#include <memory>
#include <string>
#include <string_view>

namespace pictog {

// Section names of Pictog.ini.
inline constexpr std::string_view SectionGeneral = "General";
inline constexpr std::string_view SectionHistory = "History";
inline constexpr std::string_view SectionDiagramLayout = "Diagram Layout";
inline constexpr std::string_view SectionHtmlSettings = "HTML Settings";
inline constexpr std::string_view SectionStandardUrls = "Standard URLs";

// The program's fixed texts that the exports and the settings share.
inline constexpr std::string_view ProgramName = "Pictog";
inline constexpr std::string_view ApplicationTitle = "Pictog V1.01";
inline constexpr std::string_view VersionText = "Pictog V1.01  (12-OCT-2002)";

// The text editor used when the settings name none that exists: the desktop's own opener, which
// starts the user's preferred application for text files.
inline constexpr std::string_view DefaultTextEditor = "xdg-open";

// Web addresses built into the program.
inline constexpr std::string_view HomePageUrl = "https://pictog.github.io/";
inline constexpr std::string_view DefaultWebImageBase = "https://pictog.github.io/chesspieces";
inline constexpr std::string_view DefaultPGNStandardUrl
    = "https://www.saremba.de/chessgml/standards/pgn/pgn-complete.htm";
inline constexpr std::string_view DefaultEPDStandardUrl
    = "https://www.saremba.de/chessgml/standards/pgn/pgn-complete.htm#c16.1";
inline constexpr std::string_view DefaultCCCForumUrl = "https://talkchess.com/";
inline constexpr std::string_view DefaultChessBitsForumUrl = "https://www.chessbits.com/forum/";
inline constexpr std::string_view DefaultCSSForumUrl = "https://forum.computerschach.de/";
inline constexpr std::string_view DefaultFCPForumUrl = "http://www.amateurschach.de/";
inline constexpr std::string_view DefaultWinBoardForumUrl = "http://www.open-aurec.com/wbforum/";

// The edge in pixels of the piece images of a piece set: 38, 32, 48, 30 for sets 1 to 4, 35 for
// sets 5 to 8, -1 for any other number.
int pieceImageSize(int pieceSet);

// Every setting of the program and the last position with its captions, held as typed properties
// named after their keys in Pictog.ini, with the store's in-memory copy of the file.
//
// Reading the file happens once, in the constructor; LoadSettings turns the text into properties
// with their corrections, setters change them and mark the store modified when a value really
// changes, and SaveSettings writes the whole file back only when something did. Write failures
// go to the reporter as "Cannot create file PATH", a file kept because it could not be read
// as "Settings not saved: ...".
class TPictogParams
{
public:
    // The desktop program's store: Pictog.ini in programDir (the folder of the program file, given
    // without a trailing "/"). The file is read now if it exists; a file that exists but is no
    // readable text file gives the defaults and is never overwritten (saving reports the failure
    // while it is there). reporter may be null (failures then go unseen); fileSystem null means
    // the real one.
    explicit TPictogParams(std::string programDir, ErrorReporter* reporter = nullptr,
        std::shared_ptr<FileSystem> fileSystem = nullptr);

    // The same store at the given locations: Pictog.ini at iniFile, the preview page at
    // previewFile, the help file, the manual and the local image base in dataDir.
    explicit TPictogParams(const ProgramLocations& locations, ErrorReporter* reporter = nullptr,
        std::shared_ptr<FileSystem> fileSystem = nullptr);

    // A store that reads iniFile (none at all when empty) and never writes anything: SaveSettings
    // does nothing and leaves `modified` as it is. Used by pictog-cli --ini.
    static TPictogParams readOnly(std::string programDir, const std::string& iniFile,
        std::shared_ptr<FileSystem> fileSystem = nullptr);

    // Reads every key into its property, correcting out-of-range values; when one had to be
    // corrected the file is rewritten at once (not for a read-only store).
    void LoadSettings();

    // Writes every key but textEditor into the store and rewrites the file, only when `modified`
    // is set. On failure reports "Cannot create file PATH"; when the file could not be read at
    // construction and is still there, reports that the settings were not saved for that reason.
    // Either way the old file stays untouched and `modified` set. Returns false only when a
    // write was needed and failed.
    bool SaveSettings();

    // The piece-image edge of the current pieceSet (see pieceImageSize).
    int PieceImageSize() const { return pieceImageSize(m_pieceSet); }

    bool modified() const { return m_modified; }

    // Paths of the companion files. programDir is the folder of the help file, the manual and
    // chesspieces/ (the program's own folder unless the store was given other locations).
    const std::string& programDir() const { return m_programDir; }
    const std::string& iniFile() const { return m_iniFile; }
    const std::string& manualFile() const { return m_manualFile; }
    const std::string& previewFile() const { return m_previewFile; }
    const std::string& helpFile() const { return m_helpFile; }

    // How reading the file went in the constructor, with the system's error text when it was
    // there but unreadable.
    FileReadStatus iniReadStatus() const { return m_readStatus; }
    const std::string& iniReadError() const { return m_readError; }
    // What the desktop program tells at start-up about a file that was there but unreadable:
    // the file, the reason, the defaults and that the file will not be overwritten.
    std::string unreadableIniNotice() const;

    const std::string& urlHomePage() const { return m_urlHomePage; }

    // "General"
    const std::string& textEditor() const { return m_textEditor; }

    // "History"
    bool activated() const { return m_activated; }
    const std::string& fenLine() const { return m_fenLine; }
    const std::string& footer1() const { return m_footer1; }
    const std::string& footer2() const { return m_footer2; }
    int halfMoveClock() const { return m_halfMoveClock; }
    const std::string& header1() const { return m_header1; }
    const std::string& header2() const { return m_header2; }
    int moveNumber() const { return m_moveNumber; }
    const std::string& lastSaveDir() const { return m_lastSaveDir; }
    void setActivated(bool value) { assign(m_activated, value); }
    void setFenLine(std::string_view value) { assign(m_fenLine, value); }
    void setFooter1(std::string_view value) { assign(m_footer1, value); }
    void setFooter2(std::string_view value) { assign(m_footer2, value); }
    // No range check: the spin box the value comes from has already clamped it.
    void setHalfMoveClock(int value) { assign(m_halfMoveClock, value); }
    void setHeader1(std::string_view value) { assign(m_header1, value); }
    void setHeader2(std::string_view value) { assign(m_header2, value); }
    void setMoveNumber(int value) { assign(m_moveNumber, value); }
    void setLastSaveDir(std::string_view value) { assign(m_lastSaveDir, value); }

    // "Diagram Layout"
    bool showBorder() const { return m_showBorder; }
    bool coordinates() const { return m_coordinates; }
    bool showFenLine() const { return m_showFenLine; }
    bool showFooter() const { return m_showFooter; }
    bool showHeader() const { return m_showHeader; }
    bool showSideToMove() const { return m_showSideToMove; }
    void setShowBorder(bool value) { assign(m_showBorder, value); }
    void setCoordinates(bool value) { assign(m_coordinates, value); }
    void setShowFenLine(bool value) { assign(m_showFenLine, value); }
    void setShowFooter(bool value) { assign(m_showFooter, value); }
    void setShowHeader(bool value) { assign(m_showHeader, value); }
    void setShowSideToMove(bool value) { assign(m_showSideToMove, value); }

    // "HTML Settings"
    const std::string& alignment() const { return m_alignment; }
    int borderSize() const { return m_borderSize; }
    const std::string& colorLightSquares() const { return m_colorLightSquares; }
    const std::string& colorDarkSquares() const { return m_colorDarkSquares; }
    const std::string& colorDiagramBackground() const { return m_colorDiagramBackground; }
    bool compact() const { return m_compact; }
    int pieceSet() const { return m_pieceSet; }
    const std::string& localImageBase() const { return m_localImageBase; }
    const std::string& webImageBase() const { return m_webImageBase; }
    // Anything but exactly "left", "center" or "right" stores "left".
    void setAlignment(std::string_view value);
    // Clamped to 0..10.
    void setBorderSize(int value);
    // Colour texts are stored as given, valid or not.
    void setColorLightSquares(std::string_view value) { assign(m_colorLightSquares, value); }
    void setColorDarkSquares(std::string_view value) { assign(m_colorDarkSquares, value); }
    void setColorDiagramBackground(std::string_view value)
    {
        assign(m_colorDiagramBackground, value);
    }
    void setCompact(bool value) { assign(m_compact, value); }
    // 0 or less stores 1, above 8 stores 8.
    void setPieceSet(int value);
    void setLocalImageBase(std::string_view value) { assign(m_localImageBase, value); }
    void setWebImageBase(std::string_view value) { assign(m_webImageBase, value); }

    // "Standard URLs": changed only by editing the file.
    const std::string& urlPGNStandard() const { return m_urlPGNStandard; }
    const std::string& urlEPDStandard() const { return m_urlEPDStandard; }
    const std::string& urlCCCForum() const { return m_urlCCCForum; }
    const std::string& urlChessBitsForum() const { return m_urlChessBitsForum; }
    const std::string& urlCSSForum() const { return m_urlCSSForum; }
    const std::string& urlFCPForum() const { return m_urlFCPForum; }
    const std::string& urlWinBoardForum() const { return m_urlWinBoardForum; }

    // "Diagram Export": the export dialog's choices, and with the history the board's arrows and
    // marked squares in the comment notation ("[%csl Yd5][%cal Ge2e4]"; empty while the history
    // is off, as the other history keys are).
    const DiagramExportSettings& diagramExport() const { return m_diagramExport; }
    void setDiagramExport(const DiagramExportSettings& value) { assign(m_diagramExport, value); }
    const std::string& boardAnnotations() const { return m_boardAnnotations; }
    void setBoardAnnotations(std::string_view value) { assign(m_boardAnnotations, value); }
    // "View": the folder File > Open showed last (empty: the user's home folder).
    const std::string& lastOpenFolder() const { return m_lastOpenFolder; }
    void setLastOpenFolder(std::string_view value) { assign(m_lastOpenFolder, value); }

    // "View": the window's board size and coordinates.
    const ViewSettings& view() const { return m_view; }
    void setView(const ViewSettings& value) { assign(m_view, value); }
    // "Sheet": the last choices of File > Export sheet.
    const SheetSettings& sheet() const { return m_sheet; }
    void setSheet(const SheetSettings& value) { assign(m_sheet, value); }

    // "HTML Export": whether the window's HTML code carries the piece images as data: URIs.
    const HtmlExportSettings& htmlExport() const { return m_htmlExport; }
    void setHtmlExport(const HtmlExportSettings& value) { assign(m_htmlExport, value); }

private:
    TPictogParams(std::string programDir, std::string iniFile, std::string previewFile,
        bool readOnly, ErrorReporter* reporter, std::shared_ptr<FileSystem> fileSystem);

    template <class T, class V> void assign(T& field, const V& value)
    {
        if (field != value) {
            field = T(value);
            m_modified = true;
        }
    }

    std::shared_ptr<FileSystem> m_fileSystem;
    ErrorReporter* m_reporter = nullptr;
    bool m_readOnly = false;
    IniFile m_ini;
    FileReadStatus m_readStatus = FileReadStatus::Missing;
    std::string m_readError;

    std::string m_programDir;
    std::string m_iniFile;
    std::string m_manualFile;
    std::string m_previewFile;
    std::string m_helpFile;
    bool m_modified = false;
    std::string m_urlHomePage;

    std::string m_textEditor { DefaultTextEditor };

    bool m_activated = true;
    std::string m_fenLine;
    std::string m_footer1;
    std::string m_footer2;
    int m_halfMoveClock = 0;
    std::string m_header1;
    std::string m_header2;
    int m_moveNumber = 1;
    std::string m_lastSaveDir;

    bool m_showBorder = true;
    bool m_coordinates = true;
    bool m_showFenLine = true;
    bool m_showFooter = true;
    bool m_showHeader = true;
    bool m_showSideToMove = true;

    std::string m_alignment = "left";
    int m_borderSize = 3;
    std::string m_colorLightSquares = DefaultLightSquares;
    std::string m_colorDarkSquares = DefaultDarkSquares;
    std::string m_colorDiagramBackground = DefaultDiagramBackground;
    bool m_compact = true;
    int m_pieceSet = 1;
    std::string m_localImageBase;
    std::string m_webImageBase { DefaultWebImageBase };

    std::string m_urlPGNStandard { DefaultPGNStandardUrl };
    std::string m_urlEPDStandard { DefaultEPDStandardUrl };
    std::string m_urlCCCForum { DefaultCCCForumUrl };
    std::string m_urlChessBitsForum { DefaultChessBitsForumUrl };
    std::string m_urlCSSForum { DefaultCSSForumUrl };
    std::string m_urlFCPForum { DefaultFCPForumUrl };
    std::string m_urlWinBoardForum { DefaultWinBoardForumUrl };

    DiagramExportSettings m_diagramExport;
    ViewSettings m_view;
    HtmlExportSettings m_htmlExport;
    SheetSettings m_sheet;
    std::string m_boardAnnotations;
    std::string m_lastOpenFolder;
};

} // namespace pictog

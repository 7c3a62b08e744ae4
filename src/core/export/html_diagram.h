#pragma once

#include "position/chess_position.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pictog {

class TPictogParams;

// The piece codes of the 64 squares, indexed 8 * rank0 + file0 (a1 first, h8 last).
using BoardCodes = std::array<int, 64>;

// The piece codes of a position's squares.
BoardCodes boardCodesOf(const TChessPosition& position);

// The settings the HTML diagram reads, copied out of the settings store.
struct HtmlSettings {
    std::string alignment; // goes into the code as stored, unchecked
    int borderSize = 3;
    std::string colorLightSquares;
    std::string colorDarkSquares;
    std::string colorDiagramBackground;
    bool compact = true;
    int pieceSet = 1;
    std::string webImageBase;
    std::string localImageBase;
    bool showBorder = true;
    bool coordinates = true;
    bool showHeader = true;
    bool showFooter = true;
    bool showSideToMove = true;
    bool showFenLine = true;
    std::string urlHomePage;
};

// The HTML settings as the store holds them now.
HtmlSettings htmlSettingsOf(const TPictogParams& params);

// The four caption lines beside the board.
struct Captions {
    std::string header1;
    std::string header2;
    std::string footer1;
    std::string footer2;
};

// Clipboard: images under the web image base. Preview: images under the local image base as
// file:// URLs.
enum class HtmlMode { Clipboard, Preview };

// The image base of a mode, always ending in "/": webImageBase + "/", or "file://" +
// localImageBase with every "\" turned into "/" + "/". No check for a slash already there.
std::string htmlImageBase(const HtmlSettings& settings, HtmlMode mode);

// The HTML 3.2 table code of the diagram: one fragment per line ending in CR LF, or all on one
// line without any line end when compact. moveRight is the side-to-move list entry (0 White,
// anything else Black); fenLine is the line as the line field shows it. Nothing is escaped or
// validated: captions, colours, alignment and image bases go in exactly as given.
std::string BuildHTMLCode(const HtmlSettings& settings, const Captions& captions,
    std::string_view fenLine, int moveRight, const BoardCodes& pieces, HtmlMode mode);

// The largest image file read for embedding: a piece GIF is a few hundred bytes, and anything
// past a megabyte is not one.
constexpr std::size_t MaxHtmlImageBytes = 1 << 20;
// The table code with every image under base (as htmlImageBase gives it for the clipboard)
// turned into a data: URI of the image's bytes, so that the code works pasted anywhere without
// an image folder. readImage gives the bytes of a file name such as "wk1.gif", or nothing; the
// first name it cannot give is put into missing and the result is empty.
std::string embedHtmlImages(std::string_view code, std::string_view base,
    const std::function<std::optional<std::string>(const std::string& name)>& readImage,
    std::string& missing);

} // namespace pictog

#pragma once

#include "ini_file.h"

#include <string_view>

namespace pictog {

// The section of Pictog.ini that holds how the window's HTML code refers to the piece images.
inline constexpr std::string_view SectionHtmlExport = "HTML Export";

struct HtmlExportSettings {
    // Each piece image a data: URI of its GIF in the local image folder instead of a link, so
    // that the code works pasted anywhere without an image folder.
    bool embedImages = false;

    friend bool operator==(const HtmlExportSettings& a, const HtmlExportSettings& b)
    {
        return a.embedImages == b.embedImages;
    }
    friend bool operator!=(const HtmlExportSettings& a, const HtmlExportSettings& b)
    {
        return !(a == b);
    }
};

// Reads the section; a missing or unknown value gives its default.
HtmlExportSettings readHtmlExportSettings(const IniFile& ini);
// Writes every key of the section ("embedImages").
void writeHtmlExportSettings(IniFile& ini, const HtmlExportSettings& settings);

} // namespace pictog

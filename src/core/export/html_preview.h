#pragma once

#include <string>
#include <string_view>

namespace pictog {

class FileSystem;

// The complete preview page around the HTML code: nine lines of HTML 3.2 head, the code as it
// is followed by one CR LF, then "</BODY>" and "</HTML>". Every line ends with CR LF; nothing is
// escaped or converted.
std::string BuildPreviewPage(std::string_view htmlCode);

// Writes the page to path, replacing an existing file. Returns the system's error text of the
// first step that failed (creating, writing or closing), empty on success.
std::string WritePreviewFile(
    FileSystem& fileSystem, const std::string& path, std::string_view page);

} // namespace pictog

#include "html_preview.h"

#include "settings/file_system.h"

namespace pictog {

std::string BuildPreviewPage(std::string_view htmlCode)
{
    // Captions and every other text reach the page as UTF-8, so the page says so; a Latin-1
    // declaration would garble any accented caption in the browser.
    static constexpr std::string_view head
        = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n"
          "<HTML>\r\n"
          "<HEAD>\r\n"
          "<TITLE>Pictog: HTMLPreview</TITLE>\r\n"
          "<META name=\"generator\" content=\"Pictog V1.01  (12-OCT-2002)\">\r\n"
          "<META name=\"resource-type\" content=\"document\">\r\n"
          "<META http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\">\r\n"
          "</HEAD>\r\n"
          "<BODY>\r\n";
    static constexpr std::string_view tail = "</BODY>\r\n"
                                             "</HTML>\r\n";
    std::string page;
    page.reserve(head.size() + htmlCode.size() + 2 + tail.size());
    page += head;
    page += htmlCode;
    page += "\r\n";
    page += tail;
    return page;
}

std::string WritePreviewFile(FileSystem& fileSystem, const std::string& path, std::string_view page)
{
    return fileSystem.writeFile(path, page);
}

} // namespace pictog

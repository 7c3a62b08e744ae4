#include "html_export_settings.h"

namespace pictog {

HtmlExportSettings readHtmlExportSettings(const IniFile& ini)
{
    HtmlExportSettings s;
    s.embedImages = ini.readBool(SectionHtmlExport, "embedImages", s.embedImages);
    return s;
}

void writeHtmlExportSettings(IniFile& ini, const HtmlExportSettings& s)
{
    ini.writeBool(SectionHtmlExport, "embedImages", s.embedImages);
}

} // namespace pictog

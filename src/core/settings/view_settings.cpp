#include "view_settings.h"

#include <array>
#include <string>

namespace pictog {

namespace {

    constexpr std::array<std::string_view, 3> BoardSizeNames = { "classic", "large", "fit" };

} // namespace

ViewSettings readViewSettings(const IniFile& ini)
{
    ViewSettings s;
    const std::string size = ini.readString(SectionView, "boardSize", "");
    for (std::size_t i = 0; i < BoardSizeNames.size(); ++i)
        if (size == BoardSizeNames[i])
            s.boardSize = static_cast<BoardSize>(i);
    s.coordinates = ini.readBool(SectionView, "coordinates", s.coordinates);
    s.gamePane = ini.readBool(SectionView, "gamePane", s.gamePane);
    s.captionsFromFile = ini.readBool(SectionView, "captionsFromFile", s.captionsFromFile);
    return s;
}

void writeViewSettings(IniFile& ini, const ViewSettings& s)
{
    ini.writeString(
        SectionView, "boardSize", BoardSizeNames[static_cast<std::size_t>(s.boardSize)]);
    ini.writeBool(SectionView, "coordinates", s.coordinates);
    ini.writeBool(SectionView, "gamePane", s.gamePane);
    ini.writeBool(SectionView, "captionsFromFile", s.captionsFromFile);
}

} // namespace pictog

#pragma once

#include "diagram/embedded_resources.h"
#include "diagram/raster.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pictog {

// Finds a resource by name; the program's own is findResource, tests hand in their own.
using ResourceLookup = std::function<std::optional<ResourceBytes>(std::string_view name)>;

// Where the board view reports the errors of its creation: the desktop program shows each in a
// message box with an OK button, the command-line tool on stderr.
class ErrorMessages
{
public:
    virtual ~ErrorMessages() = default;
    virtual void ShowError(const std::string& text) = 0;
};

// The 24 piece bitmaps, used from index 1: entry c (1..12) is the image of piece code c, entry
// c + 12 its mask. Entry 0 stays empty.
using PieceBitmapSet = std::array<Raster, 25>;

// Loads the resources "PIECE1".."PIECE24" in that order into bitmaps[1..24]. A resource that
// is missing or is no readable BMP leaves its entry empty and is reported as "Error loading "
// and its name; loading goes on with the next. Returns false when any failed.
bool LoadPieceBitmaps(
    PieceBitmapSet& bitmaps, const ResourceLookup& lookup, ErrorMessages* messages);

} // namespace pictog

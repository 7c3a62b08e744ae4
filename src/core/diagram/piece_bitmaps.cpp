#include "diagram/piece_bitmaps.h"

#include "diagram/bmp_codec.h"

namespace pictog {

bool LoadPieceBitmaps(
    PieceBitmapSet& bitmaps, const ResourceLookup& lookup, ErrorMessages* messages)
{
    bool allLoaded = true;
    for (int n = 1; n <= 24; ++n) {
        const std::string name = "PIECE" + std::to_string(n);
        std::optional<Raster> bitmap;
        if (const std::optional<ResourceBytes> bytes = lookup ? lookup(name) : std::nullopt)
            bitmap = decodeBmp(bytes->data, bytes->size);
        if (bitmap) {
            bitmaps[static_cast<std::size_t>(n)] = std::move(*bitmap);
            continue;
        }
        bitmaps[static_cast<std::size_t>(n)] = Raster();
        allLoaded = false;
        if (messages)
            messages->ShowError("Error loading " + name);
    }
    return allLoaded;
}

} // namespace pictog

// export png|bmp: diagram pictures of the input positions.
#include "cli_common.h"

namespace pictog::cli {

int runImageExport(const ExportOptions&, const PictureSettings&, Output&)
{
    throw UsageError("picture export is not available yet");
}

} // namespace pictog::cli

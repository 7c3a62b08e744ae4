// export: the text formats and the preview page; pictures are handed to runImageExport.
#include "cli_common.h"

namespace pictog::cli {

int runExport(const GlobalOptions&, Arguments&, Output&, Output&)
{
    throw UsageError("export is not available yet");
}

} // namespace pictog::cli

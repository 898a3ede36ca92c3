// The parser's link to the loader's operations, kept apart so that tests of the parser link
// without them.
#include "cli/command_line.h"
#include "loader/operations.h"

Operations RealOperations()
{
    return Operations{FindChips, IdentifyChip, RebootChip, ShutdownChip, DownloadImage};
}

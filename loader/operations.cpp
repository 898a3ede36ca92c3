#include "loader/operations.h"

Operations RealOperations()
{
    return Operations{FindChips, IdentifyChip, DownloadImage, ShutdownChip, RebootChip, {}};
}

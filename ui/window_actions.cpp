#include "ui/window_actions.h"

#include "text/numeric_value.h"
#include "text/trim_spaces.h"

// Only blanks go: a tab or other character typed into a box reaches the loader as it is.
void ImportSettings(Loader& ld, WindowModel& window)
{
    WindowState& fields = window.Load();
    LoaderState& s = ld.state;

    fields.barProgress = 0;
    fields.Changed();
    // A port text too large for a port number gets the same 0 as one without a number, so the
    // port check reports it instead of the conversion failing.
    s.PortNumber = RoundToPort(NumericValue(TrimSpaces(fields.txtPort))).value_or(0);
    s.BaudText = TrimSpaces(fields.txtBaud);
    s.ImageFile = TrimSpaces(fields.txtFilename);
    s.UseBreakReset = fields.chkUseBreakReset != 0;
    s.ZeroPattern = kZeroPattern;
    s.OnePattern = fields.chkDensePacking != 0 ? kDenseOnePattern : kStandardOnePattern;
    s.BootCommand = fields.chkWriteEeprom != 0 ? kBootEeprom : kBootRam;
}

void RunWindowOperation(Loader& ld, WindowModel& window, const std::function<void(Loader&)>& operation)
{
    WindowState& fields = window.Load();
    fields.enabled = false;
    fields.Changed();
    ImportSettings(ld, window);
    operation(ld);
    fields.enabled = true;
    fields.Changed();
}

#include "ui/window_actions.h"

#include "text/numeric_value.h"
#include "text/trim_spaces.h"

// Only blanks go: a tab or other character typed into a box reaches the loader as it is.
void ImportSettings(Loader& ld)
{
    FormState& form = ld.frmPellik.Use();
    LoaderState& s = ld.state;

    form.barProgress = 0;
    form.Changed();
    // A port text too large for a port number gets the same 0 as one without a number, so the
    // port check reports it instead of the conversion failing.
    s.PortNumber = RoundToPort(NumericValue(TrimSpaces(form.txtPort))).value_or(0);
    s.BaudText = TrimSpaces(form.txtBaud);
    s.ImageFile = TrimSpaces(form.txtFilename);
    s.UseBreakReset = form.chkUseBreakReset != 0;
    s.ZeroPattern = kZeroPattern;
    s.OnePattern = form.chkDensePacking != 0 ? kDenseOnePattern : kStandardOnePattern;
    s.BootCommand = form.chkWriteEeprom != 0 ? kBootEeprom : kBootRam;
}

void RunWindowOperation(Loader& ld, void (*operation)(Loader&))
{
    FormState& form = ld.frmPellik.Use();
    form.enabled = false;
    form.Changed();
    ImportSettings(ld);
    operation(ld);
    form.enabled = true;
    form.Changed();
}

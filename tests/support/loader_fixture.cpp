#include "tests/support/loader_fixture.h"

#include "loader/serial_link.h"

LoaderFixture::LoaderFixture()
{
    form.state.SerialPort = &serial;
    serial.OnComm = [this] { SerialPort_OnComm(ld); };
    form.onUnload = [this] { ClosePort(ld); };
}

void LoaderFixture::UseWindowDefaults()
{
    LoaderState& s = ld.state;
    s.PortNumber = 3;
    s.BaudText = "115200";
    s.ZeroPattern = "001";
    s.OnePattern = "011";
    s.BootCommand = 1;
}

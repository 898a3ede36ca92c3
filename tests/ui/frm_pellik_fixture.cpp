#include "tests/ui/frm_pellik_fixture.h"

namespace {

void Record(const char* name, Loader& ld)
{
    FakeOperations().calls.push_back(name);
    if (FakeOperations().body)
        FakeOperations().body(ld);
}

void FakeFind(Loader& ld) { Record("FindChips", ld); }
void FakeIdentify(Loader& ld) { Record("IdentifyChip", ld); }
void FakeDownload(Loader& ld) { Record("DownloadImage", ld); }
void FakeShutdown(Loader& ld) { Record("ShutdownChip", ld); }
void FakeReboot(Loader& ld) { Record("RebootChip", ld); }

}  // namespace

FakeOperationLog& FakeOperations()
{
    static FakeOperationLog log;
    return log;
}

WindowOperations FakeWindowOperations()
{
    WindowOperations ops;
    ops.FindChips = FakeFind;
    ops.IdentifyChip = FakeIdentify;
    ops.DownloadImage = FakeDownload;
    ops.ShutdownChip = FakeShutdown;
    ops.RebootChip = FakeReboot;
    return ops;
}

FrmPellikTest::FrmPellikTest()
{
    EnsureTestApplication();
    FakeOperations() = {};
}

FrmPellikTest::~FrmPellikTest()
{
    m_window.reset();
    FakeOperations() = {};
}

FrmPellik& FrmPellikTest::Open(bool show)
{
    m_window = std::make_unique<FrmPellik>(ld, form, dialog, FakeWindowOperations());
    if (show) {
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    return *m_window;
}

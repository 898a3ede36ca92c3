// The widget on the real window state: what the store holds shows on load and goes back on close.
#include <QCheckBox>
#include <QLineEdit>

#include "loader/serial_link.h"
#include "tests/support/memory_settings_store.h"
#include "tests/ui/frm_pellik_fixture.h"
#include "ui/form.h"

namespace {

class FrmPellikStoreTest : public FrmPellikTest {
protected:
    FrmPellikStoreTest()
    {
        realForm.SetClosePort([this] { ClosePort(realLd); });
    }
    FrmPellik& OpenOnStore()
    {
        m_window = std::make_unique<FrmPellik>(realLd, realForm, dialog, FakeWindowOperations());
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        return *m_window;
    }
    void Store(const char* section, const char* key, const char* value)
    {
        store.values[{"Pellik32", section, key}] = value;
    }
    std::string Stored(const char* section, const char* key)
    {
        return store.values[{"Pellik32", section, key}];
    }

    MemorySettingsStore store;
    Form realForm{[this] { return std::unique_ptr<SerialControl>(new FakeSerial(clock)); }, store, "Pellik32"};
    Loader realLd{clock, presenter, realForm};
};

TEST_F(FrmPellikStoreTest, GrayedBoxAndSpacedPortGoBackAsTheyCame)
{
    Store("Settings", "Pack", "2");
    Store("Settings", "Port", " 7 ");
    Store("Window", "Top", "1507.5");
    Store("Window", "Left", "3000");
    FrmPellik& w = OpenOnStore();
    EXPECT_EQ(w.findChild<QCheckBox*>("chkDensePacking")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(w.findChild<QLineEdit*>("txtPort")->text(), " 7 ");

    ASSERT_TRUE(w.close());
    EXPECT_EQ(Stored("Settings", "Pack"), "2");
    EXPECT_EQ(Stored("Settings", "Port"), " 7 ");
    EXPECT_EQ(Stored("Window", "Top"), "1507.5");
    EXPECT_EQ(Stored("Window", "Left"), "3000");
}

TEST_F(FrmPellikStoreTest, EditsAndAMoveAreStoredOnClose)
{
    FrmPellik& w = OpenOnStore();
    w.findChild<QLineEdit*>("txtBaud")->setText("9600 ");
    QTest::mouseClick(w.findChild<QCheckBox*>("chkWriteEeprom"), Qt::LeftButton);
    w.move(30, 20);
    QTest::qWait(20);
    ASSERT_TRUE(w.close());
    EXPECT_EQ(Stored("Settings", "Baud"), "9600 ");
    EXPECT_EQ(Stored("Settings", "Save"), "1");
    EXPECT_EQ(Stored("Window", "Left"), std::to_string(w.pos().x() * 15));
    EXPECT_EQ(Stored("Window", "Top"), std::to_string(w.pos().y() * 15));
}

TEST_F(FrmPellikStoreTest, MinimizedCloseKeepsTheStoredPosition)
{
    Store("Window", "Top", "300");
    Store("Window", "Left", "450");
    FrmPellik& w = OpenOnStore();
    w.move(90, 90);
    w.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(w.close());
    EXPECT_EQ(Stored("Settings", "Port"), "1");  // the settings are written all the same
    EXPECT_EQ(Stored("Window", "Top"), "300");
    EXPECT_EQ(Stored("Window", "Left"), "450");
}

}  // namespace

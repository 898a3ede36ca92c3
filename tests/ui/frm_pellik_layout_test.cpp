// The window's look: size, controls and their places, captions, access keys, focus and tab order.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStyle>

#include "tests/ui/frm_pellik_fixture.h"

namespace {

struct Place {
    const char* name;
    int left, top, width, height;  // twips
    const char* caption;           // nullptr: a text box or the bar
};

const Place kPlaces[] = {
    {"lblGeneric2", 120, 180, 375, 195, "File"},
    {"txtFilename", 540, 120, 6615, 315, nullptr},
    {"lblGeneric0", 120, 600, 375, 195, "Port"},
    {"txtPort", 540, 540, 315, 315, nullptr},
    {"lblGeneric1", 960, 600, 435, 195, "Baud"},
    {"txtBaud", 1440, 540, 675, 315, nullptr},
    {"chkUseBreakReset", 2280, 540, 735, 315, "Break"},
    {"chkDensePacking", 3180, 540, 1395, 315, "Dense Packing"},
    {"chkWriteEeprom", 4740, 540, 1275, 315, "Write Eeprom"},
    {"btnBrowse", 6120, 540, 1035, 315, "&Browse"},
    {"barProgress", 120, 960, 7035, 255, nullptr},
    {"btnFind", 120, 1380, 1035, 375, "&Find"},
    {"btnIdentify", 1320, 1380, 1035, 375, "&Identify"},
    {"btnDownload", 2520, 1380, 1035, 375, "&Download"},
    {"btnShutdown", 3720, 1380, 1035, 375, "&Shutdown"},
    {"btnReBoot", 4920, 1380, 1035, 375, "&Reboot"},
    {"btnClosePort", 6120, 1380, 1035, 375, "&Close Port"},
};

const char* const kCaption = "Ulvane Propeller Downloader - KR6 32-Bit";

QString TextOf(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    return {};
}

TEST_F(FrmPellikTest, EveryControlSitsWhereTheLayoutPutsIt)
{
    Open();
    for (const Place& p : kPlaces) {
        QWidget* w = Child(p.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15)) << p.name;
        EXPECT_TRUE(w->isVisible()) << p.name;
        if (p.caption) {
            EXPECT_EQ(TextOf(w).toStdString(), p.caption) << p.name;
        }
    }
}

TEST_F(FrmPellikTest, EveryCaptionFitsItsControl)
{
    Open();
    for (const Place& p : kPlaces) {
        if (!p.caption)
            continue;
        QWidget* w = Child(p.name);
        int needed = w->fontMetrics().horizontalAdvance(TextOf(w).remove(QLatin1Char('&')));
        if (qobject_cast<QCheckBox*>(w))
            needed += w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
                      + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        EXPECT_LE(needed, w->width()) << p.name;
        EXPECT_GE(QFontInfo(w->font()).pixelSize(), 9) << p.name;
    }
}

TEST_F(FrmPellikTest, ClientAreaIsFixedAt486By125AndCanBeMinimizedButNotMaximized)
{
    FrmPellik& w = Open();
    EXPECT_EQ(w.size(), QSize(486, 125));
    EXPECT_EQ(w.minimumSize(), QSize(486, 125));
    EXPECT_EQ(w.maximumSize(), QSize(486, 125));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w.windowTitle().toStdString(), kCaption);
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(w.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
}

TEST_F(FrmPellikTest, AccessKeysAreAltAndTheMarkedLetter)
{
    Open();
    const std::pair<const char*, QKeyCombination> keys[] = {
        {"btnBrowse", Qt::ALT | Qt::Key_B},   {"btnFind", Qt::ALT | Qt::Key_F},
        {"btnIdentify", Qt::ALT | Qt::Key_I}, {"btnDownload", Qt::ALT | Qt::Key_D},
        {"btnShutdown", Qt::ALT | Qt::Key_S}, {"btnReBoot", Qt::ALT | Qt::Key_R},
        {"btnClosePort", Qt::ALT | Qt::Key_C}};
    for (const auto& [name, key] : keys)
        EXPECT_EQ(QKeySequence::mnemonic(Button(name)->text()), QKeySequence(key)) << name;
    for (const char* name : {"chkUseBreakReset", "chkDensePacking", "chkWriteEeprom",
                             "lblGeneric0", "lblGeneric1", "lblGeneric2"})
        EXPECT_TRUE(QKeySequence::mnemonic(TextOf(Child(name))).isEmpty()) << name;
}

TEST_F(FrmPellikTest, FirstRunShowsDefaultsWithCloseDisabledAndFocusOnIdentify)
{
    FrmPellik& w = Open();
    EXPECT_EQ(Child<QLineEdit>("txtPort")->text(), "1");
    EXPECT_EQ(Child<QLineEdit>("txtBaud")->text(), "115200");
    EXPECT_EQ(Child<QLineEdit>("txtFilename")->text(), "");
    for (const char* box : {"chkUseBreakReset", "chkDensePacking", "chkWriteEeprom"})
        EXPECT_EQ(Child<QCheckBox>(box)->checkState(), Qt::Unchecked) << box;
    EXPECT_EQ(Child<QProgressBar>("barProgress")->minimum(), 0);
    EXPECT_EQ(Child<QProgressBar>("barProgress")->maximum(), 100);
    EXPECT_EQ(Child<QProgressBar>("barProgress")->value(), 0);
    EXPECT_EQ(w.focusWidget(), Button("btnIdentify"));
    for (const Place& p : kPlaces)
        EXPECT_EQ(Child(p.name)->isEnabled(), std::string(p.name) != "btnClosePort") << p.name;
    for (QPushButton* b : w.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->objectName().toStdString();
}

std::vector<std::string> TabChain(QWidget* start)
{
    std::vector<std::string> chain;
    QWidget* w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible())
            chain.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != start && chain.size() < 50);
    return chain;
}

TEST_F(FrmPellikTest, TabOrderFollowsTheTabIndexesAndSkipsLabelsBarAndDisabledClose)
{
    Open();
    const std::vector<std::string> withoutClose = {
        "btnIdentify", "chkWriteEeprom", "btnDownload", "txtPort", "txtBaud", "txtFilename",
        "chkDensePacking", "btnFind", "btnShutdown", "btnBrowse", "btnReBoot", "chkUseBreakReset"};
    EXPECT_EQ(TabChain(Button("btnIdentify")), withoutClose);

    form.state.btnClosePortEnabled = true;
    form.state.Changed();
    std::vector<std::string> withClose = withoutClose;
    withClose.insert(withClose.begin() + 9, "btnClosePort");
    EXPECT_EQ(TabChain(Button("btnIdentify")), withClose);
}

TEST_F(FrmPellikTest, TabKeyWalksTheSameOrder)
{
    FrmPellik& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    std::vector<std::string> visited;
    for (int i = 0; i < 13; ++i) {
        visited.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited.front(), "btnIdentify");
    EXPECT_EQ(visited[1], "chkWriteEeprom");
    EXPECT_EQ(visited[11], "chkUseBreakReset");
    EXPECT_EQ(visited[12], "btnIdentify");  // round again, Close Port skipped while disabled
}

}  // namespace

// The window's look: size, controls and their places, captions with their access keys, the first
// show, and the tab order.
#include <QCheckBox>
#include <QLabel>
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

// The caption marks the access key: "&Browse" is Alt+B; the check boxes and labels have none.
QString TextOf(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    return {};
}

TEST_F(FrmPellikTest, EveryControlSitsInItsPlaceWithItsWholeCaption)
{
    Open();
    for (const Place& p : kPlaces) {
        QWidget* w = Child(p.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15)) << p.name;
        EXPECT_TRUE(w->isVisible()) << p.name;
        EXPECT_EQ(w->isEnabled(), std::string(p.name) != "btnClosePort") << p.name;
        if (!p.caption)
            continue;
        EXPECT_EQ(TextOf(w).toStdString(), p.caption) << p.name;
        int needed = w->fontMetrics().horizontalAdvance(TextOf(w).remove(QLatin1Char('&')));
        if (qobject_cast<QCheckBox*>(w))
            needed += w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
                      + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        EXPECT_LE(needed, w->width()) << p.name;
        EXPECT_GE(QFontInfo(w->font()).pixelSize(), 9) << p.name;
    }
    // The baud box shows its longest rate whole, not scrolled.
    auto* baud = Child<QLineEdit>("txtBaud");
    EXPECT_LE(baud->fontMetrics().horizontalAdvance(QStringLiteral("115200")) + 8, baud->width());
}

TEST_F(FrmPellikTest, FirstShowIsAFixedMinimizableWindowWithDefaultsAndFocusOnIdentify)
{
    FrmPellik& w = Open();
    EXPECT_EQ(w.size(), QSize(486, 125));
    EXPECT_EQ(w.minimumSize(), QSize(486, 125));
    EXPECT_EQ(w.maximumSize(), QSize(486, 125));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w.windowTitle().toStdString(), "Ulvane Propeller Downloader - KR6 32-Bit");
    EXPECT_EQ(w.windowIcon().pixmap(32, 32).size(), QSize(32, 32));

    EXPECT_EQ(Text("txtPort"), "1");
    EXPECT_EQ(Text("txtBaud"), "115200");
    EXPECT_EQ(Text("txtFilename"), "");
    for (const char* box : {"chkUseBreakReset", "chkDensePacking", "chkWriteEeprom"})
        EXPECT_EQ(Child<QCheckBox>(box)->checkState(), Qt::Unchecked) << box;
    auto* bar = Child<QProgressBar>("barProgress");
    EXPECT_EQ(std::make_tuple(bar->minimum(), bar->maximum(), bar->value()), std::make_tuple(0, 100, 0));
    EXPECT_EQ(w.focusWidget(), Button("btnIdentify"));
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

TEST_F(FrmPellikTest, TabOrderSkipsLabelsBarAndDisabledClose)
{
    Open();
    std::vector<std::string> chain = {
        "btnIdentify", "chkWriteEeprom", "btnDownload", "txtPort", "txtBaud", "txtFilename",
        "chkDensePacking", "btnFind", "btnShutdown", "btnBrowse", "btnReBoot", "chkUseBreakReset"};
    EXPECT_EQ(TabChain(Button("btnIdentify")), chain);

    model.SetClosePortEnabled(true);
    chain.insert(chain.begin() + 9, "btnClosePort");
    EXPECT_EQ(TabChain(Button("btnIdentify")), chain);
}

}  // namespace

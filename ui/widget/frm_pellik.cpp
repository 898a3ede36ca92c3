#include "ui/widget/frm_pellik.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "loader/serial_link.h"
#include "text/trim_spaces.h"
#include "ui/widget/caption_fit.h"
#include "ui/widget/enter_key_button.h"
#include "ui/widget/option_check_box.h"
#include "ui/window_actions.h"

#include "ui/widget/pellik32.xpm"

namespace {

constexpr int kClientWidthPx = 486;   // 7290 twips
constexpr int kClientHeightPx = 125;  // 1875 twips
constexpr int kFontPixelSize = 11;    // an 8-point face, the one the controls' sizes fit

const char* const kBrowseTitle = "Select Download File";

// "All Files" means every file; "*.*" would skip names without a dot on this platform.
const std::vector<FileFilter> kImageFilters = {
    {"Image Files (*.eeprom,*.binary,*.eep,*.bin)", {"*.eeprom", "*.binary", "*.eep", "*.bin"}},
    {"Eeprom Files (*.eeprom,*.eep)", {"*.eeprom", "*.eep"}},
    {"Binary Files (*.binary,*.bin)", {"*.binary", "*.bin"}},
    {"All Files (*.*)", {"*"}},
};

// Positions and sizes are written in twips, the window's unit (its stored position is in twips too).
template <typename W>
W* Place(W* control, const char* name, int left, int top, int width, int height)
{
    const int k = FrmPellik::kTwipsPerPixel;
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left / k, top / k, width / k, height / k);
    return control;
}

QPushButton* MakeButton(QWidget* parent, const char* caption)
{
    return new EnterKeyButton(QString::fromLatin1(caption), parent);
}

// Wayland lets no program place or read its window's position.
bool PlatformPlacesWindows()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

// Whether a window whose frame starts at topLeft can be grabbed by its title bar: the bar's whole
// height and at least kGrabPx of its width on one screen.
bool TitleBarOnAScreen(QPoint topLeft, int width, int titleHeight)
{
    constexpr int kGrabPx = 48;
    const QRect bar(topLeft, QSize(width, std::max(titleHeight, 1)));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect on = bar.intersected(screen->availableGeometry());
        if (on.height() == bar.height() && on.width() >= std::min(kGrabPx, width))
            return true;
    }
    return false;
}

void ShowText(QLineEdit* box, const std::string& text)
{
    const QString value = QString::fromStdString(text);
    if (box->text() != value)  // leaves the cursor alone when nothing changed
        box->setText(value);
}

}  // namespace

FrmPellik::FrmPellik(Loader& ld, WindowModel& model, FileDialog& dialog, const Operations& ops,
                     QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      m_ld(ld), m_model(model), m_dialog(dialog), m_ops(ops)
{
    setObjectName(QStringLiteral("frmPellik"));
    setWindowTitle(QString::fromLatin1(kProductCaption) + QString::fromLatin1(kBuildTag));
    setWindowIcon(QIcon(QPixmap(pellik32_xpm)));
    setFixedSize(kClientWidthPx, kClientHeightPx);
    QFont face = font();
    face.setPixelSize(kFontPixelSize);
    setFont(face);

    createControls();
    setTabOrder();

    m_state = &m_model.Load();
    // The owner may watch the state too; it keeps being told.
    m_ownerOnChanged = m_state->onChanged;
    m_state->onChanged = [this] {
        if (m_ownerOnChanged)
            m_ownerOnChanged();
        showState();
    };
    showState();
    connectControls();

    if (PlatformPlacesWindows() && (m_state->top || m_state->left))
        restorePosition();
    m_btnIdentify->setFocus();
}

void FrmPellik::restorePosition()
{
    const QPoint current = pos();
    const int x = m_state->left ? static_cast<int>(std::lround(*m_state->left / kTwipsPerPixel)) : current.x();
    const int y = m_state->top ? static_cast<int>(std::lround(*m_state->top / kTwipsPerPixel)) : current.y();
    // A place saved on a larger or a second monitor, or typed by hand, may leave nothing to grab.
    if (!TitleBarOnAScreen(QPoint(x, y), width(), style()->pixelMetric(QStyle::PM_TitleBarHeight))) {
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            move(primary->availableGeometry().center() - rect().center());
        return;
    }
    m_restoredPos = QPoint(x, y);
    move(m_restoredPos);
}

void FrmPellik::closeWhenIdle()
{
    if (m_state && !m_state->enabled)
        m_closeWhenIdle = true;  // the operation's end closes it
    else
        close();
}

FrmPellik::~FrmPellik()
{
    if (m_state)
        m_state->onChanged = m_ownerOnChanged;
}

void FrmPellik::createControls()
{
    m_lblGeneric[2] = Place(new QLabel(QStringLiteral("File"), this), "lblGeneric2", 120, 180, 375, 195);
    m_txtFilename = Place(new QLineEdit(this), "txtFilename", 540, 120, 6615, 315);
    m_lblGeneric[0] = Place(new QLabel(QStringLiteral("Port"), this), "lblGeneric0", 120, 600, 375, 195);
    m_txtPort = Place(new QLineEdit(this), "txtPort", 540, 540, 315, 315);
    m_lblGeneric[1] = Place(new QLabel(QStringLiteral("Baud"), this), "lblGeneric1", 960, 600, 435, 195);
    m_txtBaud = Place(new QLineEdit(this), "txtBaud", 1440, 540, 675, 315);
    m_chkUseBreakReset = Place(new OptionCheckBox(QStringLiteral("Break"), this), "chkUseBreakReset", 2280, 540, 735, 315);
    m_chkDensePacking = Place(new OptionCheckBox(QStringLiteral("Dense Packing"), this), "chkDensePacking", 3180, 540, 1395, 315);
    m_chkWriteEeprom = Place(new OptionCheckBox(QStringLiteral("Write Eeprom"), this), "chkWriteEeprom", 4740, 540, 1275, 315);
    m_btnBrowse = Place(MakeButton(this, "&Browse"), "btnBrowse", 6120, 540, 1035, 315);
    m_barProgress = Place(new QProgressBar(this), "barProgress", 120, 960, 7035, 255);
    m_btnFind = Place(MakeButton(this, "&Find"), "btnFind", 120, 1380, 1035, 375);
    m_btnIdentify = Place(MakeButton(this, "&Identify"), "btnIdentify", 1320, 1380, 1035, 375);
    m_btnDownload = Place(MakeButton(this, "&Download"), "btnDownload", 2520, 1380, 1035, 375);
    m_btnShutdown = Place(MakeButton(this, "&Shutdown"), "btnShutdown", 3720, 1380, 1035, 375);
    m_btnReBoot = Place(MakeButton(this, "&Reboot"), "btnReBoot", 4920, 1380, 1035, 375);
    m_btnClosePort = Place(MakeButton(this, "&Close Port"), "btnClosePort", 6120, 1380, 1035, 375);

    m_barProgress->setRange(0, 100);
    m_barProgress->setTextVisible(false);
    m_barProgress->setFocusPolicy(Qt::NoFocus);
    for (QLabel* label : m_lblGeneric)
        label->setFocusPolicy(Qt::NoFocus);
    FitCaptions(kFontPixelSize, {m_lblGeneric[0], m_lblGeneric[1], m_lblGeneric[2]});
    FitCaptions(kFontPixelSize, {m_chkUseBreakReset, m_chkDensePacking, m_chkWriteEeprom});
    FitCaptions(kFontPixelSize, {m_btnBrowse, m_btnFind, m_btnIdentify, m_btnDownload,
                                 m_btnShutdown, m_btnReBoot, m_btnClosePort});
    // The baud box is just wide enough for its longest rate.
    FitBoxText(kFontPixelSize, m_txtBaud, QStringLiteral("115200"));
}

void FrmPellik::setTabOrder()
{
    // The order Tab follows; labels and the bar take no focus and are left out.
    QWidget* const order[] = {m_btnIdentify, m_chkWriteEeprom, m_btnDownload, m_txtPort,
                              m_txtBaud, m_txtFilename, m_chkDensePacking, m_btnFind,
                              m_btnShutdown, m_btnClosePort, m_btnBrowse, m_btnReBoot,
                              m_chkUseBreakReset};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void FrmPellik::connectControls()
{
    // Typing and clicking only change the state; the next operation reads it.
    const auto bindText = [this](QLineEdit* box, std::string WindowState::*field) {
        connect(box, &QLineEdit::textChanged, this, [this, field](const QString& text) {
            if (m_state && !m_showingState)
                m_state->*field = text.toStdString();
        });
    };
    bindText(m_txtFilename, &WindowState::txtFilename);
    bindText(m_txtPort, &WindowState::txtPort);
    bindText(m_txtBaud, &WindowState::txtBaud);

    const auto bindBox = [this](OptionCheckBox* box, int WindowState::*field) {
        connect(box, &QCheckBox::stateChanged, this, [this, box, field] {
            if (m_state && !m_showingState)
                m_state->*field = box->value();
        });
    };
    bindBox(m_chkUseBreakReset, &WindowState::chkUseBreakReset);
    bindBox(m_chkDensePacking, &WindowState::chkDensePacking);
    bindBox(m_chkWriteEeprom, &WindowState::chkWriteEeprom);

    connect(m_btnFind, &QPushButton::clicked, this, [this] { runOperation(m_ops.FindChips); });
    connect(m_btnIdentify, &QPushButton::clicked, this, [this] { runOperation(m_ops.IdentifyChip); });
    connect(m_btnDownload, &QPushButton::clicked, this, [this] { runOperation(m_ops.DownloadImage); });
    connect(m_btnShutdown, &QPushButton::clicked, this, [this] { runOperation(m_ops.ShutdownChip); });
    connect(m_btnReBoot, &QPushButton::clicked, this, [this] { runOperation(m_ops.RebootChip); });
    connect(m_btnClosePort, &QPushButton::clicked, this, [this] {
        if (m_state && m_state->enabled)
            ClosePort(m_ld);
    });
    connect(m_btnBrowse, &QPushButton::clicked, this, &FrmPellik::browse);
}

void FrmPellik::showState()
{
    if (!m_state)
        return;
    const WindowState& s = *m_state;
    m_showingState = true;
    ShowText(m_txtFilename, s.txtFilename);
    ShowText(m_txtPort, s.txtPort);
    ShowText(m_txtBaud, s.txtBaud);
    m_chkUseBreakReset->setValue(s.chkUseBreakReset);
    m_chkDensePacking->setValue(s.chkDensePacking);
    m_chkWriteEeprom->setValue(s.chkWriteEeprom);
    m_btnClosePort->setEnabled(s.btnClosePortEnabled);
    m_barProgress->setValue(std::clamp(s.barProgress, 0, 100));
    m_showingState = false;

    // Disabling takes the focus away from the clicked button; give it back afterwards.
    if (isEnabled() && !s.enabled) {
        m_focusBeforeOperation = focusWidget();
        setEnabled(false);
    } else if (!isEnabled() && s.enabled) {
        setEnabled(true);
        if (m_focusBeforeOperation && m_focusBeforeOperation->isEnabled())
            m_focusBeforeOperation->setFocus();
    }
}

void FrmPellik::runOperation(const std::function<void(Loader&)>& operation)
{
    if (!m_state || !m_state->enabled)
        return;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    RunWindowOperation(m_ld, m_model, operation);
    QGuiApplication::restoreOverrideCursor();
    if (m_closeWhenIdle)
        close();
}

void FrmPellik::browse()
{
    if (!m_state || !m_state->enabled)
        return;
    const std::string chosen =
        m_dialog.ShowOpen(kBrowseTitle, kImageFilters, m_txtFilename->text().toStdString());
    // Like the dialog's own file name, a cancel leaves the last choice of this window in place
    // and puts it back into the box.
    if (!chosen.empty())
        m_dialogFileName = chosen;
    if (!m_dialogFileName.empty())
        m_txtFilename->setText(QString::fromStdString(TrimSpaces(m_dialogFileName)));
}

void FrmPellik::storePosition()
{
    // Where the platform cannot tell the position, the stored one stays as it was.
    if (!m_state || isMinimized() || !isVisible() || !PlatformPlacesWindows())
        return;
    const QPoint at = pos();
    // A window left where the stored position put it keeps that position exactly, fractions included.
    if (at == m_restoredPos && m_state->top && m_state->left)
        return;
    m_state->left = static_cast<float>(at.x() * kTwipsPerPixel);
    m_state->top = static_cast<float>(at.y() * kTwipsPerPixel);
}

void FrmPellik::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    storePosition();
}

void FrmPellik::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_state)
        m_state->minimized = isMinimized();
}

void FrmPellik::closeEvent(QCloseEvent* event)
{
    if (m_state && !m_state->enabled) {
        // The operation still runs inside this window's event handling; it ends on its own.
        event->ignore();
        return;
    }
    if (m_state) {
        // The frame's place settles after the window is mapped without always sending a move.
        storePosition();
        m_state->onChanged = m_ownerOnChanged;
        m_state = nullptr;
        m_model.Unload();
    }
    event->accept();
}

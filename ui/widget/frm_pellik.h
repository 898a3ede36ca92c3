// frmPellik in window mode: a fixed-size widget that shows and edits the window's FormState and
// runs the operations behind its buttons.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "loader/loader.h"
#include "loader/operations.h"
#include "platform/file_dialog.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class OptionCheckBox;

// The operations behind the five operation buttons; tests put fakes in.
struct WindowOperations {
    void (*FindChips)(Loader&) = ::FindChips;
    void (*IdentifyChip)(Loader&) = ::IdentifyChip;
    void (*DownloadImage)(Loader&) = ::DownloadImage;
    void (*ShutdownChip)(Loader&) = ::ShutdownChip;
    void (*RebootChip)(Loader&) = ::RebootChip;
};

class FrmPellik : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;

    // Loads the window through host, so the stored settings are in the controls before it shows.
    FrmPellik(Loader& ld, FormHost& host, FileDialog& dialog, const WindowOperations& ops = {},
              QWidget* parent = nullptr);
    ~FrmPellik() override;

protected:
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setTabOrder();
    void connectControls();
    // Shows the state: the loader writes port, baud, Close Port, the bar and enabled.
    void showState();
    void runOperation(void (*operation)(Loader&));
    void browse();
    void storePosition();

    Loader& m_ld;
    FormHost& m_host;
    FileDialog& m_dialog;
    WindowOperations m_ops;
    FormState* m_state = nullptr;  // null once the window has been unloaded
    std::function<void()> m_ownerOnChanged;
    bool m_showingState = false;
    QPointer<QWidget> m_focusBeforeOperation;
    QPoint m_restoredPos{-1, -1};  // where the stored position put the window, in pixels
    // The dialog's file name: the last one chosen, kept for the window's life.
    std::string m_dialogFileName;

    QLabel* m_lblGeneric[3] = {};
    QLineEdit* m_txtFilename = nullptr;
    QLineEdit* m_txtPort = nullptr;
    QLineEdit* m_txtBaud = nullptr;
    OptionCheckBox* m_chkUseBreakReset = nullptr;
    OptionCheckBox* m_chkDensePacking = nullptr;
    OptionCheckBox* m_chkWriteEeprom = nullptr;
    QPushButton* m_btnBrowse = nullptr;
    QProgressBar* m_barProgress = nullptr;
    QPushButton* m_btnFind = nullptr;
    QPushButton* m_btnIdentify = nullptr;
    QPushButton* m_btnDownload = nullptr;
    QPushButton* m_btnShutdown = nullptr;
    QPushButton* m_btnReBoot = nullptr;
    QPushButton* m_btnClosePort = nullptr;
};

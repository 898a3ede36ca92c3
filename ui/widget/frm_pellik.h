// frmPellik in window mode: a fixed-size widget that shows and edits the window's model and
// runs the operations behind its buttons.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "loader/loader.h"
#include "loader/operations.h"
#include "platform/file_dialog.h"
#include "ui/window_model.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class OptionCheckBox;

class FrmPellik : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;

    // Loads the model, so the stored settings are in the controls before the window shows; ops
    // are the operations behind the five operation buttons.
    FrmPellik(Loader& ld, WindowModel& model, FileDialog& dialog, const Operations& ops = RealOperations(),
              QWidget* parent = nullptr);
    ~FrmPellik() override;

    // Closes the window as its close button does, or, while an operation runs, as soon as it ends:
    // how a logout, kill or Ctrl-C in the launching terminal ends the program.
    void closeWhenIdle();

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
    void runOperation(const std::function<void(Loader&)>& operation);
    void browse();
    void storePosition();
    // Moves the window to its stored place, or centres it on the primary screen when that place
    // would leave its title bar off every screen.
    void restorePosition();

    Loader& m_ld;
    WindowModel& m_model;
    FileDialog& m_dialog;
    Operations m_ops;
    WindowState* m_state = nullptr;  // null once the window has been unloaded
    std::function<void()> m_ownerOnChanged;
    bool m_showingState = false;
    bool m_closeWhenIdle = false;
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

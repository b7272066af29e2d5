#pragma once

#include <QDialog>

class AutomaticCopies;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// File > Automatic Copies: the folder the inventory is copied into (a USB
// drive, or a folder a sync service carries off the house), whether copies
// are made by themselves, when the last verified copy was made, and "Copy
// Now". Every choice is kept at once in the settings of this inventory.
// Modeless, one at a time, deleted when closed.
class frmCopies : public QDialog {
    Q_OBJECT
public:
    // Creates the window, owned by mainWindow, or brings the open one forward.
    static frmCopies *showCopies(AutomaticCopies &copies, QWidget *mainWindow);
    static frmCopies *instance();
    ~frmCopies() override;

    // Handlers (public so that tests can call them as the events would).
    void cmdBrowse_Click();
    void chkEnabled_Click();
    void cmdCopyNow_Click();

    QLineEdit *txtFolder;
    QPushButton *cmdBrowse;
    QCheckBox *chkEnabled;
    QLabel *lblLastVerified;
    QLabel *lblEncryption;
    QLabel *lblStatus;
    QPushButton *cmdCopyNow;
    QPushButton *cmdClose;

private:
    frmCopies(AutomaticCopies &copies, QWidget *mainWindow);
    void showSettings();
    void copyStarted();
    void copyFinished();

    AutomaticCopies &m_copies;
    bool m_askedNow = false; // the copy under way was asked for with Copy Now
};

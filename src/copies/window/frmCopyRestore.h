#pragma once

#include "copies/CopyPlace.h"
#include "copies/CopyStore.h"

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QThread;
class QTreeWidget;

// File > Restore from Copy: the versions in a copies folder (when made, item
// count, total value, whether they read as verified), and the chosen one
// restored into a new folder with the copies' verified restore (everything
// checked before anything is written, a hidden folder renamed into place),
// then offered to be opened in a Stowbook of its own. The inventory that is
// open is never touched. Modeless, one at a time, deleted when closed.
class frmCopyRestore : public QDialog {
    Q_OBJECT
public:
    // Opens a restored data folder: a new Stowbook on it, unless a test
    // sets its own.
    using Opener = std::function<void(const QString &dataFolder)>;
    static void setOpener(Opener opener);

    // Creates the window on the copies folder chosen for dataFolder (if
    // any), owned by mainWindow, or brings the open one forward.
    static frmCopyRestore *showRestore(const QString &dataFolder, QWidget *mainWindow);
    static frmCopyRestore *instance();
    ~frmCopyRestore() override;

    // Handlers (public so that tests can call them as the events would).
    void cmdBrowse_Click();
    void cmdRestore_Click();
    // Lists the versions of the copies folder.
    void listVersions(const QString &copiesFolder);
    // Whether a restore is under way.
    bool isRestoring() const { return m_thread != nullptr; }

    QLineEdit *txtFolder;
    QPushButton *cmdBrowse;
    QTreeWidget *lstVersions;
    QLabel *lblStatus;
    QPushButton *cmdRestore;
    QPushButton *cmdClose;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmCopyRestore(const QString &dataFolder, QWidget *mainWindow);
    void restoreEnded();

    struct Listed {
        CopyPlace place;
        FoundVersion version;
    };
    QString m_dataFolder;
    QList<Listed> m_listed;
    QThread *m_thread = nullptr;
    // Of the restore under way; read after its thread ended.
    QString m_target;
    QString m_versionName;
    std::optional<CopyManifest> m_restored;
    QString m_failure;
};

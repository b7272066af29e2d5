#pragma once

#include "backup/BackupWriter.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

class Household;
class QPushButton;
class QThread;
class QTimer;

// One backup made from the File menu: written on a thread of its own, so
// the windows stay usable meanwhile, with a progress window that can cancel
// it. Owned by the main window; destroying it cancels a backup under way
// and waits for its thread.
class BackupRun : public QObject, private BackupProgress {
    Q_OBJECT
public:
    // What writes the archive on the run's thread: writeBackup, or a test's
    // stand-in around it.
    using Writer =
        std::function<BackupSummary(const QString &dataFolder, const QString &zipPath, BackupProgress *progress)>;

    BackupRun(const QString &dataFolder, const QString &zipPath, QWidget *mainWindow, Writer writer = writeBackup);
    ~BackupRun() override;

    // The run under way, or nullptr; one at a time.
    static BackupRun *current();
    bool isRunning() const;
    // Asks the backup to stop; it ends as cancelled, unless the archive is
    // already complete and being saved (finishing()), which nothing stops.
    void cancel() { m_cancel = true; }
    bool isFinishing() const { return m_finishing.load(); }
    const QString &zipPath() const { return m_zipPath; }
    // Whether a file of the backup's name was there when it began.
    bool replacesFile() const { return m_replacesFile; }

    // After finished(): the summary of a backup written, or the reason it
    // was not.
    const std::optional<BackupSummary> &summary() const { return m_summary; }
    const QString &failure() const { return m_failure; }
    bool wasCancelled() const { return m_cancelled; }

    QProgressDialog *progressWindow() const { return m_dialog; }
    QPushButton *cancelButton() const { return m_cancelButton; }

signals:
    // The backup ended, written or not; what it says has been told.
    void finished();

private:
    void stage(const QString &text) override;
    void progress(double fraction) override;
    bool cancelled() override { return m_cancel.load(); }
    void finishing(const QString &text) override;
    void showProgress();
    void end();

    QString m_zipPath;
    QThread *m_thread = nullptr;
    bool m_replacesFile = false;
    QPointer<QProgressDialog> m_dialog;
    QPointer<QPushButton> m_cancelButton;
    QTimer *m_timer = nullptr;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_permille{0};
    std::atomic<bool> m_finishing{false};
    bool m_shownFinishing = false;
    QString m_stage; // guarded by being written before m_stageSerial
    std::atomic<int> m_stageSerial{0};
    int m_shownStage = 0;
    std::optional<BackupSummary> m_summary;
    QString m_failure;
    bool m_cancelled = false;
};

// File > "&Back Up Inventory...": asks where to write the backup of the
// household's data folder (and whether to replace an existing file), then
// starts it. Returns the run, or nullptr when the user chose no file or a
// backup is already under way.
BackupRun *BackUpInventory(const Household &household, QWidget *mainWindow);

// Before the program ends: when a backup is being written, asks whether to
// stop it, and stops it on Yes. False when the user wants it to go on (the
// program must not end). A backup already being saved is not asked about:
// it is complete in a moment, and ending the program waits for it.
bool StopBackupBeforeExit();

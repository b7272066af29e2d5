#pragma once

#include "copies/CopyWriter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <optional>

class QThread;

// One copy of a data folder's inventory made on a thread of its own, which
// reads the inventory through connections of its own: the windows stay
// usable and the household's connection is never shared. When a verified
// copy exists at the end (made, or the newest version found unchanged),
// the settings note when, and the data folder's state as it was when the
// copy began, so a change made meanwhile is still due for the next copy.
// Destroying a run under way cancels it and waits for its thread.
class CopyRun : public QObject {
    Q_OBJECT
public:
    CopyRun(const QString &dataFolder, const QString &copiesFolder, CopyClock clock, QObject *parent = nullptr);
    ~CopyRun() override;
    CopyRun(const CopyRun &) = delete;
    CopyRun &operator=(const CopyRun &) = delete;

    // Starts the copy once; later calls do nothing.
    void start();
    // Asks the copy to stop at its next file; it ends as cancelled and
    // leaves the copies folder as it was.
    void cancel() { m_cancel = true; }
    // From start() until finished() was sent.
    bool isRunning() const { return m_thread && !m_ended; }
    const QString &copiesFolder() const { return m_copiesFolder; }

    // While it runs: the photos and documents looked at, of how many.
    qsizetype filesDone() const { return m_done.load(); }
    qsizetype filesTotal() const { return m_total.load(); }

    // After finished(): what was made, or why nothing was.
    const std::optional<CopyResult> &result() const { return m_result; }
    const QString &failure() const { return m_failure; }
    bool wasCancelled() const { return m_cancelled; }

signals:
    void finished();

private:
    void end();

    QString m_dataFolder;
    QString m_copiesFolder;
    CopyClock m_clock;
    QByteArray m_stamp;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    std::atomic<qsizetype> m_done{0};
    std::atomic<qsizetype> m_total{0};
    // Written by the thread, read after it ended.
    std::optional<CopyResult> m_result;
    QString m_failure;
    bool m_cancelled = false;
    bool m_ended = false;
};

// The text a person reads of a version: "12 items worth $1,234.00".
QString versionFigures(const CopyManifest &manifest);

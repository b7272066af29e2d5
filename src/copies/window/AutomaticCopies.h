#pragma once

#include "copies/CopyWriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class CopyRun;
class QProgressDialog;
class QTimer;

// The copies that make themselves while the program runs, for the data
// folder of one household: at start-up, the once-a-day word that copies
// stopped and the copy a cancelled close left to do; while it runs, a copy
// after IdleMinutes without a write. Every copy runs on a thread of its own
// (CopyRun) and fails without holding anything up: the failure is kept for
// the copies window, and the start-up word says when copies stop for long.
class AutomaticCopies : public QObject {
    Q_OBJECT
public:
    static constexpr int IdleMinutes = 10;

    explicit AutomaticCopies(const QString &dataFolder, QObject *parent = nullptr);
    ~AutomaticCopies() override;

    // The clock of every automatic copy, its idle time and the start-up
    // word: the system's, unless a test sets its own (an empty one: the
    // system's again).
    static void setClock(CopyClock clock);
    static QDateTime now();

    // Tells the user (through the prompts, once a day) when copies stopped,
    // and starts a copy when the data folder changed since the last one.
    void atStart();
    // What the minute's timer does: notes a write, and starts a copy once
    // the data folder has been left alone for IdleMinutes since it changed.
    void tick();
    // Starts a copy into the chosen copies folder now, unless one is under
    // way (then that one is returned) or no folder is chosen (nullptr).
    CopyRun *copyNow();
    // The copy under way, or nullptr.
    CopyRun *running() const;
    // Why the last copy of this run failed; empty when it did not.
    const QString &lastProblem() const { return m_lastProblem; }
    // What the last copy of this run did, for a person to read.
    const QString &lastOutcome() const { return m_lastOutcome; }
    const QString &dataFolder() const { return m_dataFolder; }

signals:
    void copyStarted();
    void copyFinished();

private:
    void finishRun();

    QString m_dataFolder;
    QTimer *m_timer = nullptr;
    std::unique_ptr<CopyRun> m_run;
    QByteArray m_seenStamp;
    QDateTime m_seenChange;
    QString m_lastProblem;
    QString m_lastOutcome;
};

// The copy made when the program ends and the data folder changed since the
// last copy (copies switched on, a folder chosen). It outlives the main
// window: the windows close at once, and after a second of work a small
// window says that a copy is being finished, with Cancel (the next start
// makes it then). The program ends when the copy ends.
class ClosingCopy : public QObject {
    Q_OBJECT
public:
    // Starts the copy for the data folder when one is due, and returns it;
    // nullptr when none is (the caller ends the program itself).
    static ClosingCopy *startIfDue(const QString &dataFolder);
    // The closing copy under way or ended, until it is destroyed.
    static ClosingCopy *current();
    ~ClosingCopy() override;

    CopyRun &run() const { return *m_run; }
    // Shown after the first second; nullptr before.
    QProgressDialog *progressWindow() const;
    // The progress window, at once.
    void showProgress();

signals:
    void ended();

private:
    ClosingCopy(const QString &dataFolder, const QString &copiesFolder);
    void end();
    void update();

    std::unique_ptr<CopyRun> m_run;
    QPointer<QProgressDialog> m_window;
    QTimer *m_timer = nullptr;
};

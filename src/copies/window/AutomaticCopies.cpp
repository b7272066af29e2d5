#include "copies/window/AutomaticCopies.h"

#include "copies/CopyReminder.h"
#include "copies/CopySettings.h"
#include "copies/CopySource.h"
#include "copies/window/CopyRun.h"
#include "program/Prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

CopyClock &clockSeam()
{
    static CopyClock clock;
    return clock;
}

ClosingCopy *closingCopy = nullptr;

const QString CopiesCaption = QStringLiteral("Automatic Copies");

bool folderThere(const CopySettings &copies)
{
    return copies.enabled && !copies.folder.isEmpty() && QFileInfo(copies.folder).isDir();
}

} // namespace

AutomaticCopies::AutomaticCopies(const QString &dataFolder, QObject *parent)
    : QObject(parent)
    , m_dataFolder(dataFolder)
    , m_timer(new QTimer(this))
{
    m_seenStamp = sourceStamp(m_dataFolder);
    m_seenChange = now();
    m_timer->setInterval(60 * 1000);
    connect(m_timer, &QTimer::timeout, this, &AutomaticCopies::tick);
    m_timer->start();
}

AutomaticCopies::~AutomaticCopies() = default;

void AutomaticCopies::setClock(CopyClock clock)
{
    clockSeam() = std::move(clock);
}

QDateTime AutomaticCopies::now()
{
    return clockSeam() ? clockSeam()().toUTC() : QDateTime::currentDateTimeUtc();
}

void AutomaticCopies::atStart()
{
    const CopySettings copies = readCopySettings(m_dataFolder);
    const QDateTime at = now();
    if (const std::optional<QString> word = copiesReminder(copies, at)) {
        noteCopiesWarning(m_dataFolder, at.toLocalTime().date());
        prompts().message(*word, Prompts::Buttons::Ok, Prompts::Icon::Exclamation, CopiesCaption);
    }
    // A copy the last run left undone (cancelled at its end, or the
    // program killed), or changes made by another program.
    if (folderThere(copies) && sourceStamp(m_dataFolder) != copies.copiedStamp)
        copyNow();
}

void AutomaticCopies::tick()
{
    const QByteArray stamp = sourceStamp(m_dataFolder);
    const QDateTime at = now();
    if (stamp != m_seenStamp) {
        m_seenStamp = stamp;
        m_seenChange = at;
        return;
    }
    if (running() || m_seenChange.secsTo(at) < qint64(IdleMinutes) * 60)
        return;
    const CopySettings copies = readCopySettings(m_dataFolder);
    if (folderThere(copies) && stamp != copies.copiedStamp)
        copyNow();
}

CopyRun *AutomaticCopies::copyNow()
{
    if (CopyRun *run = running())
        return run;
    const CopySettings copies = readCopySettings(m_dataFolder);
    if (copies.folder.isEmpty())
        return nullptr;
    m_run = std::make_unique<CopyRun>(m_dataFolder, copies.folder, [] { return now(); });
    connect(m_run.get(), &CopyRun::finished, this, &AutomaticCopies::finishRun);
    m_run->start();
    emit copyStarted();
    return m_run.get();
}

CopyRun *AutomaticCopies::running() const
{
    return m_run && m_run->isRunning() ? m_run.get() : nullptr;
}

void AutomaticCopies::finishRun()
{
    m_lastProblem = m_run->result() || m_run->wasCancelled() ? QString() : m_run->failure();
    if (const std::optional<CopyResult> &result = m_run->result()) {
        const QString copies = QDir::toNativeSeparators(m_run->copiesFolder());
        m_lastOutcome = result->made
            ? QStringLiteral("Version %1 was made in %2, read back and verified: %3.")
                  .arg(result->version, copies, versionFigures(result->manifest))
            : QStringLiteral("Nothing changed since version %1 in %2, which stays the newest copy: %3.")
                  .arg(result->version, copies, versionFigures(result->manifest));
    } else {
        m_lastOutcome = m_run->failure();
    }
    // A copy that failed is tried again only after another quiet spell, so
    // a full drive is not written to every minute.
    if (!m_lastProblem.isEmpty())
        m_seenChange = now();
    emit copyFinished();
}

ClosingCopy *ClosingCopy::startIfDue(const QString &dataFolder)
{
    const CopySettings copies = readCopySettings(dataFolder);
    if (!folderThere(copies) || sourceStamp(dataFolder) == copies.copiedStamp)
        return nullptr;
    delete closingCopy;
    closingCopy = new ClosingCopy(dataFolder, copies.folder);
    return closingCopy;
}

ClosingCopy *ClosingCopy::current()
{
    return closingCopy;
}

ClosingCopy::ClosingCopy(const QString &dataFolder, const QString &copiesFolder)
    : QObject(QCoreApplication::instance())
    , m_run(std::make_unique<CopyRun>(dataFolder, copiesFolder, [] { return AutomaticCopies::now(); }))
    , m_timer(new QTimer(this))
{
    // The main window is gone; the program ends when the copy does.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(m_run.get(), &CopyRun::finished, this, &ClosingCopy::end);
    m_timer->setInterval(200);
    connect(m_timer, &QTimer::timeout, this, &ClosingCopy::update);
    m_run->start();
    // Only the database changed: done within about a second, unseen.
    QTimer::singleShot(1000, this, [this] {
        if (m_run->isRunning())
            showProgress();
    });
}

ClosingCopy::~ClosingCopy()
{
    delete m_window;
    if (closingCopy == this)
        closingCopy = nullptr;
}

QProgressDialog *ClosingCopy::progressWindow() const
{
    return m_window;
}

void ClosingCopy::showProgress()
{
    if (m_window || !m_run->isRunning())
        return;
    m_window = new QProgressDialog(
        QStringLiteral("Stowbook is copying your inventory into %1 before it ends, because it changed since the last "
                       "copy.\n\nCancel stops the copy; Stowbook then makes it the next time it starts.")
            .arg(QDir::toNativeSeparators(m_run->copiesFolder())),
        QStringLiteral("Cancel"), 0, 0);
    m_window->setObjectName(QStringLiteral("frmClosingCopy"));
    m_window->setWindowTitle(QStringLiteral("Stowbook: Finishing a Copy"));
    m_window->setAutoClose(false);
    m_window->setAutoReset(false);
    m_window->setMinimumDuration(0);
    if (auto *cancel = m_window->findChild<QPushButton *>())
        cancel->setAccessibleName(QStringLiteral("Cancel the copy"));
    connect(m_window, &QProgressDialog::canceled, this, [this] {
        m_run->cancel();
        if (m_window)
            m_window->setLabelText(QStringLiteral("Stopping the copy..."));
    });
    m_window->show();
    m_timer->start();
}

void ClosingCopy::update()
{
    if (!m_window)
        return;
    const qsizetype total = m_run->filesTotal();
    if (total > 0) {
        // One step more than the files: the copy is read back and checked
        // after the last one, and the bar is not full before that is done.
        m_window->setMaximum(int(std::min<qsizetype>(total + 1, 1'000'000'000)));
        m_window->setValue(int(std::min<qsizetype>(m_run->filesDone(), 1'000'000'000 - 1)));
    }
}

void ClosingCopy::end()
{
    m_timer->stop();
    // Someone is watching the window: a failure is told. Unseen, it is not
    // (nobody may be there); the start-up word says when copies stop.
    if (m_window && !m_run->result() && !m_run->wasCancelled())
        prompts().message(m_run->failure(), Prompts::Buttons::Ok, Prompts::Icon::Exclamation, CopiesCaption);
    if (m_window)
        m_window->hide();
    QGuiApplication::setQuitOnLastWindowClosed(true);
    emit ended();
    QCoreApplication::quit();
}

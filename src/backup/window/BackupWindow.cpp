#include "backup/window/BackupWindow.h"

#include "backup/BackupError.h"
#include "data/DbError.h"
#include "dates/LocaleFormats.h"
#include "program/ConfirmReplaceFile.h"
#include "program/CountText.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <new>

namespace {

QPointer<BackupRun> s_current;
QMutex s_stageLock;

const QString BackupTitle = QStringLiteral("Back Up Inventory");

QString FinishingText()
{
    return QStringLiteral("Saving the backup to the disk...");
}

} // namespace

BackupRun::BackupRun(const QString &dataFolder, const QString &zipPath, QWidget *mainWindow, Writer writer)
    : QObject(mainWindow)
    , m_zipPath(zipPath)
    , m_replacesFile(QFileInfo::exists(zipPath))
{
    s_current = this;
    m_dialog = new QProgressDialog(QStringLiteral("Backing up the inventory..."), QString(), 0, 1000, mainWindow);
    m_dialog->setWindowTitle(BackupTitle);
    m_cancelButton = new QPushButton(QStringLiteral("&Cancel"), m_dialog);
    m_dialog->setCancelButton(m_cancelButton);
    // Wide enough for the title beside the frame's own buttons, and for the
    // longest stage, so neither is cut nor the window jumps as they change.
    const QFontMetrics metrics = m_dialog->fontMetrics();
    int textWidth = metrics.horizontalAdvance(BackupTitle) * 6 / 5 + 160;
    for (const QString &stage : {QStringLiteral("Writing the pictures and files..."), FinishingText()})
        textWidth = std::max(textWidth, metrics.horizontalAdvance(stage) + 40);
    m_dialog->setMinimumWidth(textWidth);
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setValue(0);
    connect(m_dialog, &QProgressDialog::canceled, this, &BackupRun::cancel);

    m_thread = QThread::create([this, dataFolder, zipPath, writer = std::move(writer)] {
        // An exception that left this thread would end the program, and
        // with it whatever is being typed in the other windows.
        const auto failed = [&zipPath](const QString &why) {
            return QStringLiteral("The backup %1 could not be written: %2").arg(QDir::toNativeSeparators(zipPath), why);
        };
        try {
            m_summary = writer(dataFolder, zipPath, this);
        } catch (const BackupError &error) {
            m_failure = error.message();
        } catch (const std::bad_alloc &) {
            m_failure = failed(QStringLiteral("out of memory"));
        } catch (const DbError &error) {
            m_failure = failed(QStringLiteral("%1  %2").arg(error.number()).arg(error.text()));
        } catch (const std::exception &error) {
            m_failure = failed(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            m_failure = failed(QStringLiteral("an unexpected error"));
        }
    });
    connect(m_thread, &QThread::finished, this, &BackupRun::end);
    m_timer = new QTimer(this);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &BackupRun::showProgress);
    m_timer->start();
    m_thread->start();
    m_dialog->show();
}

BackupRun::~BackupRun()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
    delete m_dialog;
}

BackupRun *BackupRun::current()
{
    return s_current;
}

bool BackupRun::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void BackupRun::stage(const QString &text)
{
    const QMutexLocker locker(&s_stageLock);
    m_stage = text;
    ++m_stageSerial;
}

void BackupRun::finishing(const QString &text)
{
    stage(text);
    m_finishing = true;
}

void BackupRun::progress(double fraction)
{
    m_permille = int(std::clamp(fraction, 0.0, 1.0) * 1000);
}

void BackupRun::showProgress()
{
    if (!m_dialog)
        return;
    if (m_stageSerial.load() != m_shownStage) {
        const QMutexLocker locker(&s_stageLock);
        m_shownStage = m_stageSerial.load();
        m_dialog->setLabelText(m_stage + QStringLiteral("..."));
    }
    if (m_finishing.load()) {
        // Nothing stops it now, and no count says how long the disk takes:
        // the bar only shows that the work goes on.
        if (!m_shownFinishing) {
            m_shownFinishing = true;
            if (m_cancelButton)
                m_cancelButton->setEnabled(false);
            m_dialog->setRange(0, 0);
        }
        return;
    }
    m_dialog->setValue(m_permille.load());
}

void BackupRun::end()
{
    m_timer->stop();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    if (m_dialog)
        m_dialog->hide();
    // A cancel asked for once the archive was being saved stopped nothing:
    // what happened after it is told as it was.
    m_cancelled = !m_summary && m_cancel.load() && !m_finishing.load();
    if (m_summary) {
        const BackupSummary &done = *m_summary;
        QString text =
            QStringLiteral("The inventory was backed up to %1.\n\n%2 worth %3, %4 and %5; %6 MB.")
                .arg(QDir::toNativeSeparators(m_zipPath),
                     countText(done.manifest.itemCount, QStringLiteral("item"), QStringLiteral("items")),
                     formatCurrency(done.manifest.totalValue),
                     countText(done.pictures, QStringLiteral("picture"), QStringLiteral("pictures")),
                     countText(done.reportFiles, QStringLiteral("report file"), QStringLiteral("report files")),
                     QLocale().toString(double(done.archiveBytes) / (1024 * 1024), 'f', 1));
        if (!done.skipped.isEmpty())
            text += QStringLiteral("\n\nLeft out (links, or names a backup cannot hold): ")
                + done.skipped.join(QStringLiteral(", "));
        prompts().message(text, Prompts::Buttons::Ok, Prompts::Icon::Information, ProgramTitle);
    } else if (m_cancelled) {
        const QString none = QStringLiteral("The backup was cancelled. No backup was made");
        prompts().message(m_replacesFile ? none
                                  + QStringLiteral("; %1 is kept as it was.").arg(QDir::toNativeSeparators(m_zipPath))
                                         : none + u'.',
                          Prompts::Buttons::Ok, Prompts::Icon::Information, ProgramTitle);
    } else {
        prompts().message(m_failure, Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
    }
    emit finished();
}

BackupRun *BackUpInventory(const Household &household, QWidget *mainWindow)
{
    if (BackupRun *running = BackupRun::current(); running && running->isRunning()) {
        if (running->progressWindow()) {
            running->progressWindow()->show();
            running->progressWindow()->raise();
        }
        return nullptr;
    }
    Prompts::FileDialog dialog;
    dialog.title = BackupTitle;
    dialog.filter = QStringLiteral("Backup Files (*.zip)|*.zip|All Files (*.*)|*.*");
    dialog.fileName = QStringLiteral("Stowbook backup %1.zip").arg(QDate::currentDate().toString(Qt::ISODate));
    dialog.initialFolder = QDir::homePath();
    dialog.defaultSuffix = QStringLiteral("zip");
    const std::optional<QString> chosen = prompts().saveFileName(dialog);
    if (!chosen || chosen->isEmpty())
        return nullptr;
    if (!ConfirmReplaceFile(*chosen))
        return nullptr;
    // An earlier run's object goes once a new one starts.
    if (BackupRun *earlier = BackupRun::current())
        earlier->deleteLater();
    return new BackupRun(household.DataFolder(), *chosen, mainWindow);
}

bool StopBackupBeforeExit()
{
    BackupRun *running = BackupRun::current();
    if (!running || !running->isRunning() || running->isFinishing())
        return true;
    QString text = QStringLiteral("A backup of the inventory is being written to %1.\n\nStop it and exit? No backup "
                                  "is made then")
                       .arg(QDir::toNativeSeparators(running->zipPath()));
    text += running->replacesFile() ? QStringLiteral(", and the file there is kept as it was.") : QStringLiteral(".");
    if (prompts().message(text, Prompts::Buttons::YesNo, Prompts::Icon::Question, BackupTitle) != Prompts::Answer::Yes)
        return false;
    running->cancel();
    return true;
}

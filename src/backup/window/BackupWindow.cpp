#include "backup/window/BackupWindow.h"

#include "backup/BackupError.h"
#include "data/DbError.h"
#include "dates/LocaleFormats.h"
#include "program/ConfirmReplaceFile.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <exception>
#include <new>

namespace {

QPointer<BackupRun> s_current;
QMutex s_stageLock;

} // namespace

BackupRun::BackupRun(const QString &dataFolder, const QString &zipPath, QWidget *mainWindow, Writer writer)
    : QObject(mainWindow)
    , m_zipPath(zipPath)
{
    s_current = this;
    m_dialog = new QProgressDialog(QStringLiteral("Backing up the inventory..."), QStringLiteral("&Cancel"), 0, 1000,
                                   mainWindow);
    m_dialog->setWindowTitle(QStringLiteral("Back Up Inventory"));
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
    m_cancelled = !m_summary && m_cancel.load();
    if (m_summary) {
        const BackupSummary &done = *m_summary;
        QString text = QStringLiteral("The inventory was backed up to %1.\n\n%2 items worth %3, %4 pictures and %5 "
                                      "report files; %6 MB.")
                           .arg(QDir::toNativeSeparators(m_zipPath))
                           .arg(done.manifest.itemCount)
                           .arg(formatCurrency(done.manifest.totalValue))
                           .arg(done.pictures)
                           .arg(done.reportFiles)
                           .arg(QLocale().toString(double(done.archiveBytes) / (1024 * 1024), 'f', 1));
        if (!done.skipped.isEmpty())
            text += QStringLiteral("\n\nLeft out (links, or names a backup cannot hold): ")
                + done.skipped.join(QStringLiteral(", "));
        prompts().message(text, Prompts::Buttons::Ok, Prompts::Icon::Information, ProgramTitle);
    } else if (!m_cancelled) {
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
    dialog.title = QStringLiteral("Back Up Inventory");
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

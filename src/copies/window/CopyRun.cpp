#include "copies/window/CopyRun.h"

#include "copies/CopyError.h"
#include "copies/CopySettings.h"
#include "copies/CopySource.h"
#include "dates/LocaleFormats.h"
#include "program/CountText.h"
#include "program/Household.h"

#include <QThread>

CopyRun::CopyRun(const QString &dataFolder, const QString &copiesFolder, CopyClock clock, QObject *parent)
    : QObject(parent)
    , m_dataFolder(dataFolder)
    , m_copiesFolder(copiesFolder)
    , m_clock(std::move(clock))
{
}

CopyRun::~CopyRun()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void CopyRun::start()
{
    if (m_thread)
        return;
    // Before the copy reads anything: what changes while it works is
    // still a change for the next one.
    m_stamp = sourceStamp(m_dataFolder);
    m_thread = QThread::create([this] {
        CopyControl control;
        control.cancelled = [this] { return m_cancel.load(); };
        control.progress = [this](qsizetype done, qsizetype total) {
            m_total = total;
            m_done = done;
        };
        try {
            // A household of its own: the copy opens its own connections to
            // the databases and shares nothing with the windows' one.
            const Household household(m_dataFolder);
            m_result = makeCopy(household, m_copiesFolder, m_clock, control);
        } catch (const CopyCancelled &error) {
            m_cancelled = true;
            m_failure = error.message();
        } catch (const CopyError &error) {
            m_failure = error.message();
        } catch (const std::exception &error) {
            // Whatever else stopped it (memory, a library) is told as the
            // copy's failure; the windows go on as before.
            m_failure = QStringLiteral("No copy was made: %1").arg(QString::fromLocal8Bit(error.what()));
        }
    });
    connect(m_thread, &QThread::finished, this, &CopyRun::end);
    m_thread->start(QThread::LowPriority);
}

void CopyRun::end()
{
    m_thread->wait();
    m_ended = true;
    if (m_result) {
        noteVerifiedCopy(m_dataFolder, m_clock ? m_clock() : QDateTime::currentDateTimeUtc());
        noteCopiedStamp(m_dataFolder, m_stamp);
    }
    emit finished();
}

QString versionFigures(const CopyManifest &manifest)
{
    return QStringLiteral("%1 worth %2")
        .arg(countText(manifest.contents.itemCount, QStringLiteral("item"), QStringLiteral("items")),
             formatCurrency(manifest.contents.totalValue));
}

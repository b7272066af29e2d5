#include "HelperProcess.h"

#include "HelperRoles.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <stdexcept>

namespace {
// Generous: only a helper that hangs ever waits this long.
constexpr int LongestWaitMs = 120000;
} // namespace

HelperProcess::HelperProcess(const QString &role, const QMap<QString, QString> &settings)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(HelperRoleVariable), role);
    for (auto it = settings.begin(); it != settings.end(); ++it)
        env.insert(it.key(), it.value());
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QCoreApplication::applicationFilePath(), {});
    if (!m_process.waitForStarted(LongestWaitMs))
        throw std::runtime_error("the helper program did not start");
}

HelperProcess::~HelperProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(LongestWaitMs)) {
        m_process.kill();
        m_process.waitForFinished(LongestWaitMs);
    }
}

void HelperProcess::send(const QByteArray &line)
{
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(LongestWaitMs);
}

std::optional<QByteArray> HelperProcess::nextLine()
{
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning || !m_process.waitForReadyRead(LongestWaitMs)) {
            if (m_process.canReadLine())
                break;
            return std::nullopt;
        }
    }
    return m_process.readLine().chopped(1);
}

QList<QByteArray> HelperProcess::takeCompleteLines()
{
    QList<QByteArray> lines;
    while (m_process.canReadLine())
        lines << m_process.readLine().chopped(1);
    return lines;
}

QList<QByteArray> HelperProcess::availableLines()
{
    while (m_process.waitForReadyRead(0)) {
    }
    return takeCompleteLines();
}

QList<QByteArray> HelperProcess::killAndCollect()
{
    m_process.kill();
    m_process.waitForFinished(LongestWaitMs);
    return takeCompleteLines();
}

QList<QByteArray> HelperProcess::finish()
{
    m_process.closeWriteChannel();
    m_process.waitForFinished(LongestWaitMs);
    return takeCompleteLines();
}

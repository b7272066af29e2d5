#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <optional>

// This test program started again in a helper role (see HelperRoles.h),
// talked to through its standard input and output, one line at a time.
class HelperProcess {
public:
    // settings become environment variables of the helper (names as given).
    HelperProcess(const QString &role, const QMap<QString, QString> &settings);
    ~HelperProcess(); // closes its input and waits; kills it when it does not end
    HelperProcess(const HelperProcess &) = delete;
    HelperProcess &operator=(const HelperProcess &) = delete;

    void send(const QByteArray &line);
    // The next line the helper printed, without its line end; nothing when
    // the helper ended before printing one (a part line is dropped then).
    std::optional<QByteArray> nextLine();
    // Every complete line printed so far and not yet taken, without waiting.
    QList<QByteArray> availableLines();
    // Ends the helper with SIGKILL at once and takes the complete lines it
    // printed before it died (writes it had already acknowledged).
    QList<QByteArray> killAndCollect();
    // Waits for the helper to end by itself; its last complete lines.
    QList<QByteArray> finish();
    int exitCode() const { return m_process.exitCode(); }
    bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }

private:
    QList<QByteArray> takeCompleteLines();
    QProcess m_process;
};

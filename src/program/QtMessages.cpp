#include "program/QtMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace {

// Nothing of ours passes through Qt's messages: every message of our
// programs is written to stdout or stderr straight, so what arrives here is
// Qt's own. Qt says as warnings (and as debug and info notes) what it
// noticed about the machine and then worked around: "QStandardPaths:
// XDG_RUNTIME_DIR not set, defaulting to ..." on every run as root or from
// cron, the offscreen platform's and the fonts' notes. A user can do nothing
// about them, under cron each becomes mail, and in a script they read as a
// failure of ours; they are dropped. Qt raises what it cannot work around to
// a critical message, or to a fatal one when it ends the program (no
// platform plugin, for one): those are printed as Qt prints them, so the
// user learns why a program stopped.
void onlyProblems(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg)
        return;
    const QByteArray line = qFormatLogMessage(type, context, message).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void showOnlyQtProblems()
{
    qInstallMessageHandler(onlyProblems);
}

#include "BenchProgram.h"

#include <QString>
#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

void onlyProblems(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

void showOnlyQtProblems()
{
    qInstallMessageHandler(onlyProblems);
}

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what);
        std::exit(1);
    }
}

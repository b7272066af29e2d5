#include "ProgramRun.h"

#include "TestDataFolder.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <sys/resource.h>

ProgramResult runProgram(const QString &name, const QStringList &arguments, const QStringList &environment)
{
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    settings.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const QString &setting : environment)
        settings.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    QProcess process;
    process.setProcessEnvironment(settings);
    // A program that Qt ends on purpose leaves no core file in the build.
    process.setChildProcessModifier([] {
        const rlimit none{0, 0};
        setrlimit(RLIMIT_CORE, &none);
    });
    process.start(buildDir() + u'/' + name, arguments);
    ProgramResult run;
    const bool finished = process.waitForFinished(120000);
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    if (!finished || process.exitStatus() != QProcess::NormalExit)
        run.err += "\n(did not run to its end: " + process.errorString().toUtf8() + ')';
    else
        run.exitCode = process.exitCode();
    return run;
}

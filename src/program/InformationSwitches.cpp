#include "program/InformationSwitches.h"

#include "program/BuildInfo.h"
#include "program/CommandLine.h"
#include "program/QtMessages.h"

#include <cstdio>

std::optional<QString> informationRequested(const QStringList &arguments, const QString &program, const QString &usage)
{
    const QString option = soleOption({QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
                                       QCommandLineOption(QStringLiteral("version"))},
                                      arguments);
    if (option == u"help")
        return usage.endsWith(u'\n') ? usage : usage + u'\n';
    if (option == u"version")
        return program + u' ' + ProgramVersion + u'\n';
    return std::nullopt;
}

std::optional<int> answerInformationRequest(int argc, char **argv, const QString &program, const QString &usage)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional<QString> text = informationRequested(arguments, program, usage);
    if (!text)
        return std::nullopt;
    // The answer is all a terminal shows.
    showOnlyQtProblems();
    const QByteArray bytes = text->toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
    return written ? 0 : 1;
}

#include "program/CommandLine.h"

#include <QCommandLineParser>

QString commandLineText(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

QString dataFolderFromCommandLine(const QString &commandLine, const QString &currentDirectory)
{
    QString folder;
    const qsizetype hyphen = commandLine.indexOf(QStringLiteral("-d"), 0, Qt::CaseSensitive);
    if (hyphen >= 0)
        folder = commandLine.mid(hyphen + 3); // skips "-d" and one separator character
    else
        folder = currentDirectory;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QList<CommandLineWord> readCommandLine(const QList<QCommandLineOption> &options, const QStringList &arguments)
{
    using Kind = CommandLineWord::Kind;
    QCommandLineParser parser;
    parser.addOptions(options);
    const auto declared = [&options](const QString &name) -> const QCommandLineOption & {
        for (const QCommandLineOption &option : options) {
            if (option.names().contains(name))
                return option;
        }
        Q_UNREACHABLE();
    };

    // Each word is read on its own by the parser, which says what it is.
    // Its two rules that reach across words are followed here: a value the
    // word lacks is the next word, whatever that is, and after "--" every
    // word is an argument.
    QList<CommandLineWord> words;
    bool onlyArguments = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &text = arguments[i];
        if (onlyArguments) {
            words.append({Kind::Argument, text, {}, {}});
            continue;
        }
        // The parser skips the first word as the program's name.
        const bool parsed = parser.parse({QString(), text});
        if (!parser.unknownOptionNames().isEmpty()) {
            words.append({Kind::Unknown, text, {}, {}});
            continue;
        }
        if (!parser.positionalArguments().isEmpty()) {
            words.append({Kind::Argument, text, {}, {}});
            continue;
        }
        const QStringList found = parser.optionNames();
        if (found.isEmpty()) { // "--"
            onlyArguments = true;
            continue;
        }
        QList<CommandLineWord> named;
        bool valueFollows = false;
        for (const QString &name : found) {
            const QCommandLineOption &option = declared(name);
            CommandLineWord word{Kind::Option, text, option.names().constLast(), {}};
            if (!option.valueName().isEmpty()) {
                const QStringList values = parser.values(name);
                if (values.isEmpty())
                    valueFollows = true;
                else
                    word.value = values.constFirst();
            }
            named.append(word);
        }
        if (!parsed && !valueFollows) {
            // The parser refused a value written to an option that takes none.
            words.append({Kind::Unknown, text, {}, {}});
            continue;
        }
        if (valueFollows && i + 1 < arguments.size())
            named.last().value = arguments[++i];
        words.append(named);
    }
    return words;
}

QString soleOption(const QList<QCommandLineOption> &options, const QStringList &arguments)
{
    if (arguments.size() != 1)
        return {};
    const QList<CommandLineWord> words = readCommandLine(options, arguments);
    if (words.size() != 1 || words.first().kind != CommandLineWord::Kind::Option)
        return {};
    return words.first().option;
}

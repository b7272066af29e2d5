#include "program/Prompts.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <cstdio>

namespace {
Prompts *g_prompts = nullptr;
}

Prompts &prompts()
{
    if (!g_prompts) {
        // A program or test that forgot to install its prompts would otherwise
        // crash on the first message; fail loudly instead.
        std::fputs("Stowbook: no prompts installed\n", stderr);
        std::abort();
    }
    return *g_prompts;
}

void setPrompts(Prompts *prompts)
{
    g_prompts = prompts;
}

QString toQtFileFilter(const QString &filter)
{
    // A name that already shows its patterns, "Text Files (*.txt)", would
    // show them twice. Its parenthesised list gives way to the patterns as
    // the dialog reads them (blank-separated: "*.bmp,*.dib" would be one
    // pattern matching nothing), so each label shows its patterns once.
    static const QRegularExpression shown(QStringLiteral("^(.*?)\\s*\\(([^()]*)\\)$"));
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        QString name = parts[i].trimmed();
        const QRegularExpressionMatch match = shown.match(name);
        if (match.hasMatch()) {
            const QStringList listed = match.captured(2).split(separators, Qt::SkipEmptyParts);
            const QStringList real = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (QSet<QString>(listed.begin(), listed.end()) == QSet<QString>(real.begin(), real.end()))
                name = match.captured(1);
        }
        out << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return out.join(QStringLiteral(";;"));
}

#include "app/Prompts.h"

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
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.simplified());
    }
    return out.join(QStringLiteral(";;"));
}

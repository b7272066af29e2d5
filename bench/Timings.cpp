#include "Timings.h"

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>

double Timing::medianMs() const
{
    if (runsMs.empty())
        return 0;
    std::vector<double> sorted = runsMs;
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

Timing timeRuns(const QString &name, double targetMs, int runs, const std::function<void()> &prepare,
                const std::function<void()> &operation)
{
    Timing timing{name, targetMs, {}};
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        operation();
        timing.runsMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return timing;
}

QString timingTable(const std::vector<Timing> &timings)
{
    QStringList lines;
    auto row = [](const QString &a, const QString &b, const QString &c, const QString &d, const QString &e,
                  const QString &f, const QString &g) {
        return QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
            .arg(a, -16)
            .arg(b, 10)
            .arg(c, 10)
            .arg(d, 10)
            .arg(e, 10)
            .arg(f, 5)
            .arg(g);
    };
    lines << row(QStringLiteral("operation"), QStringLiteral("median"), QStringLiteral("fastest"),
                 QStringLiteral("slowest"), QStringLiteral("target"), QStringLiteral("runs"), QStringLiteral(""));
    auto ms = [](double value) { return QString::number(value, 'f', 2) + QStringLiteral(" ms"); };
    for (const Timing &t : timings) {
        const auto [fastest, slowest] = std::minmax_element(t.runsMs.begin(), t.runsMs.end());
        lines << row(t.name, ms(t.medianMs()), ms(*fastest), ms(*slowest), QStringLiteral("<= %1 ms").arg(t.targetMs),
                     QString::number(t.runsMs.size()),
                     t.medianMs() <= t.targetMs ? QStringLiteral("ok") : QStringLiteral("MISSED"));
    }
    return lines.join(QLatin1Char('\n'));
}

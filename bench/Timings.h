#pragma once

#include <QString>
#include <functional>
#include <vector>

// Runs an operation several times and keeps the duration of each run.
struct Timing {
    QString name;
    double targetMs = 0;
    std::vector<double> runsMs;
    double medianMs() const;
};

// prepare runs untimed before each run (putting the window where the run
// should start); operation is the part that is timed.
Timing timeRuns(const QString &name, double targetMs, int runs, const std::function<void()> &prepare,
                const std::function<void()> &operation);

// One table: operation, median, fastest, slowest, target and whether the
// median meets it.
QString timingTable(const std::vector<Timing> &timings);

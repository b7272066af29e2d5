#pragma once

#include "ReportFixture.h"

#include "reports/ReportRun.h"

#include <QByteArray>
#include <QStringList>
#include <QVariant>

// A report file's lines over a small fixed inventory that the fixture
// inserts; the household's inventory database is open.
class RunTest : public ReportTest {
protected:
    RunTest();

    // Three items in two categories and two locations, one item with
    // neither, one with no purchase price; names that need HTML escaping.
    void addFixedInventory();
    // An item with only a description and a total value.
    void addItem(const QString &item, const QVariant &totvalue = QVariant());

public:
    // Lines of a report over fields (specids in column order): widths 1
    // inch, nothing hidden or totalled, no criteria, sorted by description.
    static QStringList reportLines(const QList<int> &fields, const QString &destination = QStringLiteral("1"));
    // Sets item specid of a per-field line (12 = SelTrue ... 22 = currency).
    static void setItem(QStringList &lines, int line, int specid, const QString &value);

protected:
    // Runs the lines as a report file to a text (kind "txt") or HTML
    // ("htm") file in the folder; the file's bytes, or empty when none.
    QByteArray runToFile(const QStringList &lines, const QString &kind, ReportOutcome *outcome = nullptr);
    QString outputPath(const QString &kind) const { return folder.file(QStringLiteral("out.") + kind); }
};

// Money for a decimal text.
QVariant money(const char *decimalText);

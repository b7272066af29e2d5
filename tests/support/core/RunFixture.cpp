#include "RunFixture.h"

#include "data/Money.h"
#include "reports/ReportFileOutput.h"

#include <QFile>

QVariant money(const char *decimalText)
{
    return QVariant::fromValue(*Money::fromDecimalText(QString::fromLatin1(decimalText)));
}

RunTest::RunTest()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    household.openInventory();
}

void RunTest::addFixedInventory()
{
    Database &db = household.inventory();
    db.execute(QStringLiteral("delete from items; delete from categories; delete from locations"));
    db.execute(
        QStringLiteral("insert into categories (catid, catDesc) values (1, 'Electronics'), (2, 'Tools & Garden')"));
    db.execute(
        QStringLiteral("insert into locations (locid, locDesc) values (1, 'Living Room'), (2, 'Garage <back>')"));
    const QString insert = QStringLiteral(
        "insert into items (Item, manufact, purchdate, purchprice, quantity, totvalue, receipt, catid, locid) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    db.execute(insert,
               {QStringLiteral("Television"), QStringLiteral("Vistar"), QStringLiteral("2019-03-15"), money("499.99"),
                1, money("350"), 1, 1, 1});
    db.execute(insert,
               {QStringLiteral("Cordless Drill"), QStringLiteral("Brand \"B\""), QStringLiteral("2021-11-02"),
                QVariant(), 2, money("80.5"), 0, 2, 2});
    db.execute(insert,
               {QStringLiteral("Arc Lamp"), QVariant(), QVariant(), money("0.01"), 3, money("45.25"), QVariant(),
                QVariant(), QVariant()});
}

void RunTest::addItem(const QString &item, const QVariant &totvalue)
{
    household.inventory().execute(QStringLiteral("insert into items (Item, totvalue) values (?, ?)"), {item, totvalue});
}

QStringList RunTest::reportLines(const QList<int> &fields, const QString &destination)
{
    QStringList lines = validReportLines();
    lines[2] = destination;
    lines[7] = QStringLiteral(" 1");
    QStringList ids;
    for (const int id : fields)
        ids << QString::number(id);
    lines[9] = QString::number(fields.size());
    lines[10] = ids.join(QLatin1Char(';'));
    lines[18] = perFieldItems(QStringLiteral("1"));
    lines[21] = perFieldItems(QStringLiteral("0"));
    return lines;
}

void RunTest::setItem(QStringList &lines, int line, int specid, const QString &value)
{
    QStringList items = lines[line - 1].split(QLatin1Char(';'));
    items[specid - 1] = value;
    lines[line - 1] = items.join(QLatin1Char(';'));
}

QByteArray RunTest::runToFile(const QStringList &lines, const QString &kind, ReportOutcome *outcome)
{
    const QString report = putFile(QStringLiteral("test.srp"), reportFileBytesOf(lines));
    const QString path = outputPath(kind);
    const ReportOutcome result =
        runReportFile(household, report, [&](const LoadedReport &) -> std::unique_ptr<ReportOutput> {
            if (kind == u"htm")
                return std::make_unique<HtmlReportWriter>(household, path);
            return std::make_unique<TextReportWriter>(household, path);
        });
    if (outcome)
        *outcome = result;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

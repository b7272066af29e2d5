#include "ClaimFixture.h"

#include "data/Database.h"
#include "data/Inventory.h"

#include <QFile>
#include <QProcess>

namespace {

struct RunnerRun {
    int exitCode = -1;
    QString err;
};

RunnerRun runReadiness(const QString &folder, const QString &output)
{
    QProcess process;
    process.start(buildDir() + QStringLiteral("/stowbook-report"),
                  {QStringLiteral("-d"), folder, QStringLiteral("readiness"), output});
    RunnerRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitCode();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The readiness list from the command line: PDF pages, or a CSV file of the
// items that fall short with a column for each way; other forms refused.
TEST_F(ClaimTest, TheRunnerWritesTheReadinessListAsPdfOrCsv)
{
    auto db = Database::open(household.DataFolder() + InventoryFileName);
    db->execute(QStringLiteral("delete from items"));
    db->execute(QStringLiteral("insert into categories (catDesc) values ('Gadget Electronics')"));
    db->execute(QStringLiteral("insert into items (iteid, Item, serno, totvalue, receipt, catid) values "
                               "(7, 'Phone, \"new\"', '', 650.5, 0, (select max(catid) from categories)), "
                               "(8, 'Rug', '', 90, 0, null)"));
    db.reset();
    putFile(household.itemFiles().folder() + QStringLiteral("00000008.png"), photo(4, 3));

    const QString csv = folderPath() + QStringLiteral("ready.csv");
    RunnerRun run = runReadiness(folderPath(), csv);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(contents(csv),
              QByteArray("\xEF\xBB\xBF"
                         "ID,Description,Category,Location,Total Value,No photo,No value,"
                         "No serial number,No receipt\r\n"
                         "7,\"Phone, \"\"new\"\"\",Gadget Electronics,,650.5,Yes,No,Yes,Yes\r\n"));

    const QString pdf = folderPath() + QStringLiteral("ready.pdf");
    run = runReadiness(folderPath(), pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(contents(pdf).startsWith("%PDF-"));

    const QString text = folderPath() + QStringLiteral("ready.txt");
    run = runReadiness(folderPath(), text);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("PDF (.pdf) or CSV file (.csv)"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(text));

    Database::open(household.DataFolder() + InventoryFileName)->execute(QStringLiteral("delete from items"));
    QFile::remove(csv);
    run = runReadiness(folderPath(), csv);
    EXPECT_EQ(run.exitCode, 4) << "no items, nothing written";
    EXPECT_FALSE(QFile::exists(csv));
}

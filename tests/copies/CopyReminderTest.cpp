// When copies are due and when the user hears that they stopped: the data
// folder's fingerprint, which says whether anything was written since the
// last copy, and the once-a-day word at start-up.
#include "copies/CopyReminder.h"
#include "CopiesFixture.h"
#include "copies/CopySource.h"
#include "data/Database.h"
#include "data/Inventory.h"

#include <QDir>
#include <QFile>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

// Each kind of change a copy keeps moves the fingerprint; opening and
// closing the inventory as the program does, writing nothing, does not
// (else every start would make a copy).
TEST_F(CopiesTest, TheFingerprintMovesWithEveryChangeACopyKeeps)
{
    m_household->openInventory();
    m_household->openItems();
    m_household->closeInventory();
    QByteArray before = sourceStamp(dataFolder());
    EXPECT_EQ(sourceStamp(dataFolder()), before);

    m_household->openInventory();
    m_household->openItems();
    EXPECT_EQ(sourceStamp(dataFolder()), before) << "opened, nothing written";
    m_household->closeInventory();
    EXPECT_EQ(sourceStamp(dataFolder()), before) << "closed, nothing written";

    struct Row {
        const char *change;
        std::function<void()> make;
    };
    const Row rows[] = {
        {"a price typed", [this] { setFirstPrice(12345); }},
        {"a photo added", [this] { writeItemFile(QStringLiteral("00000001-00000907.jpg"), QByteArray(100, 'p')); }},
        {"a report file saved", [this] { writeFile(dataFolder() + QStringLiteral("mine.srp"), "report"); }},
        {"the claimant details written", [this] { writeFile(dataFolder() + ClaimantFileName, "{}"); }},
        {"a write left in the log by a program still running",
         [this] {
             m_household->openInventory();
             m_household->inventory().execute(QStringLiteral("update items set notes = 'x' where iteid = "
                                                             "(select min(iteid) from items)"));
         }},
    };
    for (const Row &row : rows) {
        row.make();
        const QByteArray after = sourceStamp(dataFolder());
        EXPECT_NE(after, before) << row.change;
        before = after;
    }
    m_household->closeInventory();
}

// The word at start-up, by what the settings and the folder say. Days are
// local; the tests run in UTC.
TEST_F(CopiesTest, CopiesThatStoppedAreToldOnceADay)
{
    const QDateTime now(QDate(2026, 3, 10), QTime(12, 0), Qt::UTC);
    const QString there = copiesFolder();
    const QString gone = copiesFolder() + QStringLiteral("/unplugged");
    struct Row {
        const char *name;
        bool enabled;
        QString folder;
        QDateTime lastVerified;
        QDate warnedOn;
        const char *expected; // the start of the word; nullptr: none
    };
    const Row rows[] = {
        {"copies off: nothing, even with the folder gone", false, gone, {}, {}, nullptr},
        {"no folder chosen: nothing to say about it", true, QString(), {}, {}, nullptr},
        {"a copy six days old", true, there, now.addDays(-6), {}, nullptr},
        {"exactly seven days old is not older", true, there, now.addDays(-7), {}, nullptr},
        {"eight days old", true, there, now.addDays(-8), {}, "The last verified copy of your inventory was made on"},
        {"never a verified copy", true, there, {}, {}, "No verified copy of your inventory has been made yet."},
        {"the drive unplugged, whatever the age",
         true,
         gone,
         now.addSecs(-3600),
         {},
         "Stowbook cannot find the copies folder"},
        {"told today already", true, gone, now.addDays(-9), now.date(), nullptr},
        {"told yesterday", true, gone, now.addDays(-9), now.date().addDays(-1),
         "Stowbook cannot find the copies folder"},
    };
    for (const Row &row : rows) {
        CopySettings copies;
        copies.enabled = row.enabled;
        copies.folder = row.folder;
        copies.lastVerified = row.lastVerified;
        copies.warnedOn = row.warnedOn;
        const std::optional<QString> word = copiesReminder(copies, now);
        if (!row.expected) {
            EXPECT_FALSE(word.has_value()) << row.name << ": " << word.value_or(QString()).toStdString();
            continue;
        }
        ASSERT_TRUE(word.has_value()) << row.name;
        EXPECT_TRUE(word->startsWith(QString::fromUtf8(row.expected))) << row.name << ": " << word->toStdString();
        // Every word says what to do about it.
        EXPECT_TRUE(word->contains(QStringLiteral("File > Automatic Copies"))) << row.name;
    }
}

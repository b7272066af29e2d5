// stowbook-setup --copy, --verify and --restore of a copies folder, as a
// scheduler or a person runs them; and the copy killed at random points,
// its folder filling up or vanishing half-way, with the program run as a
// child that a library of the test's own stops at a chosen point.
#include "CopiesFixture.h"
#include "FolderContents.h"
#include "copies/CopyCheck.h"
#include "copies/CopySettings.h"
#include "copies/CopyStore.h"
#include "copies/StagedFile.h"
#include "data/Inventory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <random>

namespace {

struct SetupRun {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

class CopyProgramTest : public CopiesTest {
protected:
    void SetUp() override
    {
        CopiesTest::SetUp();
        ASSERT_TRUE(m_config.isValid());
        // The child reads its settings where XDG_CONFIG_HOME says; this
        // process writes them there too, never in the user's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    // stowbook-setup with arguments; fault: the fault library's settings.
    SetupRun setup(const QStringList &arguments, const QMap<QString, QString> &fault = {}) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        if (!fault.isEmpty()) {
            environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(STOWBOOK_FAULT_LIBRARY));
            // A sanitizer build's runtime would insist on coming first.
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS"))
                                   + QStringLiteral(":verify_asan_link_order=0"));
            environment.insert(QStringLiteral("STOWBOOK_FAULT_DIR"), QDir(copiesFolder()).canonicalPath());
            for (auto setting = fault.begin(); setting != fault.end(); ++setting)
                environment.insert(setting.key(), setting.value());
        }
        process.setProcessEnvironment(environment);
        process.start(buildDir() + QStringLiteral("/stowbook-setup"), arguments);
        SetupRun run;
        if (!process.waitForFinished(120000)) {
            run.err = QStringLiteral("did not finish: ") + process.errorString();
            return run;
        }
        run.crashed = process.exitStatus() == QProcess::CrashExit;
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    SetupRun copyCommand(const QMap<QString, QString> &fault = {}) const
    {
        return setup({QStringLiteral("--copy"), dataFolder(), QStringLiteral("--to"), copiesFolder()}, fault);
    }

    // How many points a copy of the inventory as it is now passes.
    long pointsOfACopy() const
    {
        // Counted on a copy of the copies folder, so the real one is not
        // changed by counting.
        const SetupRun counted = copyCommand({{QStringLiteral("STOWBOOK_FAULT"), QStringLiteral("count")}});
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("fault points: (\\d+)")).match(counted.err);
        return match.hasMatch() ? match.captured(1).toLong() : -1;
    }

    // Whatever happened, the copies hold only whole files under final names:
    // every version verifies, every stored file is what its name says.
    void expectCopiesWhole(const QString &when) const
    {
        const CopiesCheck check = checkCopies(place());
        for (const VersionCheck &version : check.versions) {
            EXPECT_TRUE(version.sound()) << when.toStdString() << ": " << version.version.name.toStdString() << " "
                                         << version.problems.join(u' ').toStdString();
        }
        const QDir files(place().filesFolder());
        for (const QString &folder : files.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QDir stored(files.filePath(folder));
            for (const QString &name : stored.entryList(QDir::Files)) {
                const std::optional<FileDigest> digest = digestOf(stored.filePath(name), nullptr);
                ASSERT_TRUE(digest.has_value());
                EXPECT_EQ(QString::fromLatin1(digest->sha256), name) << when.toStdString();
            }
        }
    }

    QTemporaryDir m_config;
};

QString oldestVersion(const CopyPlace &place)
{
    return findVersions(place).first().name;
}

} // namespace

TEST_F(CopyProgramTest, CopiesFromTheSettingsVerifiesAndRestoresWithPlainExitCodes)
{
    const SetupRun unset = setup({QStringLiteral("--copy"), dataFolder()});
    EXPECT_EQ(unset.exitCode, 1);
    EXPECT_TRUE(unset.err.contains(QStringLiteral("no copies folder is chosen"))) << unset.err.toStdString();

    const SetupRun missing = setup({QStringLiteral("--copy"), dataFolder(), QStringLiteral("--to"), scratch("usb")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("is not there"))) << missing.err.toStdString();

    const SetupRun first = copyCommand();
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("read back and verified"))) << first.out.toStdString();
    const QString firstDump = databaseDump(dataFolder() + InventoryFileName);

    // The folder chosen in the program's settings serves a scheduler.
    writeCopySettings(dataFolder(), switchedOn(copiesFolder()));
    const SetupRun unchanged = setup({QStringLiteral("--copy"), dataFolder()});
    EXPECT_EQ(unchanged.exitCode, 0) << unchanged.err.toStdString();
    EXPECT_TRUE(unchanged.out.contains(QStringLiteral("has not changed"))) << unchanged.out.toStdString();
    EXPECT_TRUE(readCopySettings(dataFolder()).lastVerified.isValid());
    setFirstPrice(31415);
    const SetupRun second = setup({QStringLiteral("--copy"), dataFolder()});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    ASSERT_EQ(versionNames().size(), 2);

    const SetupRun sound = setup({QStringLiteral("--verify"), copiesFolder()});
    EXPECT_EQ(sound.exitCode, 0) << sound.err.toStdString();
    EXPECT_TRUE(sound.out.contains(QStringLiteral("Every version and every stored file is sound")));

    // The newest inventory damaged: named by --verify, refused by restore,
    // the older version restores.
    const QString newest = versionNames().last();
    flipByte(place().versionFolder(newest) + QStringLiteral("/stowbook.db"), -200);
    const SetupRun damaged = setup({QStringLiteral("--verify"), copiesFolder()});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(newest + QStringLiteral(" in "))) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("\"stowbook.db\""))) << damaged.err.toStdString();
    EXPECT_FALSE(damaged.err.contains(oldestVersion(place()) + QStringLiteral(" in "))) << damaged.err.toStdString();

    const SetupRun refused = setup({QStringLiteral("--restore"), copiesFolder(), scratch("new")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("nothing was changed"))) << refused.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(scratch("new")));
    const SetupRun restored = setup({QStringLiteral("--restore"), copiesFolder(), scratch("old"),
                                     QStringLiteral("--version"), oldestVersion(place())});
    ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    EXPECT_EQ(databaseDump(scratch("old") + u'/' + InventoryFileName), firstDump);

    const SetupRun noSuch = setup({QStringLiteral("--restore"), copiesFolder(), scratch("none"),
                                   QStringLiteral("--version"), QStringLiteral("1999-01-01")});
    EXPECT_EQ(noSuch.exitCode, 1);
    EXPECT_TRUE(noSuch.err.contains(QStringLiteral("holds no version 1999-01-01"))) << noSuch.err.toStdString();
}

// A version pinned from the command line outlives what the retention keeps,
// with the photos only it refers to; unpinned, the next copy lets it go.
TEST_F(CopyProgramTest, APinnedVersionIsKeptUntilUnpinned)
{
    ASSERT_TRUE(copy().made);
    const QString first = versionNames().first();
    writeItemFile(QStringLiteral("00000001-00000909.jpg"), QByteArray(5000, 'o'));
    now = now.addSecs(3600);
    ASSERT_TRUE(copy().made);
    QFile::remove(dataFolder() + ImagesFolderName + QStringLiteral("/00000001-00000909.jpg"));

    const SetupRun pinned = setup({QStringLiteral("--pin"), copiesFolder(), now.date().toString(Qt::ISODate)});
    ASSERT_EQ(pinned.exitCode, 0) << pinned.err.toStdString();
    const QString second = versionNames().last();
    EXPECT_TRUE(pinned.out.contains(QStringLiteral("Version %1 in ").arg(second))) << pinned.out.toStdString();
    EXPECT_TRUE(findVersions(place()).last().pinned);

    // Two months on, daily changes: the retention alone would keep neither
    // of those two versions of one day (a month's newest is another).
    for (int day = 1; day <= 60; ++day) {
        now = now.addDays(1);
        setFirstPrice(1000 + day);
        ASSERT_TRUE(copy().made) << day;
    }
    QStringList kept = versionNames();
    EXPECT_FALSE(kept.contains(first));
    ASSERT_TRUE(kept.contains(second));
    EXPECT_TRUE(checkVersion(place(), findVersions(place())[kept.indexOf(second)]).isEmpty())
        << "whole, with the photo only it refers to";

    const SetupRun unknown = setup({QStringLiteral("--pin"), copiesFolder(), QStringLiteral("1999-01-01")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("1999-01-01"))) << unknown.err.toStdString();

    const SetupRun unpinned = setup({QStringLiteral("--unpin"), copiesFolder(), second});
    ASSERT_EQ(unpinned.exitCode, 0) << unpinned.err.toStdString();
    now = now.addDays(1);
    setFirstPrice(99);
    ASSERT_TRUE(copy().made);
    EXPECT_FALSE(versionNames().contains(second));
    expectCopiesWhole(QStringLiteral("after the unpinned version went"));
}

// A copy into another folder than the one chosen in the program does not
// count as that folder's copy: its warning and its next copy still come.
TEST_F(CopyProgramTest, ACopyElsewhereIsNotNotedAsTheChosenFoldersCopy)
{
    const QString chosen = scratch(QStringLiteral("usb"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    writeCopySettings(dataFolder(), switchedOn(chosen));
    const SetupRun elsewhere = copyCommand();
    ASSERT_EQ(elsewhere.exitCode, 0) << elsewhere.err.toStdString();
    EXPECT_FALSE(readCopySettings(dataFolder()).lastVerified.isValid());
    EXPECT_TRUE(readCopySettings(dataFolder()).copiedStamp.isEmpty());

    const SetupRun there = setup({QStringLiteral("--copy"), dataFolder(), QStringLiteral("--to"), chosen});
    ASSERT_EQ(there.exitCode, 0) << there.err.toStdString();
    EXPECT_TRUE(readCopySettings(dataFolder()).lastVerified.isValid());
    EXPECT_FALSE(readCopySettings(dataFolder()).copiedStamp.isEmpty());
}

// Killed at 50 random points of a copy: the copies only ever hold whole
// files under their names, every version there verifies, and the next copy
// completes and clears what the killed ones left.
TEST_F(CopyProgramTest, KilledAtRandomPointsFiftyTimes)
{
    ASSERT_EQ(copyCommand().exitCode, 0);
    std::mt19937 random(25);
    int crashed = 0;
    for (int round = 0; round < 50; ++round) {
        setFirstPrice(1000 + round);
        if (round % 5 == 0)
            writeItemFile(QStringLiteral("00000005-%1.png").arg(round + 1, 8, 10, QLatin1Char('0')),
                          QByteArray(200000 + round, char('a' + round % 26)));
        const qsizetype before = versionNames().size();
        const long points = pointsOfACopy();
        ASSERT_GT(points, 5);
        // Counting made the copy; one more change gives the next something to do.
        setFirstPrice(5000 + round);
        const long at = std::uniform_int_distribution<long>(1, points)(random);
        const SetupRun killed = copyCommand({{QStringLiteral("STOWBOOK_FAULT"), QStringLiteral("kill")},
                                             {QStringLiteral("STOWBOOK_FAULT_AT"), QString::number(at)}});
        crashed += killed.crashed ? 1 : 0;
        EXPECT_LE(versionNames().size(), before + 2) << round;
        expectCopiesWhole(QStringLiteral("round %1, killed at point %2 of %3").arg(round).arg(at).arg(points));
    }
    EXPECT_GE(crashed, 40); // the points of one copy are nearly those of the next
    const SetupRun next = copyCommand();
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    expectCopiesWhole(QStringLiteral("after the kills"));
    EXPECT_TRUE(QDir(place().folder())
                    .entryList({StagingPrefix + u'*', RetiringPrefix + u'*'}, QDir::Dirs | QDir::Hidden)
                    .isEmpty());
    EXPECT_TRUE(checkCopies(place()).sound());
}

// The copies folder filling up or vanishing half-way: exit code 1 with a
// message, the inventory as it was, earlier versions whole, and the next
// copy (with room, with the folder back) completes.
TEST_F(CopyProgramTest, AFullOrVanishingCopiesFolderLeavesEverythingWhole)
{
    ASSERT_EQ(copyCommand().exitCode, 0);
    const QString folder = QDir(copiesFolder()).canonicalPath();
    const QString gone = folder + QStringLiteral(".gone");
    for (const char *mode : {"full", "vanish"}) {
        for (const double part : {0.2, 0.5, 0.9}) {
            const QString what = QStringLiteral("%1 at %2").arg(QLatin1String(mode)).arg(part);
            setFirstPrice(qint64(part * 1000) + (QLatin1String(mode) == QLatin1String("full") ? 1 : 2));
            writeItemFile(QStringLiteral("00000006-%1.png").arg(int(part * 100), 8, 10, QLatin1Char('0')),
                          QByteArray(300000, char(part * 100)));
            const long points = pointsOfACopy();
            setFirstPrice(qint64(part * 1000) + 7);
            const QString dump = databaseDump(dataFolder() + InventoryFileName);
            const QStringList versions = versionNames();
            const SetupRun failed =
                copyCommand({{QStringLiteral("STOWBOOK_FAULT"), QLatin1String(mode)},
                             {QStringLiteral("STOWBOOK_FAULT_AT"), QString::number(long(points * part))}});
            if (QFileInfo::exists(gone)) {
                ASSERT_TRUE(QDir().rename(gone, folder)) << what.toStdString();
            }
            EXPECT_EQ(databaseDump(dataFolder() + InventoryFileName), dump) << what.toStdString();
            // Late enough, the version was made and checked before the
            // fault, and only the upkeep after it met the fault: that copy
            // is made, and says so.
            if (failed.exitCode == 0) {
                EXPECT_EQ(versionNames().size(), versions.size() + 1) << what.toStdString();
            } else {
                EXPECT_EQ(failed.exitCode, 1) << what.toStdString() << failed.out.toStdString();
                EXPECT_TRUE(failed.err.startsWith(QStringLiteral("stowbook-setup: "))) << what.toStdString();
                EXPECT_EQ(versionNames(), versions) << what.toStdString() << failed.err.toStdString();
            }
            expectCopiesWhole(what);
            const SetupRun next = copyCommand();
            EXPECT_EQ(next.exitCode, 0) << what.toStdString() << next.err.toStdString();
            expectCopiesWhole(what + QStringLiteral(", then copied"));
        }
    }
}

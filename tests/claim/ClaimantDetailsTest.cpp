#include "claim/ClaimantDetails.h"
#include "FileSizeLimit.h"
#include "RootOverride.h"
#include "data/Inventory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

// The details come back exactly, in any script and with line breaks; a
// damaged file gives empty details and the reason; a failed write keeps the
// old file.
TEST(ClaimantDetails, AreKeptExactlyAndAFailureLosesNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QString problem = QStringLiteral("stale");
    EXPECT_EQ(readClaimantDetails(folder, &problem), ClaimantDetails()) << "no file yet";
    EXPECT_TRUE(problem.isEmpty());

    const ClaimantDetails details{QStringLiteral("Zoë 陳 \"Quote\" %d"), QStringLiteral("1 Rue\r\nParis\n"),
                                  QStringLiteral("{policy}"), DateValue::fromDate(QDate(1999, 12, 31)),
                                  QStringLiteral("<b>flood</b>\n\tcellar")};
    QString error;
    ASSERT_TRUE(writeClaimantDetails(folder, details, &error)) << error.toStdString();
    EXPECT_EQ(readClaimantDetails(folder, &problem), details);
    EXPECT_TRUE(problem.isEmpty());

    struct Row {
        const char *name;
        QByteArray bytes;
        const char *problem;
    };
    const Row rows[] = {
        {"not JSON", "{\"name\": ", "not readable JSON"},
        {"not an object", "[1, 2]", "not readable JSON"},
        {"a date that is none", "{\"name\": \"A\", \"dateOfLoss\": \"2025-02-30\"}", "is not a date"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile file(folder + ClaimantFileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.bytes);
        file.close();
        const ClaimantDetails read = readClaimantDetails(folder, &problem);
        EXPECT_TRUE(read.dateOfLoss.isZero());
        EXPECT_TRUE(problem.contains(QLatin1String(row.problem))) << problem.toStdString();
    }

    // A folder that cannot take the file: the old one stays as it was.
    ASSERT_TRUE(writeClaimantDetails(folder, details, &error));
    const QByteArray before = [&] {
        QFile f(folder + ClaimantFileName);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    ClaimantDetails changed = details;
    changed.name = QStringLiteral("Someone else");
    bool written = true;
    {
        const PermissionsEnforced enforced;
        ASSERT_TRUE(enforced.holds());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        written = writeClaimantDetails(folder, changed, &error);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    QFile f(folder + ClaimantFileName);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// A disk that fills up while the details are written: refused with the
// system's reason, and the details kept before are there, whole.
TEST(ClaimantDetails, ADiskThatFillsUpKeepsTheDetailsKeptBefore)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + u'/';
    ASSERT_TRUE(writeClaimantDetails(folder, ClaimantDetails{QStringLiteral("Ada"), {}, {}, {}, {}}));
    QFile kept(folder + ClaimantFileName);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QByteArray before = kept.readAll();
    kept.close();

    QString error;
    bool written = true;
    {
        const FileSizeLimit full(16);
        written = writeClaimantDetails(folder, ClaimantDetails{QStringLiteral("Someone else"), {}, {}, {}, {}}, &error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{ClaimantFileName});
}

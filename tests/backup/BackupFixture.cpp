#include "BackupFixture.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "data/Recordset.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <sys/stat.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray pictureBytes(const char *format, QColor colour)
{
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

} // namespace

void BackupTest::SetUp()
{
    SetupOptions options;
    options.demo = true;
    m_data = std::make_unique<TestDataFolder>(options);
    ASSERT_TRUE(m_scratch.isValid());
    const QString images = dataFolder() + ImagesFolderName + QLatin1Char('/');
    writeFile(images + QStringLiteral("00000003.jpg"), pictureBytes("JPG", Qt::darkCyan));
    writeFile(images + QStringLiteral("00000004.png"), pictureBytes("PNG", Qt::magenta));
    writeFile(dataFolder() + QStringLiteral("Σαλόνι και κουζίνα.rpt"), QByteArray("items\r\nrooms\r\n"));
    writeFile(dataFolder() + ClaimantFileName,
              QStringLiteral("{\"name\": \"Ada Lovelace\", \"address\": \"12 Ørsted Road\"}").toUtf8());
}

int modeOf(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

QStringList tableRows(const QString &databasePath, const QString &table)
{
    QStringList rows;
    auto db = Database::open(databasePath);
    auto rs = db->openRecordset(QStringLiteral("select * from %1 order by 1").arg(table), RecordsetType::Snapshot);
    if (rs->recordCount() == 0)
        return rows;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        QStringList cells;
        for (int column = 0; column < rs->columnNames().size(); ++column)
            cells << rs->value(column).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

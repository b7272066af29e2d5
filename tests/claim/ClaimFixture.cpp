#include "ClaimFixture.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

void ClaimTest::SetUp()
{
    SetupOptions options;
    options.demo = true;
    m_folder = std::make_unique<TestDataFolder>(options);
    setPrompts(&prompts);
    household.setDataFolder(m_folder->path());
    household.openInventory();
}

void ClaimTest::TearDown()
{
    household.closeInventory();
    setPrompts(nullptr);
}

qint64 ClaimTest::addItem(const QVariantMap &columns)
{
    auto db = Database::open(household.DataFolder() + InventoryFileName);
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        names << it.key();
        marks << QStringLiteral("?");
        values << it.value();
    }
    db->execute(QStringLiteral("insert into items (%1) values (%2)").arg(names.join(u','), marks.join(u',')), values);
    return db->scalar(QStringLiteral("select max(iteid) from items")).toLongLong();
}

QByteArray ClaimTest::photo(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::green);
    for (int y = 0; y < height / 4; ++y)
        for (int x = 0; x < width / 4; ++x)
            picture.setPixelColor(x, y, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", 90);
    return bytes;
}

void ClaimTest::putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

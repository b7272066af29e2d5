#include "itemlist/ItemTextsReader.h"

#include "data/Database.h"
#include "data/DbError.h"

ItemTextsReader::ItemTextsReader(const QString &inventoryPath, std::vector<qint64> keys) : m_keys(std::move(keys))
{
    m_reading = std::async(std::launch::async, [this, inventoryPath] {
        const std::unique_ptr<Database> own = Database::open(inventoryPath);
        return ItemTexts::read(*own, m_keys, &m_stop);
    });
}

ItemTextsReader::~ItemTextsReader()
{
    m_stop = true;
    if (m_reading.valid())
        m_reading.wait();
}

bool ItemTextsReader::readsBeside(Database &db)
{
    return db.mode() == OpenMode::Shared
        && db.scalar(QStringLiteral("PRAGMA journal_mode")).toString().compare(u"wal", Qt::CaseInsensitive) == 0;
}

std::shared_ptr<const ItemTexts> ItemTextsReader::take(Database &db)
{
    if (m_texts)
        return m_texts;
    if (!m_reading.valid()) {
        // Its result was taken already and reading it again here failed.
        m_texts = std::make_shared<const ItemTexts>(ItemTexts::read(db, m_keys));
        return m_texts;
    }
    try {
        m_texts = std::make_shared<const ItemTexts>(m_reading.get());
    } catch (const DbError &) {
        // Read again here: the error that counts is the one this connection meets.
        m_texts = std::make_shared<const ItemTexts>(ItemTexts::read(db, m_keys));
    }
    return m_texts;
}

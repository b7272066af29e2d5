#pragma once

#include "itemlist/ItemTexts.h"

#include <QString>
#include <atomic>
#include <future>
#include <memory>
#include <vector>

class Database;

// The texts the item list searches, read on another thread through a
// connection of its own while the list is looked at, so that the first
// keystroke of a search need not wait for every item's texts. Only for an
// inventory in write-ahead-log mode, where a reader never holds up a
// writer: the main form's Update goes on while the texts are read.
class ItemTextsReader {
public:
    // Starts reading the texts of keys (ascending) from the database file.
    ItemTextsReader(const QString &inventoryPath, std::vector<qint64> keys);
    // Stops the reading and waits for its end.
    ~ItemTextsReader();
    ItemTextsReader(const ItemTextsReader &) = delete;
    ItemTextsReader &operator=(const ItemTextsReader &) = delete;

    // Whether db, the inventory's connection, lets a second one read beside
    // it. Throws DbError.
    static bool readsBeside(Database &db);

    // The texts, waiting for the reading when it has not ended. When the
    // other connection could not read them (another program held the file
    // for itself meanwhile, say), they are read through db, where a failure
    // that stays is reported as every reading of the list's is. Throws DbError.
    std::shared_ptr<const ItemTexts> take(Database &db);

private:
    std::vector<qint64> m_keys;
    std::atomic<bool> m_stop{false};
    std::future<ItemTexts> m_reading;
    std::shared_ptr<const ItemTexts> m_texts;
};

#pragma once

#include <QByteArray>
#include <QStringView>
#include <atomic>
#include <vector>

class Database;

// Some of the item list's items, by their index in the list's items (the
// items' keys ascending): bit i for the item at index i.
struct ItemSet {
    std::vector<quint64> bits;
    std::size_t count = 0;

    bool contains(std::size_t index) const { return bits[index / 64] >> (index % 64) & 1; }
};

// The texts the item list searches (description, manufacturer, model,
// serial number, where purchased, miscellaneous, notes, the notes of its
// documents, and the category's and location's descriptions) of every item, read once and kept folded as
// the search compares them (SearchText.h): each keystroke of a search then
// looks through memory instead of reading every item again. About as many
// bytes as the items' texts have.
class ItemTexts {
public:
    // The texts of the items of keys (ascending); an item no longer stored
    // has none. When stop turns true the reading ends early with the texts
    // read so far. Throws DbError.
    static ItemTexts read(Database &db, const std::vector<qint64> &keys, const std::atomic<bool> *stop = nullptr);

    // The items holding every word of the typed text (SearchText.h), looking
    // only at those of within when given.
    ItemSet find(QStringView typed, const ItemSet *within = nullptr) const;

    std::size_t itemCount() const { return m_category.size(); }

private:
    // Every item's folded texts one after the other, each ending in a line
    // break (which no word holds, so none matches across two texts).
    QByteArray m_texts;
    std::vector<qsizetype> m_starts; // item i's texts: m_starts[i] .. m_starts[i + 1]
    // The item's category and location as indexes into m_codeTexts, -1 for none.
    std::vector<int> m_category;
    std::vector<int> m_location;
    std::vector<QByteArray> m_codeTexts; // folded descriptions
};

#include "itemlist/ItemTexts.h"

#include "data/Database.h"
#include "data/SearchText.h"
#include "data/SqliteSupport.h"

#include <QHash>
#include <cstring>
#include <sqlite3.h>

namespace {

const char *textAt(sqlite3_stmt *statement, int column)
{
    return reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
}

// The codes of one table by their ids, their folded descriptions appended
// to texts.
QHash<qint64, int> readCodes(Database &db, const QString &sql, std::vector<QByteArray> &texts)
{
    QHash<qint64, int> codes;
    Statement statement(db.handle(), sql);
    while (statement.step()) {
        QByteArray folded;
        if (const char *text = textAt(statement.get(), 1))
            appendSearchFolded(folded, text, sqlite3_column_bytes(statement.get(), 1));
        codes.insert(statement.int64Value(0), int(texts.size()));
        texts.push_back(folded);
    }
    statement.reset();
    return codes;
}

int codeOf(const QHash<qint64, int> &codes, sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return -1;
    return codes.value(sqlite3_column_int64(statement, column), -1);
}

bool holds(const char *text, qsizetype bytes, const QByteArray &word)
{
    return memmem(text, std::size_t(bytes), word.constData(), std::size_t(word.size())) != nullptr;
}

} // namespace

ItemTexts ItemTexts::read(Database &db, const std::vector<qint64> &keys, const std::atomic<bool> *stop)
{
    ItemTexts texts;
    const QHash<qint64, int> categories =
        readCodes(db, QStringLiteral("select catid, catDesc from categories"), texts.m_codeTexts);
    const QHash<qint64, int> locations =
        readCodes(db, QStringLiteral("select locid, locDesc from locations"), texts.m_codeTexts);
    texts.m_category.assign(keys.size(), -1);
    texts.m_location.assign(keys.size(), -1);
    texts.m_starts.reserve(keys.size() + 1);
    // The notes of the items' documents ("receipt from the shop in town"),
    // by key; none in an inventory that never had a document.
    std::vector<std::pair<qint64, QByteArray>> notes;
    if (db.scalar(QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = 'itemfiles'"))
            .toInt()
        > 0) {
        Statement rows(db.handle(),
                       QStringLiteral("select iteid, note from itemfiles where kind <> 'photo' and "
                                      "coalesce(note, '') <> '' order by iteid, fileid"));
        while (rows.step()) {
            QByteArray folded;
            if (const char *text = textAt(rows.get(), 1))
                appendSearchFolded(folded, text, sqlite3_column_bytes(rows.get(), 1));
            notes.emplace_back(rows.int64Value(0), folded);
        }
        rows.reset();
    }
    std::size_t note = 0;
    Statement statement(db.handle(),
                        QStringLiteral("select iteid, catid, locid, Item, manufact, model, serno, "
                                       "wherepurch, misc1, Notes from items order by iteid"));
    std::size_t index = 0;
    while (statement.step()) {
        if (stop && index % 1024 == 0 && stop->load(std::memory_order_relaxed))
            break;
        const qint64 key = statement.int64Value(0);
        // Keys and rows both ascend: items stored since have no index, and
        // items gone since keep no texts.
        while (index < keys.size() && keys[index] < key) {
            texts.m_starts.push_back(texts.m_texts.size());
            ++index;
        }
        if (index == keys.size() || keys[index] != key)
            continue;
        texts.m_starts.push_back(texts.m_texts.size());
        texts.m_category[index] = codeOf(categories, statement.get(), 1);
        texts.m_location[index] = codeOf(locations, statement.get(), 2);
        for (int column = 3; column <= 9; ++column) {
            if (const char *text = textAt(statement.get(), column))
                appendSearchFolded(texts.m_texts, text, sqlite3_column_bytes(statement.get(), column));
            texts.m_texts += '\n';
        }
        while (note < notes.size() && notes[note].first < key)
            ++note;
        for (; note < notes.size() && notes[note].first == key; ++note) {
            texts.m_texts += notes[note].second;
            texts.m_texts += '\n';
        }
        ++index;
    }
    statement.reset();
    while (texts.m_starts.size() < keys.size())
        texts.m_starts.push_back(texts.m_texts.size());
    texts.m_starts.push_back(texts.m_texts.size());
    return texts;
}

ItemSet ItemTexts::find(QStringView typed, const ItemSet *within) const
{
    const std::vector<QByteArray> words = searchWords(typed);
    const std::size_t items = itemCount();
    ItemSet found;
    found.bits.assign((items + 63) / 64, 0);
    // Which words each category's and location's description holds.
    std::vector<char> codeHolds(m_codeTexts.size() * words.size(), 0);
    for (std::size_t code = 0; code < m_codeTexts.size(); ++code) {
        for (std::size_t w = 0; w < words.size(); ++w)
            codeHolds[code * words.size() + w] =
                holds(m_codeTexts[code].constData(), m_codeTexts[code].size(), words[w]) ? 1 : 0;
    }
    const auto codeHoldsWord = [&](int code, std::size_t w) {
        return code >= 0 && codeHolds[std::size_t(code) * words.size() + w];
    };
    const auto matches = [&](std::size_t i) {
        const char *text = m_texts.constData() + m_starts[i];
        const qsizetype bytes = m_starts[i + 1] - m_starts[i];
        for (std::size_t w = 0; w < words.size(); ++w) {
            if (!codeHoldsWord(m_category[i], w) && !codeHoldsWord(m_location[i], w) && !holds(text, bytes, words[w]))
                return false;
        }
        return true;
    };
    const auto take = [&](std::size_t i) {
        if (matches(i)) {
            found.bits[i / 64] |= quint64(1) << (i % 64);
            ++found.count;
        }
    };
    if (within) {
        for (std::size_t block = 0; block < within->bits.size(); ++block) {
            for (quint64 bits = within->bits[block]; bits; bits &= bits - 1)
                take(block * 64 + std::size_t(__builtin_ctzll(bits)));
        }
    } else {
        for (std::size_t i = 0; i < items; ++i)
            take(i);
    }
    return found;
}

#include "itemlist/ListOrder.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <array>
#include <future>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

constexpr char FirstPrintable = 0x20;
constexpr char LastPrintable = 0x7e;
constexpr int PrintableCount = LastPrintable - FirstPrintable + 1;

bool isPrintableAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= FirstPrintable && c <= LastPrintable; });
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The collator of the default locale, case ignored, with a shortcut for
// texts of printable ASCII: where the locale gives each such character a
// weight of its own and joins none of them (no "ch" or "aa" sorting as one
// letter), comparing two such texts is comparing their characters'
// weights one by one, the shorter text first when one begins the other.
// Whether the locale allows it is tried on every text of two characters.
class Collation {
public:
    Collation() : m_collator(QLocale())
    {
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::array<char, PrintableCount> chars;
        for (int i = 0; i < PrintableCount; ++i)
            chars[std::size_t(i)] = char(FirstPrintable + i);
        std::stable_sort(chars.begin(), chars.end(), [this](char a, char b) {
            return m_collator.compare(QString(QChar(a)), QString(QChar(b))) < 0;
        });
        unsigned char weight = 0;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            if (i == 0 || m_collator.compare(QString(QChar(chars[i - 1])), QString(QChar(chars[i]))) != 0)
                ++weight;
            m_weight[std::size_t(chars[i] - FirstPrintable)] = char(weight);
        }
        m_tableHolds = tableHoldsForPairs();
    }

    bool usesTable(std::string_view text) const { return m_tableHolds && isPrintableAscii(text); }
    // The text's characters as their weights (for usesTable texts).
    std::string weights(std::string_view text) const
    {
        std::string out(text.size(), '\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            out[i] = m_weight[std::size_t(text[i] - FirstPrintable)];
        return out;
    }
    int compare(const QString &a, const QString &b) const { return m_collator.compare(a, b); }

private:
    bool tableHoldsForPairs() const
    {
        std::vector<QString> pairs;
        pairs.reserve(PrintableCount * PrintableCount);
        for (int a = 0; a < PrintableCount; ++a) {
            for (int b = 0; b < PrintableCount; ++b)
                pairs.push_back(QString(QChar(FirstPrintable + a)) + QChar(FirstPrintable + b));
        }
        std::sort(pairs.begin(), pairs.end(),
                  [this](const QString &x, const QString &y) { return m_collator.compare(x, y) < 0; });
        for (std::size_t i = 1; i < pairs.size(); ++i) {
            const std::string before = weights(pairs[i - 1].toStdString());
            const std::string after = weights(pairs[i].toStdString());
            const bool equal = m_collator.compare(pairs[i - 1], pairs[i]) == 0;
            if (equal ? before != after : before >= after)
                return false;
        }
        return true;
    }

    QCollator m_collator;
    std::array<char, PrintableCount> m_weight{};
    bool m_tableHolds = false;
};

// One text to be collated: its weights when the table serves, else the
// text as the collator takes it.
struct Distinct {
    std::string_view utf8;
    bool byTable = false;
    std::string weights;
    QString text;

    QString collatorText() const { return byTable ? QString::fromLatin1(utf8.data(), qsizetype(utf8.size())) : text; }
};

// The collation of the default locale, made once per locale: trying the
// table takes longer than sorting a few thousand texts.
const Collation &currentCollation()
{
    static std::unique_ptr<Collation> made;
    static QString madeFor;
    const QString locale = QLocale().bcp47Name();
    if (!made || madeFor != locale) {
        made = std::make_unique<Collation>();
        madeFor = locale;
    }
    return *made;
}

} // namespace

namespace {

// Each different text of some rows once, and which of them each row holds.
struct Distinctions {
    std::unordered_map<std::string_view, int> seen;
    std::vector<std::string_view> texts;
    std::vector<int> rowText;
};

Distinctions distinguish(const std::vector<std::string_view> &texts, std::size_t from, std::size_t to)
{
    Distinctions made;
    made.rowText.reserve(to - from);
    for (std::size_t row = from; row < to; ++row) {
        const auto [at, added] = made.seen.try_emplace(texts[row], int(made.texts.size()));
        if (added)
            made.texts.push_back(texts[row]);
        made.rowText.push_back(at->second);
    }
    return made;
}

// Below this many rows a second thread costs more than it saves.
constexpr std::size_t SplitFrom = 50'000;

} // namespace

std::vector<int> collatedOrder(const std::vector<std::string_view> &texts)
{
    // Telling the rows' texts apart is most of the work for a long list:
    // its halves are told apart at once, and the upper half's different
    // texts then joined to the lower half's.
    Distinctions all;
    if (texts.size() < SplitFrom) {
        all = distinguish(texts, 0, texts.size());
    } else {
        const std::size_t half = texts.size() / 2;
        std::future<Distinctions> upper =
            std::async(std::launch::async, [&texts, half] { return distinguish(texts, half, texts.size()); });
        all = distinguish(texts, 0, half);
        const Distinctions upperHalf = upper.get();
        std::vector<int> joined(upperHalf.texts.size());
        for (std::size_t i = 0; i < upperHalf.texts.size(); ++i) {
            const auto [at, added] = all.seen.try_emplace(upperHalf.texts[i], int(all.texts.size()));
            if (added)
                all.texts.push_back(upperHalf.texts[i]);
            joined[i] = at->second;
        }
        all.rowText.reserve(texts.size());
        for (const int text : upperHalf.rowText)
            all.rowText.push_back(joined[std::size_t(text)]);
    }
    all.seen.clear();
    const std::vector<std::string_view> &distinctTexts = all.texts;
    const std::vector<int> &rowText = all.rowText;

    const Collation &collation = currentCollation();
    std::vector<Distinct> distinct(distinctTexts.size());
    for (std::size_t i = 0; i < distinctTexts.size(); ++i) {
        Distinct &d = distinct[i];
        d.utf8 = distinctTexts[i];
        d.byTable = collation.usesTable(d.utf8);
        if (d.byTable)
            d.weights = collation.weights(d.utf8);
        else
            d.text = fromUtf8(d.utf8);
    }
    const auto compare = [&](const Distinct &a, const Distinct &b) {
        if (a.byTable && b.byTable)
            return a.weights.compare(b.weights);
        return collation.compare(a.collatorText(), b.collatorText());
    };
    std::vector<int> sorted(distinct.size());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = int(i);
    std::sort(sorted.begin(), sorted.end(),
              [&](int a, int b) { return compare(distinct[std::size_t(a)], distinct[std::size_t(b)]) < 0; });
    // Texts the collator finds equal ("Lamp", "lamp") share a rank.
    std::vector<int> rank(distinct.size());
    int next = -1;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || compare(distinct[std::size_t(sorted[i - 1])], distinct[std::size_t(sorted[i])]) != 0)
            ++next;
        rank[std::size_t(sorted[i])] = next;
    }

    // Rows by rank, each rank's rows in their given order.
    std::vector<int> start(std::size_t(next + 2), 0);
    for (const int text : rowText)
        ++start[std::size_t(rank[std::size_t(text)] + 1)];
    for (std::size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<int> order(texts.size());
    for (std::size_t row = 0; row < texts.size(); ++row)
        order[std::size_t(start[std::size_t(rank[std::size_t(rowText[row])])]++)] = int(row);
    return order;
}

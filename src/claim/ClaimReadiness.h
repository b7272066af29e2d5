#pragma once

#include "data/Money.h"

#include <QList>
#include <QSet>
#include <QString>
#include <array>
#include <optional>

class Household;
class PageLayout;
class QDate;

// What would weaken a claim if the loss came today: items without a photo,
// without a value, without the serial number their category usually has, or
// without a receipt although they are worth more than the household chose.

// The ways an item falls short, in the order the report groups them.
enum class Shortfall { NoPhoto, NoValue, NoSerialNumber, NoReceipt };
inline constexpr int ShortfallCount = 4;
// "No photo", "No value", "No serial number", "No receipt": the groups' names.
QString shortfallName(Shortfall shortfall);
// The count of the items made from photos whose value is still to be typed
// (among those without a value) goes by this name.
inline const QString ToCompleteGroup = QStringLiteral("To complete (made from photos)");

// The household's choices for the check. They are kept in the inventory in
// tables of their own, made when they are first saved; until then the
// defaults hold.
struct ReadinessChoices {
    // The categories (keys) whose items usually carry a serial number.
    QSet<qint64> serialCategories;
    // Items worth more than this need a receipt.
    Money receiptAbove = Money::fromUnits(500 * Money::Scale);
};

// A category whose description names what usually has a serial number
// (electronics, computers, cameras, phones, appliances, tools, instruments):
// the default before the household chose.
bool usuallyHasSerialNumber(const QString &categoryDescription);

// The choices kept in the inventory, or the defaults. Throws DbError.
ReadinessChoices readReadinessChoices(Household &household);
// Keeps choices in the inventory, in one transaction. Throws DbError.
void writeReadinessChoices(Household &household, const ReadinessChoices &choices);

struct ReadinessItem {
    qint64 iteid = 0;
    QString item;
    QString category;
    QString location;
    std::optional<Money> value; // the item's total value
    std::array<bool, ShortfallCount> shortfalls{};
};

struct Readiness {
    // The items that fall short in some way, in the order of their
    // description (ignoring case).
    QList<ReadinessItem> items;
    std::array<int, ShortfallCount> counts{};
    int itemCount = 0;     // every item checked
    int toComplete = 0;    // items made from photos whose value is still to be typed
    Money totalValue;      // of every item
    Money documentedValue; // of the items with a photo, a value, and a
                           // serial number or a receipt
    // documentedValue as a share of totalValue, 0 to 1; std::nullopt when
    // the items are worth nothing together.
    std::optional<double> documentedShare() const;
};

// Checks every item of the household's inventory. A receipt is the item's
// "Receipt on File" or a document attached as a receipt; a photo is its
// picture or a further photo. Throws DbError, and std::overflow_error when
// a sum leaves the money range.
Readiness checkReadiness(Household &household, const ReadinessChoices &choices);

// The report: the counts and the share, then each group's items.
void buildReadinessDocument(PageLayout &doc, const Readiness &readiness, const ReadinessChoices &choices,
                            const QDate &today);

// Writes the items that fall short as a CSV file (as the item export does:
// UTF-8, CR LF, replaced only when complete), one row an item with a
// Yes/No column for each shortfall. False with the reason in *error.
bool writeReadinessCsv(const QString &path, const Readiness &readiness, QString *error);

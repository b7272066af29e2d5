#pragma once

#include "data/DateValue.h"

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <optional>

#include <QList>

class Database;
class Household;

// How an item left the household.
enum class DisposalKind { None, Sold, GivenAway, ThrownAway };

// "Sold", "Given away", "Thrown away"; empty for None.
QString disposalKindName(DisposalKind kind);
// The stored word ("sold", "given away", "thrown away"), never translated;
// empty for None.
QString storedDisposalKind(DisposalKind kind);
// The kind of a stored or typed word, ignoring case, either the stored word
// or the name shown; std::nullopt for any other text, None for an empty one.
std::optional<DisposalKind> disposalKindOf(const QString &text);

// What the inventory knows of an item's warranty and of its leaving the
// household. Zero dates are none.
struct WarrantyDisposal {
    DateValue warrantyEnds;
    bool lifetime = false; // a lifetime warranty: no end
    QString warrantyDetails;
    DateValue disposed; // the day the item left the household; zero while it is kept
    DisposalKind how = DisposalKind::None;

    bool isDisposed() const { return !disposed.isZero(); }
    bool hasWarranty() const { return lifetime || !warrantyEnds.isZero(); }
    bool isEmpty() const
    {
        return !hasWarranty() && warrantyDetails.isEmpty() && !isDisposed() && how == DisposalKind::None;
    }
    friend bool operator==(const WarrantyDisposal &, const WarrantyDisposal &) = default;
};

// Why values cannot be stored as they are, in the words a message box
// shows; std::nullopt when they can. An item cannot have left the household
// on a day still to come, nor left it in a way without a day.
std::optional<QString> warrantyDisposalProblem(const WarrantyDisposal &values, const DateValue &today);

inline const QString DisposedAheadMessage =
    QStringLiteral("The item cannot have left the household after today's date.  Enter the day it left, or "
                   "leave the field blank while it is still kept.");
inline const QString DisposedWithoutDayMessage =
    QStringLiteral("Enter the day the item left the household, or choose no way of leaving.");

// The warranties and disposals of the items of one inventory. They live in
// the inventory's table "itemstatus", one row per item that has any: the
// table of the items stays as every older copy of the program reads it, and
// an inventory that never had a warranty or disposal entered has no such
// table at all. It is made when the first value is stored, so an older
// data folder opens, and stays, as it was. Every step throws DbError, for
// the household's handler.
class ItemStatus {
public:
    explicit ItemStatus(Database &db);

    // The item's values; empty ones when it has none.
    WarrantyDisposal of(qint64 iteid) const;
    // Every item that has values, by its key.
    QHash<qint64, WarrantyDisposal> all() const;
    // Stores the item's values; empty values remove its row (and make no
    // table when there is none).
    void store(qint64 iteid, const WarrantyDisposal &values);
    // The item is being deleted: its values go with it (a key is not
    // reused, but another program may give one out again).
    void remove(qint64 iteid);

    // A condition on the key column given ("i.iteid") that holds for the
    // items kept in the household; empty when every item is kept (no table,
    // or no item disposed), so the statements of an older folder stay as
    // they were.
    QString keptCondition(const QString &keyColumn) const;

    // The warranties that end on or before the day by (those that ended
    // included; lifetime ones never end), of kept items unless withDisposed:
    // the soonest end first, then by the item's description.
    struct Ending {
        qint64 iteid = 0;
        QString item;
        DateValue ends;
        QString details;
    };
    QList<Ending> endingBy(const DateValue &by, bool withDisposed) const;

    // Whether the table exists.
    bool hasTable() const;

    // Items made from photos wait for what only the user can give, their
    // value: they are "to complete" until it is typed. The mark is kept in
    // the same rows, in a column added when the first item is marked, so an
    // older program reading the table by its columns reads on as before.
    void setToComplete(qint64 iteid, bool toComplete);
    bool isToComplete(qint64 iteid) const;
    int toCompleteCount(const QString &keptCondition = QString()) const;
    // A condition on the key column given that holds for the items to
    // complete; one that holds for none when nothing was ever marked.
    QString toCompleteCondition(const QString &keyColumn) const;

private:
    bool hasToCompleteColumn() const;
    void makeTable();

    Database &m_db;
};

// The condition of ItemStatus::keptCondition for the household's inventory,
// or empty when the household shows disposed items (Household::showsDisposed)
// or has no inventory open. Throws DbError.
QString keptItemsCondition(const Household &household, const QString &keyColumn);

#pragma once

#include "data/DateValue.h"
#include "data/Money.h"
#include "items/ItemAttachments.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class Household;

// Which items a claim lists.
struct ClaimSelection {
    enum class Kind { All, Category, Location, ReportFile };
    Kind kind = Kind::All;
    // The category's or location's description (compared ignoring case), or
    // the report file's path.
    QString name;

    // "All items", "Category: Kitchen", "Report file: bycat.srp".
    QString description() const;
};

// A document of an item as the claim lists it.
struct ClaimAttachment {
    AttachedKind kind = AttachedKind::Other;
    QString title; // the name the file had when it was attached
    QString note;
    QString path;
};

// One item as the claim shows it: every field, with the category's and the
// location's descriptions, the picture file (empty when none), every photo
// (the picture first) and the documents.
struct ClaimItem {
    qint64 iteid = 0;
    QString item;
    QString manufact;
    QString model;
    QString serno;
    DateValue purchdate; // zero when none
    std::optional<Money> purchprice;
    std::optional<Money> estvalue;
    QVariant quantity; // as stored; Null when none
    std::optional<Money> totvalue;
    bool receipt = false;
    QString wherepurch;
    QString misc1;
    QString notes;
    QString category;
    QString location;
    QString picturePath;
    QStringList photoPaths;
    QList<ClaimAttachment> documents;
};

// The items of the selection from the household's inventory, with their
// pictures: for all items, a category or a location in the order of the
// category's description, then the item's; for a report file in the
// report's own order. Throws DbError when the database fails (or is not
// open); a category or location nobody has, or a report file that cannot be
// used, gives std::nullopt with the reason in *problem. For a report file
// the user has then been told, as the report engine tells it (the
// invalid-file message, or the catalogue's failure).
//
// dateOfLoss: the day of the loss claimed, zero when not given. Items that
// left the household (sold, given away, thrown away) before that day are
// not claimed; one that the loss took is, whatever was noted on it
// afterwards. Without a day every item that left is left out. The View
// menu's Show Disposed Items (Household::showsDisposed) claims them all.
std::optional<QList<ClaimItem>> selectClaimItems(Household &household, const ClaimSelection &selection,
                                                 QString *problem, const DateValue &dateOfLoss = DateValue());

// Fills in the pictures, photos and documents of items from the household's
// files and its table of further files, each read once. Throws DbError.
void addClaimEvidence(Household &household, QList<ClaimItem> &items);

// A value total per group (category or location) in the groups' order
// (description ignoring case; items without one last, under the given name).
struct GroupTotal {
    QString group;
    int items = 0;
    Money total;
};
struct ClaimTotals {
    QList<GroupTotal> byCategory;
    QList<GroupTotal> byLocation;
    Money total;
};
// Sums of the items' total values, exact. Throws std::overflow_error when
// a sum leaves the money range.
ClaimTotals claimTotals(const QList<ClaimItem> &items);

inline const QString NoCategoryText = QStringLiteral("No Category Entered");
inline const QString NoLocationText = QStringLiteral("No Location Entered");

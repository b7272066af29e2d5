#pragma once

#include "data/Money.h"

#include <QDate>
#include <QString>
#include <optional>

// One row of table items as the setup program writes it. An empty optional
// is stored as Null; an empty text stays an empty text.
struct ItemRow {
    QString item;
    std::optional<QString> manufact;
    std::optional<QString> model;
    std::optional<QString> serno;
    std::optional<QDate> purchdate;
    std::optional<Money> purchprice;
    std::optional<Money> estvalue; // per piece
    std::optional<qint16> quantity;
    bool receipt = false;
    std::optional<QString> wherepurch;
    std::optional<QString> misc1;
    std::optional<QString> notes;
    std::optional<int> catid;
    std::optional<int> locid;

    // estvalue x quantity, exact; Null when either is Null.
    std::optional<Money> totalValue() const
    {
        if (!estvalue || !quantity)
            return std::nullopt;
        return *estvalue * *quantity;
    }
};

#include "items/ItemSearch.h"
#include "TestDataFolder.h"
#include "data/Inventory.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>

// Find's condition against real rows: Unicode case, the text's own
// wildcards, and quotes that must stay plain text.
TEST(ItemSearch, FindsTheDescriptionsThatBeginWithTheText)
{
    TestDataFolder folder;
    auto db = Database::open(folder.file(InventoryFileName));
    const QStringList texts{"Lamp",
                            "lamp shade",
                            "LAMP",
                            "Kelvin",
                            QStringLiteral("\u212Aelvin"),
                            QStringLiteral("\u017Ftool"),
                            "Stool",
                            QStringLiteral("Straße"),
                            "STRASSE",
                            QStringLiteral("Ölkanne"),
                            QStringLiteral("ölkanne"),
                            "100% wool",
                            "100 wool",
                            "a_b",
                            "axb",
                            "back\\slash",
                            "[box]",
                            "b",
                            QStringLiteral("Σίσυφος"),
                            QStringLiteral("σίσυφος"),
                            QStringLiteral("\U00010400 deseret"),
                            QStringLiteral("\U00010428 deseret"),
                            "",
                            "12\" ruler",
                            "x' or '1'='1"};
    for (const QString &text : texts)
        db->execute(QStringLiteral("insert into items (Item) values (?)"), {text});
    db->execute(QStringLiteral("insert into items (Item) values (null)"));

    // The descriptions each typed text finds, in the order they were stored.
    auto found = [&](const QString &text) {
        const ItemSearch search = itemDescriptionSearch(text);
        QStringList descriptions;
        auto rows = db->openRecordset(QStringLiteral("select Item from items where ") + search.condition
                                          + QStringLiteral(" order by iteid"),
                                      RecordsetType::Snapshot, search.params);
        for (; !rows->eof(); rows->moveNext())
            descriptions << rows->value(0).toString();
        return descriptions;
    };
    EXPECT_EQ(found(QStringLiteral("lamp")), (QStringList{"Lamp", "lamp shade", "LAMP"}));
    EXPECT_EQ(found(QStringLiteral("kelvin")), (QStringList{"Kelvin", QStringLiteral("\u212Aelvin")}));
    EXPECT_EQ(found(QStringLiteral("STOOL")), (QStringList{QStringLiteral("\u017Ftool"), "Stool"}));
    EXPECT_EQ(found(QStringLiteral("straß")), QStringList{QStringLiteral("Straße")});
    EXPECT_EQ(found(QStringLiteral("ÖL")), (QStringList{QStringLiteral("Ölkanne"), QStringLiteral("ölkanne")}));
    EXPECT_EQ(found(QStringLiteral("100%")), QStringList{"100% wool"}) << "% is no wildcard here";
    EXPECT_EQ(found(QStringLiteral("a_b")), QStringList{"a_b"}) << "_ is no wildcard here";
    EXPECT_EQ(found(QStringLiteral("*OOL")),
              (QStringList{QStringLiteral("\u017Ftool"), "Stool", "100% wool", "100 wool"}));
    EXPECT_EQ(found(QStringLiteral("[b")), QStringList{"[box]"}) << "an unclosed [ is itself";
    EXPECT_EQ(found(QStringLiteral("ΣΊΣ")), (QStringList{QStringLiteral("Σίσυφος"), QStringLiteral("σίσυφος")}));
    EXPECT_EQ(found(QStringLiteral("12\"")), QStringList{"12\" ruler"});
    EXPECT_EQ(found(QStringLiteral("x' or")), QStringList{"x' or '1'='1"});
    EXPECT_EQ(found(QStringLiteral("1#")), (QStringList{"100% wool", "100 wool", "12\" ruler"}));
    EXPECT_EQ(found(QStringLiteral("*")).size(), texts.size()) << "every description, not the Null one";
}

// Find in the item editor and in the code lists, and code descriptions
// typed into the maintenance window, with texts that break pasted SQL.
#include "CodesWindowFixture.h"
#include "HostileTexts.h"
#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "program/Household.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

struct Shown {
    qint64 id;
    QString description;
};

// The items in navigation order, read by stepping through the window.
QList<Shown> itemsInOrder(frmMain &w)
{
    QList<Shown> order;
    w.cmdFirst_Click();
    const int count = w.household().rsItems()->recordCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            w.cmdNext_Click();
        order.append({w.household().rsItems()->value(QStringLiteral("iteid")).toLongLong(),
                      w.household().rsItems()->value(QStringLiteral("Item")).toString()});
    }
    return order;
}

// The codes of the open window in its order.
QList<Shown> codesInOrder(frmCodesMaint &w)
{
    QList<Shown> order;
    w.cmdFirst_Click();
    const int count = w.rsCodes->recordCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            w.cmdNext_Click();
        order.append({w.rsCodes->value(QStringLiteral("id")).toLongLong(), w.txtDesc->text()});
    }
    return order;
}

// The first entry whose description begins with text, or -1.
qint64 firstStartingWith(const QList<Shown> &order, const QString &text)
{
    for (const Shown &entry : order) {
        if (startsFolded(entry.description, text))
            return entry.id;
    }
    return -1;
}

QStringList allDescriptions(const QString &databasePath)
{
    auto db = Database::open(databasePath);
    auto rows = db->openRecordset(QStringLiteral("select Item from items order by iteid"), RecordsetType::Snapshot);
    QStringList out;
    for (; !rows->eof(); rows->moveNext())
        out << rows->value(0).toString();
    return out;
}

} // namespace

using HostileItemFind = ItemWindowTest;

TEST_F(HostileItemFind, FindsQuotesAndSqlExactlyAsTyped)
{
    // Decoys sort first and last, so a text read as "anything" (an SQL
    // wildcard, a broken-out condition) would find one of them instead.
    QStringList descriptions{QStringLiteral(" decoy first"), QStringLiteral("zz decoy last")};
    for (const HostileText &hostile : sqlTexts())
        descriptions << hostile.text + QStringLiteral(" target");
    for (const QString &description : descriptions)
        addItem({{QStringLiteral("Item"), description}});
    frmMain &w = start();
    const QList<Shown> order = itemsInOrder(w);
    ASSERT_EQ(order.size(), descriptions.size());

    for (const HostileText &hostile : sqlTexts()) {
        SCOPED_TRACE(hostile.name);
        const qint64 expected = firstStartingWith(order, hostile.text);
        ASSERT_NE(expected, -1);
        w.cmdFirst_Click();
        prompts.answerText(hostile.text);
        w.cmdFind_Click();
        EXPECT_EQ(w.household().rsItems()->value(QStringLiteral("iteid")).toLongLong(), expected);
        EXPECT_EQ(w.txtItem->text(), w.household().rsItems()->value(QStringLiteral("Item")).toString());

        // The same text with something no item holds finds nothing and
        // leaves the shown item alone.
        w.cmdLast_Click();
        prompts.answerText(hostile.text + QStringLiteral(" nowhere"));
        w.cmdFind_Click();
        EXPECT_EQ(w.household().rsItems()->value(QStringLiteral("iteid")).toLongLong(), order.constLast().id);
    }
    const QStringList misses(sqlTexts().size(),
                             QStringLiteral("No Records Match|That Inventory Item was not found.|none|ok"));
    EXPECT_EQ(shownMessages(prompts), misses);

    const QString path = folder().file(InventoryFileName);
    EXPECT_EQ(allDescriptions(path), descriptions);
    EXPECT_EQ(integrityOf(path), QStringLiteral("ok"));
}

TEST_F(HostileItemFind, HostileTextsTypedIntoTheFormAreStoredUnchanged)
{
    addItem({{QStringLiteral("Item"), QStringLiteral("placeholder")}});
    frmMain &w = start();
    for (const HostileText &hostile : sqlTexts()) {
        SCOPED_TRACE(hostile.name);
        w.txtManufact->selectAll();
        // A NUL cannot be typed; it arrives by paste or another program.
        if (hostile.text.contains(QChar(0)))
            w.txtManufact->setText(hostile.text);
        else
            QTest::keyClicks(w.txtManufact, hostile.text);
        w.txtNotes->setPlainText(hostile.text);
        w.cmdUpdate_Click();
        const QVariantMap row = stored(w.household().rsItems()->value(QStringLiteral("iteid")).toLongLong());
        EXPECT_EQ(row.value(QStringLiteral("manufact")).toString(), hostile.text);
        EXPECT_EQ(row.value(QStringLiteral("Notes")).toString(), hostile.text);
    }
    EXPECT_EQ(storedCount(), 1);
    EXPECT_EQ(integrityOf(folder().file(InventoryFileName)), QStringLiteral("ok"));
}

using HostileCodes = CodesWindowTest;

TEST_F(HostileCodes, TypedDescriptionsAreStoredAndFoundExactly)
{
    for (const qint16 kind : {qint16(1), qint16(2)}) {
        SCOPED_TRACE(kind);
        startOver();
        addCode(kind, QStringLiteral(" decoy first"));
        addCode(kind, QStringLiteral("zz decoy last"));
        frmCodesMaint &w = open(kind);

        QStringList expected{QStringLiteral(" decoy first"), QStringLiteral("zz decoy last")};
        w.cmdAddNew_Click();
        for (const HostileText &hostile : sqlTexts()) {
            if (hostile.text.contains(QChar(0)))
                w.txtDesc->setText(hostile.text);
            else
                typeDescription(w, hostile.text);
            w.cmdAddNew_Click(); // Add Another stores it
            expected << hostile.text;
        }
        w.cmdCancel_Click();
        ASSERT_EQ(stored(kind), expected);

        // Opened again, so the new codes take their places in the order.
        w.cmdOK_Click();
        processDeferredDeletes();
        frmCodesMaint &again = open(kind);
        const QList<Shown> order = codesInOrder(again);
        for (const HostileText &hostile : sqlTexts()) {
            SCOPED_TRACE(hostile.name);
            again.cmdLast_Click();
            prompts.answerText(hostile.text);
            again.cmdFind_Click();
            EXPECT_EQ(again.rsCodes->value(QStringLiteral("id")).toLongLong(), firstStartingWith(order, hostile.text));
            EXPECT_EQ(again.txtDesc->text(), again.rsCodes->value(QStringLiteral("descr")).toString());
        }
        EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();
        EXPECT_EQ(stored(kind), expected);
        EXPECT_EQ(integrityOf(folder().file(InventoryFileName)), QStringLiteral("ok"));
    }
}

// Import Items under real hands: the File menu by its keys, the window's
// choices and buttons by theirs, and where the focus is when it has gone.
#include "DesktopFixture.h"

#include "transfer/import/frmImport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

TEST_F(DesktopTest, AnImportByKeysLeavesTheFocusInTheMainWindow)
{
    addItem({{"Item", "Lamp"}, {"receipt", 0}});
    frmMain &w = start();
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("german.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Bezeichnung;Kaufpreis;Kaufdatum\r\nFernseher;2.499,00 \x80;01.03.2021\r\nStuhl;89,90;24.12.2019\r\n");
    file.close();
    prompts.answerFile(path);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *import = qobject_cast<frmImport *>(QApplication::activeModalWidget());
        ASSERT_NE(import, nullptr);
        ASSERT_TRUE(waitUntilActive(import));
        seen = true;
        // The dates by their access key and the keyboard, then Import.
        alt('d');
        EXPECT_EQ(focus(), import->cmbDates);
        EXPECT_EQ(import->cmbDates->currentText(), QStringLiteral("Day first, like 24.12.2019"));
        alt('i');
    });
    // File > Import Items... as a person opens it.
    alt('f');
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_I);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen && !QApplication::activeModalWidget(); }, 10000));

    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("Import Items|2 items were imported.")});
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Fernseher"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }, 5000));
    EXPECT_EQ(focus(), w.txtItem);
}

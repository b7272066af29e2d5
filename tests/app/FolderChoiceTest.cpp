// The folder choices of the real prompts: the open-several dialog that may
// take the folder it shows as a whole, and the folder dialog.
#include "app/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(FolderChoice, TheWholeFolderOrFilesInIt)
{
    QTemporaryDir folder;
    QFile(QDir(folder.path()).filePath(QStringLiteral("IMG_0001.jpg"))).open(QIODevice::WriteOnly);
    Prompts::FileDialog asked;
    asked.title = QStringLiteral("Pick");
    asked.filter = QStringLiteral("Photos|*.jpg");
    asked.initialFolder = folder.path();

    struct Case {
        const char *name;
        bool orFolder;
        bool wholeFolder; // the button is there, and pressed
    };
    for (const Case &c : {Case{"files only", false, false}, Case{"or the folder", true, true}}) {
        SCOPED_TRACE(c.name);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            auto *whole = dialog->findChild<QPushButton *>(QStringLiteral("cmdWholeFolder"));
            EXPECT_EQ(whole != nullptr, c.wholeFolder);
            if (whole) {
                // Nothing chosen in the list: the button alone ends the dialog.
                QTest::mouseClick(whole, Qt::LeftButton);
            } else {
                dialog->reject();
            }
        });
        asked.orFolder = c.orFolder;
        QtPrompts prompts;
        const QStringList chosen = prompts.openFileNames(asked);
        EXPECT_TRUE(seen);
        EXPECT_EQ(chosen, c.wholeFolder ? QStringList{QDir(folder.path()).absolutePath()} : QStringList());
    }

    // The folder dialog gives the folder it was left in.
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        dialog->selectFile(folder.path());
        static_cast<QDialog *>(dialog)->accept(); // the dialog's own Choose
    });
    QtPrompts prompts;
    EXPECT_EQ(prompts.folderName(asked), QDir(folder.path()).absolutePath());
}

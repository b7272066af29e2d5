#include "data/MissingFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(MissingFolders, ListsEveryFolderOnTheWayOutermostFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = QDir(dir.path()).canonicalPath();
    QFile file(base + QStringLiteral("/file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(base));
    struct Row {
        QString path;
        QStringList missing;
        const char *why;
    };
    const Row rows[] = {
        {base, {}, "a folder that is there"},
        {base + "/a", {base + "/a"}, "one level"},
        {base + "/a/b/c", {base + "/a", base + "/a/b", base + "/a/b/c"}, "every level, not only the innermost"},
        {base + "/a/../b//c/", {base + "/b", base + "/b/c"}, "the path is cleaned"},
        {QStringLiteral("rel/x"), {base + "/rel", base + "/rel/x"}, "relative to the current directory"},
        {base + "/file/x", {base + "/file", base + "/file/x"}, "a file in the way is listed, so making it fails"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(missingFolders(row.path), row.missing) << row.why;
    QDir::setCurrent(previous);
}

#include "app/Prompts.h"

#include <gtest/gtest.h>

TEST(FileFilter, PipePairsBecomeQtFilters)
{
    struct Row { const char *filter; const char *expected; };
    const Row rows[] = {
        {"Text Files (*.txt)|*.txt", "Text Files (*.txt) (*.txt)"},
        {"Pictures|*.bmp;*.jpg;*.gif|All Files|*.*", "Pictures (*.bmp *.jpg *.gif);;All Files (*.*)"},
        {"Reports|*.rpt|Odd", "Reports (*.rpt)"},   // a name without patterns is dropped
        {"", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(toQtFileFilter(QString::fromUtf8(row.filter)), QString::fromUtf8(row.expected)) << row.filter;
}

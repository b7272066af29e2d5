#include "program/Prompts.h"

#include <gtest/gtest.h>

TEST(FileFilter, PipePairsBecomeQtFilters)
{
    struct Row {
        const char *filter;
        const char *expected;
    };
    const Row rows[] = {
        // A name showing its patterns shows them once, as the dialog reads them.
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "Text Files (*.txt);;All Files (*.*)"},
        {"Report Files (*.rpt)|*.rpt", "Report Files (*.rpt)"},
        {"Bitmaps (*.bmp,*.dib)|*.bmp;*.dib", "Bitmaps (*.bmp *.dib)"},
        // A list that is not the patterns stays, and the real ones follow.
        {"Reports (old)|*.rpt", "Reports (old) (*.rpt)"},
        {"Pictures|*.bmp;*.jpg;*.gif|All Files|*.*", "Pictures (*.bmp *.jpg *.gif);;All Files (*.*)"},
        {"Reports|*.rpt|Odd", "Reports (*.rpt)"}, // a name without patterns is dropped
        {"", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(toQtFileFilter(QString::fromUtf8(row.filter)), QString::fromUtf8(row.expected)) << row.filter;
}

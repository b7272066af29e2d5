#pragma once

#include "QtPrinters.h"
#include "reports/PageLayout.h"

#include <QRgb>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A fresh folder for files.
class LayoutTest : public ::testing::Test {
protected:
    LayoutTest();
    ~LayoutTest() override;

    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }

private:
    QTemporaryDir m_dir;
};

// count rows of `columns` cells: "r<i>c<j>".
QList<QStringList> numberedRows(int count, int columns = 2);

// The pages of a PDF file as its page tree counts them; -1 when the file is
// not a PDF.
int pdfPageCount(const QString &path);

// Every placed row of the document, page by page.
struct PlacedOnPage {
    int page;
    PlacedRow row;
};
std::vector<PlacedOnPage> everyPlacedRow(const PageLayout &document);

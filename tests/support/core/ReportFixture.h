#pragma once

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"

#include "data/Database.h"
#include "program/Household.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportFileReader.h"

#include <QByteArray>
#include <QLocale>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// The default locale for one test; en_US again afterwards.
class LocaleScope {
public:
    explicit LocaleScope(const char *name) { QLocale::setDefault(QLocale(QString::fromLatin1(name))); }
    ~LocaleScope() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    LocaleScope(const LocaleScope &) = delete;
    LocaleScope &operator=(const LocaleScope &) = delete;
};

// The 22 lines of a valid report file over the delivered catalogue (15
// fields of "items"): Description (1) and Purchase Price (8) chosen, no
// criteria, widths 2.5 and 1 inch. Tests change single lines.
QStringList validReportLines();
// Lines joined with CR LF after each, as UTF-8.
QByteArray reportFileBytesOf(const QStringList &lines);
// The per-field line of 15 items: item n is values[n] when given, else fill.
QString perFieldItems(const QString &fill, const QList<std::pair<int, QString>> &values = {});

// A fresh data folder (empty inventory, or the demo one) with its catalogue
// open, the household of that folder (its inventory not opened), and
// scripted prompts that record every message.
class ReportTest : public ::testing::Test {
protected:
    explicit ReportTest(const SetupOptions &options = {});

    // Writes bytes into the data folder under name; returns the full path.
    QString putFile(const QString &name, const QByteArray &bytes) const;
    ReportCatalogue itemsCatalogue() const { return ReportCatalogue::load(*catalogueDb, QStringLiteral("items")); }
    // Adds a catalogue row for "items" with the next specid; returns it.
    int addCatalogueRow(const QString &fieldname, int datatype, const QString &desc, const QString &fileName,
                        const QString &linkField = QString());
    // The design of validReportLines(), as the reader gives it.
    ReportSpec validSpec();
    // The number of "Invalid Report File" messages shown, checking their
    // text, buttons and icon.
    int invalidFileMessages() const;

    ScriptedPrompts prompts;
    TestDataFolder folder;
    Household household{folder.path()};
    std::unique_ptr<Database> catalogueDb;
};

class DemoReportTest : public ReportTest {
protected:
    DemoReportTest() : ReportTest({.demo = true}) {}
};

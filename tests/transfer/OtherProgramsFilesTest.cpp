#include "ProgramRun.h"
#include "QueryRows.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/Money.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Files as other programs write them, built here from their known layouts,
// imported with stowbook-setup under three locales: every field of every
// item must come out the same, whatever the computer's locale, because
// each file settles its own number style and date order.

namespace {

struct OtherFile {
    const char *name;
    QByteArray bytes;
    const char *reading; // how the program says it reads the file
    QStringList items;   // Item|manufact|model|serno|purchdate|purchprice|estvalue|quantity|totvalue|receipt|
                         // wherepurch|misc1|Notes|category|location, ~ for no value
    QStringList options = {};
    const char *problem = ""; // a problem the output names; none when empty
};

QByteArray utf16(const char *utf8)
{
    return QByteArray("\xFF\xFE")
        + QByteArray(reinterpret_cast<const char *>(QString::fromUtf8(utf8).utf16()),
                     QString::fromUtf8(utf8).size() * 2);
}

QList<OtherFile> otherFiles()
{
    return {
        // A parts manager's list: English headings of its own, ISO dates,
        // amounts of a fraction of a cent.
        {"parts manager",
         "Name,Storage Location,MPN,Manufacturer,Qty,Purchase Cost,Purchased Time,Notes\n"
         "Soldering Station,Workbench,FX-888D,Hakko,1,99.95,2021-03-15,With stand\n"
         "Resistor Kit,Drawer 3,RK-600,Yageo,600,0.0125,2020-11-02,\"1/4 W, 1%\"\n",
         "UTF-8, separated by commas",
         {"Soldering Station|Hakko|FX-888D|~|2021-03-15|99.95|99.95|1|99.95|No|~|~|With stand|~|Workbench",
          "Resistor Kit|Yageo|RK-600|~|2020-11-02|0.0125|0.0125|600|7.5|No|~|~|1/4 W, 1%|~|Drawer 3"}},
        // A self-hosted home inventory's export: its "HB." columns.
        {"home inventory export",
         "HB.import_ref,HB.location,HB.name,HB.description,HB.quantity,HB.insured,HB.purchase_price,"
         "HB.purchase_from,HB.purchase_time,HB.manufacturer,HB.model_number,HB.serial_number,HB.notes\n"
         ",Living Room,Television,\"55\"\" OLED, wall mounted\",1,true,1299.99,Brightmart,2022-11-25,Vistara,"
         "OLED55C2,SN-123,Receipt in folder\n"
         ",Garage,Cordless Drill,,2,false,89.5,Hammer & Co,2021-06-01,Torvik,XFD131,,\n",
         "UTF-8, separated by commas",
         {"Television|Vistara|OLED55C2|SN-123|2022-11-25|1299.99|1299.99|1|1299.99|No|Brightmart|"
          "55\" OLED, wall mounted|Receipt in folder|~|Living Room",
          "Cordless Drill|Torvik|XFD131|~|2021-06-01|89.5|89.5|2|179|No|Hammer & Co|~|~|~|Garage"}},
        // An asset manager's sample import: US dates and dollar amounts,
        // with a byte order mark and CR LF; "03/05/2020" is 5 March
        // because "12/24/2019" puts the month first.
        {"asset manager sample",
         "\xEF\xBB\xBFItem Name,Category,Location,Manufacturer,Model Number,Serial Number,Purchase Date,"
         "Purchase Price,Notes\r\n"
         "Laptop,Electronics,Office,Corvane,X13,CV-88231,12/24/2019,\"$1,299.00\",Work laptop\r\n"
         "Desk Chair,Furniture,Office,Comfort Craft,Ergo 2,,03/05/2020,$249.50,\r\n",
         "UTF-8 with a byte order mark, separated by commas",
         {"Laptop|Corvane|X13|CV-88231|2019-12-24|1299|1299|1|1299|No|~|~|Work laptop|Electronics|Office",
          "Desk Chair|Comfort Craft|Ergo 2|~|2020-03-05|249.5|249.5|1|249.5|No|~|~|~|Furniture|Office"}},
        // A German spreadsheet saved as CSV: "sep=;" first, Windows-1252,
        // decimal commas with points grouping, euro signs, day first (the
        // 24th settles "01.03.2021" and "02.05.2017").
        {"German spreadsheet",
         "sep=;\r\n"
         "Bezeichnung;Hersteller;Modell;Seriennummer;Kaufdatum;Kaufpreis;Wert;Menge;Raum;Kategorie;Notizen\r\n"
         "K\xFChlschrank;Kelmore;KF-300;K3-0042;24.12.2019;1.234,56;900,00;1;K\xFC"
         "che;Haushalt;\r\n"
         "St\xFChle;Wexley;S-2;;01.03.2021;89,90;75,00 \x80;4;Esszimmer;M\xF6"
         "bel;\"Eiche, ge\xF6lt\"\r\n"
         "Fernseher;Vistara;V55;VX-1;02.05.2017;2.499,00 \x80;1.100,00 \x80;1;Wohnzimmer;Elektronik;\r\n",
         "Windows-1252 (Western), separated by semicolons (as its first line says)",
         {"K\xC3\xBChlschrank|Kelmore|KF-300|K3-0042|2019-12-24|1234.56|900|1|900|No|~|~|~|Haushalt|K\xC3\xBC"
          "che",
          "St\xC3\xBChle|Wexley|S-2|~|2021-03-01|89.9|75|4|300|No|~|~|Eiche, ge\xC3\xB6lt|M\xC3\xB6"
          "bel|Esszimmer",
          "Fernseher|Vistara|V55|VX-1|2017-05-02|2499|1100|1|1100|No|~|~|~|Elektronik|Wohnzimmer"}},
        // A German office suite's CSV: UTF-8 with its mark, thousands
        // grouped by a no-break blank.
        {"German office suite",
         "\xEF\xBB\xBF"
         "Beschreibung;Marke;Kaufpreis;Anzahl;Ort;Bemerkungen\n"
         "Waschmaschine;Halden;1\xC2\xA0"
         "234,56;1;Keller;\n"
         "B\xC3\xBC"
         "cherregal;Norrland;149,00;2;B\xC3\xBCro;Buche\n",
         "UTF-8 with a byte order mark, separated by semicolons",
         {"Waschmaschine|Halden|~|~|~|1234.56|1234.56|1|1234.56|No|~|~|~|~|Keller",
          "B\xC3\xBC"
          "cherregal|Norrland|~|~|~|149|149|2|298|No|~|~|Buche|~|B\xC3\xBCro"}},
        // A spreadsheet's "Unicode text": UTF-16 with its mark, tabs, the
        // month first as the US writes it.
        {"Unicode text",
         utf16("Item\tBrand\tPrice\tDate Purchased\tQty\r\nBlender\tBrevo\t49.99\t5/2/2017\t1\r\n"
               "Vase\tLindqvist\t120.00\t12/24/2019\t2\r\n"),
         "UTF-16 with a byte order mark, separated by tabs",
         {"Blender|Brevo|~|~|2017-05-02|49.99|49.99|1|49.99|No|~|~|~|~|~",
          "Vase|Lindqvist|~|~|2019-12-24|120|120|2|240|No|~|~|~|~|~"}},
        // A Mac spreadsheet's export: Mac Roman, every line ended by CR.
        {"Mac spreadsheet",
         "Item,Maker,Price,Purchase Date,Where Purchased,Location\r"
         "Sofa,Ashford Home,899.00,2018-04-30,M\x9A"
         "belhaus S\x9F"
         "d,Wohnzimmer\r"
         "Espresso Machine,Koenig,349.50,2019-12-24,Caf\x8E Cr\x8Fme,K\x9F"
         "che\r",
         "Mac Roman, separated by commas",
         {"Sofa|Ashford Home|~|~|2018-04-30|899|899|1|899|No|M\xC3\xB6"
          "belhaus S\xC3\xBC"
          "d|~|~|~|Wohnzimmer",
          "Espresso Machine|Koenig|~|~|2019-12-24|349.5|349.5|1|349.5|No|Caf\xC3\xA9 Cr\xC3\xA8me|~|~|~|K\xC3\xBC"
          "che"}},
        // Decimal commas under English headings: 0,99 is less than one,
        // on any computer.
        {"decimal commas",
         "Item,Price,Qty\nCable,\"0,99\",3\nAdapter,\"2,3\",1\nCase,\"12,5\",2\n",
         "UTF-8, separated by commas",
         {"Cable|~|~|~|~|0.99|0.99|3|2.97|No|~|~|~|~|~", "Adapter|~|~|~|~|2.3|2.3|1|2.3|No|~|~|~|~|~",
          "Case|~|~|~|~|12.5|12.5|2|25|No|~|~|~|~|~"}},
        // UTF-8 with one byte of another code page pasted in: the rest
        // stays UTF-8, the line is named.
        {"UTF-8 with a stray byte",
         "Item,Where Purchased\nSchrank,M\xC3\xB6"
         "belhaus Nord\nTisch,Caf\xE9 Bar\n",
         "UTF-8, separated by commas",
         {"Schrank|~|~|~|~|~|~|1|~|No|M\xC3\xB6"
          "belhaus Nord|~|~|~|~",
          "Tisch|~|~|~|~|~|~|1|~|No|Caf\xC3\xA9 Bar|~|~|~|~"},
         {"--rows", "all"},
         "Line 3, Where Purchased: holds bytes that are not UTF-8; read as Windows-1252: \"Caf\xC3\xA9 Bar\"."},
        // A quantity written out: stored as the record form stores one it
        // cannot read, and the total follows.
        {"a quantity in words",
         "Item,Price,Quantity,Notes\nTwo chairs,80,two,'-5 degrees outside\n",
         "UTF-8, separated by commas",
         {"Two chairs|~|~|~|~|80|80|1|80|No|~|~|'-5 degrees outside|~|~"},
         {"--rows", "all"},
         "Line 2, Quantity: \"two\" is not a number; stored as 1, as the record form stores a quantity it cannot "
         "read."},
    };
}

QString shownValue(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("~");
    if (value.typeId() == qMetaTypeId<Money>())
        return value.value<Money>().toDecimalText();
    if (value.typeId() == qMetaTypeId<DateValue>())
        return value.value<DateValue>().toIsoText();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    return value.toString();
}

QStringList itemsAfter(Database &db, qint64 key)
{
    QStringList items;
    for (const QVariantList &row :
         queryRows(db,
                   QStringLiteral("select Item, manufact, model, serno, purchdate, purchprice, estvalue, quantity, "
                                  "totvalue, receipt, wherepurch, misc1, Notes, c.catDesc, l.locDesc from items i "
                                  "left join categories c on c.catid = i.catid "
                                  "left join locations l on l.locid = i.locid where iteid > ? order by iteid"),
                   {key})) {
        QStringList values;
        for (const QVariant &value : row)
            values << shownValue(value);
        items << values.join(u'|');
    }
    return items;
}

} // namespace

TEST(FilesOfOtherPrograms, ReadTheSameInEveryLocale)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QList<OtherFile> files = otherFiles();
    for (const char *locale : {"en_US.UTF-8", "de_DE.UTF-8", "C"}) {
        const QStringList environment = {QStringLiteral("LANG=") + QLatin1String(locale),
                                         QStringLiteral("LC_ALL=") + QLatin1String(locale)};
        const QString folder = temp.filePath(QStringLiteral("inventory-") + QLatin1String(locale));
        ASSERT_EQ(runProgram(QStringLiteral("stowbook-setup"), {folder}, environment).exitCode, 0);
        for (const OtherFile &file : files) {
            SCOPED_TRACE(
                QStringLiteral("%1 under %2").arg(QLatin1String(file.name), QLatin1String(locale)).toStdString());
            const QString path =
                temp.filePath(QString::fromLatin1(file.name).replace(u' ', u'-') + QStringLiteral(".csv"));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(file.bytes);
            out.close();
            qint64 before = 0;
            {
                auto db = Database::open(folder + QStringLiteral("/stowbook.db"));
                before = db->scalar(QStringLiteral("select coalesce(max(iteid), 0) from items")).toLongLong();
            }
            const ProgramResult run = runProgram(
                QStringLiteral("stowbook-setup"),
                QStringList{QStringLiteral("--add-items"), path} + file.options + QStringList{folder}, environment);
            const QString output = QString::fromUtf8(run.out);
            ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
            EXPECT_TRUE(output.contains(QStringLiteral("Reading %1: %2.").arg(path, QString::fromUtf8(file.reading))))
                << output.toStdString();
            if (*file.problem)
                EXPECT_TRUE(output.contains(QString::fromUtf8(file.problem))) << output.toStdString();
            else
                EXPECT_FALSE(output.contains(QStringLiteral("Rows with problems"))) << output.toStdString();
            auto db = Database::open(folder + QStringLiteral("/stowbook.db"));
            QStringList expected;
            for (const QString &item : file.items)
                expected << item;
            EXPECT_EQ(itemsAfter(*db, before), expected);
        }
    }
}

// Counts read as English and are grouped as the amounts beside them.
TEST(FilesOfOtherPrograms, TheCommandLineCountsInWords)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString path = temp.filePath(QStringLiteral("many.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item,Category,Location\n");
    for (int i = 0; i < 1001; ++i)
        file.write("Thing " + QByteArray::number(i) + ",Tools,Shed\n");
    file.close();
    const QString one = temp.filePath(QStringLiteral("one.csv"));
    QFile single(one);
    ASSERT_TRUE(single.open(QIODevice::WriteOnly));
    single.write("Item\nLamp\n");
    single.close();
    struct Case {
        const char *locale;
        QString file;
        const char *said;
        const char *folder; // what the new folder holds
    };
    const Case cases[] = {
        {"en_US.UTF-8", path, "Imported 1,001 items from %1; 1 category and 1 location added.",
         "1,001 items, 1 category, 1 location\n"},
        {"de_DE.UTF-8", path, "Imported 1.001 items from %1; 1 category and 1 location added.",
         "1.001 items, 1 category, 1 location\n"},
        {"en_US.UTF-8", one, "Imported 1 item from %1; 0 categories and 0 locations added.",
         "1 item, 0 categories, 0 locations\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.locale);
        const QString folder =
            temp.filePath(QStringLiteral("data-%1-%2").arg(QLatin1String(c.locale)).arg(c.file.size()));
        const ProgramResult run = runProgram(
            QStringLiteral("stowbook-setup"), {QStringLiteral("--import"), c.file, folder},
            {QStringLiteral("LANG=") + QLatin1String(c.locale), QStringLiteral("LC_ALL=") + QLatin1String(c.locale)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.out).contains(QString::fromUtf8(c.said).arg(c.file)))
            << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(c.folder)) << run.out.toStdString();
    }
}

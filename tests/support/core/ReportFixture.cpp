#include "ReportFixture.h"

#include <QFile>

QString perFieldItems(const QString &fill, const QList<std::pair<int, QString>> &values)
{
    QStringList items(15, fill);
    for (const auto &[id, value] : values)
        items[id - 1] = value;
    return items.join(QLatin1Char(';'));
}

QStringList validReportLines()
{
    const QString flags = perFieldItems(QStringLiteral("0"));
    const QString texts = perFieldItems(QString());
    return {
        QStringLiteral("items"),
        QStringLiteral("Test Report"),
        QStringLiteral("1"),
        QStringLiteral("0"),
        QStringLiteral("1"),
        QStringLiteral("0"),
        QStringLiteral("0"),
        QStringLiteral("-1"),
        QStringLiteral("-1"),
        QStringLiteral("2"),
        QStringLiteral("1;8"),
        flags,
        flags,
        texts,
        flags,
        flags,
        texts,
        texts,
        perFieldItems(QStringLiteral("1"), {{1, QStringLiteral("2.5")}}),
        flags,
        flags,
        perFieldItems(QStringLiteral("0"), {{8, QStringLiteral("1")}}),
    };
}

QByteArray reportFileBytesOf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

ReportTest::ReportTest(const SetupOptions &options) : folder(options)
{
    catalogueDb = Database::open(folder.file(CatalogueFileName));
}

QString ReportTest::putFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = folder.file(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

int ReportTest::addCatalogueRow(const QString &fieldname, int datatype, const QString &desc, const QString &fileName,
                                const QString &linkField)
{
    const int specid = catalogueDb->scalar(QStringLiteral("select max(specid) + 1 from rptspec")).toInt();
    catalogueDb->execute(
        QStringLiteral("insert into rptspec (specid, usewith, fieldname, datatype, \"Desc\", defwidth, "
                       "IsCurrency, FileName, Linkfield) values (?, 'items', ?, ?, ?, 1, 0, ?, ?)"),
        {specid, fieldname, datatype, desc, fileName, linkField.isEmpty() ? QVariant() : QVariant(linkField)});
    return specid;
}

ReportSpec ReportTest::validSpec()
{
    ReportFileReader reader(household, *catalogueDb);
    const auto report = reader.read(putFile(QStringLiteral("valid.srp"), reportFileBytesOf(validReportLines())));
    if (!report) {
        ADD_FAILURE() << "the valid file was refused: " << reader.problem().toStdString();
        return {};
    }
    return report->spec;
}

int ReportTest::invalidFileMessages() const
{
    int count = 0;
    for (const ScriptedPrompts::Call &call : prompts.messages()) {
        EXPECT_EQ(call.text,
                  QStringLiteral("There appears to be an error in the report file for the selected report."));
        EXPECT_EQ(call.title, QStringLiteral("Invalid Report File"));
        EXPECT_EQ(call.buttons, Prompts::Buttons::Ok);
        EXPECT_EQ(call.icon, Prompts::Icon::None);
        ++count;
    }
    return count;
}

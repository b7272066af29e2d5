#include "reports/DesignerReportFile.h"

#include "program/Household.h"
#include "reports/FieldOrder.h"
#include "reports/ReportFileText.h"
#include "reports/ReportNumbers.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

// The sort lines of a file, counted from 1.
static constexpr int Sort1Line = 8;
static constexpr int Sort2Line = 9;
// Larger than any report file; refused before it fills the memory.
static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

bool isDesignerReportFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("rpt"), Qt::CaseInsensitive) == 0;
}

QString designerReportFileName(const QString &chosen)
{
    return isDesignerReportFile(chosen) ? chosen : chosen + QStringLiteral(".rpt");
}

std::optional<int> sortKeyAtPosition(const ReportCatalogue &catalogue, int position)
{
    if (position == -1)
        return -1;
    if (position < 0 || position >= catalogue.count())
        return std::nullopt;
    return fieldsInCaptionOrder(catalogue)[std::size_t(position)]->specid;
}

std::optional<LoadedReport> readDesignerReportFile(Household &household, Database &catalogueDb, const QString &path,
                                                   QString *problem)
{
    const auto refuse = [&](const QString &why) -> std::optional<LoadedReport> {
        if (problem)
            *problem = why;
        showInvalidReportFile();
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    if (file.size() > MaxFileBytes)
        return refuse(QStringLiteral("%1 is far too large for a report file").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    return readDesignerReportBytes(household, catalogueDb, bytes, problem);
}

std::optional<LoadedReport> readDesignerReportBytes(Household &household, Database &catalogueDb,
                                                    const QByteArray &bytes, QString *problem)
{
    const auto refuse = [&](const QString &why) -> std::optional<LoadedReport> {
        if (problem)
            *problem = why;
        showInvalidReportFile();
        return std::nullopt;
    };
    QStringList lines = splitFileLines(decodeUtf8Or1252(bytes));
    if (lines.isEmpty())
        return refuse(QStringLiteral("line 1: the file is empty"));

    LoadedReport report;
    try {
        report.catalogue = ReportCatalogue::load(catalogueDb, lines.constFirst());
    } catch (const DbError &error) {
        if (problem)
            *problem = QStringLiteral("the report field catalogue cannot be read: %1  %2")
                           .arg(error.number())
                           .arg(error.text());
        reportCatalogueFailure(household, error);
        return std::nullopt;
    }
    // The positions become specids before the ordinary checks; a line that
    // is no number is left for those checks to refuse.
    for (const int number : {Sort1Line, Sort2Line}) {
        if (lines.size() < number)
            break;
        const std::optional<qint16> position = readFileInteger(lines[number - 1]);
        if (!position)
            continue;
        const std::optional<int> key = sortKeyAtPosition(report.catalogue, *position);
        if (!key)
            return refuse(QStringLiteral("line %1: sort position %2 is not in the list of %3 fields")
                              .arg(number)
                              .arg(*position)
                              .arg(report.catalogue.count()));
        lines[number - 1] = QString::number(*key);
    }
    QString why;
    std::optional<ReportSpec> spec = parseReportLines(lines, report.catalogue, &why);
    if (!spec)
        return refuse(why);
    for (const CatalogueField &field : report.catalogue.fields()) {
        if (spec->FieldIsCurrency.contains(field.specid))
            spec->FieldIsCurrency[field.specid] = field.isCurrency;
    }
    report.spec = std::move(*spec);
    if (problem)
        problem->clear();
    return report;
}

namespace {

// Stores the items of a per-field line; false at the first item that does
// not read. Items past the arrays are ignored unsplit, so a line of a
// million ";" costs no million items.
template <class T, class Read>
bool readItems(const QString &line, PerField<T> &values, Read read)
{
    if (line.isEmpty())
        return true;
    qsizetype start = 0;
    for (int k = 1; k <= values.size(); ++k) {
        qsizetype end = line.indexOf(QLatin1Char(';'), start);
        if (end < 0)
            end = line.size();
        const std::optional<T> value = read(QStringView(line).mid(start, end - start));
        if (!value)
            return false;
        values[k] = *value;
        if (end == line.size())
            break;
        start = end + 1;
    }
    return true;
}

std::optional<bool> readFlag(QStringView item)
{
    if (item == u"0")
        return false;
    if (item == u"1")
        return true;
    return std::nullopt;
}

std::optional<QString> readText(QStringView item)
{
    return item.toString();
}

std::optional<DateValue> readDate(QStringView item)
{
    const std::optional<double> serial = readFileDecimal(item);
    return serial ? std::optional<DateValue>(DateValue(*serial)) : std::nullopt;
}

std::optional<float> readWidth(QStringView item)
{
    const std::optional<double> value = readFileDecimal(item);
    // A width beyond single precision would become infinite, and be saved
    // back as 0.
    if (!value || !std::isfinite(float(*value)))
        return std::nullopt;
    return float(*value);
}

} // namespace

DesignerFileLines readDesignerFileLines(const QStringList &lines, int maxSpecId, ReportSpec &arrays)
{
    DesignerFileLines read;
    constexpr int FirstCodeLine = 3;
    constexpr int FieldIdsLine = 11;
    constexpr int LastLine = 21;
    if (lines.size() < LastLine)
        return read;

    struct Range {
        int low;
        int high;
    };
    const Range ranges[DesignerFileCodes] = {
        {1, 3}, {0, 1}, {0, 1}, {0, 2}, {0, 1}, {-1, maxSpecId - 1}, {-1, maxSpecId - 1}, {INT16_MIN, INT16_MAX}};
    for (int i = 0; i < DesignerFileCodes; ++i) {
        const std::optional<qint16> n = readFileInteger(lines[FirstCodeLine - 1 + i]);
        if (!n || *n < ranges[i].low || *n > ranges[i].high)
            return read;
        read.codes << *n;
    }

    const QString &ids = lines[FieldIdsLine - 1];
    if (!ids.isEmpty()) {
        // Only numbers a catalogue can hold are kept, so the list never
        // holds more entries than a 16-bit count of fields.
        for (qsizetype start = 0; start <= ids.size();) {
            qsizetype end = ids.indexOf(QLatin1Char(';'), start);
            if (end < 0)
                end = ids.size();
            const std::optional<qint16> specid = readFileInteger(QStringView(ids).mid(start, end - start));
            if (specid && *specid >= 1 && *specid <= maxSpecId && !read.fieldIds.contains(*specid))
                read.fieldIds << *specid;
            start = end + 1;
        }
    }

    read.valid = readItems(lines[11], arrays.SelTrue, readFlag) && readItems(lines[12], arrays.SelFalse, readFlag)
        && readItems(lines[13], arrays.SelStartsWith, readText) && readItems(lines[14], arrays.SelStart, readDate)
        && readItems(lines[15], arrays.SelEnd, readDate) && readItems(lines[16], arrays.SelLess, readText)
        && readItems(lines[17], arrays.SelGreater, readText) && readItems(lines[18], arrays.FieldWidth, readWidth)
        && readItems(lines[19], arrays.FieldHide, readFlag) && readItems(lines[20], arrays.FieldTotal, readFlag);
    return read;
}

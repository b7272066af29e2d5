#include "reports/DesignerReportFile.h"

#include "reports/ReportFileText.h"
#include "reports/ReportNumbers.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

// The sort lines of a file, counted from 1.
static constexpr int Sort1Line = 8;
static constexpr int Sort2Line = 9;
// Larger than any report file; refused before it fills the memory.
static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

bool isDesignerReportFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("rpt"), Qt::CaseInsensitive) == 0;
}

std::optional<int> sortKeyAtPosition(const ReportCatalogue &catalogue, int position)
{
    if (position == -1)
        return -1;
    if (position < 0 || position >= catalogue.count())
        return std::nullopt;
    std::vector<const CatalogueField *> order;
    order.reserve(std::size_t(catalogue.count()));
    for (const CatalogueField &field : catalogue.fields())
        order.push_back(&field);
    std::stable_sort(order.begin(), order.end(), [](const CatalogueField *a, const CatalogueField *b) {
        const int byCaption = a->desc.compare(b->desc, Qt::CaseInsensitive);
        return byCaption != 0 ? byCaption < 0 : a->specid < b->specid;
    });
    return order[std::size_t(position)]->specid;
}

std::optional<LoadedReport> readDesignerReportFile(Database &catalogueDb, const QString &path, QString *problem)
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
    QStringList lines = splitFileLines(decodeUtf8Or1252(file.readAll()));
    if (file.error() != QFileDevice::NoError)
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    if (lines.isEmpty())
        return refuse(QStringLiteral("line 1: the file is empty"));

    LoadedReport report;
    try {
        report.catalogue = ReportCatalogue::load(catalogueDb, lines.constFirst());
    } catch (const DbError &error) {
        if (problem)
            *problem = QStringLiteral("the report field catalogue cannot be read: %1  %2").arg(error.number()).arg(error.text());
        reportCatalogueFailure(error);
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
                              .arg(number).arg(*position).arg(report.catalogue.count()));
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

#include "reports/ReportFileReader.h"

#include "dates/LocaleConversions.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/ReportFileText.h"
#include "reports/ReportNumbers.h"

#include <QFile>
#include <cmath>
#include <limits>

// A report file is a few kilobytes; anything this large is something else,
// and is refused before it fills the memory.
static constexpr qint64 MaxReportFileBytes = 64 * 1024 * 1024;

void showInvalidReportFile()
{
    prompts().message(QStringLiteral("There appears to be an error in the report file for the selected report."),
                      Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("Invalid Report File"));
}

namespace {

// Line numbers as a report file counts them, from 1.
enum Line {
    LineSubject = 1,
    LineTitle,
    LineReportTo,
    LineOrientation,
    LineShowDate,
    LinePageNumbers,
    LineWidthUnit,
    LineSort1,
    LineSort2,
    LineFieldCount,
    LineFieldIds,
    LineSelTrue,
    LineSelFalse,
    LineSelStartsWith,
    LineSelStart,
    LineSelEnd,
    LineSelLess,
    LineSelGreater,
    LineFieldWidth,
    LineFieldHide,
    LineFieldTotal,
    LineFieldIsCurrency,
};

// Reads the lines of one file into a ReportSpec; the first failed check
// leaves its reason and stops.
class LineParser {
public:
    LineParser(const QStringList &lines, const ReportCatalogue &catalogue) : m_lines(lines), m_catalogue(catalogue) {}

    std::optional<ReportSpec> parse();
    const QString &problem() const { return m_problem; }

private:
    const QString &line(int number) const { return m_lines[number - 1]; }
    bool fail(int number, const QString &what);
    bool readCode(int number, int low, int high, qint16 &target);
    bool readFieldIds();
    // The items of a per-field line, at most one per catalogue field.
    bool itemsOf(int number, QStringList &items);
    bool readFlags(int number, PerField<bool> &target);
    bool readDates(int number, PerField<DateValue> &target);
    bool readWidths(int number, PerField<float> &target);
    bool readTexts(int number, PerField<QString> &target);
    bool checkSortKey(int number, qint16 key);
    bool checkChosenFields();

    const QStringList &m_lines;
    const ReportCatalogue &m_catalogue;
    ReportSpec m_spec;
    QString m_problem;
};

bool LineParser::fail(int number, const QString &what)
{
    m_problem = QStringLiteral("line %1: %2").arg(number).arg(what);
    return false;
}

bool LineParser::readCode(int number, int low, int high, qint16 &target)
{
    const std::optional<qint16> value = readFileInteger(line(number));
    if (!value)
        return fail(number, QStringLiteral("\"%1\" is not a whole number").arg(line(number)));
    if (*value < low || *value > high)
        return fail(number, QStringLiteral("%1 is not from %2 to %3").arg(*value).arg(low).arg(high));
    target = *value;
    return true;
}

bool LineParser::readFieldIds()
{
    qint16 count = 0;
    if (!readCode(LineFieldCount, 1, std::numeric_limits<qint16>::max(), count))
        return false;
    const QString &ids = line(LineFieldIds);
    // Counted before splitting: a line of a million ";" is refused without
    // a million items in memory.
    const qsizetype listed = ids.isEmpty() ? 0 : ids.count(QLatin1Char(';')) + 1;
    if (listed != count)
        return fail(LineFieldCount, QStringLiteral("%1 fields where line 11 lists %2").arg(count).arg(listed));
    const QStringList items = ids.split(QLatin1Char(';'));
    for (const QString &item : items) {
        const std::optional<qint16> id = readFileInteger(item);
        if (!id)
            return fail(LineFieldIds, QStringLiteral("\"%1\" is not a field number").arg(item));
        if (!m_catalogue.contains(*id))
            return fail(
                LineFieldIds,
                QStringLiteral("field %1 is not in the catalogue of \"%2\"").arg(*id).arg(m_catalogue.subject()));
        m_spec.FieldIds << *id;
    }
    return true;
}

bool LineParser::itemsOf(int number, QStringList &items)
{
    const QString &text = line(number);
    const qsizetype count = text.isEmpty() ? 0 : text.count(QLatin1Char(';')) + 1;
    if (count > m_catalogue.count())
        return fail(number, QStringLiteral("%1 items for %2 catalogue fields").arg(count).arg(m_catalogue.count()));
    items = count == 0 ? QStringList() : text.split(QLatin1Char(';'));
    return true;
}

bool LineParser::readFlags(int number, PerField<bool> &target)
{
    QStringList items;
    if (!itemsOf(number, items))
        return false;
    for (int n = 1; n <= items.size(); ++n) {
        const QString &item = items[n - 1];
        if (item != QLatin1String("0") && item != QLatin1String("1"))
            return fail(number, QStringLiteral("item %1 \"%2\" is not 0 or 1").arg(n).arg(item));
        target[n] = item == QLatin1String("1");
    }
    return true;
}

bool LineParser::readDates(int number, PerField<DateValue> &target)
{
    QStringList items;
    if (!itemsOf(number, items))
        return false;
    for (int n = 1; n <= items.size(); ++n) {
        const std::optional<double> serial = readFileDecimal(items[n - 1]);
        if (!serial)
            return fail(number, QStringLiteral("item %1 \"%2\" is not a number").arg(n).arg(items[n - 1]));
        const DateValue date(*serial);
        // A serial no calendar day stands for could not be compared with
        // stored dates.
        if (!date.isZero() && date.toIsoText().isEmpty())
            return fail(number, QStringLiteral("item %1 \"%2\" is not a date").arg(n).arg(items[n - 1]));
        target[n] = date;
    }
    return true;
}

bool LineParser::readWidths(int number, PerField<float> &target)
{
    QStringList items;
    if (!itemsOf(number, items))
        return false;
    for (int n = 1; n <= items.size(); ++n) {
        const std::optional<double> width = readFileDecimal(items[n - 1]);
        if (!width)
            return fail(number, QStringLiteral("item %1 \"%2\" is not a number").arg(n).arg(items[n - 1]));
        // A column cannot be narrower than nothing; 0 is a hidden column.
        if (*width < 0 || !std::isfinite(float(*width)))
            return fail(number, QStringLiteral("item %1 \"%2\" is not a column width").arg(n).arg(items[n - 1]));
        target[n] = float(*width);
    }
    return true;
}

bool LineParser::readTexts(int number, PerField<QString> &target)
{
    QStringList items;
    if (!itemsOf(number, items))
        return false;
    for (int n = 1; n <= items.size(); ++n)
        target[n] = items[n - 1];
    return true;
}

bool LineParser::checkSortKey(int number, qint16 key)
{
    // The sort line names the sort field by its specid; any other number
    // would sort by a field the file does not name.
    if (key != NoSort && !m_catalogue.contains(key))
        return fail(
            number,
            QStringLiteral("sort field %1 is not in the catalogue of \"%2\"").arg(key).arg(m_catalogue.subject()));
    return true;
}

bool LineParser::checkChosenFields()
{
    bool visible = false;
    for (const qint16 id : std::as_const(m_spec.FieldIds)) {
        visible = visible || !m_spec.FieldHide[id];
        if (!m_catalogue.field(id).is(FieldType::Number))
            continue;
        // Number criteria are compared as numbers; text that is none would
        // make the query select by something the user never meant.
        for (const auto &[criterion, number] :
             {std::pair{&m_spec.SelLess, int(LineSelLess)}, std::pair{&m_spec.SelGreater, int(LineSelGreater)}}) {
            const QString &text = (*criterion)[id];
            if (!text.isEmpty() && !toNumber(text))
                return fail(number, QStringLiteral("\"%1\" is not a number").arg(text));
        }
    }
    if (!visible)
        return fail(LineFieldHide, QStringLiteral("every chosen field is hidden"));
    return true;
}

std::optional<ReportSpec> LineParser::parse()
{
    if (m_lines.size() < ReportFileLines) {
        fail(m_lines.size() + 1,
             QStringLiteral("the file ends after %1 of %2 lines").arg(m_lines.size()).arg(ReportFileLines));
        return std::nullopt;
    }
    if (line(LineSubject).compare(m_catalogue.subject(), Qt::CaseInsensitive) != 0 || m_catalogue.isEmpty()) {
        fail(LineSubject, QStringLiteral("the catalogue has no fields for \"%1\"").arg(line(LineSubject)));
        return std::nullopt;
    }
    m_spec.UseWith = line(LineSubject);
    m_spec.Title = line(LineTitle);
    m_spec.resizeFields(m_catalogue.count());

    qint16 showDate = 0;
    constexpr int NoLimit = std::numeric_limits<qint16>::max();
    const bool ok = readCode(LineReportTo, ReportToScreen, ReportToHtmlFile, m_spec.ReportTo)
        && readCode(LineOrientation, 0, 1, m_spec.Orientation) && readCode(LineShowDate, 0, 1, showDate)
        && readCode(LinePageNumbers, PageNumberInHeader, NoPageNumbers, m_spec.PageNumbers)
        && readCode(LineWidthUnit, WidthInInches, WidthInCentimetres, m_spec.WidthUnit)
        && readCode(LineSort1, NoSort, NoLimit, m_spec.Sort1) && readCode(LineSort2, NoSort, NoLimit, m_spec.Sort2)
        && readFieldIds() && readFlags(LineSelTrue, m_spec.SelTrue) && readFlags(LineSelFalse, m_spec.SelFalse)
        && readTexts(LineSelStartsWith, m_spec.SelStartsWith) && readDates(LineSelStart, m_spec.SelStart)
        && readDates(LineSelEnd, m_spec.SelEnd) && readTexts(LineSelLess, m_spec.SelLess)
        && readTexts(LineSelGreater, m_spec.SelGreater) && readWidths(LineFieldWidth, m_spec.FieldWidth)
        && readFlags(LineFieldHide, m_spec.FieldHide) && readFlags(LineFieldTotal, m_spec.FieldTotal)
        && readFlags(LineFieldIsCurrency, m_spec.FieldIsCurrency) && checkSortKey(LineSort1, m_spec.Sort1)
        && checkSortKey(LineSort2, m_spec.Sort2) && checkChosenFields();
    if (!ok)
        return std::nullopt;
    m_spec.ShowDate = showDate == 1;
    return m_spec;
}

} // namespace

std::optional<ReportSpec> parseReportLines(const QStringList &lines, const ReportCatalogue &catalogue, QString *problem)
{
    LineParser parser(lines, catalogue);
    std::optional<ReportSpec> spec = parser.parse();
    if (problem)
        *problem = parser.problem();
    return spec;
}

std::optional<LoadedReport> ReportFileReader::refuse(const QString &problem)
{
    m_problem = problem;
    showInvalidReportFile();
    return std::nullopt;
}

std::optional<LoadedReport> ReportFileReader::read(const QString &path)
{
    m_problem.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    if (file.size() > MaxReportFileBytes)
        return refuse(QStringLiteral("%1 is far too large for a report file").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    file.close();
    return readBytes(bytes);
}

std::optional<LoadedReport> ReportFileReader::readBytes(const QByteArray &bytes)
{
    m_problem.clear();
    QStringList lines = splitFileLines(decodeUtf8Or1252(bytes));
    if (lines.size() > ReportFileLines)
        lines.resize(ReportFileLines);
    if (lines.isEmpty())
        return refuse(QStringLiteral("line 1: the file is empty"));

    LoadedReport report;
    try {
        report.catalogue = ReportCatalogue::load(m_catalogueDb, lines.constFirst());
    } catch (const DbError &error) {
        m_problem =
            QStringLiteral("the report field catalogue cannot be read: %1  %2").arg(error.number()).arg(error.text());
        reportCatalogueFailure(m_household, error);
        return std::nullopt;
    }
    QString problem;
    std::optional<ReportSpec> spec = parseReportLines(lines, report.catalogue, &problem);
    if (!spec)
        return refuse(problem);
    report.spec = std::move(*spec);
    return report;
}

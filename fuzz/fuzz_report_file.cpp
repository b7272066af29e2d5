// The report engine's reading of a report file, from the bytes on up:
// decoding (UTF-8 with the Windows-1252 fallback), splitting into lines and
// every check against the delivered catalogue. What it accepts must be a
// design the writer can write and the reader read back unchanged, and one
// whose statement runs.
#include "FuzzSupport.h"

#include "data/Database.h"
#include "reports/ReportFileReader.h"
#include "reports/ReportFileText.h"
#include "reports/ReportFileWriter.h"

#include <QLocale>
#include <cmath>

namespace {

void checkDecoding(const QByteArray &bytes)
{
    const QString text = decodeUtf8Or1252(bytes);
    // Nothing decoded is half a character.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            FUZZ_REQUIRE(i + 1 < text.size() && text[i + 1].isLowSurrogate(), "lone high surrogate at %1",
                         QString::number(i));
            ++i;
        } else {
            FUZZ_REQUIRE(!c.isLowSurrogate(), "lone low surrogate at %1", QString::number(i));
        }
    }
    // Well-formed UTF-8 reads as UTF-8; the text written back as UTF-8
    // reads as itself (a file saved again keeps its characters).
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    if (QString::fromUtf8(body).toUtf8() == body)
        FUZZ_REQUIRE(text == QString::fromUtf8(body), "well-formed UTF-8 read otherwise");
    FUZZ_REQUIRE(decodeUtf8Or1252(text.toUtf8()) == text || text.startsWith(QChar(0xFEFF)),
                 "the text written as UTF-8 reads otherwise");

    // Lines never hold a line end, and joined again give the text back
    // (up to the kind of line end).
    const QStringList lines = splitFileLines(text);
    for (const QString &line : lines)
        FUZZ_REQUIRE(!line.contains(u'\r') && !line.contains(u'\n'), "a line holds a line end");
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (normalized.endsWith(u'\n'))
        normalized.chop(1);
    FUZZ_REQUIRE(lines.join(u'\n') == normalized, "the lines do not give the text back");
}

bool sameWidths(const PerField<float> &a, const PerField<float> &b)
{
    if (a.size() != b.size())
        return false;
    // Widths are written to seven significant digits, as single precision.
    for (int id = 1; id <= a.size(); ++id) {
        if (std::fabs(a[id] - b[id]) > 1e-6f * std::fmax(1.0f, std::fabs(a[id])))
            return false;
    }
    return true;
}

void checkAccepted(const LoadedReport &report, ReportFileReader &reader)
{
    const ReportSpec &spec = report.spec;
    const int fields = report.catalogue.count();
    FUZZ_REQUIRE(spec.UseWith == report.catalogue.subject(), "subject %1", spec.UseWith);
    FUZZ_REQUIRE(spec.ReportTo >= ReportToScreen && spec.ReportTo <= ReportToHtmlFile, "destination");
    FUZZ_REQUIRE(spec.PageNumbers >= PageNumberInHeader && spec.PageNumbers <= NoPageNumbers, "page numbers");
    FUZZ_REQUIRE(!spec.FieldIds.isEmpty(), "no chosen field");
    for (const qint16 id : spec.FieldIds)
        FUZZ_REQUIRE(report.catalogue.contains(id), "field %1", QString::number(id));
    for (const qint16 key : {spec.Sort1, spec.Sort2})
        FUZZ_REQUIRE(key == NoSort || report.catalogue.contains(key), "sort key %1", QString::number(key));
    FUZZ_REQUIRE(spec.fieldSlots() == fields && spec.FieldWidth.size() == fields && spec.SelEnd.size() == fields,
                 "per-field arrays sized %1", QString::number(spec.fieldSlots()));
    for (int id = 1; id <= fields; ++id) {
        FUZZ_REQUIRE(std::isfinite(spec.FieldWidth[id]) && spec.FieldWidth[id] >= 0, "width %1", QString::number(id));
        for (const DateValue &date : {spec.SelStart[id], spec.SelEnd[id]})
            FUZZ_REQUIRE(date.isZero() || date.date().isValid(), "date serial %1", QString::number(date.serial()));
    }

    // Written and read back: the same design, and the same bytes again.
    QString problem;
    const std::optional<QByteArray> written = reportFileBytes(spec, &problem);
    FUZZ_REQUIRE(written.has_value(), "an accepted design cannot be written: %1", problem);
    const std::optional<LoadedReport> again = reader.readBytes(*written);
    FUZZ_REQUIRE(again.has_value(), "the written design is refused: %1", reader.problem());
    ReportSpec back = again->spec;
    FUZZ_REQUIRE(sameWidths(back.FieldWidth, spec.FieldWidth), "widths changed");
    back.FieldWidth = spec.FieldWidth;
    FUZZ_REQUIRE(back == spec, "the design read back differs");
    const std::optional<QByteArray> rewritten = reportFileBytes(again->spec);
    FUZZ_REQUIRE(rewritten == written, "writing the design read back gives other bytes");
    checkStatementRuns(spec, report.catalogue);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    installSilentPrompts();
    setDefaultLocale("en_US");
    fuzzCatalogue();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    checkDecoding(bytes);
    ReportFileReader reader(fuzzHousehold(), fuzzCatalogue());
    const std::optional<LoadedReport> report = reader.readBytes(bytes);
    if (report)
        checkAccepted(*report, reader);
    else
        FUZZ_REQUIRE(!reader.problem().isEmpty(), "a refusal without a reason");
    return 0;
}

// The designer's reading of a report file: the run of a designer's file
// (sort positions instead of sort fields, currency from the catalogue) and
// the designer's own Open, which fills its controls and arrays line by line.
// Whatever the run accepts must run, and Open must read it in full, to the
// same values.
#include "FuzzSupport.h"

#include "data/Database.h"
#include "reports/DesignerReportFile.h"
#include "reports/ReportFileText.h"

#include <cmath>

namespace {

// The designer's arrays after a reset, as the run's reader starts them.
ReportSpec defaultArrays(int fields)
{
    ReportSpec arrays;
    arrays.resizeFields(fields);
    return arrays;
}

void checkOpen(const DesignerFileLines &read, const ReportSpec &arrays, int maxSpecId)
{
    FUZZ_REQUIRE(read.codes.size() <= DesignerFileCodes, "%1 codes", QString::number(read.codes.size()));
    FUZZ_REQUIRE(!read.valid || read.codes.size() == DesignerFileCodes, "valid without every code");
    const int high[DesignerFileCodes - 1] = {3, 1, 1, 2, 1, maxSpecId - 1, maxSpecId - 1};
    const int low[DesignerFileCodes - 1] = {1, 0, 0, 0, 0, -1, -1};
    for (int i = 0; i < read.codes.size() && i < DesignerFileCodes - 1; ++i)
        FUZZ_REQUIRE(read.codes[i] >= low[i] && read.codes[i] <= high[i], "code %1 is %2", QString::number(i),
                     QString::number(read.codes[i]));
    FUZZ_REQUIRE(read.codes.size() == DesignerFileCodes || read.fieldIds.isEmpty(), "fields read after a bad code");
    for (qsizetype i = 0; i < read.fieldIds.size(); ++i) {
        const qint16 id = read.fieldIds[i];
        FUZZ_REQUIRE(id >= 1 && id <= maxSpecId && read.fieldIds.indexOf(id) == i, "field %1", QString::number(id));
    }
    // The arrays keep their size: a line of many items never grows them.
    FUZZ_REQUIRE(arrays.SelTrue.size() == maxSpecId && arrays.FieldWidth.size() == maxSpecId
                     && arrays.SelLess.size() == maxSpecId && arrays.FieldTotal.size() == maxSpecId,
                 "arrays resized");
    for (int id = 1; id <= maxSpecId; ++id)
        FUZZ_REQUIRE(std::isfinite(arrays.FieldWidth[id]), "width %1 is not finite", QString::number(id));
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
    Database &catalogueDb = fuzzCatalogue();
    const ReportCatalogue catalogue = ReportCatalogue::load(catalogueDb, QStringLiteral("items"));
    const int maxSpecId = catalogue.count();

    const QStringList lines = splitFileLines(decodeUtf8Or1252(bytes));
    ReportSpec arrays = defaultArrays(maxSpecId);
    const DesignerFileLines read = readDesignerFileLines(lines, maxSpecId, arrays);
    checkOpen(read, arrays, maxSpecId);

    QString problem;
    const std::optional<LoadedReport> run = readDesignerReportBytes(fuzzHousehold(), catalogueDb, bytes, &problem);
    if (!run) {
        FUZZ_REQUIRE(!problem.isEmpty(), "a refusal without a reason");
        return 0;
    }
    const ReportSpec &spec = run->spec;
    FUZZ_REQUIRE(problem.isEmpty(), "a reason for an accepted file: %1", problem);
    for (const qint16 key : {spec.Sort1, spec.Sort2})
        FUZZ_REQUIRE(key == NoSort || run->catalogue.contains(key), "sort key %1", QString::number(key));
    for (const CatalogueField &field : run->catalogue.fields())
        FUZZ_REQUIRE(spec.FieldIsCurrency[field.specid] == field.isCurrency, "currency of %1 not the catalogue's",
                     QString::number(field.specid));
    checkStatementRuns(spec, run->catalogue);
    if (run->catalogue.subject() != catalogue.subject())
        return 0;

    // The run accepts only what Open reads in full, and both read the same.
    FUZZ_REQUIRE(read.valid, "the run accepts a file the designer refuses");
    QList<qint16> unique;
    for (const qint16 id : spec.FieldIds) {
        if (!unique.contains(id))
            unique << id;
    }
    FUZZ_REQUIRE(read.fieldIds == unique, "the designer opens other fields");
    FUZZ_REQUIRE(read.codes[CodeReportTo] == spec.ReportTo && read.codes[CodeOrientation] == spec.Orientation
                     && (read.codes[CodeShowDate] == 1) == spec.ShowDate
                     && read.codes[CodePageNumbers] == spec.PageNumbers && read.codes[CodeWidthUnit] == spec.WidthUnit,
                 "the designer opens other options");
    FUZZ_REQUIRE(sortKeyAtPosition(run->catalogue, read.codes[CodeSort1]) == spec.Sort1
                     && sortKeyAtPosition(run->catalogue, read.codes[CodeSort2]) == spec.Sort2,
                 "the designer opens other sort fields");
    FUZZ_REQUIRE(arrays.SelTrue == spec.SelTrue && arrays.SelFalse == spec.SelFalse
                     && arrays.SelStartsWith == spec.SelStartsWith && arrays.SelStart == spec.SelStart
                     && arrays.SelEnd == spec.SelEnd && arrays.SelLess == spec.SelLess
                     && arrays.SelGreater == spec.SelGreater && arrays.FieldWidth == spec.FieldWidth
                     && arrays.FieldHide == spec.FieldHide && arrays.FieldTotal == spec.FieldTotal,
                 "the designer opens other per-field values");
    return 0;
}

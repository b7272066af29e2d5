// The designer's File menu: New, Open, Save, Save As, and the question
// whether to save before a design is discarded.
#include "designer/frmRptSpec.h"

#include "app/Globals.h"
#include "app/Prompts.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/HandleDbError.h"
#include "data/Recordset.h"
#include "reports/ReportFileReader.h"
#include "reports/ReportFileText.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportNumbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

static const QString ReportFilesFilter = QStringLiteral("Report Files (*.rpt)|*.rpt");
// Longer than any subject the catalogue names.
static constexpr int MaxSubjectLength = 20;
// Larger than any report file; refused before it fills the memory.
static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

static Prompts::FileDialog reportFileDialog()
{
    Prompts::FileDialog dialog;
    dialog.filter = ReportFilesFilter;
    dialog.defaultSuffix = QStringLiteral("rpt");
    return dialog;
}

void frmRptSpec::askToSave()
{
    if (!ReportChanged)
        return;
    if (prompts().message(QStringLiteral("Do you wish to save the current report?"), Prompts::Buttons::YesNo,
                          Prompts::Icon::None, QStringLiteral("Save Current Report"))
        == Prompts::Answer::Yes)
        mnuSave_Click();
}

void frmRptSpec::mnuNew_Click()
{
    askToSave();
    UseWithFilter = ReportUseWith;
    ResetDesigner();
    ReportFileName.clear();
    ReportChanged = false;
}

void frmRptSpec::mnuSave_Click()
{
    if (ReportFileName.isEmpty()) {
        mnuSaveAs_Click();
        return;
    }
    // A failed write leaves the design marked changed, so it is not lost
    // silently on closing.
    if (WriteReportFile(ReportFileName))
        ReportChanged = false;
}

void frmRptSpec::mnuSaveAs_Click()
{
    const std::optional<QString> chosen = prompts().saveFileName(reportFileDialog());
    if (!chosen)
        return;
    KeepExistingFile = false;
    if (QFileInfo::exists(*chosen)
        && prompts().message(QStringLiteral("The report file '") + *chosen
                                 + QStringLiteral("' already exists.  Do you wish to replace it?"),
                             Prompts::Buttons::YesNo, Prompts::Icon::None, QStringLiteral("File Exists"))
               == Prompts::Answer::No)
        KeepExistingFile = true;
    if (KeepExistingFile)
        return;
    if (WriteReportFile(*chosen)) {
        ReportFileName = *chosen;
        ReportChanged = false;
    }
}

bool frmRptSpec::WriteReportFile(const QString &path)
{
    QString problem;
    if (!saveReportFile(path, designForFile(), &problem)) {
        prompts().message(QStringLiteral("The report could not be saved.\n\n") + problem, Prompts::Buttons::Ok,
                          Prompts::Icon::Exclamation, ProgramTitle);
        return false;
    }
    setWindowTitle(WindowCaption + QStringLiteral(" - ") + QString(path).remove(QStringLiteral(".rpt")));
    return true;
}

ReportSpec frmRptSpec::designForFile() const
{
    ReportSpec spec;
    spec.UseWith = UseWithFilter;
    spec.Title = txtTitle->text();
    spec.ReportTo = optReportTo[1]->isChecked() ? ReportToScreen
                    : optReportTo[2]->isChecked() ? ReportToTextFile
                                                  : ReportToHtmlFile;
    spec.Orientation = optOrient[1]->isChecked() ? 1 : 0;
    spec.ShowDate = chkDate->checkState() != Qt::Unchecked;
    spec.PageNumbers = qint16(cmbPageNum->currentIndex());
    spec.WidthUnit = optWidth[0]->isChecked() ? WidthInInches : WidthInCentimetres;
    spec.Sort1 = qint16(cmbSort1->currentIndex());
    spec.Sort2 = qint16(cmbSort2->currentIndex());
    for (int row = 0; row < List2->count(); ++row)
        spec.FieldIds << qint16(specIdOf(List2, row));
    spec.SelTrue = SelTrue;
    spec.SelFalse = SelFalse;
    spec.SelStartsWith = SelStartsWith;
    spec.SelStart = SelStart;
    spec.SelEnd = SelEnd;
    spec.SelLess = SelLess;
    spec.SelGreater = SelGreater;
    spec.FieldWidth = FieldWidth;
    spec.FieldHide = FieldHide;
    spec.FieldTotal = FieldTotal;
    spec.FieldIsCurrency = FieldIsCurrency;
    return spec;
}

void frmRptSpec::mnuOpen_Click()
{
    askToSave();
    const std::optional<QString> chosen = prompts().openFileName(reportFileDialog());
    if (!chosen)
        return;
    // Set before reading, so a refused file still is the one Save writes to.
    ReportFileName = *chosen;
    if (readDesign(*chosen))
        ReportChanged = false;
}

void frmRptSpec::showInvalidFile()
{
    prompts().message(QStringLiteral("This does not appear to be a valid report file for this program."),
                      Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("Invalid Report File"));
}

// Stores the items of a per-field line; false at the first item that does
// not read. Items past the arrays are ignored.
template <class T, class Read>
static bool readItems(const QString &line, PerField<T> &values, Read read)
{
    if (line.isEmpty())
        return true;
    const QStringList items = line.split(QLatin1Char(';'));
    for (int k = 1; k <= items.size() && k <= values.size(); ++k) {
        const std::optional<T> value = read(items[k - 1]);
        if (!value)
            return false;
        values[k] = *value;
    }
    return true;
}

bool frmRptSpec::readDesign(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes) {
        prompts().message(QStringLiteral("The report file '%1' cannot be read: %2").arg(path, file.errorString()),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
        return false;
    }
    const QStringList lines = splitFileLines(decodeUtf8Or1252(file.readAll()));
    file.close();
    const auto invalid = [this] {
        showInvalidFile();
        return false;
    };
    // A file that ends early is as invalid as one with a bad line.
    if (lines.size() < 21)
        return invalid();

    const QString &subject = lines[0];
    if (subject != UseWithFilter) {
        if (subject.size() > MaxSubjectLength)
            return invalid();
        bool known = false;
        trapDb([&] {
            auto rows = dbRptSpec->openRecordset(QStringLiteral("select usewith from rptspec where usewith = ?"),
                                                 RecordsetType::Snapshot, {subject});
            known = !rows->eof();
        });
        if (!known)
            return invalid();
        UseWithFilter = subject;
    }
    if (!ResetDesigner())
        return false;
    txtTitle->setText(lines[1]);

    struct Range {
        int low;
        int high;
    };
    const Range ranges[] = {{1, 3}, {0, 1}, {0, 1}, {0, 2}, {0, 1}, {-1, MaxSpecId - 1}, {-1, MaxSpecId - 1},
                            {INT16_MIN, INT16_MAX}};
    qint16 codes[8] = {};
    for (int i = 0; i < 8; ++i) {
        const std::optional<qint16> n = readFileInteger(lines[2 + i]);
        if (!n || *n < ranges[i].low || *n > ranges[i].high)
            return invalid();
        codes[i] = *n;
        switch (i) {
        case 0: optReportTo[std::size_t(codes[0])]->setChecked(true); break;
        case 1: optOrient[std::size_t(codes[1])]->setChecked(true); break;
        case 2: chkDate->setChecked(codes[2] == 1); break;
        case 3: cmbPageNum->setCurrentIndex(codes[3]); break;
        case 4: optWidth[std::size_t(codes[4])]->setChecked(true); break;
        case 5: cmbSort1->setCurrentIndex(codes[5]); break;
        case 6: cmbSort2->setCurrentIndex(codes[6]); break;
        default: break;
        }
    }

    if (!lines[10].isEmpty()) {
        for (const QString &item : lines[10].split(QLatin1Char(';'))) {
            const std::optional<qint16> specid = readFileInteger(item);
            if (!specid)
                continue;
            for (int row = 0; row < List1->count(); ++row) {
                if (specIdOf(List1, row) != *specid)
                    continue;
                List1->setCurrentRow(row);
                cmdAdd_Click();
                break;
            }
        }
    }

    const auto flag = [](const QString &item) -> std::optional<bool> {
        if (item == QLatin1String("0"))
            return false;
        if (item == QLatin1String("1"))
            return true;
        return std::nullopt;
    };
    const auto text = [](const QString &item) -> std::optional<QString> { return item; };
    const auto date = [](const QString &item) -> std::optional<DateValue> {
        const std::optional<double> serial = readFileDecimal(item);
        return serial ? std::optional<DateValue>(DateValue(*serial)) : std::nullopt;
    };
    const auto width = [](const QString &item) -> std::optional<float> {
        const std::optional<double> value = readFileDecimal(item);
        return value ? std::optional<float>(float(*value)) : std::nullopt;
    };
    const bool read = readItems(lines[11], SelTrue, flag) && readItems(lines[12], SelFalse, flag)
                      && readItems(lines[13], SelStartsWith, text) && readItems(lines[14], SelStart, date)
                      && readItems(lines[15], SelEnd, date) && readItems(lines[16], SelLess, text)
                      && readItems(lines[17], SelGreater, text) && readItems(lines[18], FieldWidth, width)
                      && readItems(lines[19], FieldHide, flag) && readItems(lines[20], FieldTotal, flag);
    if (!read)
        return invalid();
    if (List2->count() > 0) {
        List2->setCurrentRow(0);
        ShowFieldDetails();
    }
    return true;
}

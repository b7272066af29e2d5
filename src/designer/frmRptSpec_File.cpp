// The designer's File menu: New, Open, Save, Save As, and the question
// whether to save before a design is discarded.
#include "designer/frmRptSpec.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "program/FileChoice.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/DesignerReportFile.h"
#include "reports/ReportDefaults.h"
#include "reports/ReportFileReader.h"
#include "reports/ReportFileText.h"
#include "reports/ReportFileWriter.h"

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
    if (!leavePendingEdit())
        return;
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
    if (!leavePendingEdit())
        return;
    const std::optional<QString> picked = chooseSaveFile(m_household, reportFileDialog());
    if (!picked)
        return;
    // The file holds its sort keys as positions in the sort lists, which
    // the report runner reads so only from a ".rpt" file.
    const QString chosen = designerReportFileName(*picked);
    const bool keepExistingFile = QFileInfo::exists(chosen)
        && prompts().message(QStringLiteral("The report file '") + chosen
                                 + QStringLiteral("' already exists.  Do you wish to replace it?"),
                             Prompts::Buttons::YesNo, Prompts::Icon::None, QStringLiteral("File Exists"))
            == Prompts::Answer::No;
    if (keepExistingFile)
        return;
    if (WriteReportFile(chosen)) {
        ReportFileName = chosen;
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
    ReportSpec spec = Design;
    spec.UseWith = UseWithFilter;
    spec.Title = txtTitle->text();
    spec.ReportTo = optReportTo[1]->isChecked() ? ReportToScreen
        : optReportTo[2]->isChecked()           ? ReportToTextFile
                                                : ReportToHtmlFile;
    spec.Orientation = optOrient[1]->isChecked() ? 1 : 0;
    spec.ShowDate = chkDate->checkState() != Qt::Unchecked;
    spec.PageNumbers = qint16(cmbPageNum->currentIndex());
    spec.WidthUnit = optWidth[0]->isChecked() ? WidthInInches : WidthInCentimetres;
    spec.Sort1 = qint16(cmbSort1->currentIndex());
    spec.Sort2 = qint16(cmbSort2->currentIndex());
    for (int row = 0; row < List2->count(); ++row)
        spec.FieldIds << qint16(specIdOf(List2, row));
    return spec;
}

void frmRptSpec::mnuOpen_Click()
{
    askToSave();
    const std::optional<QString> chosen = chooseOpenFile(m_household, reportFileDialog());
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
    // Subjects are names, compared ignoring case like every text here.
    if (subject.compare(UseWithFilter, Qt::CaseInsensitive) != 0) {
        if (subject.size() > MaxSubjectLength)
            return invalid();
        QString known;
        m_household.trapDb([&] {
            auto rows =
                dbRptSpec->openRecordset(QStringLiteral("select usewith from rptspec where fold(usewith) = fold(?)"),
                                         RecordsetType::Snapshot, {subject});
            if (!rows->eof())
                known = rows->value(QStringLiteral("usewith")).toString();
        });
        if (known.isEmpty())
            return invalid();
        // The catalogue's own spelling is what the design is saved with.
        UseWithFilter = known;
    }
    if (!ResetDesigner())
        return false;
    txtTitle->setText(lines[1]);
    txtTitle->setCursorPosition(0);

    // The per-field lines go straight into the design, so each field added
    // below shows the settings the file gives it.
    const DesignerFileLines read = readDesignerFileLines(lines, MaxSpecId, Design);

    // The controls take each code as it is read, up to a code that fails.
    for (int i = 0; i < read.codes.size(); ++i) {
        const qint16 code = read.codes[i];
        switch (i) {
        case CodeReportTo:
            optReportTo[std::size_t(code)]->setChecked(true);
            break;
        case CodeOrientation:
            optOrient[std::size_t(code)]->setChecked(true);
            break;
        case CodeShowDate:
            chkDate->setChecked(code == 1);
            break;
        case CodePageNumbers:
            cmbPageNum->setCurrentIndex(code);
            break;
        case CodeWidthUnit:
            optWidth[std::size_t(code)]->setChecked(true);
            break;
        case CodeSort1:
            cmbSort1->setCurrentIndex(code);
            break;
        case CodeSort2:
            cmbSort2->setCurrentIndex(code);
            break;
        default:
            break;
        }
    }
    if (read.codes.size() < DesignerFileCodes)
        return invalid();

    for (const qint16 specid : read.fieldIds) {
        for (int row = 0; row < List1->count(); ++row) {
            if (specIdOf(List1, row) != specid)
                continue;
            List1->setCurrentRow(row);
            cmdAdd_Click();
            break;
        }
    }

    if (!read.valid)
        return invalid();
    if (List2->count() > 0) {
        List2->setCurrentRow(0);
        ShowFieldDetails();
    }
    return true;
}

#pragma once

#include "transfer/ImportPlan.h"
#include "transfer/ItemImport.h"

#include <QDialog>
#include <optional>
#include <vector>

class Household;
class QComboBox;
class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QTableWidget;

// The Import Items window: a file of items before anything is stored. It
// shows the separator, the encoding, the number style and the date order
// found (each can be changed, and how the last two were found is said above
// the preview), every column of the file with the field it goes into (a
// choice per column), the first rows as they would be stored, and every
// problem by line and field. The user imports all rows, only the good ones,
// or nothing (Cancel). Modal.
class frmImport : public QDialog {
    Q_OBJECT
public:
    // The rows of plan, read from fileName, go into the household's inventory.
    frmImport(Household &household, ImportPlan plan, const QString &fileName, QWidget *parent = nullptr);
    ~frmImport() override;

    // The File menu's entry after the file was chosen: reads it (a file
    // that cannot be read is reported) and shows the window. The outcome
    // when items were stored.
    static std::optional<ImportOutcome> runImport(Household &household, QWidget *owner, const QString &path);

    // Handlers (public so that tests can call them as the events would).
    void cmbSeparator_Click();
    void cmbEncoding_Click();
    void cmbNumbers_Click();
    void cmbDates_Click();
    void cmbField_Click(int column);
    void cmdImportAll_Click();
    void cmdImportGood_Click();
    void cmdCancel_Click();

    const ImportPlan &plan() const { return m_plan; }
    const std::optional<ImportOutcome> &outcome() const { return m_outcome; }
    // The file's columns, and the field choice of each.
    int columnCount() const { return int(m_fieldChoices.size()); }
    QComboBox *fieldChoice(int column) const;

    QLabel *lblFile = nullptr;
    QComboBox *cmbSeparator = nullptr;
    QComboBox *cmbEncoding = nullptr;
    QComboBox *cmbNumbers = nullptr;
    QComboBox *cmbDates = nullptr;
    QScrollArea *scrColumns = nullptr;
    QLabel *lblFindings = nullptr;
    QTableWidget *tblPreview = nullptr;
    QListWidget *lstProblems = nullptr;
    QLabel *lblSummary = nullptr;
    QPushButton *cmdImportAll = nullptr;
    QPushButton *cmdImportGood = nullptr;
    QPushButton *cmdCancel = nullptr;

    static inline const QString Caption = QStringLiteral("Import Items");

private:
    // Shows the plan: the choices, columns, preview, problems and buttons.
    void showPlan();
    void buildColumns();
    void showColumns();
    void showPreview(const ImportSummary &summary);
    void showProblems(const ImportSummary &summary);
    // Runs a change of the plan that reads or checks the file again.
    template <class Change>
    void replan(Change &&change);
    void importRows(ImportChoice choice);

    Household &m_household;
    ImportPlan m_plan;
    std::optional<ImportOutcome> m_outcome;
    QWidget *m_columnsPage = nullptr;
    QGridLayout *m_columnsGrid = nullptr;
    QStringList m_shownHeadings; // the headings the column rows were built for
    std::vector<QComboBox *> m_fieldChoices;
    std::vector<QLabel *> m_firstValues;
};

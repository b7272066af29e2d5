#pragma once

#include "reports/ReportCatalogue.h"
#include "reports/ReportRun.h"
#include "reports/ReportSpec.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

class Database;
class DateBox;
class Household;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;

// The custom report designer. Modeless and one at a time; it is deleted
// when closed, so instance() is null again then. The design is the state of
// its controls plus the per-field arrays of Design, which are indexed by
// the catalogue's specid so that moving a field between the lists never
// moves its settings.
class frmRptSpec : public QMainWindow {
    Q_OBJECT
public:
    // The Custom Reports menu's entry: creates, loads and shows the window
    // for the household's inventory, owned by mainWindow (may be null), or
    // brings the open one forward. Null when the field catalogue cannot be
    // opened or offers no field for ReportUseWith; the reason was shown and
    // no window stays.
    static frmRptSpec *showDesigner(Household &household, QWidget *mainWindow);
    // The open designer, or nullptr.
    static frmRptSpec *instance();
    // For the main window's closing: asks about saving the open design (if
    // any) and closes the designer. Safe to call with no designer open.
    static void closeDesigner();
    ~frmRptSpec() override;

    // Handlers (public so that tests can call them as the events would).
    // False when the catalogue cannot serve (reported); the window is then unusable.
    bool Form_Load();
    // Brings the designer to a new, empty report; false when the catalogue
    // could not be read or offers no field (reported).
    bool ResetDesigner();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void List1_DblClick();
    void List2_Click();
    void cmdCancel_Click();
    void ShowFieldDetails();
    // The detail controls' stores, run on leaving each control. The width,
    // number and time boxes give false when they refused the text and took
    // the focus back.
    bool txtWidth_LostFocus();
    void chkHide_LostFocus();
    void chkTotal_LostFocus();
    void txtStarting_LostFocus();
    bool txtGreater_LostFocus();
    bool txtLess_LostFocus();
    void optTrue_LostFocus();
    void optFalse_LostFocus();
    void dcStartDate_LostFocus();
    void dcEndDate_LostFocus();
    bool txtStartTime_LostFocus();
    bool txtEndTime_LostFocus();
    void optReportTo_Click();
    // Delete or Backspace in a sort list: back to no sort.
    void cmbSort_KeyPress(QComboBox *list);
    // A detail control edited but not yet left counts as left now (Save,
    // Save As and Generate act on what the screen shows): its leave check
    // runs. False when it refused the text, now or at its last check, so the
    // command must not go on.
    bool leavePendingEdit();
    // The save question; Yes runs Save. There is no Cancel.
    void askToSave();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    // The whole design as a report file holds it: Design with the
    // controls' settings, sort keys as list positions.
    ReportSpec designForFile() const;
    // The design as the report engine runs it: sort keys as specids.
    ReportSpec designToRun() const;
    // Produces the report of the design as it stands, without saving it;
    // changes nothing of the design, its file name or its change flag.
    ReportOutcome cmdGenerate_Click();

    static inline const QString WindowCaption = QStringLiteral("Custom Report");
    static inline const QString DefaultTitle = QStringLiteral("Stowbook Report");

    // The model: see the class comment.
    bool ReportChanged = false;
    QString ReportFileName;
    std::unique_ptr<Database> dbRptSpec;
    QString UseWithFilter;
    ReportCatalogue rsFields;
    qint16 MaxSpecId = 0;
    qint32 CurrentSpecId = 0;
    qint16 ShownCriteria = 1;

    // The per-field settings (SelTrue to FieldIsCurrency), indexed by specid
    // from 1 to MaxSpecId and made anew by every reset: the detail controls
    // store into it and Open reads a file into it. Its report-wide members
    // (Title, ReportTo ... FieldIds) stay unused: the controls hold those,
    // and designForFile() joins both for Save and Generate.
    ReportSpec Design;

    // Controls.
    QMenu *mnuFileMenu = nullptr;
    QAction *mnuNew = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuSaveAs = nullptr;
    QAction *mnuExit = nullptr;
    QTabWidget *Tab1 = nullptr;
    QPushButton *cmdGenerate = nullptr;
    QPushButton *cmdCancel = nullptr;
    // Report Fields page.
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QGroupBox *frame1 = nullptr;
    QLineEdit *txtWidth = nullptr;
    QCheckBox *chkHide = nullptr;
    // One criteria frame per data type, indexes 1 to 5 (no fraSel[0]).
    std::array<QGroupBox *, 6> fraSel{};
    QLineEdit *txtStarting = nullptr;
    QLineEdit *txtGreater = nullptr;
    QLineEdit *txtLess = nullptr;
    QCheckBox *chkTotal = nullptr;
    DateBox *dcStartDate = nullptr;
    DateBox *dcEndDate = nullptr;
    QRadioButton *optTrue = nullptr;
    QRadioButton *optFalse = nullptr;
    QLineEdit *txtStartTime = nullptr;
    QLineEdit *txtEndTime = nullptr;
    // Report Options page; the option arrays keep their indexes (no optReportTo[0]).
    QLineEdit *txtTitle = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::array<QRadioButton *, 4> optReportTo{};
    QGroupBox *fraOrient = nullptr;
    std::array<QRadioButton *, 2> optOrient{};
    QGroupBox *fraFormat = nullptr;
    std::array<QRadioButton *, 2> optWidth{};
    QComboBox *cmbPageNum = nullptr;
    QCheckBox *chkDate = nullptr;
    // Sorting page.
    QComboBox *cmbSort1 = nullptr;
    QComboBox *cmbSort2 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmRptSpec(Household &household, QWidget *parent);
    QWidget *buildFieldsPage();
    // The controls of the details frame and their change and leave events.
    void buildDetails();
    // Empties every detail control, as a new report shows them.
    void clearDetails();
    bool storeCriterionNumber(QLineEdit *box, PerField<QString> &values);
    bool storeCriterionTime(QLineEdit *box, PerField<DateValue> &values);
    void storeCriterionDate(DateBox *box, PerField<DateValue> &values);
    QWidget *buildOptionsPage();
    QWidget *buildSortingPage();
    void buildMenu();
    void connectChangeEvents();
    void markChanged();
    // The item data (specid) of a list entry.
    static int specIdOf(const QListWidget *list, int row);
    // Puts an entry into List1 at its place in caption order.
    void insertAvailable(const QString &text, int specid);
    // Moves the List2 entry at row one place by delta (-1 up, +1 down).
    void moveChosen(int delta, const QString &refusal);
    // Writes the design to path (replacing a file only once the new one is
    // whole) and shows the name in the caption; false, reported, when the
    // file could not be written.
    bool WriteReportFile(const QString &path);
    // Reads the file at path into the designer; false at the first invalid
    // line or when it cannot be read (reported).
    bool readDesign(const QString &path);
    void showInvalidFile();
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Runs the leave check of a detail control; false when it refused.
    bool runLeaveCheck(QWidget *control);
    // A detail control was edited by the user, or its leave check ran.
    void noteEdit(QWidget *control);
    void noteChecked(QWidget *control, bool passed);
    // Refuses (with a message saying what to change) a design that the
    // report engine could not run; true when it can run.
    bool designCanRun(const ReportSpec &spec);

    Household &m_household;
    // True while code fills the detail controls: that is no edit.
    bool m_filling = false;
    // True once the save question was asked for this closing.
    bool m_closing = false;
    // The detail control edited since its leave check last ran, and the one
    // whose last check refused its text (unchanged since).
    QPointer<QWidget> m_unchecked;
    QPointer<QWidget> m_refused;
};

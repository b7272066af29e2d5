#pragma once

#include "claim/ClaimItems.h"
#include "claim/ClaimantDetails.h"

#include <QDialog>
#include <QString>
#include <optional>

class DateBox;
class Household;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The insurance claim window: which items, the claimant's details (kept in
// the data folder and offered again next time), and where the PDF goes.
// "&Preview" shows the claim in the Report Output window, from where it
// prints; "&Write PDF" writes the file. Modeless, one at a time, deleted
// when closed.
class frmClaim : public QDialog {
    Q_OBJECT
public:
    // The Reports menu's entry: creates and loads the window for the
    // household's inventory, owned by mainWindow, or brings the open one
    // forward.
    static frmClaim *showClaim(Household &household, QWidget *mainWindow);
    static frmClaim *instance();
    ~frmClaim() override;

    // Handlers (public so that tests can call them as the events would).
    void Form_Load();
    void cmdBrowseReport_Click();
    void cmdBrowseOutput_Click();
    void cmdPreview_Click();
    void cmdWrite_Click();
    void cmdClose_Click();

    // The details as the window holds them now, and the items chosen.
    ClaimantDetails claimant() const;
    ClaimSelection selection() const;

    QRadioButton *optAll;
    QRadioButton *optCategory;
    QComboBox *cmbCategory;
    QRadioButton *optLocation;
    QComboBox *cmbLocation;
    QRadioButton *optReport;
    QLineEdit *txtReport;
    QPushButton *cmdBrowseReport;
    QLineEdit *txtName;
    QPlainTextEdit *txtAddress;
    QLineEdit *txtPolicy;
    DateBox *dcLoss;
    QPlainTextEdit *txtIncident;
    QLineEdit *txtOutput;
    QPushButton *cmdBrowseOutput;
    QPushButton *cmdPreview;
    QPushButton *cmdWrite;
    QPushButton *cmdClose;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmClaim(Household &household, QWidget *mainWindow);
    void fillCodes(QComboBox *list, const QString &statement, const QString &column);
    // The details are written back when they changed; a failure is told and
    // the claim goes on.
    void saveClaimant();
    // The items of the selection, or std::nullopt after telling the user
    // why there are none to claim.
    std::optional<QList<ClaimItem>> chosenItems();
    // Why the date of loss cannot be taken (not a date, or after today);
    // std::nullopt when it can, blank included.
    std::optional<QString> lossDateProblem() const;
    // False, after telling the user the problem, when it cannot.
    bool lossDateReadable();

    Household &m_household;
    QWidget *m_mainWindow;
    ClaimantDetails m_saved;
};

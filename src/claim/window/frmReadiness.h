#pragma once

#include "claim/ClaimReadiness.h"

#include <QDialog>
#include <optional>

class Household;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The claim readiness window of the Reports menu: the household's choices
// (which categories usually have a serial number, above which value an item
// needs a receipt), kept in the inventory when the list is made, and the
// list of the items that would weaken a claim: "&Preview" shows it in the
// Report Output window, "Write &CSV..." writes it for a spreadsheet.
// Modeless, one at a time, deleted when closed.
class frmReadiness : public QDialog {
    Q_OBJECT
public:
    // Creates and loads the window, owned by mainWindow, or brings the open
    // one forward.
    static frmReadiness *showReadiness(Household &household, QWidget *mainWindow);
    static frmReadiness *instance();
    ~frmReadiness() override;

    // Handlers (public so that tests can call them as the events would).
    void Form_Load();
    void cmdPreview_Click();
    void cmdWriteCsv_Click();
    void cmdClose_Click();

    // The choices as the window holds them; std::nullopt, after telling the
    // user, when the value typed is no amount.
    std::optional<ReadinessChoices> choices();

    QLineEdit *txtReceiptAbove;
    QListWidget *lstSerial;
    QLabel *lblSummary;
    QPushButton *cmdPreview;
    QPushButton *cmdWriteCsv;
    QPushButton *cmdClose;

private:
    frmReadiness(Household &household, QWidget *mainWindow);
    // Keeps the choices and checks the items; std::nullopt when either
    // failed (the user was told).
    std::optional<Readiness> check(const ReadinessChoices &choices);
    void showSummary(const Readiness &readiness);

    Household &m_household;
    QWidget *m_mainWindow;
};

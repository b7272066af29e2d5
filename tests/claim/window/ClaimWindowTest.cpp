#include "ClaimFixture.h"

#include "claim/ClaimantDetails.h"
#include "claim/window/frmClaim.h"
#include "data/Inventory.h"
#include "dates/LocaleFormats.h"
#include "dates/Today.h"
#include "dates/calendar/DateBox.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/viewer/frmOutput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ClaimWindowTest : public ClaimTest {
protected:
    void TearDown() override
    {
        delete frmClaim::instance();
        delete frmOutput::current();
        ClaimTest::TearDown();
    }
};

// A person fills in the window, writes the PDF of one location's items and
// previews it; the details are kept in the data folder and offered again.
TEST_F(ClaimWindowTest, TheWindowWritesTheClaimAndKeepsTheClaimantForNextTime)
{
    frmClaim *window = frmClaim::showClaim(household, nullptr);
    ASSERT_TRUE(window->optAll->isChecked());
    ASSERT_GT(window->cmbLocation->count(), 1);
    QTest::keyClicks(window->txtName, QStringLiteral("Ada Lovelace"));
    QTest::keyClicks(window->txtAddress, QStringLiteral("12 Ørsted Road"));
    QTest::keyClicks(window->txtPolicy, QStringLiteral("HX-4411"));
    window->dcLoss->setText(formatShortDate(DateValue::fromDate(QDate(2025, 2, 3))));
    QTest::keyClicks(window->txtIncident, QStringLiteral("Burglary through the back door."));
    window->cmbLocation->setCurrentIndex(1);
    window->optLocation->setChecked(true);
    const QString pdf = folderPath() + QStringLiteral("claim.pdf");
    window->txtOutput->setText(pdf);

    QTest::mouseClick(window->cmdWrite, Qt::LeftButton);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.startsWith(QStringLiteral("The claim of ")))
        << prompts.messages().front().text.toStdString();
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF-"));

    QString problem;
    const ClaimantDetails kept = readClaimantDetails(household.DataFolder(), &problem);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_EQ(
        kept,
        (ClaimantDetails{QStringLiteral("Ada Lovelace"), QStringLiteral("12 Ørsted Road"), QStringLiteral("HX-4411"),
                         DateValue::fromDate(QDate(2025, 2, 3)), QStringLiteral("Burglary through the back door.")}));

    // Writing again asks before the file is replaced; No keeps it.
    prompts.clear();
    const QByteArray first = fileBytes(pdf);
    prompts.answer(Prompts::Answer::No);
    window->cmdWrite_Click();
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(fileBytes(pdf), first);

    QTest::mouseClick(window->cmdPreview, Qt::LeftButton);
    frmOutput *output = frmOutput::current();
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->isVisible());
    ASSERT_GT(output->PrintPreview->pageCount(), 1);
    EXPECT_EQ(output->PrintPreview->pageContent(0).footer.value(1),
              QStringLiteral("Page 1 of %1").arg(output->PrintPreview->pageCount()));

    window->cmdClose_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmClaim::instance(), nullptr) << "closing deletes the window";
    frmClaim *again = frmClaim::showClaim(household, nullptr);
    EXPECT_EQ(again->txtName->text(), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(again->txtAddress->toPlainText(), QStringLiteral("12 Ørsted Road"));
    EXPECT_EQ(again->dcLoss->text(), formatShortDate(DateValue::fromDate(QDate(2025, 2, 3))));
}

// What cannot be claimed is told, and nothing is written.
TEST_F(ClaimWindowTest, RefusalsAreToldAndWriteNothing)
{
    struct Row {
        const char *name;
        std::function<void(frmClaim &)> set;
        const char *message;
    };
    const Row rows[] = {
        {"no file named", [](frmClaim &w) { w.txtOutput->clear(); }, "Name the PDF file"},
        {"a date of loss that is no date", [](frmClaim &w) { w.dcLoss->setText(QStringLiteral("soon")); },
         "You must enter a valid Date of Loss"},
        {"a date of loss after today",
         [](frmClaim &w) {
             setToday(QDate(2025, 2, 2));
             w.dcLoss->setText(formatShortDate(DateValue::fromDate(QDate(2025, 2, 3))));
         },
         "The Date of Loss is after today's date."},
        {"a report file not named", [](frmClaim &w) { w.optReport->setChecked(true); }, "Name the report file"},
        {"a report file whose fields are all hidden",
         [this](frmClaim &w) {
             QFile shipped(household.DataFolder() + QStringLiteral("bycat.srp"));
             ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
             QList<QByteArray> lines = shipped.readAll().split('\n');
             lines[19] = "1;1;1;1;1;1;1;1;1;1;1;1;1;1;1\r";
             putFile(household.DataFolder() + QStringLiteral("hidden.srp"), lines.join('\n'));
             w.txtReport->setText(QStringLiteral("hidden.srp"));
             w.optReport->setChecked(true);
         },
         "There appears to be an error in the report file"},
        {"a location without items",
         [this](frmClaim &w) {
             addItem({{"Item", QStringLiteral("x")}});
             auto db = Database::open(household.DataFolder() + InventoryFileName);
             db->execute(QStringLiteral("insert into locations (locDesc) values ('Shed Nobody Uses')"));
             w.cmbLocation->addItem(QStringLiteral("Shed Nobody Uses"));
             w.cmbLocation->setCurrentText(QStringLiteral("Shed Nobody Uses"));
             w.optLocation->setChecked(true);
         },
         "No items have been entered"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        frmClaim *window = frmClaim::showClaim(household, nullptr);
        const QString pdf = folderPath() + QStringLiteral("refused.pdf");
        window->txtOutput->setText(pdf);
        row.set(*window);
        window->cmdWrite_Click();
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_TRUE(prompts.messages().front().text.startsWith(QLatin1String(row.message)))
            << prompts.messages().front().text.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
        prompts.clear();
        delete window;
        setToday(std::nullopt);
    }
}

#include "TestDatabase.h"

#include <gtest/gtest.h>

// fold() lowers plain ASCII text itself and sends anything else through
// Unicode case folding; both must give what the folding gives.
TEST(Fold, AgreesWithUnicodeCaseFoldingForAsciiAndOtherText)
{
    TestDatabase file;
    auto db = file.open();
    QString everyAscii;
    for (char16_t c = 1; c < 0x80; ++c)
        everyAscii += QChar(c);
    const QString texts[] = {
        QStringLiteral(""),
        everyAscii,
        QStringLiteral("Zebra @[`{ AZ az 09"),
        QStringLiteral("STRASSE Straße"), // one byte past ASCII sends the whole text the long way
        QStringLiteral("ÄPFEL and APPLES"),
        QStringLiteral("ΣΊΣΥΦΟΣ"),
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(db->scalar(QStringLiteral("select fold(?1)"), {text}).toString(), text.toCaseFolded());
        EXPECT_EQ(db->scalar(QStringLiteral("select typeof(fold(?1))"), {text}).toString(), u"text");
    }
}

#include "program/TextFields.h"
#include "ScriptedPrompts.h"
#include "program/ConfirmReplaceFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CountFields, CountsEveryDelimiterIncludingEmptyFields)
{
    struct Row {
        const char *text;
        char delimiter;
        int expected;
    };
    const Row rows[] = {
        {"", ';', 0},                                                 // nothing at all
        {"abc", ';', 1},                                              // no delimiter: one field
        {"1;5;7", ';', 3}, {"a;;b", ';', 3},                          // empty field in the middle counts
        {"a;b;", ';', 3},                                             // and so does one after a trailing delimiter
        {";", ';', 2},     {"12/31/1998", '/', 3}, {"1;5;7", '/', 1}, // another delimiter is just text
    };
    for (const Row &row : rows)
        EXPECT_EQ(CountFields(QString::fromUtf8(row.text), QLatin1Char(row.delimiter)), row.expected) << row.text;
}

TEST(GetField, TakesTheNthFieldOrNothing)
{
    struct Row {
        const char *text;
        char delimiter;
        int n;
        const char *expected;
    };
    const Row rows[] = {
        {"1;5;7", ';', 1, "1"},
        {"1;5;7", ';', 2, "5"},
        {"1;5;7", ';', 3, "7"},
        {"1;5;7", ';', 4, ""}, // beyond the last field
        {"12/31/1998", '/', 3, "1998"},
        {"whole", ';', 1, "whole"}, // no delimiter: the whole text is field 1
        {"whole", ';', 2, ""},
        {"a;;b", ';', 2, ""}, // between adjacent delimiters
        {"a;b;", ';', 3, ""}, // after a delimiter at the end
        {"a;b", ';', 0, ""},  // n below 1
        {"a;b", ';', -3, ""},
        {"", ';', 1, ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(GetField(QString::fromUtf8(row.text), QLatin1Char(row.delimiter), qint16(row.n)),
                  QString::fromUtf8(row.expected))
            << row.text << " field " << row.n;
}

TEST(TextFields, TextsBeyondSixteenBitPositionsAreRefusedWithoutHarm)
{
    const QString longest = QString(MaxFieldText - 1, QLatin1Char('x')) + QLatin1Char(';');
    EXPECT_EQ(CountFields(longest, QLatin1Char(';')), 2);
    EXPECT_EQ(GetField(longest, QLatin1Char(';'), 2), QString());

    const QString tooLong = QString(40000, QLatin1Char('x')) + QStringLiteral(";y");
    EXPECT_EQ(CountFields(tooLong, QLatin1Char(';')), 0);
    EXPECT_EQ(GetField(tooLong, QLatin1Char(';'), 2), QString());
    EXPECT_EQ(GetField(tooLong, QLatin1Char(';'), 1), QString());
}

class ConfirmReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
    ScriptedPrompts prompts;
};

TEST_F(ConfirmReplaceFileTest, AsksNothingForANewFileAndClearsAnEarlierRefusal)
{
    // Nothing of an earlier question carries over: the answer is the result.
    EXPECT_TRUE(ConfirmReplaceFile(dir.filePath(QStringLiteral("new.txt"))));
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(ConfirmReplaceFileTest, AnExistingFileIsKeptOnNoAndReplacedOnYes)
{
    const QString name = dir.filePath(QStringLiteral("out.htm"));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    prompts.answer(Prompts::Answer::No);
    EXPECT_FALSE(ConfirmReplaceFile(name)) << "KeepExistingFile";
    ASSERT_EQ(prompts.messages().size(), 1u);
    const auto asked = prompts.messages().front();
    EXPECT_EQ(asked.text,
              QStringLiteral("The file '") + name + QStringLiteral("' already exists.  Do you wish to replace it?"));
    EXPECT_EQ(asked.title, QStringLiteral("File Exists"));
    EXPECT_EQ(asked.buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(asked.icon, Prompts::Icon::None);

    prompts.answer(Prompts::Answer::Yes);
    EXPECT_TRUE(ConfirmReplaceFile(name));
}

#include "HostileTexts.h"

#include "data/Database.h"

#include <gtest/gtest.h>

QList<HostileText> sqlTexts()
{
    using namespace Qt::Literals::StringLiterals;
    return {
        {"single quote", u"'"_s},
        {"double quote", u"\""_s},
        {"statement end", u"'; drop table items; --"_s},
        {"always true", u"\" or 1=1 --"_s},
        {"percent", u"%"_s},
        {"underscore", u"_"_s},
        {"backslash", u"\\"_s},
        {"open bracket", u"["_s},
        {"nul", QString(u"a\0b"_s)},
        {"mixed", u"O'Brien \"50%_off\" \\[x"_s},
    };
}

QList<HostileText> unicodeTexts()
{
    using namespace Qt::Literals::StringLiterals;
    return {
        {"combining", u"Cafe\u0301 ne\u0301e"_s},
        {"hebrew", u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"_s},
        {"arabic", u"\u0645\u0631\u062D\u0628\u0627 123"_s},
        {"emoji zwj", u"Family \U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F600"_s},
        {"cjk", u"\u6E7E\u5C71\u306E\u304A\u8336\u7897"_s},
        {"greek", u"\u039B\u03AC\u03BC\u03C0\u03B1 \u03A3\u03BF\u03C6\u03AF\u03B1\u03C2"_s},
        {"cyrillic", u"\u041B\u0430\u043C\u043F\u0430 \u0416\u0451\u043B\u0442\u0430\u044F"_s},
        {"deseret", u"\U00010400\U00010428\U00010401 lamp"_s},
    };
}

QString integrityOf(Database &db)
{
    return db.scalar(QStringLiteral("pragma integrity_check")).toString();
}

QString integrityOf(const QString &databasePath)
{
    return integrityOf(*Database::open(databasePath));
}

bool startsFolded(const QString &text, const QString &prefix)
{
    return text.toCaseFolded().startsWith(prefix.toCaseFolded());
}

QList<QStringList> tabRecords(const QString &text)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (field.isEmpty() && text[i] == u'"') {
            ++i;
            for (; i < n; ++i) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
            continue;
        }
        if (text[i] == u'\t') {
            fields << field;
            field.clear();
            ++i;
        } else if (text.mid(i, 2) == QLatin1String("\r\n")) {
            fields << field;
            records << fields;
            fields.clear();
            field.clear();
            i += 2;
        } else {
            field += text[i++];
        }
    }
    EXPECT_TRUE(field.isEmpty() && fields.isEmpty()) << "the file does not end with a line end";
    return records;
}

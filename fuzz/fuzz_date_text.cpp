// Reading dates and times as the locale writes them. The first byte picks
// the default locale; the rest is the typed text (UTF-8). Every date read,
// and a date made from the input's bytes, must come back through the
// locale's short date, the medium time and BuildDateText.
#include "FuzzSupport.h"

#include "dates/DateOrder.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"

#include <QDate>
#include <QLocale>

namespace {

// Day-month-year with ".", "/" and "-", year first (sv_SE, ja_JP, ko_KR,
// hu_HU), month names with inflection (ru_RU, pl_PL), a trailing "г." (bg_BG),
// and Arabic-Indic digits (ar_EG).
const char *const Locales[] = {"en_US", "en_GB", "de_DE", "fr_FR", "sv_SE", "de_CH", "nl_NL", "ja_JP",
                               "ko_KR", "hu_HU", "ru_RU", "pl_PL", "bg_BG", "ar_EG", "es_ES", "it_IT"};
constexpr int LocaleCount = int(sizeof Locales / sizeof *Locales);

int g_locale = -1;

void useLocale(int index)
{
    if (index == g_locale)
        return;
    setDefaultLocale(Locales[index]);
    // As at start-up: the order is found afresh for the locale.
    DateOrder.clear();
    DateSep.clear();
    ChkDateFmt();
    g_locale = index;
}

QString where()
{
    return QString::fromLatin1(Locales[g_locale]);
}

void checkDay(const QDate &day, const QString &source)
{
    const DateValue value = DateValue::fromDate(day);
    const QString shown = formatShortDate(value);
    const std::optional<DateValue> back = toDate(shown);
    FUZZ_REQUIRE(back && back->date() == day, "%1: %2 shown as \"%3\" (from \"%4\") reads back as %5", where(),
                 day.toString(Qt::ISODate), shown, source, back ? back->toIsoText() : QStringLiteral("nothing"));
    const QString built = BuildDateText(qint16(day.month()), qint16(day.day()), qint16(day.year()));
    const std::optional<DateValue> fromParts = toDate(built);
    FUZZ_REQUIRE(fromParts && fromParts->date() == day, "%1: BuildDateText of %2 (\"%3\") reads back as %4", where(),
                 day.toString(Qt::ISODate), built, fromParts ? fromParts->toIsoText() : QStringLiteral("nothing"));
}

void checkTime(const QTime &time, const QString &source)
{
    const QString shown = formatMediumTime(DateValue::fromTime(time));
    const std::optional<DateValue> back = toDate(shown);
    const QTime expected(time.hour(), time.minute());
    FUZZ_REQUIRE(back && back->time() == expected, "%1: %2 shown as \"%3\" (from \"%4\") reads back as %5", where(),
                 time.toString(), shown, source, back ? back->time().toString() : QStringLiteral("nothing"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    installSilentPrompts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    useLocale(data[0] % LocaleCount);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const std::optional<DateValue> value = toDate(text);
    FUZZ_REQUIRE(isDate(text) == value.has_value(), "isDate and toDate disagree on \"%1\"", text);
    if (value) {
        const QDate day = value->date();
        FUZZ_REQUIRE(day.isValid(), "\"%1\" reads as serial %2, no day", text,
                     QString::number(value->serial(), 'g', 17));
        // A time alone lies on the base day of the count.
        FUZZ_REQUIRE((day.year() >= 100 && day.year() <= 9999) || day == QDate(1899, 12, 30), "\"%1\" reads as year %2",
                     text, QString::number(day.year()));
        FUZZ_REQUIRE(value->time().isValid(), "\"%1\" reads with no time of day", text);
        checkDay(day, text);
        checkTime(value->time(), text);
    }
    // A day of the calendar's range and a minute from the input's bytes.
    if (size >= 5) {
        const quint32 raw = quint32(data[1]) << 16 | quint32(data[2]) << 8 | data[3];
        const qint64 first = QDate(100, 1, 1).toJulianDay();
        const qint64 span = QDate(9999, 12, 31).toJulianDay() - first + 1;
        checkDay(QDate::fromJulianDay(first + qint64(raw) % span), QStringLiteral("raw"));
        const int minute = (int(data[3]) << 8 | data[4]) % (24 * 60);
        checkTime(QTime(minute / 60, minute % 60), QStringLiteral("raw"));
    }
    return 0;
}

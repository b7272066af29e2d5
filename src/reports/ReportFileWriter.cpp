#include "reports/ReportFileWriter.h"

#include "data/BufferedSaveFile.h"
#include "reports/ReportNumbers.h"

#include <QSaveFile>
#include <QStringList>

static bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

static QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// A sort line as the print statement writes a number: the place of the
// sign holds a blank when there is none.
static QString sortLine(qint16 key)
{
    return key >= 0 ? QLatin1Char(' ') + QString::number(key) : QString::number(key);
}

template <class T, class Text>
static QString perFieldLine(const ReportSpec &spec, const PerField<T> &values, Text text)
{
    QStringList items;
    items.reserve(spec.fieldSlots());
    for (int id = 1; id <= spec.fieldSlots(); ++id)
        items << text(values.value(id));
    return items.join(QLatin1Char(';'));
}

std::optional<QByteArray> reportFileBytes(const ReportSpec &spec, QString *problem)
{
    const auto refuse = [&](const QString &why) -> std::optional<QByteArray> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (hasLineBreak(spec.UseWith) || hasLineBreak(spec.Title))
        return refuse(QStringLiteral("The report title cannot hold a line break."));
    // A ";" or line break would shift every later item to another field.
    for (const PerField<QString> *texts : {&spec.SelStartsWith, &spec.SelLess, &spec.SelGreater}) {
        for (int id = 1; id <= texts->size(); ++id) {
            const QString &text = (*texts)[id];
            if (text.contains(QLatin1Char(';')) || hasLineBreak(text))
                return refuse(
                    QStringLiteral("A selection criterion cannot hold \";\" or a line break: \"%1\".").arg(text));
        }
    }

    QStringList ids;
    for (const qint16 id : spec.FieldIds)
        ids << QString::number(id);
    const auto date = [](const DateValue &value) { return withLocaleDecimalPoint(doubleText(value.serial())); };
    const auto text = [](const QString &value) { return value; };

    const QStringList lines = {
        spec.UseWith,
        spec.Title,
        QString::number(spec.ReportTo),
        QString::number(spec.Orientation),
        flag(spec.ShowDate),
        QString::number(spec.PageNumbers),
        QString::number(spec.WidthUnit),
        sortLine(spec.Sort1),
        sortLine(spec.Sort2),
        QString::number(spec.FieldCount()),
        ids.join(QLatin1Char(';')),
        perFieldLine(spec, spec.SelTrue, flag),
        perFieldLine(spec, spec.SelFalse, flag),
        perFieldLine(spec, spec.SelStartsWith, text),
        perFieldLine(spec, spec.SelStart, date),
        perFieldLine(spec, spec.SelEnd, date),
        perFieldLine(spec, spec.SelLess, text),
        perFieldLine(spec, spec.SelGreater, text),
        perFieldLine(spec, spec.FieldWidth, [](float width) { return withLocaleDecimalPoint(singleText(width)); }),
        perFieldLine(spec, spec.FieldHide, flag),
        perFieldLine(spec, spec.FieldTotal, flag),
        perFieldLine(spec, spec.FieldIsCurrency, flag),
    };
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool saveReportFile(const QString &path, const ReportSpec &spec, QString *problem)
{
    const std::optional<QByteArray> bytes = reportFileBytes(spec, problem);
    if (!bytes)
        return false;
    QSaveFile file(path);
    std::optional<QString> failure;
    if (!openWhole(file) || file.write(*bytes) != bytes->size())
        failure = file.errorString();
    else
        failure = commitWhole(file);
    if (failure && problem)
        *problem = QStringLiteral("The report file %1 could not be written: %2").arg(path, *failure);
    return !failure;
}

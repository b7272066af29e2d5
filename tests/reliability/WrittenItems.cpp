#include "WrittenItems.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/Money.h"
#include "data/Recordset.h"

#include <QDate>

namespace {

QVariant codeFor(const QList<int> &keys, qint64 version)
{
    if (keys.isEmpty() || version % 4 == 0)
        return QVariant();
    return keys[int(version % keys.size())];
}

QString modelOf(qint64 version)
{
    return QStringLiteral("M-%1").arg(version);
}

} // namespace

QVariantMap writtenItem(qint64 iteid, qint64 version, const CodeKeys &codes)
{
    QVariantMap row;
    row.insert(QStringLiteral("Item"), QStringLiteral("Item %1 v%2").arg(iteid).arg(version));
    row.insert(QStringLiteral("manufact"), QStringLiteral("Fabrique n\u00b0%1 \u00e9t\u00e9").arg(version % 97));
    row.insert(QStringLiteral("model"), modelOf(version));
    row.insert(QStringLiteral("serno"), QStringLiteral("SN-%1-%2").arg(iteid).arg(version * 7919 % 100003));
    row.insert(QStringLiteral("purchdate"),
               version % 5 == 0 ? QVariant()
                                : QVariant::fromValue(DateValue::fromDate(QDate(1990, 1, 1).addDays(version % 12000))));
    row.insert(QStringLiteral("purchprice"), QVariant::fromValue(Money::fromUnits(version * 12345 % 987654321)));
    row.insert(QStringLiteral("estvalue"), QVariant::fromValue(Money::fromUnits(version * 777 % 55555555)));
    const int quantity = int(version % 40) - 3; // zero and below are stored as typed
    row.insert(QStringLiteral("quantity"), quantity);
    row.insert(QStringLiteral("totvalue"), QVariant::fromValue(Money::fromUnits(version * 777 % 55555555 * quantity)));
    row.insert(QStringLiteral("receipt"), version % 2 == 1);
    row.insert(QStringLiteral("wherepurch"), QStringLiteral("Shop %1 \u6f22\u5b57").arg(iteid % 13));
    row.insert(QStringLiteral("misc1"), version % 3 == 0 ? QString() : QStringLiteral("misc %1").arg(version));
    // Every seventh version has notes longer than a page.
    const int noteLength = version % 7 == 0 ? 6000 + int(version % 500) : 20 + int(version % 200);
    QString notes = QStringLiteral("Notes of %1/%2: ").arg(iteid).arg(version);
    while (notes.size() < noteLength)
        notes += QChar(char16_t(u'a' + (notes.size() + version) % 26));
    row.insert(QStringLiteral("Notes"), notes);
    row.insert(QStringLiteral("catid"), codeFor(codes.categories, version));
    row.insert(QStringLiteral("locid"), codeFor(codes.locations, version / 3));
    return row;
}

void setWrittenItem(Recordset &rs, qint64 iteid, qint64 version, const CodeKeys &codes)
{
    const QVariantMap row = writtenItem(iteid, version, codes);
    for (auto it = row.begin(); it != row.end(); ++it)
        rs.setValue(it.key(), it.value());
}

qint64 writtenVersion(const QVariantMap &row)
{
    const QString model = row.value(QStringLiteral("model")).toString();
    if (!model.startsWith(QLatin1String("M-")))
        return -1;
    bool ok = false;
    const qint64 version = model.mid(2).toLongLong(&ok);
    return ok ? version : -1;
}

QString describeValue(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("Null");
    if (value.canConvert<Money>() && value.metaType() == QMetaType::fromType<Money>())
        return QStringLiteral("Money(%1)").arg(value.value<Money>().units());
    if (value.metaType() == QMetaType::fromType<DateValue>())
        return QStringLiteral("Date(%1)").arg(value.value<DateValue>().serial(), 0, 'f', 6);
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(value.typeName()), value.toString());
}

QString differences(const QVariantMap &stored, const QVariantMap &expected)
{
    QStringList out;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QString have = describeValue(stored.value(it.key()));
        const QString want = describeValue(it.value());
        if (have != want)
            out << QStringLiteral("%1: stored %2, written %3").arg(it.key(), have.left(80), want.left(80));
    }
    return out.join(QStringLiteral("; "));
}

QImage writtenPicture(qint64 iteid, qint64 version)
{
    QImage picture(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb(int((x * 7 + version) & 255), int((y * 13 + iteid) & 255), int((x ^ y ^ version) & 255));
    }
    return picture;
}

CodeKeys readCodeKeys(Database &db)
{
    CodeKeys keys;
    auto cats =
        db.openRecordset(QStringLiteral("select catid from categories order by catid"), RecordsetType::Snapshot);
    for (; !cats->eof(); cats->moveNext())
        keys.categories << cats->value(0).toInt();
    auto locs = db.openRecordset(QStringLiteral("select locid from locations order by locid"), RecordsetType::Snapshot);
    for (; !locs->eof(); locs->moveNext())
        keys.locations << locs->value(0).toInt();
    return keys;
}

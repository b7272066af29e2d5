#include "reports/ReportQuery.h"

#include "dates/LocaleConversions.h"
#include "reports/ReportNumbers.h"

float twipsPerUnit(qint16 widthUnit)
{
    return widthUnit == WidthInCentimetres ? 561.6f : 1440.0f;
}

namespace {

// The working texts of the statement as the pass grows them.
class QueryBuilder {
public:
    QueryBuilder(const ReportSpec &spec, const ReportCatalogue &catalogue)
        : m_spec(spec)
        , m_catalogue(catalogue)
        , m_join(spec.UseWith)
    {
    }

    std::optional<ReportQuery> build();
    const QString &problem() const { return m_problem; }

private:
    bool fail(const QString &why)
    {
        m_problem = why;
        return false;
    }
    void addColumn(int id, const CatalogueField &field);
    bool addConditions(int id, const CatalogueField &field);
    void addCondition(const QString &piece, const QVariant &value = QVariant());
    void addJoin(const CatalogueField &field);
    bool addSortKey(qint16 key);

    const ReportSpec &m_spec;
    const ReportCatalogue &m_catalogue;
    QString m_select;
    QString m_join;
    QStringList m_joinedTables;
    QString m_conditions;
    QString m_sort;
    ReportQuery m_query;
    QString m_problem;
};

void QueryBuilder::addColumn(int id, const CatalogueField &field)
{
    if (!m_select.isEmpty())
        m_select += QStringLiteral(", ");
    m_select += field.fieldname;

    ReportColumn column;
    column.specid = id;
    column.caption = field.desc;
    column.widthTwips = m_spec.FieldWidth.value(id) * twipsPerUnit(m_spec.WidthUnit);
    column.widthText = singleText(column.widthTwips);
    column.alignRight = field.is(FieldType::Number);
    column.datatype = field.datatype;
    column.isCurrency = m_spec.FieldIsCurrency.value(id);
    column.total = m_spec.FieldTotal.value(id);
    m_query.columns << column;

    if (column.alignRight)
        m_query.tableFormat += QLatin1Char('>');
    m_query.tableFormat += column.widthText + QLatin1Char('|');
    m_query.tableHeading += column.caption + QLatin1Char('|');
}

void QueryBuilder::addCondition(const QString &piece, const QVariant &value)
{
    m_conditions += piece;
    if (value.isValid())
        m_query.params << value;
}

bool QueryBuilder::addConditions(int id, const CatalogueField &field)
{
    const QString &name = field.fieldname;
    switch (FieldType(field.datatype)) {
    case FieldType::Text:
        if (!m_spec.SelStartsWith.value(id).isEmpty())
            addCondition(QStringLiteral(" and wlike(%1, ?)").arg(name), QString(m_spec.SelStartsWith.value(id) + u'*'));
        return true;
    case FieldType::Number:
        for (const auto &[criterion, op] : {std::pair{&m_spec.SelLess, "<"}, std::pair{&m_spec.SelGreater, ">"}}) {
            const QString &text = criterion->value(id);
            if (text.isEmpty())
                continue;
            const std::optional<double> number = toNumber(text);
            if (!number)
                return fail(QStringLiteral("The criterion \"%1\" of %2 is not a number.").arg(text, field.desc));
            addCondition(QStringLiteral(" and %1 %2 ?").arg(name, QLatin1String(op)), *number);
        }
        return true;
    case FieldType::Date:
        for (const auto &[criterion, op] : {std::pair{&m_spec.SelStart, ">="}, std::pair{&m_spec.SelEnd, "<="}}) {
            const DateValue value = criterion->value(id);
            if (value.isZero())
                continue;
            const QString day = DateValue::fromDate(value.date()).toIsoText();
            if (day.isEmpty())
                return fail(QStringLiteral("The date criterion of %1 is not a day.").arg(field.desc));
            addCondition(QStringLiteral(" and %1 %2 ?").arg(name, QLatin1String(op)), day);
        }
        return true;
    case FieldType::YesNo:
        if (m_spec.SelTrue.value(id))
            addCondition(QStringLiteral(" and ") + name);
        if (m_spec.SelFalse.value(id))
            addCondition(QStringLiteral(" and not ") + name);
        return true;
    case FieldType::Time:
        for (const auto &[criterion, op] : {std::pair{&m_spec.SelStart, ">="}, std::pair{&m_spec.SelEnd, "<="}}) {
            const DateValue value = criterion->value(id);
            if (value.isZero())
                continue;
            const QTime time = value.time();
            if (!time.isValid())
                return fail(QStringLiteral("The time criterion of %1 is not a time.").arg(field.desc));
            addCondition(QStringLiteral(" and time(%1) %2 ?").arg(name, QLatin1String(op)),
                         time.toString(QStringLiteral("HH:mm:ss")));
        }
        return true;
    }
    return true; // a kind without criteria
}

void QueryBuilder::addJoin(const CatalogueField &field)
{
    // SQLite's table names ignore case, so a table is joined once however
    // the catalogue spells it.
    if (!field.isLookup() || field.fileName.compare(m_spec.UseWith, Qt::CaseInsensitive) == 0
        || m_joinedTables.contains(field.fileName, Qt::CaseInsensitive))
        return;
    m_joinedTables << field.fileName;
    m_join = QStringLiteral("(%1 left join %2 on %3.%4 = %2.%5)")
                 .arg(m_join, field.fileName, m_spec.UseWith, field.mainLinkColumn(), field.lookupLinkColumn());
}

bool QueryBuilder::addSortKey(qint16 key)
{
    if (key == NoSort)
        return true;
    if (!m_catalogue.contains(key))
        return fail(QStringLiteral("The sort field %1 is not in the report field catalogue.").arg(key));
    const CatalogueField &field = m_catalogue.field(key);
    // A sort field need not be chosen; its table must still be joined.
    addJoin(field);
    m_sort += m_sort.isEmpty() ? QStringLiteral(" order by ") : QStringLiteral(", ");
    m_sort += field.is(FieldType::Text) ? QStringLiteral("fold(%1)").arg(field.fieldname) : field.fieldname;
    return true;
}

std::optional<ReportQuery> QueryBuilder::build()
{
    for (const qint16 id : m_spec.FieldIds) {
        if (!m_catalogue.contains(id)) {
            fail(QStringLiteral("The field %1 is not in the report field catalogue.").arg(id));
            return std::nullopt;
        }
        const CatalogueField &field = m_catalogue.field(id);
        if (!m_spec.FieldHide.value(id))
            addColumn(id, field);
        if (!addConditions(id, field))
            return std::nullopt;
        addJoin(field);
    }
    if (m_query.columns.isEmpty()) {
        fail(QStringLiteral("Every field of the report is hidden."));
        return std::nullopt;
    }
    // The first piece's " and" goes; the blank before it stays.
    if (!m_conditions.isEmpty())
        m_conditions.remove(0, 4);
    if (!addSortKey(m_spec.Sort1) || !addSortKey(m_spec.Sort2))
        return std::nullopt;

    m_query.tableFormat.back() = QLatin1Char(';');
    m_query.tableHeading.back() = QLatin1Char(';');
    m_query.selection = QStringLiteral(" from ") + m_join;
    if (!m_conditions.isEmpty())
        m_query.selection += QStringLiteral(" where ") + m_conditions;
    m_query.ordering = m_sort;
    m_query.sql = QStringLiteral("Select ") + m_select + m_query.selection + m_query.ordering;
    return m_query;
}

} // namespace

std::optional<ReportQuery> buildReportQuery(const ReportSpec &spec, const ReportCatalogue &catalogue, QString *problem)
{
    QueryBuilder builder(spec, catalogue);
    std::optional<ReportQuery> query = builder.build();
    if (problem)
        *problem = builder.problem();
    return query;
}

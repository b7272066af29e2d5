#include "reports/ReportCatalogue.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "program/Household.h"
#include "program/Prompts.h"

bool CatalogueField::isLookup() const
{
    return !linkField.isEmpty() && fileName.compare(usewith, Qt::CaseInsensitive) != 0;
}

QString CatalogueField::mainLinkColumn() const
{
    return linkField.section(QLatin1Char(';'), 0, 0);
}

QString CatalogueField::lookupLinkColumn() const
{
    return linkField.contains(QLatin1Char(';')) ? linkField.section(QLatin1Char(';'), 1, 1) : linkField;
}

ReportCatalogue ReportCatalogue::load(Database &rptSpec, const QString &subject)
{
    ReportCatalogue catalogue;
    catalogue.m_subject = subject;
    // Subjects are names, compared ignoring case like every text here: a
    // report file saying "Items" is about the items.
    auto rows =
        rptSpec.openRecordset(QStringLiteral("select * from rptspec where fold(usewith) = fold(?) order by specid"),
                              RecordsetType::Snapshot, {subject});
    catalogue.m_fields.reserve(std::size_t(rows->recordCount()));
    for (; !rows->eof(); rows->moveNext()) {
        CatalogueField field;
        field.specid = rows->value(QStringLiteral("specid")).toInt();
        field.usewith = rows->value(QStringLiteral("usewith")).toString();
        field.fieldname = rows->value(QStringLiteral("fieldname")).toString();
        field.datatype = rows->value(QStringLiteral("datatype")).toInt();
        field.desc = rows->value(QStringLiteral("Desc")).toString();
        const QVariant width = rows->value(QStringLiteral("defwidth"));
        field.defwidth = width.isNull() ? 1.0 : width.toDouble();
        field.isCurrency = rows->value(QStringLiteral("IsCurrency")).toBool();
        field.fileName = rows->value(QStringLiteral("FileName")).toString();
        field.linkField = rows->value(QStringLiteral("Linkfield")).toString();
        catalogue.m_fields.push_back(std::move(field));
    }
    rows->close();
    return catalogue;
}

bool ReportCatalogue::contains(int specid) const
{
    // A catalogue with a gap or a repeated number would put rows off their
    // place; such rows are treated as missing rather than used for another.
    return specid >= 1 && specid <= count() && field(specid).specid == specid;
}

void reportCatalogueFailure(Household &household, const DbError &error)
{
    if (error.number() == DbError::NotDatabase) {
        prompts().message(QString::number(error.number()) + QStringLiteral("  ") + error.text(), Prompts::Buttons::Ok,
                          Prompts::Icon::None, ProgramTitle);
        return;
    }
    household.HandleDbError(error);
}

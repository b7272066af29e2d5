#include "claim/ClaimantDetails.h"

#include "data/BufferedSaveFile.h"
#include "data/Inventory.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString NameKey = QStringLiteral("name");
const QString AddressKey = QStringLiteral("address");
const QString PolicyKey = QStringLiteral("policyNumber");
const QString DateKey = QStringLiteral("dateOfLoss");
const QString IncidentKey = QStringLiteral("incident");

// Far more than any name, address or account of a loss; a larger file is
// not one of ours.
constexpr qint64 MaxClaimantFileBytes = 1024 * 1024;

} // namespace

ClaimantDetails readClaimantDetails(const QString &folder, QString *problem)
{
    if (problem)
        problem->clear();
    const auto refuse = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return ClaimantDetails();
    };
    QFile file(folder + ClaimantFileName);
    if (!file.exists())
        return ClaimantDetails();
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    if (file.size() > MaxClaimantFileBytes)
        return refuse(QStringLiteral("the file is larger than %1 bytes").arg(MaxClaimantFileBytes));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refuse(QStringLiteral("the file is not readable JSON"));
    const QJsonObject root = document.object();
    ClaimantDetails details;
    details.name = root.value(NameKey).toString();
    details.address = root.value(AddressKey).toString();
    details.policyNumber = root.value(PolicyKey).toString();
    details.incident = root.value(IncidentKey).toString();
    const QString date = root.value(DateKey).toString();
    if (!date.isEmpty()) {
        const std::optional<DateValue> loss = DateValue::fromIsoText(date);
        if (loss)
            details.dateOfLoss = DateValue::fromDate(loss->date());
        else if (problem)
            *problem = QStringLiteral("the date of loss \"%1\" is not a date").arg(date);
    }
    return details;
}

bool writeClaimantDetails(const QString &folder, const ClaimantDetails &details, QString *error)
{
    QJsonObject root{{NameKey, details.name},
                     {AddressKey, details.address},
                     {PolicyKey, details.policyNumber},
                     {IncidentKey, details.incident}};
    // The day alone, as ISO text: the same on every locale.
    root.insert(DateKey,
                details.dateOfLoss.isZero() ? QString() : DateValue::fromDate(details.dateOfLoss.date()).toIsoText());
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    QSaveFile file(folder + ClaimantFileName);
    std::optional<QString> failure;
    if (!openWhole(file) || file.write(json) != json.size())
        failure = file.errorString();
    else
        failure = commitWhole(file);
    if (failure && error)
        *error = *failure;
    return !failure;
}

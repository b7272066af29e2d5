#pragma once

#include "data/DateValue.h"

#include <QString>

// Who claims, under which policy, and what happened: asked once in the claim
// window, kept in the data folder (ClaimantFileName, UTF-8 JSON) so they are
// offered again next time and travel with every backup.
struct ClaimantDetails {
    QString name;
    QString address; // may hold line breaks
    QString policyNumber;
    DateValue dateOfLoss; // zero when not given
    QString incident;     // a short description; may hold line breaks

    friend bool operator==(const ClaimantDetails &, const ClaimantDetails &) = default;
};

// The details kept in folder (ending with "/"). A folder without the file
// gives empty details; a file that cannot be read or is not such JSON gives
// empty details too, with the reason in *problem (empty otherwise), so a
// damaged file never stops a claim.
ClaimantDetails readClaimantDetails(const QString &folder, QString *problem = nullptr);

// Writes the details to folder's file, replacing it only once the new one is
// complete. False, with the reason in *error, when it cannot be written; the
// old file then stays as it was.
bool writeClaimantDetails(const QString &folder, const ClaimantDetails &details, QString *error = nullptr);

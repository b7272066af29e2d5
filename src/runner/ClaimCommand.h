#pragma once

#include <QString>
#include <QStringList>

class Household;

// "claim OUTPUT.pdf [--category NAME | --location NAME | --report FILE]"
// of stowbook-report: the insurance claim of the data folder's items (all,
// one category's, one location's, or those a report file selects) with the
// claimant details kept in the folder, written to OUTPUT as PDF. arguments
// are those after "claim". Gives the runner's exit code; messages go to
// stderr. An existing OUTPUT is replaced only by a complete claim.
// The data folder is opened as household.
int runClaimCommand(Household &household, const QString &dataFolder, const QStringList &arguments);

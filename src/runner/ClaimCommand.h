#pragma once

#include "program/CommandLine.h"

#include <QList>
#include <QString>
#include <QStringList>

class Household;

// The options that choose the claim's items, without their dashes.
inline const QStringList ClaimSelectionOptions = {QStringLiteral("category"), QStringLiteral("location"),
                                                  QStringLiteral("report")};

// "claim OUTPUT.pdf [--category NAME | --location NAME | --report FILE]"
// of stowbook-report: the insurance claim of the data folder's items (all,
// one category's, one location's, or those a report file selects) with the
// claimant details kept in the folder, written to OUTPUT as PDF. words are
// those after "claim", read with the runner's options; a "-d" among them
// names the data folder instead of dataFolder. Gives the runner's exit code;
// messages go to stderr. An existing OUTPUT is replaced only by a complete
// claim. The data folder is opened as household.
int runClaimCommand(Household &household, const QString &dataFolder, const QList<CommandLineWord> &words);

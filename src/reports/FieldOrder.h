#pragma once

#include "reports/ReportCatalogue.h"

#include <QString>
#include <vector>

// The order in which the designer lists a subject's fields: by caption,
// ignoring case, and equal captions (also those that differ only in case)
// by specid, so that no two fields ever tie. Report files saved by the
// designer keep their sort keys as positions in this order, and the report
// runner turns them back through the same function (sortKeyAtPosition), so
// a position always names the same field for both.

// True when the field (captionA, specidA) comes before (captionB, specidB).
bool captionOrderLess(const QString &captionA, int specidA, const QString &captionB, int specidB);

// The catalogue's rows in that order; the pointers live as long as catalogue.
std::vector<const CatalogueField *> fieldsInCaptionOrder(const ReportCatalogue &catalogue);

#pragma once

#include "reports/ReportCatalogue.h"

#include <QString>
#include <vector>

// The order of the designer's lists: captions ignoring case, equal captions
// by specid. Report files keep sort keys as positions in this order, so it
// must stay the order the report runner turns positions back with.
bool captionOrderLess(const QString &captionA, int specidA, const QString &captionB, int specidB);

// The catalogue's rows in that order; the pointers live as long as catalogue.
std::vector<const CatalogueField *> fieldsInCaptionOrder(const ReportCatalogue &catalogue);

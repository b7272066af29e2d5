#include "reports/FieldOrder.h"

#include <algorithm>

bool captionOrderLess(const QString &captionA, int specidA, const QString &captionB, int specidB)
{
    const int byCaption = captionA.compare(captionB, Qt::CaseInsensitive);
    return byCaption != 0 ? byCaption < 0 : specidA < specidB;
}

std::vector<const CatalogueField *> fieldsInCaptionOrder(const ReportCatalogue &catalogue)
{
    std::vector<const CatalogueField *> order;
    order.reserve(catalogue.fields().size());
    for (const CatalogueField &field : catalogue.fields())
        order.push_back(&field);
    std::stable_sort(order.begin(), order.end(), [](const CatalogueField *a, const CatalogueField *b) {
        return captionOrderLess(a->desc, a->specid, b->desc, b->specid);
    });
    return order;
}

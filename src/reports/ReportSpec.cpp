#include "reports/ReportSpec.h"

void ReportSpec::resizeFields(int count)
{
    SelTrue.resize(count);
    SelFalse.resize(count);
    SelStartsWith.resize(count);
    SelStart.resize(count);
    SelEnd.resize(count);
    SelLess.resize(count);
    SelGreater.resize(count);
    FieldWidth.resize(count);
    FieldHide.resize(count);
    FieldTotal.resize(count);
    FieldIsCurrency.resize(count);
}

#pragma once

#include <QDate>

class PageLayout;

// The serial number list: description, manufacturer, model and serial number
// of every item whose serial number is not empty (blanks count as a serial
// number), in the order the items were stored. Without such items the
// document holds no table at all. Starts doc, fills it and ends it; the
// header carries today's date. Failures go to HandleDbError and the report
// goes on with its next step.
void buildSerialNumberList(PageLayout &doc);
void buildSerialNumberList(PageLayout &doc, const QDate &today);

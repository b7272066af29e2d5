#pragma once

#include <QDate>

class Household;
class PageLayout;

// The serial number list: description, manufacturer, model and serial number
// of every item of the household whose serial number is not empty (blanks
// count as a serial number), in the order the items were stored. Without
// such items the document holds no table at all. Starts doc, fills it and
// ends it; the header carries today's date. Failures go to the household's
// error handler and the report goes on with its next step.
void buildSerialNumberList(Household &household, PageLayout &doc);
void buildSerialNumberList(Household &household, PageLayout &doc, const QDate &today);

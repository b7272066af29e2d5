#pragma once

#include <QDate>

class Household;
class PageLayout;

// The value summary: one row per category (kind 1) or location (any other
// kind) that has items, with the sum of their total values, a row for the
// items without one, and the grand total, of the household's inventory.
// Starts doc, fills it and ends it; the header carries today's date.
// Failures go to the household's error handler and the report goes on with
// its next step.
void buildValueSummary(Household &household, PageLayout &doc, int kind);
void buildValueSummary(Household &household, PageLayout &doc, int kind, const QDate &today);

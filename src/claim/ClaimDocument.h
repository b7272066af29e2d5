#pragma once

#include "claim/ClaimItems.h"
#include "claim/ClaimantDetails.h"

#include <QDate>
#include <QList>

class PageLayout;

// Lays out the insurance claim on doc, replacing what it held: a cover page
// (the claimant, the policy, the date and account of the loss, how many
// items and their total value, which items, the date produced) with the
// value totals by category and by location and a declaration to sign and
// date; then every item with all its fields beside its documents, its
// first photo across the page and its other photos in rows under it, items
// without photos several to a page, each kept whole on a page where it fits
// one; then a page for every receipt (a page of each receipt PDF), labelled
// with its item. Every page's header names the claimant and the policy
// number as typed, every footer reads "Page n of m". Texts are shown as
// they stand, amounts in the locale's currency, dates in its short date.
// Photos and receipts are only read when pages are painted. Throws
// std::overflow_error when a total leaves the money range.
void buildClaimDocument(PageLayout &doc, const ClaimantDetails &claimant, const ClaimSelection &selection,
                        const QList<ClaimItem> &items, const QDate &today);

// The one-line description of an item's fields on its claim page.
QString claimItemFields(const ClaimItem &item);

#pragma once

class PageLayout;

// What a screen report does when its document begins a page: while
// RepeatHeading is set, the page starts with the heading row (TableHeading in
// the columns of TableFormat, shaded in BodyShade). Both the output window and
// programs that print without a window connect it to PageLayout::newPage.
void addRepeatedHeading(PageLayout &document);

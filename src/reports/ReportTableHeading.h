#pragma once

class PageLayout;

// What a screen report does when its document begins a page: a document
// begun with a repeated heading starts the page with that row, shaded.
// Both the output window and programs that print without a window connect
// it to PageLayout::newPage.
void addRepeatedHeading(PageLayout &document);

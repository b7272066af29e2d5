#pragma once

class QLineEdit;

// A box whose text is selected on entering it (so that typing replaces it)
// keeps that selection when the user enters it with the mouse: the press of
// the click that brought the focus would otherwise put the caret where it
// fell. The selection itself is the box's own entering handler's; this only
// stops the focusing click from undoing it. Later clicks place the caret as
// usual.
void keepSelectionOnClickEntry(QLineEdit *box);

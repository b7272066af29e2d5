#pragma once

#include <QString>

// What differs between the two code lists that the maintenance window keeps:
// the table, the statements and the texts the user sees. Everything else of
// the window is the same for both.
struct CodeList {
    qint16 kind; // the CodeListKind value: 1 categories, 2 locations
    // The window's recordset: the key as "id", the description as "descr",
    // in description order ignoring case, the key breaking ties.
    QString statement;
    // True (1) when an item refers to the code bound as ?1.
    QString inUseQuery;
    // Removes the code bound as ?1.
    QString deleteStatement;

    QString caption; // of the window
    QString label;   // above the description box
    int helpTopic;
    QString missingDescription;
    QString deleteQuestion;
    QString deleteTitle;
    QString inUse;
};

// The list for a CodeListKind value; nullptr for any other value.
const CodeList *codeListFor(qint16 kind);

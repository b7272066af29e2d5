#pragma once

#include <QAbstractFileIconProvider>

// The icons and types of a file dialog's list, told from each file's name
// alone. Qt's own provider opens a file to look at its first bytes when the
// name does not settle its type; a file dialog listing the data folder would
// then open and close the inventory database beside the program's own
// connection, and closing any descriptor of a file drops every lock this
// process holds on it. Another program could then delete the log that the
// next changes are written to.
class FileIconsByName : public QAbstractFileIconProvider {
public:
    using QAbstractFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

#pragma once

#include "QtPrinters.h"
#include "setup/DataFolderSetup.h"

#include <QString>
#include <QTemporaryDir>

// A fresh data folder, laid out the way users get one, removed afterwards.
class TestDataFolder {
public:
    explicit TestDataFolder(const SetupOptions &options = {});
    // The folder with a trailing "/", as DataFolder holds it.
    const QString &path() const { return m_path; }
    QString file(const QString &name) const { return m_path + name; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The build folder (where the programs are).
QString buildDir();

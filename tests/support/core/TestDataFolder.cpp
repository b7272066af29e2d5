#include "TestDataFolder.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TestDataFolder::TestDataFolder(const SetupOptions &options)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    m_path = m_dir.path() + QStringLiteral("/data/");
    createDataFolder(m_path, options);
}

QString buildDir()
{
    // The test programs are built into the build folder beside the program.
    return QCoreApplication::applicationDirPath();
}

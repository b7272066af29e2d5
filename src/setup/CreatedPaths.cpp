#include "setup/CreatedPaths.h"

#include <QDir>
#include <QFile>

CreatedPaths::~CreatedPaths()
{
    if (m_kept)
        return;
    for (auto it = m_files.crbegin(); it != m_files.crend(); ++it)
        QFile::remove(*it);
    // rmdir refuses a folder that is not empty, so nothing of anyone else's goes.
    for (auto it = m_folders.crbegin(); it != m_folders.crend(); ++it)
        QDir().rmdir(*it);
}

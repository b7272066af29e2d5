#include "setup/CreatedPaths.h"

#include "setup/PrivateFiles.h"

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
    // A folder made by this setup is gone by now and its old mode fails
    // quietly to apply; nothing more can be done for one that refuses.
    for (auto it = m_modes.crbegin(); it != m_modes.crend(); ++it)
        changeMode(it->first, it->second);
}

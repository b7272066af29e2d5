#include "backup/ZipSupport.h"

#include <cstring>

QString zipErrorText(int zipError, int systemError)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_error_set(&error, zipError, systemError);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString plainZipReadError(int zipError, int systemError)
{
    const QString system = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : QString();
    switch (zipError) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("it is not a ZIP archive (another kind of file, or an archive whose end was cut off)");
    case ZIP_ER_INCONS:
        return QStringLiteral("it is damaged: its list of members does not agree with the members themselves");
    case ZIP_ER_OPEN:
        return QStringLiteral("it cannot be opened (%1)").arg(system);
    case ZIP_ER_READ:
        return QStringLiteral("reading it failed (%1)").arg(system);
    case ZIP_ER_SEEK:
    case ZIP_ER_EOF:
        return QStringLiteral("it ends before its data does: it was cut short");
    case ZIP_ER_CRC:
        return QStringLiteral("its data does not match the checksum stored with it");
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return QStringLiteral("its compressed data is damaged");
    case ZIP_ER_MEMORY:
        return QStringLiteral("there was not enough memory to read it");
    default:
        return zipErrorText(zipError, systemError);
    }
}

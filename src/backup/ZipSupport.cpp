#include "backup/ZipSupport.h"

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

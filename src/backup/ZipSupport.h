#pragma once

#include <QString>
#include <memory>
#include <zip.h>

// Owners of libzip's handles. An archive that is closed on purpose is
// released from its owner first (zip_close frees it only on success).
struct ZipDiscarder {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipArchivePtr = std::unique_ptr<zip_t, ZipDiscarder>;

struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using ZipFilePtr = std::unique_ptr<zip_file_t, ZipFileCloser>;

// libzip's description of an error code (with the system's part, if any).
QString zipErrorText(int zipError, int systemError = 0);
QString zipErrorText(zip_error_t *error);
// What a failure to read an archive means, in plain words for the user
// ("it is not a ZIP archive (...)"), where libzip's own texts ("Not a zip
// archive", "Zip archive inconsistent") say nothing to most people. To
// follow the archive's name and "cannot be read: ".
QString plainZipReadError(int zipError, int systemError = 0);

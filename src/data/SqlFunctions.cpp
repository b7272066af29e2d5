#include "data/SqlFunctions.h"

#include "data/Wildcard.h"

#include <QString>
#include <memory>
#include <new>
#include <sqlite3.h>

static QString valueText(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

static void deletePattern(void *pattern)
{
    delete static_cast<WildcardPattern *>(pattern);
}

static void wlikeFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    try {
        // A statement usually compares many rows with one pattern: it is
        // compiled once and kept with the statement while the pattern stays.
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        const int bytes = sqlite3_value_bytes(argv[0]);
        if (auto *cached = static_cast<WildcardPattern *>(sqlite3_get_auxdata(context, 1))) {
            sqlite3_result_int(context, cached->matchesUtf8(text, bytes) ? 1 : 0);
            return;
        }
        auto pattern = std::make_unique<WildcardPattern>(valueText(argv[1]));
        sqlite3_result_int(context, pattern->matchesUtf8(text, bytes) ? 1 : 0);
        // SQLite owns it from here and may free it at once.
        sqlite3_set_auxdata(context, 1, pattern.release(), deletePattern);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

static bool isAscii(const char *text, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

static void foldFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    // Only text has case; numbers and Null pass unchanged, so "order by
    // fold(x)" still sorts numbers as numbers.
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    try {
        // A sort calls this once per row: plain ASCII text, nearly all of it,
        // is lowered byte by byte with no trip through QString. Case folding
        // of an ASCII character is exactly its lower case.
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        const int bytes = sqlite3_value_bytes(argv[0]);
        if (text && isAscii(text, bytes)) {
            char *lowered = static_cast<char *>(sqlite3_malloc64(sqlite3_uint64(bytes) + 1));
            if (!lowered) {
                sqlite3_result_error_nomem(context);
                return;
            }
            for (int i = 0; i < bytes; ++i) {
                const char c = text[i];
                lowered[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
            }
            lowered[bytes] = '\0';
            sqlite3_result_text64(context, lowered, sqlite3_uint64(bytes), sqlite3_free, SQLITE_UTF8);
            return;
        }
        const QByteArray folded = valueText(argv[0]).toCaseFolded().toUtf8();
        sqlite3_result_text64(context, folded.constData(), sqlite3_uint64(folded.size()), SQLITE_TRANSIENT,
                              SQLITE_UTF8);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

int registerSqlFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function_v2(db, "wlike", 2, flags, nullptr, wlikeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "fold", 1, flags, nullptr, foldFunction, nullptr, nullptr, nullptr);
    return rc;
}

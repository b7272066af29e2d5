#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class Database;
class Household;
class ReportCatalogue;
struct ReportSpec;

// Prompts that show nothing and answer every question with its first
// button; a harness must never end the program, so that aborts (and the
// fuzzer reports it).
void installSilentPrompts();

// For a harness that reads pictures: the image plugins are found through an
// application, here one on the offscreen platform that lives until the
// harness ends; the prompts are the silent ones.
void startPictureFuzzer(int *argc, char ***argv);

// The report field catalogue as every data folder gets it, built once in a
// temporary folder that lives until the harness ends.
Database &fuzzCatalogue();
// The household the readers report the catalogue's failures to (no data
// folder of its own: the harnesses hand the databases in).
Household &fuzzHousehold();

// An empty inventory database as every new data folder gets it, built once
// in the same way.
Database &fuzzInventory();

// Builds the statement of a design that a reader accepted and runs it on
// fuzzInventory(); aborts when it cannot be built or does not run, since
// the readers' checks are the ones the query builder relies on.
void checkStatementRuns(const ReportSpec &spec, const ReportCatalogue &catalogue);

// The default locale, as the program's locale-bound conversions see it.
void setDefaultLocale(const char *name);

// The input as bytes (no copy is kept past the call).
inline QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The message of a broken promise: format with %1, %2... filled in order.
template <class... Args>
QString describe(const char *format, const Args &...args)
{
    QString text = QString::fromUtf8(format);
    ((text = text.arg(args)), ...);
    return text;
}

// A broken promise: the fuzzer keeps the input that led here.
#define FUZZ_REQUIRE(condition, ...)                                                                                   \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);                               \
            std::fprintf(stderr, "  %s\n", qPrintable(describe(__VA_ARGS__)));                                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

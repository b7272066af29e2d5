#pragma once

#include <QString>
#include <QTextStream>
#include <stdexcept>
#include <string>

// What an import from a file does with rows that have problems.
enum class ProblemRows {
    Refuse, // import nothing while any row has a problem
    Skip,   // import the good rows only
    Keep,   // import every row that has a description
};

struct SetupOptions {
    bool demo = false;       // fill the realistic household inventory
    int generatedItems = 0;  // > 0: fill this many generated items instead
    quint32 seed = 20261207; // generated items are the same for the same seed
    QString importFile = {}; // not empty: fill in the items of this CSV file instead
    ProblemRows problemRows = ProblemRows::Refuse;
    QTextStream *report = nullptr; // when set, the import says here what it read and stored
};

class SetupError : public std::runtime_error {
public:
    explicit SetupError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Lays out a new data folder: stowbook.db (empty, or filled as the options
// say), rptspec.db with the report field catalogue, the images folder (with
// the demo pictures), the help file and the three ready-made report files
// bycat.srp, byloc.srp and byitem.srp. The folder may exist but must
// not hold a stowbook.db or rptspec.db: then SetupError is thrown and nothing
// is touched. Any other failure also throws SetupError with a message for
// the user.
void createDataFolder(const QString &folder, const SetupOptions &options);

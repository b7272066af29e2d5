// Reading a backup archive as a restore reads it: opening, the check of its
// members against the manifest, their checksums and the databases'
// integrity, and unpacking what passed. A refusal always says why; an
// archive that passes unpacks only the files its manifest names, inside the
// folder it is unpacked into, and nothing else anywhere. The same bytes are
// also read as a manifest, which inside an archive the checksums guard from
// most changes: a manifest read names only members a backup may hold, and
// reads back the same once written again.
#include "FuzzSupport.h"

#include "backup/BackupError.h"
#include "backup/BackupReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <QTemporaryDir>
#include <memory>

namespace {

QTemporaryDir *scratchRoot()
{
    static QTemporaryDir root;
    return &root;
}

// Every file and folder under folder, relative to it.
QSet<QString> entriesUnder(const QString &folder)
{
    QSet<QString> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.insert(QDir(folder).relativeFilePath(it.next()));
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(*argc, *argv);
    installSilentPrompts();
    FUZZ_REQUIRE(scratchRoot()->isValid(), "no scratch folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    QString problem;
    if (const std::optional<BackupManifest> manifest = parseManifest(bytes, &problem)) {
        for (const BackupMember &member : manifest->members)
            FUZZ_REQUIRE(memberKind(member.name).has_value(), "the manifest names \"%1\"", member.name);
        const std::optional<BackupManifest> again = parseManifest(manifestJson(*manifest), &problem);
        FUZZ_REQUIRE(again && again->members == manifest->members && again->totalValue == manifest->totalValue
                         && again->itemCount == manifest->itemCount,
                     "a manifest written again reads differently: %1", problem);
    } else {
        FUZZ_REQUIRE(!problem.isEmpty(), "a manifest refused without a reason");
    }

    const QString root = scratchRoot()->path();
    const QDir scratch(root);
    scratch.mkpath(QStringLiteral("check"));
    scratch.mkpath(QStringLiteral("unpacked"));
    try {
        const std::unique_ptr<BackupArchive> archive = BackupArchive::openBytes(bytes);
        archive->verify(scratch.filePath(QStringLiteral("check")));
        QSet<QString> expected{QStringLiteral("images")};
        for (const BackupMember &member : archive->manifest().members) {
            FUZZ_REQUIRE(memberKind(member.name).has_value(), "a member \"%1\" passed that a backup never holds",
                         member.name);
            expected.insert(member.name);
        }
        archive->extractTo(scratch.filePath(QStringLiteral("unpacked")));
        const QSet<QString> unpacked = entriesUnder(scratch.filePath(QStringLiteral("unpacked")));
        FUZZ_REQUIRE(unpacked == expected, "unpacked %1 files for %2 members", QString::number(unpacked.size()),
                     QString::number(expected.size()));
    } catch (const BackupError &error) {
        FUZZ_REQUIRE(!error.message().isEmpty(), "a backup refused without a reason");
    }
    FUZZ_REQUIRE(entriesUnder(scratch.filePath(QStringLiteral("check"))).isEmpty(), "a scratch copy was left");
    QDir(scratch.filePath(QStringLiteral("unpacked"))).removeRecursively();
    const QSet<QString> left = entriesUnder(root);
    FUZZ_REQUIRE(left == QSet<QString>{QStringLiteral("check")}, "something was written beside the folders: %1",
                 QStringList(left.values()).join(QStringLiteral(", ")));
    return 0;
}

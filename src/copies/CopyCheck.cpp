#include "copies/CopyCheck.h"

#include "backup/DatabaseCopy.h"
#include "copies/StagedFile.h"
#include "data/DbError.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <thread>

namespace {

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// Why the file at path is not the member, or an empty text. read: the
// file's digest when it was read already.
QString fileProblem(const QString &path, const BackupMember &member, const DigestResult *read = nullptr)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        return QStringLiteral("is not a plain file");
    if (!info.exists())
        return QStringLiteral("is missing");
    QString problem;
    const std::optional<FileDigest> digest = read ? read->digest : digestOf(path, &problem);
    if (read)
        problem = read->problem;
    if (!digest)
        return QStringLiteral("cannot be read (%1)").arg(problem);
    if (digest->size != member.size)
        return QStringLiteral("holds %1 bytes, not the %2 its manifest gives").arg(digest->size).arg(member.size);
    if (digest->sha256 != member.sha256)
        return QStringLiteral("does not match its checksum");
    return QString();
}

QString databaseProblem(const QString &path, MemberKind kind, const BackupManifest &contents)
{
    try {
        const QString problems = integrityProblems(path);
        if (!problems.isEmpty())
            return QStringLiteral("fails its integrity check: %1").arg(problems);
        if (kind == MemberKind::Inventory) {
            const InventoryFigures figures = inventoryFigures(path);
            if (figures.items != contents.itemCount || figures.totalValue != contents.totalValue)
                return QStringLiteral("holds %1 items worth %2, the manifest says %3 worth %4")
                    .arg(figures.items)
                    .arg(figures.totalValue.toDecimalText())
                    .arg(contents.itemCount)
                    .arg(contents.totalValue.toDecimalText());
        }
    } catch (const DbError &error) {
        return QStringLiteral("cannot be read (%1  %2)").arg(error.number()).arg(error.text());
    }
    return QString();
}

} // namespace

bool CopiesCheck::sound() const
{
    if (!damagedStored.isEmpty())
        return false;
    for (const VersionCheck &version : versions) {
        if (!version.sound())
            return false;
    }
    return true;
}

QStringList checkVersion(const CopyPlace &place, const FoundVersion &version,
                         QHash<QByteArray, QString> *storedProblems)
{
    if (!version.manifest)
        return {version.problem};
    QHash<QByteArray, QString> own;
    if (!storedProblems)
        storedProblems = &own;
    QStringList problems;
    const QString folder = place.versionFolder(version.name);
    for (const BackupMember &member : version.manifest->contents.members) {
        if (isStoredMember(member)) {
            auto found = storedProblems->constFind(member.sha256);
            if (found == storedProblems->constEnd())
                found = storedProblems->insert(member.sha256, fileProblem(place.storedFile(member.sha256), member));
            if (!found->isEmpty())
                problems << QStringLiteral("%1 (stored as %2) %3")
                                .arg(quoted(member.name), CopyPlace::storedName(member.sha256), *found);
            continue;
        }
        const QString path = folder + u'/' + member.name;
        QString problem = fileProblem(path, member);
        const MemberKind kind = *memberKind(member.name);
        if (problem.isEmpty() && (kind == MemberKind::Inventory || kind == MemberKind::Catalogue))
            problem = databaseProblem(path, kind, version.manifest->contents);
        if (!problem.isEmpty())
            problems << QStringLiteral("%1 %2").arg(quoted(member.name), problem);
    }
    return problems;
}

CopiesCheck checkCopies(const CopyPlace &place, const std::function<void(double)> &progress)
{
    CopiesCheck check{place, QString(), {}, {}, 0};
    const QList<FoundVersion> versions = findVersions(place);
    // Every stored file once, on several threads, before the versions that
    // use them are looked at.
    QHash<QByteArray, QString> storedProblems;
    QList<BackupMember> stored;
    for (const FoundVersion &version : versions) {
        if (!version.manifest)
            continue;
        for (const BackupMember &member : version.manifest->contents.members) {
            if (isStoredMember(member) && !storedProblems.contains(member.sha256)) {
                storedProblems.insert(member.sha256, QString());
                stored << member;
            }
        }
    }
    QStringList paths;
    for (const BackupMember &member : stored)
        paths << place.storedFile(member.sha256);
    const QList<DigestResult> digests = digestsOf(paths);
    for (qsizetype i = 0; i < stored.size(); ++i)
        storedProblems[stored[i].sha256] = fileProblem(paths[i], stored[i], &digests[i]);
    QHash<QByteArray, QStringList> usedBy;
    // The versions' databases, also on several threads: each check has its
    // own connections, and every stored file is known by now.
    QList<QStringList> problems(versions.size());
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        QHash<QByteArray, QString> known = storedProblems;
        for (qsizetype i = next++; i < versions.size(); i = next++)
            problems[i] = checkVersion(place, versions[i], &known);
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads && i < unsigned(versions.size()); ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();

    int done = 0;
    for (qsizetype i = 0; i < versions.size(); ++i) {
        const FoundVersion &version = versions[i];
        check.versions.append(VersionCheck{version, problems[i]});
        if (version.manifest) {
            check.dataFolder = version.manifest->dataFolder;
            for (const BackupMember &member : version.manifest->contents.members) {
                if (isStoredMember(member))
                    usedBy[member.sha256] << QStringLiteral("%1 in %2").arg(member.name, version.name);
            }
        }
        if (progress)
            progress(double(++done) / double(versions.size()));
    }
    check.storedFiles = int(storedProblems.size());
    for (auto stored = storedProblems.constBegin(); stored != storedProblems.constEnd(); ++stored) {
        if (!stored->isEmpty())
            check.damagedStored.append(StoredCheck{CopyPlace::storedName(stored.key()), *stored, usedBy[stored.key()]});
    }
    std::sort(check.damagedStored.begin(), check.damagedStored.end(),
              [](const StoredCheck &a, const StoredCheck &b) { return a.name < b.name; });
    return check;
}

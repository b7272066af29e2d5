#pragma once

#include "backup/BackupManifest.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <optional>

// The size and checksum of each member as it went into an archive, in the
// order the members were planned. libzip reads the members' sources while
// it writes the archive; the manifest, written last, is made from this.
class MemberHashes {
public:
    // The members to come, in archive order.
    void expect(const QStringList &names);
    void record(const BackupMember &member);
    // The first source that failed, with the reason; the archive then fails.
    void fail(const QString &name, const QString &reason);
    QString failure() const;
    // Every expected member in order, once all have been recorded.
    std::optional<QList<BackupMember>> complete() const;

private:
    mutable QMutex m_lock;
    QStringList m_names;
    QHash<QString, BackupMember> m_recorded;
    QString m_failure;
};

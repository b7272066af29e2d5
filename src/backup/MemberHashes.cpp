#include "backup/MemberHashes.h"

#include <QMutexLocker>

void MemberHashes::expect(const QStringList &names)
{
    const QMutexLocker locker(&m_lock);
    m_names = names;
    m_recorded.clear();
}

void MemberHashes::record(const BackupMember &member)
{
    const QMutexLocker locker(&m_lock);
    m_recorded.insert(member.name, member);
}

void MemberHashes::fail(const QString &name, const QString &reason)
{
    const QMutexLocker locker(&m_lock);
    if (m_failure.isEmpty())
        m_failure = QStringLiteral("%1: %2").arg(name, reason);
}

QString MemberHashes::failure() const
{
    const QMutexLocker locker(&m_lock);
    return m_failure;
}

std::optional<QList<BackupMember>> MemberHashes::complete() const
{
    const QMutexLocker locker(&m_lock);
    if (m_recorded.size() != m_names.size())
        return std::nullopt;
    QList<BackupMember> members;
    members.reserve(m_names.size());
    for (const QString &name : m_names) {
        const auto found = m_recorded.constFind(name);
        if (found == m_recorded.constEnd())
            return std::nullopt;
        members.append(*found);
    }
    return members;
}

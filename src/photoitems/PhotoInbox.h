#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The inbox: a folder that something else fills with photos (a phone's
// sync, a camera's card), chosen once for an inventory. Its new photos are
// offered as items; those taken into the inventory move to its "done"
// folder, so the inbox holds only what is still to do and nothing is ever
// deleted.

// The inbox of the inventory in dataFolder (kept with the user's settings
// under the inventory's identity, so two data folders keep their own);
// empty when none was chosen.
QString readInboxFolder(const QString &dataFolder);
// An empty folder stops using an inbox.
void writeInboxFolder(const QString &dataFolder, const QString &folder);

// The folder, under the inbox, that the photos taken in move to.
inline const QString InboxDoneName = QStringLiteral("done");

// The files directly in the folder (no hidden ones, no folders), by name.
QStringList filesInFolder(const QString &folder);
// The paths with every folder among them replaced by its files.
QStringList withFolderFiles(const QStringList &paths);

// One look at an inbox after another. A file is offered once it is quiet:
// written to QuietSeconds or more before the look, and, when an earlier
// look saw it, of the size seen then; a copy in progress waits for a later
// look. Files named as photos only; partial downloads and hidden files
// (which sync programs write first) are never offered.
class PhotoInbox {
public:
    static constexpr int QuietSeconds = 5;

    explicit PhotoInbox(const QString &folder);
    const QString &folder() const { return m_folder; }

    // The photos ready at now, by name; the folder missing or unreadable
    // (a card taken out) gives none.
    QStringList look(const QDateTime &now);
    // The photos the last look left for later.
    int waiting() const { return m_waiting; }

    // Moves the photo into the done folder (made when missing) under its
    // name, or, when that is taken, the name with " (2)", " (3)", ... before
    // its extension: a file there is never replaced. The new path, or
    // nothing with the reason in *error.
    std::optional<QString> moveToDone(const QString &path, QString *error) const;

private:
    QString m_folder;
    QHash<QString, qint64> m_sizes; // at the last look, by path
    int m_waiting = 0;
};

#pragma once

#include "photoitems/PhotoBatch.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QThreadPool>
#include <vector>

class Household;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// The Add Items from Photos window: a batch of photos in the order they
// were taken, grouped into proposed items (photos taken within a number of
// seconds of each other are one item). The user types a description for
// each item (Enter goes on to the next), splits an item at a photo or joins
// it with the next, leaves photos out (those the inventory has already are
// left out unless ticked), and chooses a category, a location and a value
// for the whole batch. Add Items stores them all at once, Cancel nothing.
// Modal.
class frmPhotoItems : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Add Items from Photos");

    // photos: in the order taken (readPhotos); skipped: the files that are
    // no photos this program reads, each with why.
    frmPhotoItems(Household &household, std::vector<BatchPhoto> photos, QStringList skipped, QWidget *parent = nullptr);

    // The File menu's entry after the files were chosen: reads them (with a
    // busy cursor) and shows the window, with intro above the photos when
    // given. The keys of the items added; *taken, when given, gets the
    // photos the inventory has once they were added (theirs, and those it
    // had already).
    static std::vector<qint64> run(Household &household, QWidget *owner, const QStringList &paths,
                                   const QString &intro = QString(), QStringList *taken = nullptr);
    // The photos of paths as the window takes them (readPhotos, the known
    // ones marked), and the files skipped, each with why.
    struct Batch {
        std::vector<BatchPhoto> photos;
        QStringList skipped;
    };
    static Batch readBatch(Household &household, const QStringList &paths);

    ~frmPhotoItems() override;

    const std::vector<qint64> &addedKeys() const { return m_added; }
    // After Add Items: the photos stored with the items, and those left out
    // because the inventory had them already.
    const QStringList &takenPaths() const { return m_taken; }
    // A line above the photos saying where they come from.
    void setIntro(const QString &text);
    // Thumbnails asked for and not yet read.
    int thumbnailsPending() const { return int(m_asked.size()) - int(m_thumbnails.size()); }
    int itemCount() const { return int(m_starts.size()); }

    // Handlers (public so that tests can call them as the events would).
    void spnGap_Change();
    void lstItems_Click();
    void txtDescription_Enter();
    void cmdSplit_Click();
    void cmdJoin_Click();
    void cmdAdd_Click();

    QSpinBox *spnGap = nullptr;
    QListWidget *lstItems = nullptr;
    QListWidget *lstPhotos = nullptr;
    QLineEdit *txtDescription = nullptr;
    QPushButton *cmdSplit = nullptr;
    QPushButton *cmdJoin = nullptr;
    QComboBox *cmbCategory = nullptr;
    QComboBox *cmbLocation = nullptr;
    QLineEdit *txtValue = nullptr;
    QLabel *lblSummary = nullptr;
    QLabel *lblIntro = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();
    void fillCodes(QComboBox *box, const QString &statement, const QString &descColumn, const QString &idColumn);
    // The group shown, and its photos [first, end).
    int currentGroup() const;
    std::pair<int, int> photosOf(int group) const;
    QString itemLabel(int group) const;
    void showItems(int select);
    void showPhotos();
    void showSummary();
    // The photo's thumbnail when it was read; else it is asked for, on
    // another thread, and the photo's entry gets it when it is read.
    QIcon thumbnail(int photo);
    void thumbnailRead(int photo, const QImage &image);

    Household &m_household;
    std::vector<BatchPhoto> m_photos;
    QStringList m_skipped;
    std::vector<bool> m_included;
    // The first photo of each item, ascending; the descriptions by the
    // item's first photo.
    std::vector<int> m_starts;
    QHash<int, QString> m_descriptions;
    QHash<int, QIcon> m_thumbnails;
    QSet<int> m_asked;
    // Last, so it is the first to go: its threads end before anything they
    // report to.
    QThreadPool m_readers;
    std::vector<qint64> m_added;
    QStringList m_taken;
    bool m_showing = false;
};

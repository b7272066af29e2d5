#include "app/QtPrompts.h"
#include "app/FileIconsByName.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QWidget *owner()
{
    return QApplication::activeWindow();
}

QMessageBox::StandardButtons toStandard(Prompts::Buttons buttons)
{
    switch (buttons) {
    case Prompts::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompts::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompts::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::None:
        return QMessageBox::NoIcon;
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QString filterAt(const QString &qtFilter, int oneBasedIndex)
{
    const QStringList filters = qtFilter.split(QStringLiteral(";;"));
    if (oneBasedIndex >= 1 && oneBasedIndex <= filters.size())
        return filters[oneBasedIndex - 1];
    return QString();
}

// Qt's own file dialog, whose list tells icons and types by name
// (FileIconsByName); the desktop's dialogs, run inside this process, look
// into the files they list too. The dialog starts in an empty folder and
// moves to the one asked for only once the icons are set, so no file there is
// looked into before.
class FileDialogBox {
public:
    FileDialogBox(const Prompts::FileDialog &dialog, QFileDialog::FileMode mode,
                  QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen)
    {
        const QString filter = toQtFileFilter(dialog.filter);
        QTemporaryDir empty;
        m_box = std::make_unique<QFileDialog>(owner(), dialog.title, empty.path(), filter);
        m_box->setOption(QFileDialog::DontUseNativeDialog, true);
        m_box->setIconProvider(&m_icons);
        m_box->setFileMode(mode);
        m_box->setAcceptMode(accept);
        const QString selected = filterAt(filter, dialog.filterIndex);
        if (!selected.isEmpty())
            m_box->selectNameFilter(selected);
        m_box->setDirectory(dialog.initialFolder.isEmpty() ? QDir::currentPath() : dialog.initialFolder);
        if (!dialog.fileName.isEmpty())
            m_box->selectFile(dialog.fileName);
    }

    QFileDialog *operator->() const { return m_box.get(); }

    // The chosen files, or none when the dialog was cancelled.
    QStringList run() const { return m_box->exec() == QDialog::Accepted ? m_box->selectedFiles() : QStringList(); }

private:
    FileIconsByName m_icons; // outlives the dialog, which uses it to its end
    std::unique_ptr<QFileDialog> m_box;
};

} // namespace

Prompts::Answer QtPrompts::message(const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    QMessageBox box(toIcon(icon), title.isEmpty() ? ProgramTitle : title, text, toStandard(buttons), owner());
    // Answering with Escape: the "no harm" answer of each button set.
    switch (buttons) {
    case Buttons::Ok:
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // Messages are answered with the normal pointer even during a long task.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    switch (result) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

std::optional<QString> QtPrompts::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title.isEmpty() ? ProgramTitle : title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtPrompts::openFileName(const FileDialog &dialog)
{
    const QStringList chosen = FileDialogBox(dialog, QFileDialog::ExistingFile).run();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}

QStringList QtPrompts::openFileNames(const FileDialog &dialog)
{
    const FileDialogBox box(dialog, QFileDialog::ExistingFiles);
    if (!dialog.orFolder)
        return box.run();
    // Qt's dialog takes files or a folder, never either: a button of ours
    // takes the folder it shows.
    QString folder;
    auto *whole = new QPushButton(QStringLiteral("Take the Whole &Folder"), box.operator->());
    whole->setObjectName(QStringLiteral("cmdWholeFolder"));
    whole->setAutoDefault(false);
    whole->setToolTip(QStringLiteral("Every photo in the folder shown"));
    QObject::connect(whole, &QPushButton::clicked, box.operator->(), [&folder, &box] {
        folder = box->directory().absolutePath();
        // Not accept(): with no file chosen it would stay open.
        static_cast<QDialog *>(box.operator->())->done(QDialog::Accepted);
    });
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addWidget(whole, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignLeft);
    else if (box->layout())
        box->layout()->addWidget(whole);
    const QStringList files = box.run();
    if (!folder.isEmpty())
        return {folder};
    return files;
}

std::optional<QString> QtPrompts::folderName(const FileDialog &dialog)
{
    const FileDialogBox box(dialog, QFileDialog::Directory);
    box->setOption(QFileDialog::ShowDirsOnly, true);
    const QStringList chosen = box.run();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}

std::optional<QString> QtPrompts::saveFileName(const FileDialog &dialog)
{
    const FileDialogBox box(dialog, QFileDialog::AnyFile, QFileDialog::AcceptSave);
    // The replace question is the program's own (ConfirmReplaceFile).
    box->setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!dialog.defaultSuffix.isEmpty())
        box->setDefaultSuffix(dialog.defaultSuffix);
    const QStringList chosen = box.run();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}

void QtPrompts::beep()
{
    QApplication::beep();
}

void QtPrompts::openWebAddress(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address));
}

void QtPrompts::setBusy(bool busy)
{
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void QtPrompts::endProgram(int exitCode)
{
    // At once: SQLite's journal keeps the files consistent without a close.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

#include "app/QtPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

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
    const QString filter = toQtFileFilter(dialog.filter);
    QString selected = filterAt(filter, dialog.filterIndex);
    QString start = dialog.initialFolder;
    if (!dialog.fileName.isEmpty())
        start = start.isEmpty() ? dialog.fileName : start + QLatin1Char('/') + dialog.fileName;
    const QString name = QFileDialog::getOpenFileName(owner(), dialog.title, start, filter, &selected);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

QStringList QtPrompts::openFileNames(const FileDialog &dialog)
{
    const QString filter = toQtFileFilter(dialog.filter);
    QString selected = filterAt(filter, dialog.filterIndex);
    return QFileDialog::getOpenFileNames(owner(), dialog.title, dialog.initialFolder, filter, &selected);
}

std::optional<QString> QtPrompts::saveFileName(const FileDialog &dialog)
{
    const QString filter = toQtFileFilter(dialog.filter);
    QString start = dialog.initialFolder;
    if (!dialog.fileName.isEmpty())
        start = start.isEmpty() ? dialog.fileName : start + QLatin1Char('/') + dialog.fileName;
    QFileDialog box(owner(), dialog.title, start, filter);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    // The replace question is the program's own (ConfirmReplaceFile).
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!dialog.defaultSuffix.isEmpty())
        box.setDefaultSuffix(dialog.defaultSuffix);
    const QString selected = filterAt(filter, dialog.filterIndex);
    if (!selected.isEmpty())
        box.selectNameFilter(selected);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    return box.selectedFiles().constFirst();
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

#pragma once

#include "help/viewer/HelpViewer.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// The help file as the program ships it into every data folder.
inline QByteArray shippedHelpText()
{
    QFile file(BuiltInHelpFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a help file into the temporary folder and returns its path.
inline QString writeHelpFile(const QTemporaryDir &dir, const QByteArray &bytes,
                             const QString &name = QStringLiteral("stowbook-help.html"))
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// A small help file whose pages are easy to tell apart.
inline const QByteArray SmallHelpFile =
    "<html><head><style>h2 { color: #123456; }</style></head><body>\n"
    "<section id=\"contents\"><h1>Small Contents</h1>"
    "<a href=\"#topic-5\">Lamps</a> <a href=\"#using-help\">Help</a></section>\n"
    "<section id=\"topic-5\"><h2>Lamps &amp; Lights</h2><p>Reading lamps and ceiling lights.</p>"
    "<p><a href=\"https://example.org/lamps\">Lamp makers</a></p></section>\n"
    "<section id=\"topic-6\"><h2>Serial plates</h2><p>Where lamps hide their serial numbers.</p></section>\n"
    "<section id=\"using-help\"><h2>Using the small help</h2><p>Press the buttons.</p></section>\n"
    "</body></html>\n";

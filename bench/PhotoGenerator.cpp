// Makes photo-like JPEG files for the claim and backup benchmarks: shapes
// over a gradient with grain, so the files compress like photos (a few
// megabytes at 4000 x 3000) rather than like flat drawings.
//   stowbook-bench-photos FOLDER COUNT [WIDTH HEIGHT]
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>

static QImage photo(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient sky(0, 0, width, height);
        sky.setColorAt(0, QColor::fromHsv(int(random.bounded(360)), 90, 230));
        sky.setColorAt(1, QColor::fromHsv(int(random.bounded(360)), 160, 90));
        painter.fillRect(image.rect(), sky);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 40; ++i) {
            painter.setBrush(
                QColor::fromHsv(int(random.bounded(360)), int(random.bounded(256)), int(random.bounded(256)), 200));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(random.bounded(width), random.bounded(height)), random.bounded(width / 6) + 20,
                                random.bounded(height / 6) + 20);
        }
    }
    // Grain, as a camera sensor gives it.
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(25)) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + noise, 255), qBound(0, qGreen(p) + noise, 255),
                           qBound(0, qBlue(p) + noise, 255));
        }
    }
    return image;
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: stowbook-bench-photos FOLDER COUNT [WIDTH HEIGHT]\n");
        return 2;
    }
    const QDir folder(args[1]);
    QDir().mkpath(folder.path());
    const int count = args[2].toInt();
    const int width = args.size() > 4 ? args[3].toInt() : 4000;
    const int height = args.size() > 4 ? args[4].toInt() : 3000;
    for (int i = 0; i < count; ++i) {
        QImageWriter writer(folder.filePath(QStringLiteral("photo-%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), "jpeg");
        writer.setQuality(90);
        if (!writer.write(photo(width, height, quint32(1000 + i)))) {
            std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
            return 1;
        }
    }
    return 0;
}

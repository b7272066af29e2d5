#pragma once

#include <QByteArray>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>

// Reads HEIF pictures (the HEIC photos of phones, and AVIF) through libheif,
// so that every reader of pictures in the program, which goes through
// QImageReader, reads them as it reads JPEG: the picture window, the photo
// strip, the claim and the checks of loaded files. The picture is decoded
// upright: the rotation and mirroring the file asks for are applied by
// libheif, so the handler reports no transformation of its own.
class HeifImageHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    // Whether the device holds a HEIF file, from its first bytes (the file
    // type box and its brand); the device's position stays.
    static bool canRead(QIODevice *device);

private:
    // Reads the file's header once: the primary picture's size.
    bool readHeader() const;

    mutable bool m_headerRead = false;
    mutable QByteArray m_data;
    mutable QSize m_size;
};

class HeifImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heif.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override;
    QImageIOHandler *create(QIODevice *device, const QByteArray &format = QByteArray()) const override;
};

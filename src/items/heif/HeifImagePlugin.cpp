#include "items/heif/HeifImagePlugin.h"

#include <QIODevice>
#include <QImage>
#include <QVariant>
#include <libheif/heif.h>
#include <memory>

namespace {

// The brands of the file type box that name a still picture libheif reads.
bool isHeifBrand(const QByteArray &brand)
{
    static const QByteArray brands[] = {"heic", "heix", "hevc", "hevx", "heim", "heis",
                                        "hevm", "hevs", "mif1", "msf1", "avif", "avis"};
    for (const QByteArray &known : brands) {
        if (brand == known)
            return true;
    }
    return false;
}

struct ContextFree {
    void operator()(heif_context *context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle *handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image *image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;

// The primary picture of the file in data, which must outlive both.
bool openPrimary(const QByteArray &data, Context &context, Handle &handle)
{
    context.reset(heif_context_alloc());
    if (!context)
        return false;
    if (heif_context_read_from_memory_without_copy(context.get(), data.constData(), size_t(data.size()), nullptr).code
        != heif_error_Ok)
        return false;
    heif_image_handle *primary = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok)
        return false;
    handle.reset(primary);
    return true;
}

} // namespace

bool HeifImageHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray head = device->peek(12);
    return head.size() == 12 && head.mid(4, 4) == "ftyp" && isHeifBrand(head.mid(8, 4));
}

bool HeifImageHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("heif");
    return true;
}

bool HeifImageHandler::readHeader() const
{
    if (m_headerRead)
        return m_size.isValid();
    m_headerRead = true;
    if (!device())
        return false;
    m_data = device()->readAll();
    Context context;
    Handle handle;
    if (!openPrimary(m_data, context, handle))
        return false;
    // The size with the file's rotation applied, as the picture is decoded.
    m_size = QSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
    return m_size.isValid() && !m_size.isEmpty();
}

bool HeifImageHandler::read(QImage *image)
{
    if (!readHeader())
        return false;
    Context context;
    Handle handle;
    if (!openPrimary(m_data, context, handle))
        return false;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get());
    heif_image *decoded = nullptr;
    if (heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
            .code
        != heif_error_Ok)
        return false;
    const Image picture(decoded);
    const int width = heif_image_get_primary_width(picture.get());
    const int height = heif_image_get_primary_height(picture.get());
    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(picture.get(), heif_channel_interleaved, &stride);
    if (!pixels || width <= 0 || height <= 0)
        return false;
    // A copy that owns its pixels: the decoded picture goes with the handle.
    *image = QImage(pixels, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888).copy();
    return !image->isNull();
}

QVariant HeifImageHandler::option(ImageOption option) const
{
    if (option == Size && readHeader())
        return m_size;
    return QVariant();
}

bool HeifImageHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

QImageIOPlugin::Capabilities HeifImagePlugin::capabilities(QIODevice *device, const QByteArray &format) const
{
    if (format == "heif" || format == "heic" || format == "avif")
        return CanRead;
    if (!format.isEmpty())
        return {};
    return device && device->isReadable() && HeifImageHandler::canRead(device) ? CanRead : Capabilities();
}

QImageIOHandler *HeifImagePlugin::create(QIODevice *device, const QByteArray &format) const
{
    auto *handler = new HeifImageHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("heif") : format);
    return handler;
}

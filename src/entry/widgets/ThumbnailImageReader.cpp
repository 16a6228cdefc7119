#include "entry/widgets/ThumbnailImageReader.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <cstring>

#include "uikit/QtText.h"

namespace {

const char* QtFormatName(EPhotoFormat format)
{
    switch (format) {
        case EPhotoFormat::Png:
            return "png";
        case EPhotoFormat::WebP:
            return "webp";
        case EPhotoFormat::Tiff:
            return "tiff";
        default:
            return nullptr;
    }
}

bool Cancelled(const CDecodeOptions& options)
{
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

}  // namespace

EDecodeStatus DecodeWithImageReader(const QString& path, EPhotoFormat format, CRgbPicture& picture,
                                    const CDecodeOptions& options)
{
    picture = CRgbPicture{};
    const char* name = QtFormatName(format);
    if (!name) return EDecodeStatus::NotDecodable;
    QImageReader reader(path, name);
    // Only the named format: a file that is not one is not handed to another reader.
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        uint64_t(size.width()) * uint64_t(size.height()) > options.maxPixels)
        return EDecodeStatus::NotDecodable;
    // Readers that can shrink while decoding need not make the whole picture.
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize fit =
            size.scaled(kThumbnailWidth, kThumbnailHeight, Qt::KeepAspectRatioByExpanding);
        if (fit.width() < size.width()) reader.setScaledSize(fit);
    }
    if (Cancelled(options)) return EDecodeStatus::Cancelled;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return EDecodeStatus::NotDecodable;
    if (Cancelled(options)) return EDecodeStatus::Cancelled;

    // Transparent parts show on white, as a viewer shows them.
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QPainter painter(&rgb);
        painter.drawImage(0, 0, image);
    }
    picture.width = rgb.width();
    picture.height = rgb.height();
    const size_t stride = size_t(picture.width) * 3;
    picture.rgb.resize(stride * size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.rgb.data() + stride * size_t(y), rgb.constScanLine(y), stride);
    return EDecodeStatus::Ok;
}

EDecodeStatus DecodeThumbnailPicture(const QString& path, CRgbPicture& picture, CPhotoFacts* facts,
                                     const CDecodeOptions& options)
{
    CPhotoFacts found;
    EDecodeStatus status =
        DecodePhotoFile(PathFromQString(path), picture, &found, nullptr, options);
    if (status == EDecodeStatus::NotDecodable && QtFormatName(found.format))
        status = DecodeWithImageReader(path, found.format, picture, options);
    if (facts) *facts = found;
    return status;
}

#include "photos/widgets/ThumbnailImageReader.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <limits>

#include "photos/DecodeTimeLimit.h"
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

}  // namespace

namespace {

// Qt's own limit on what one image may take, in whole mebibytes (at least one).
int AllocationLimitMiB(const CDecodeOptions& options)
{
    return int(std::clamp<long>(options.maxMemory >> 20, 1, std::numeric_limits<int>::max()));
}

EDecodeStatus ReadWithImageReader(const QString& path, const char* name, CRgbPicture& picture,
                                  const CDecodeOptions& options)
{
    QImageReader reader(path, name);
    // Only the named format: a file that is not one is not handed to another reader.
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(AllocationLimitMiB(options));
    // Checked from the header before anything is decoded: the read cannot be stopped.  The
    // picture is decoded as 32-bit pixels and then converted, so it needs twice that at most.
    const QSize size = reader.size();
    const uint64_t pixels =
        size.isValid() ? uint64_t(size.width()) * uint64_t(size.height()) : uint64_t(0);
    if (!size.isValid() || size.isEmpty() || pixels > options.maxPixels ||
        pixels * 8 > uint64_t(std::max(options.maxMemory, 0L)))
        return EDecodeStatus::NotDecodable;
    // Readers that can shrink while decoding need not make the whole picture.
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize fit =
            size.scaled(options.coverWidth, options.coverHeight, Qt::KeepAspectRatioByExpanding);
        if (fit.width() < size.width()) reader.setScaledSize(fit);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) return EDecodeStatus::NotDecodable;

    // Transparent parts show on white, as a viewer shows them.
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QPainter painter(&rgb);
        painter.drawImage(0, 0, image);
    }
    picture = PictureFromImage(rgb);
    return EDecodeStatus::Ok;
}

}  // namespace

EDecodeStatus DecodeWithImageReader(const QString& path, EPhotoFormat format, CRgbPicture& picture,
                                    const CDecodeOptions& options)
{
    picture = CRgbPicture{};
    const char* name = QtFormatName(format);
    if (!name) return EDecodeStatus::NotDecodable;
    if (options.Cancelled()) return EDecodeStatus::Cancelled;
    // Qt's readers cannot be stopped once they read: the read runs within the time limit.
    CDecodeOptions own = options;
    own.cancel = nullptr;  // the caller's flag may be gone when the read ends
    CPhotoFacts unused;
    return RunDecodeWithTimeLimit(
        [path, name, own](CRgbPicture& decoded, CPhotoFacts&, std::string&) {
            return ReadWithImageReader(path, name, decoded, own);
        },
        options, picture, unused);
}

QImage ImageFromPicture(const CRgbPicture& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    const int stride = picture.width * 3;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.rgb.data() + size_t(y) * stride, size_t(stride));
    return image;
}

CRgbPicture PictureFromImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    CRgbPicture picture;
    picture.width = rgb.width();
    picture.height = rgb.height();
    const int stride = picture.width * 3;
    picture.rgb.resize(size_t(stride) * picture.height);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.rgb.data() + size_t(y) * stride, rgb.constScanLine(y), size_t(stride));
    return picture;
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

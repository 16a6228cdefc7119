#pragma once

#include <QImage>
#include <QString>

#include "photos/ThumbnailDecoder.h"

// The picture of a photo in any format the thumbnails show, upright and at least the cell where
// the photo allows: JPEG and HEIF through the core decoders, PNG, WebP and TIFF through Qt's
// image readers, all under the same limits.  The format is told by the file's content.
EDecodeStatus DecodeThumbnailPicture(const QString& path, CRgbPicture& picture,
                                     CPhotoFacts* facts = nullptr,
                                     const CDecodeOptions& options = {});

// A picture as a Qt image (RGB888), and an image as a picture.
QImage ImageFromPicture(const CRgbPicture& picture);
CRgbPicture PictureFromImage(const QImage& image);

// A picture of PNG, WebP or TIFF bytes read by Qt (orientation applied); NotDecodable for
// anything broken, too large for the options' limits or of another format.
EDecodeStatus DecodeWithImageReader(const QString& path, EPhotoFormat format, CRgbPicture& picture,
                                    const CDecodeOptions& options = {});

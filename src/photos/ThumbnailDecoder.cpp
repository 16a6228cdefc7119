#include "photos/ThumbnailDecoder.h"

#include "photos/ExifChunks.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "photos/DecodeTimeLimit.h"
#include "photos/HeifDecoder.h"

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// point set before decoding started, carrying the library's message with it.
struct CErrorManager {
    jpeg_error_mgr pub;
    jmp_buf returnPoint;
    char message[JMSG_LENGTH_MAX];
    bool cancelled;
};

struct CProgressMonitor {
    jpeg_progress_mgr pub;
    int maxScans;
    const std::atomic<bool>* cancel;
    std::chrono::steady_clock::time_point deadline;
};

[[noreturn]] void JumpBack(j_common_ptr cinfo, const char* message)
{
    auto* err = reinterpret_cast<CErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", message);
    longjmp(err->returnPoint, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<CErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->returnPoint, 1);
}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) return;  // trace messages
    // A file that ends early, or whose pixel data stops at a marker before the picture is
    // complete, decodes "successfully" with the missing part grey; the user is better served by
    // being told the photo is damaged.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER)
        ErrorExit(cinfo);
    ++cinfo->err->num_warnings;
}

void OutputMessage(j_common_ptr)
{
    // Messages are carried back to the caller instead of being printed.
}

void MonitorProgress(j_common_ptr cinfo)
{
    auto* monitor = reinterpret_cast<CProgressMonitor*>(cinfo->progress);
    if (monitor->cancel && monitor->cancel->load(std::memory_order_relaxed)) {
        reinterpret_cast<CErrorManager*>(cinfo->err)->cancelled = true;
        JumpBack(cinfo, "cancelled");
    }
    if (cinfo->is_decompressor) {
        const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (dinfo->input_scan_number > monitor->maxScans)
            JumpBack(cinfo, "Too many progressive scans");
    }
    if (std::chrono::steady_clock::now() > monitor->deadline)
        JumpBack(cinfo, "decode time limit exceeded");
}

uint8_t Clamp255(int value)
{
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// One row of CMYK samples to RGB.  Files written by Adobe applications (they carry the Adobe
// marker) store the inks inverted, 255 meaning no ink.
void CmykRowToRgb(const uint8_t* cmyk, uint8_t* rgb, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[0] = Clamp255((c * k + 127) / 255);
        rgb[1] = Clamp255((m * k + 127) / 255);
        rgb[2] = Clamp255((y * k + 127) / 255);
    }
}

// Where the compressed bytes come from, and what a run is after.
struct CJpegRun {
    FILE* file = nullptr;
    const uint8_t* data = nullptr;  // used when file is null
    size_t size = 0;
    // Stop after the header: only the size and the EXIF block are wanted.
    bool headerOnly = false;
    // Receives the first APP1 segment that is an EXIF block.
    std::string* exif = nullptr;
    // The picture's size as stored.
    int width = 0;
    int height = 0;
};

// Copies the next count bytes of the compressed data into out.
void ReadSourceBytes(j_decompress_ptr cinfo, uint8_t* out, size_t count)
{
    jpeg_source_mgr* src = cinfo->src;
    while (count > 0) {
        // At the end of the data the library's sources hand out an end marker with a warning,
        // which ends the decode (EmitMessage).
        if (src->bytes_in_buffer == 0) (*src->fill_input_buffer)(cinfo);
        const size_t n = std::min(count, src->bytes_in_buffer);
        std::memcpy(out, src->next_input_byte, n);
        src->next_input_byte += n;
        src->bytes_in_buffer -= n;
        out += n;
        count -= n;
    }
}

// APP1 segments: the first EXIF block is kept, every other one skipped without being stored, so
// a file full of segments costs no memory.
boolean ReadApp1(j_decompress_ptr cinfo)
{
    uint8_t lengthBytes[2];
    ReadSourceBytes(cinfo, lengthBytes, 2);
    const long length = ((long(lengthBytes[0]) << 8) | lengthBytes[1]) - 2;
    if (length <= 0) return TRUE;
    auto* run = static_cast<CJpegRun*>(cinfo->client_data);
    if (!run->exif || !run->exif->empty()) {
        (*cinfo->src->skip_input_data)(cinfo, length);
        return TRUE;
    }
    // Read into the caller's string: nothing here owns memory when an error jumps out.
    run->exif->resize(size_t(length));
    ReadSourceBytes(cinfo, reinterpret_cast<uint8_t*>(run->exif->data()), size_t(length));
    if (run->exif->compare(0, 6, std::string("Exif\0\0", 6)) != 0) run->exif->clear();
    return TRUE;
}

// Everything between creating and destroying the decompressor.  Holds no object with a
// destructor: a library error jumps straight out of it.
void Decode(jpeg_decompress_struct& cinfo, CJpegRun& run, CRgbPicture& picture,
            std::vector<uint8_t>& cmykRow, const CDecodeOptions& options)
{
    if (run.file)
        jpeg_stdio_src(&cinfo, run.file);
    else
        jpeg_mem_src(&cinfo, run.data, static_cast<unsigned long>(run.size));
    cinfo.client_data = &run;
    if (run.exif) jpeg_set_marker_processor(&cinfo, JPEG_APP0 + 1, ReadApp1);
    jpeg_read_header(&cinfo, TRUE);
    run.width = static_cast<int>(cinfo.image_width);
    run.height = static_cast<int>(cinfo.image_height);

    const uint64_t pixels = uint64_t(cinfo.image_width) * cinfo.image_height;
    if (pixels > options.maxPixels)
        JumpBack(reinterpret_cast<j_common_ptr>(&cinfo), "Picture too large");
    if (run.headerOnly) return;

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (options.dctScaling) {
        cinfo.scale_num = static_cast<unsigned>(ChooseDctScale(
            static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height),
            options.coverWidth, options.coverHeight));
        cinfo.scale_denom = 8;
        // The picture is shrunk further afterwards: smooth chroma upsampling would be lost work.
        cinfo.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&cinfo);

    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    const size_t stride = size_t(width) * 3;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(stride * height);
    if (cmyk) cmykRow.resize(size_t(width) * 4);

    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        if (cmyk) {
            JSAMPROW rows[1] = {cmykRow.data()};
            if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
            CmykRowToRgb(cmykRow.data(), picture.rgb.data() + stride * y, width,
                         cinfo.saw_Adobe_marker);
        } else {
            // Several rows per call let the library skip its own row buffer.
            JSAMPROW rows[8];
            const int count = std::min(8, height - y);
            for (int i = 0; i < count; ++i) rows[i] = picture.rgb.data() + stride * (y + i);
            if (jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count)) == 0) break;
        }
    }
    jpeg_finish_decompress(&cinfo);
}

}  // namespace

int ChooseDctScale(int width, int height, int coverWidth, int coverHeight)
{
    for (int scale = 1; scale < 8; ++scale) {
        // The library rounds scaled sizes up.
        const int scaledWidth = (width * scale + 7) / 8;
        const int scaledHeight = (height * scale + 7) / 8;
        if (scaledWidth >= coverWidth && scaledHeight >= coverHeight) return scale;
    }
    return 8;
}

namespace {

bool RunJpeg(CJpegRun& run, CRgbPicture& picture, std::string* error, const CDecodeOptions& options,
             bool* cancelled)
{
    jpeg_decompress_struct cinfo;
    CErrorManager err;
    CProgressMonitor monitor;
    std::vector<uint8_t> cmykRow;
    picture = CRgbPicture{};
    if (cancelled) *cancelled = false;

    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.message[0] = '\0';
    err.cancelled = false;
    monitor.pub.progress_monitor = MonitorProgress;
    monitor.maxScans = options.maxScans;
    monitor.cancel = options.cancel;
    monitor.deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options.maxMilliseconds);

    if (setjmp(err.returnPoint)) {
        jpeg_destroy_decompress(&cinfo);
        picture = CRgbPicture{};
        if (error) *error = err.message;
        if (cancelled) *cancelled = err.cancelled;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = options.maxMemory;
    cinfo.progress = &monitor.pub;
    Decode(cinfo, run, picture, cmykRow, options);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

bool DecodeScaledPicture(FILE* file, CRgbPicture& picture, std::string* error,
                         const CDecodeOptions& options, bool* cancelled)
{
    CJpegRun run;
    run.file = file;
    return RunJpeg(run, picture, error, options, cancelled);
}

namespace {

// Each target pixel is the average of the source pixels its footprint covers (at least one).
CRgbPicture ResizePicture(const CRgbPicture& picture, int width, int height)
{
    CRgbPicture out;
    out.width = width;
    out.height = height;
    out.rgb.resize(size_t(width) * height * 3);
    std::vector<int> x0(size_t(width) + 1);
    for (int x = 0; x <= width; ++x)
        x0[size_t(x)] = static_cast<int>(int64_t(x) * picture.width / width);
    std::vector<uint32_t> sums(size_t(width) * 3);
    uint8_t* target = out.rgb.data();
    for (int y = 0; y < height; ++y) {
        int top = static_cast<int>(int64_t(y) * picture.height / height);
        int bottom = static_cast<int>(int64_t(y + 1) * picture.height / height);
        if (bottom <= top) bottom = top + 1;
        std::fill(sums.begin(), sums.end(), 0u);
        for (int sy = top; sy < bottom; ++sy) {
            const uint8_t* row = picture.Pixel(0, sy);
            for (int x = 0; x < width; ++x) {
                int left = x0[size_t(x)];
                int right = std::max(x0[size_t(x) + 1], left + 1);
                uint32_t* sum = &sums[size_t(x) * 3];
                for (int sx = left; sx < right; ++sx) {
                    sum[0] += row[sx * 3];
                    sum[1] += row[sx * 3 + 1];
                    sum[2] += row[sx * 3 + 2];
                }
            }
        }
        for (int x = 0; x < width; ++x, target += 3) {
            const int left = x0[size_t(x)];
            const uint32_t count =
                uint32_t(std::max(x0[size_t(x) + 1], left + 1) - left) * uint32_t(bottom - top);
            for (int c = 0; c < 3; ++c)
                target[c] = static_cast<uint8_t>((sums[size_t(x) * 3 + c] + count / 2) / count);
        }
    }
    return out;
}

}  // namespace

CRgbPicture FitToThumbnail(const CRgbPicture& picture)
{
    if (picture.empty()) return {};
    int width = kThumbnailWidth;
    int height = kThumbnailHeight;
    // Compare the shapes without rounding: wider than the cell fills its width.
    if (int64_t(picture.width) * kThumbnailHeight >= int64_t(picture.height) * kThumbnailWidth)
        height = static_cast<int>(std::max<int64_t>(
            1, (int64_t(picture.height) * kThumbnailWidth + picture.width / 2) / picture.width));
    else
        width = static_cast<int>(std::max<int64_t>(
            1, (int64_t(picture.width) * kThumbnailHeight + picture.height / 2) / picture.height));
    return ResizePicture(picture, width, height);
}

CRgbPicture OrientPicture(const CRgbPicture& picture, int orientation)
{
    if (orientation < 2 || orientation > 8 || picture.empty()) return picture;
    const int w = picture.width;
    const int h = picture.height;
    const bool swap = orientation >= 5;
    CRgbPicture out;
    out.width = swap ? h : w;
    out.height = swap ? w : h;
    out.rgb.resize(picture.rgb.size());
    uint8_t* target = out.rgb.data();
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x, target += 3) {
            // The stored pixel shown at (x, y).
            int sx = x, sy = y;
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;
                case 3:
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;
                case 4:
                    sy = h - 1 - y;
                    break;
                case 5:
                    sx = y;
                    sy = x;
                    break;
                case 6:
                    sx = y;
                    sy = h - 1 - x;
                    break;
                case 7:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;
                case 8:
                    sx = w - 1 - y;
                    sy = x;
                    break;
                default:
                    break;
            }
            std::memcpy(target, picture.Pixel(sx, sy), 3);
        }
    }
    return out;
}

bool DecodeThumbnail(FILE* file, CRgbPicture& thumbnail, std::string* error,
                     const CDecodeOptions& options)
{
    CRgbPicture picture;
    if (!DecodeScaledPicture(file, picture, error, options)) {
        thumbnail = CRgbPicture{};
        return false;
    }
    thumbnail = FitToThumbnail(picture);
    return true;
}

EDecodeStatus OpenPhotoFile(const std::string& path, FILE*& file, std::string* error)
{
    file = nullptr;
    // Non-blocking, so that a named pipe in place of a photo cannot hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = SystemErrorText(errno);
        return EDecodeStatus::CannotOpen;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (error) *error = kNotRegularFileText;
        return EDecodeStatus::NotDecodable;
    }
    file = ::fdopen(fd, "rb");
    if (!file) {
        if (error) *error = SystemErrorText(errno);
        ::close(fd);
        return EDecodeStatus::CannotOpen;
    }
    return EDecodeStatus::Ok;
}

EDecodeStatus DecodeScaledPictureFile(const std::string& path, CRgbPicture& picture,
                                      std::string* error, const CDecodeOptions& options)
{
    picture = CRgbPicture{};
    FILE* file = nullptr;
    const EDecodeStatus opened = OpenPhotoFile(path, file, error);
    if (opened != EDecodeStatus::Ok) return opened;
    bool cancelled = false;
    const bool ok = DecodeScaledPicture(file, picture, error, options, &cancelled);
    std::fclose(file);
    if (ok) return EDecodeStatus::Ok;
    return cancelled ? EDecodeStatus::Cancelled : EDecodeStatus::NotDecodable;
}

EPhotoFormat SniffPhotoFormat(const uint8_t* head, size_t size)
{
    const auto startsWith = [&](const char* magic, size_t length, size_t at = 0) {
        return size >= at + length && std::memcmp(head + at, magic, length) == 0;
    };
    if (startsWith("\xFF\xD8\xFF", 3)) return EPhotoFormat::Jpeg;
    if (startsWith("\x89PNG\r\n\x1A\n", 8)) return EPhotoFormat::Png;
    if (startsWith("RIFF", 4) && startsWith("WEBP", 4, 8)) return EPhotoFormat::WebP;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4)) return EPhotoFormat::Tiff;
    if (IsHeifHead(head, size)) return EPhotoFormat::Heif;
    return EPhotoFormat::Unknown;
}

bool IsUsableEmbeddedThumbnail(int thumbWidth, int thumbHeight, int width, int height,
                               int coverWidth, int coverHeight)
{
    if (thumbWidth < coverWidth || thumbHeight < coverHeight || width <= 0 || height <= 0)
        return false;
    const double ratio = (double(thumbWidth) * height) / (double(thumbHeight) * width);
    return std::abs(ratio - 1.0) <= 0.02;
}

namespace {

constexpr uint64_t kMaxEmbeddedThumbnailPixels = 4'000'000;

// Reads the first bytes of an opened file and goes back to its start.
EPhotoFormat SniffOpenFile(FILE* file)
{
    uint8_t head[kSniffBytes];
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    return SniffPhotoFormat(head, got);
}

EDecodeStatus DecodeJpegPhoto(FILE* file, CRgbPicture& picture, CPhotoFacts& facts,
                              std::string* error, const CDecodeOptions& options)
{
    bool cancelled = false;
    const auto failed = [&] {
        return cancelled ? EDecodeStatus::Cancelled : EDecodeStatus::NotDecodable;
    };
    // The header first: the picture's size and its EXIF block.
    std::string exif;
    CJpegRun header;
    header.file = file;
    header.headerOnly = true;
    header.exif = &exif;
    if (!RunJpeg(header, picture, error, options, &cancelled)) return failed();
    CExifFacts exifFacts =
        ReadExifFacts(reinterpret_cast<const uint8_t*>(exif.data()), exif.size());
    facts.orientation = exifFacts.orientation;
    facts.captured = exifFacts.captured;

    if (options.embeddedThumbnails && !exifFacts.thumbnail.empty()) {
        CJpegRun thumbnail;
        thumbnail.data = exifFacts.thumbnail.data();
        thumbnail.size = exifFacts.thumbnail.size();
        // A stored thumbnail is small; one claiming a huge picture is not worth decoding.
        CDecodeOptions small = options;
        small.maxPixels = std::min<uint64_t>(options.maxPixels, kMaxEmbeddedThumbnailPixels);
        if (RunJpeg(thumbnail, picture, nullptr, small, &cancelled) &&
            IsUsableEmbeddedThumbnail(thumbnail.width, thumbnail.height, header.width,
                                      header.height, options.coverWidth, options.coverHeight)) {
            facts.embeddedThumbnail = true;
            picture = OrientPicture(picture, facts.orientation);
            return EDecodeStatus::Ok;
        }
        if (cancelled) return EDecodeStatus::Cancelled;
    }

    std::rewind(file);
    CJpegRun whole;
    whole.file = file;
    if (!RunJpeg(whole, picture, error, options, &cancelled)) return failed();
    picture = OrientPicture(picture, facts.orientation);
    return EDecodeStatus::Ok;
}

}  // namespace

EDecodeStatus DecodePhotoFile(const std::string& path, CRgbPicture& picture, CPhotoFacts* facts,
                              std::string* error, const CDecodeOptions& options)
{
    picture = CRgbPicture{};
    CPhotoFacts found;
    FILE* file = nullptr;
    EDecodeStatus status = OpenPhotoFile(path, file, error);
    if (status == EDecodeStatus::Ok) {
        found.format = SniffOpenFile(file);
        switch (found.format) {
            case EPhotoFormat::Jpeg:
                status = DecodeJpegPhoto(file, picture, found, error, options);
                break;
            case EPhotoFormat::Heif: {
                // libheif cannot be stopped once it decodes: it runs within the time limit.
                CDecodeOptions own = options;
                own.cancel = nullptr;  // the caller's flag may be gone when the decode ends
                status = RunDecodeWithTimeLimit(
                    [path, own](CRgbPicture& decoded, CPhotoFacts& facts, std::string& why) {
                        return DecodeHeifFile(path, decoded, facts, &why, own);
                    },
                    options, picture, found, error);
                break;
            }
            default:
                if (error) *error = "not a JPEG or HEIF file";
                status = EDecodeStatus::NotDecodable;
                break;
        }
        std::fclose(file);
    }
    if (facts) *facts = found;
    return status;
}

CCaptureTime ReadPhotoCaptureTime(const std::string& path)
{
    return ReadPhotoExifFacts(path).captured;
}

CExifFacts ReadPhotoExifFacts(const std::string& path)
{
    CGuardedFile file;
    if (file.Open(path, UINT64_MAX) != EFileRead::Ok) return {};
    uint8_t head[kPhotoHeadBytes];
    const size_t got = ReadPhotoHead(file, head);
    return ReadPhotoExifFacts(CFileBytes(file.Descriptor(), head, got), SniffPhotoFormat(head, got),
                              path);
}

size_t ReadPhotoHead(CGuardedFile& file, uint8_t (&head)[kPhotoHeadBytes])
{
    size_t got = 0;
    while (got < kPhotoHeadBytes) {
        const ssize_t more = file.Read(reinterpret_cast<char*>(head) + got, kPhotoHeadBytes - got);
        if (more <= 0) break;
        got += size_t(more);
    }
    return got;
}

CExifFacts ReadPhotoExifFacts(const CFileBytes& file, EPhotoFormat format, const std::string& path)
{
    CExifFacts facts;
    std::string exif;
    bool found = false;
    if (format == EPhotoFormat::Jpeg) found = ReadJpegExifBlock(file, exif);
    if (format == EPhotoFormat::Png) found = ReadPngExifBlock(file, exif);
    if (format == EPhotoFormat::WebP) found = ReadWebPExifBlock(file, exif);
    if (found) facts = ReadExifFacts(reinterpret_cast<const uint8_t*>(exif.data()), exif.size());
    // libheif reads the file by its name, its boxes only.
    if (format == EPhotoFormat::Heif) facts = ReadHeifExifFacts(path);
    facts.thumbnail.clear();
    return facts;
}

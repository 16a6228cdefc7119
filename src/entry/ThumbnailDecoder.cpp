#include "entry/ThumbnailDecoder.h"

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
    // A file that ends early decodes "successfully" with the missing part grey; the user is
    // better served by being told the photo is damaged.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) ErrorExit(cinfo);
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

// Everything between creating and destroying the decompressor.  Holds no object with a
// destructor: a library error jumps straight out of it.
void Decode(jpeg_decompress_struct& cinfo, FILE* file, CRgbPicture& picture,
            std::vector<uint8_t>& cmykRow, const CDecodeOptions& options)
{
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);

    const uint64_t pixels = uint64_t(cinfo.image_width) * cinfo.image_height;
    if (pixels > options.maxPixels)
        JumpBack(reinterpret_cast<j_common_ptr>(&cinfo), "Picture too large");

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (options.dctScaling) {
        cinfo.scale_num = static_cast<unsigned>(ChooseDctScale(
            static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)));
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

int ChooseDctScale(int width, int height)
{
    for (int scale = 1; scale < 8; ++scale) {
        // The library rounds scaled sizes up.
        const int scaledWidth = (width * scale + 7) / 8;
        const int scaledHeight = (height * scale + 7) / 8;
        if (scaledWidth >= kThumbnailWidth && scaledHeight >= kThumbnailHeight) return scale;
    }
    return 8;
}

bool DecodeScaledPicture(FILE* file, CRgbPicture& picture, std::string* error,
                         const CDecodeOptions& options, bool* cancelled)
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
    Decode(cinfo, file, picture, cmykRow, options);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

CRgbPicture StretchToThumbnail(const CRgbPicture& picture)
{
    CRgbPicture cell;
    cell.width = kThumbnailWidth;
    cell.height = kThumbnailHeight;
    cell.rgb.assign(size_t(kThumbnailWidth) * kThumbnailHeight * 3, 0);
    if (picture.empty()) return cell;
    // Sample the centre of each target pixel's footprint in the source.
    int sourceX[kThumbnailWidth];
    for (int x = 0; x < kThumbnailWidth; ++x)
        sourceX[x] = static_cast<int>((int64_t(2 * x + 1) * picture.width) / (2 * kThumbnailWidth));
    uint8_t* out = cell.rgb.data();
    for (int y = 0; y < kThumbnailHeight; ++y) {
        const int sy =
            static_cast<int>((int64_t(2 * y + 1) * picture.height) / (2 * kThumbnailHeight));
        for (int x = 0; x < kThumbnailWidth; ++x, out += 3)
            std::memcpy(out, picture.Pixel(sourceX[x], sy), 3);
    }
    return cell;
}

bool DecodeThumbnail(FILE* file, CRgbPicture& thumbnail, std::string* error,
                     const CDecodeOptions& options)
{
    CRgbPicture picture;
    if (!DecodeScaledPicture(file, picture, error, options)) {
        thumbnail = CRgbPicture{};
        return false;
    }
    thumbnail = StretchToThumbnail(picture);
    return true;
}

EDecodeStatus OpenPhotoFile(const std::string& path, FILE*& file, std::string* error)
{
    file = nullptr;
    // Non-blocking, so that a named pipe in place of a photo cannot hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return EDecodeStatus::CannotOpen;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (error) *error = "not a regular file";
        return EDecodeStatus::NotDecodable;
    }
    file = ::fdopen(fd, "rb");
    if (!file) {
        if (error) *error = std::strerror(errno);
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

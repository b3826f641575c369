#include "ui/picture.h"

#include "ui/scoped_gdi.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace ui {

namespace {

// libjpeg's own error handler ends the process; this one jumps back to the
// decoder, which then gives the empty picture.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void JpegSilence(j_common_ptr, int) {}

constexpr JDIMENSION kMaxSide = 16384;

// Decodes into a top-down 24-bit DIB section. Kept free of objects with
// destructors: longjmp leaves this frame on a decoding error.
HBITMAP DecodeJpeg(const unsigned char* bytes, std::size_t size, int* width, int* height) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    error.manager.emit_message = JpegSilence;
    HBITMAP volatile bitmap = nullptr;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    // Checked before the decoder starts: for a progressive or multi-scan file it
    // buffers the whole image there, so a 200-byte file claiming 65500 x 65500
    // would cost gigabytes and a minute before any later check.
    if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = JCS_EXT_BGR;  // the byte order of a DIB
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width > kMaxSide || info.output_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    const int w = static_cast<int>(info.output_width);
    const int h = static_cast<int>(info.output_height);
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = w;
    header.bmiHeader.biHeight = -h;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~static_cast<std::size_t>(3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = static_cast<JSAMPROW>(pixels) + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    GdiFlush();
    *width = w;
    *height = h;
    return bitmap;
}

WORD ReadWord(const unsigned char* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
DWORD ReadDword(const unsigned char* p) {
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

// Whether an entry's image is a plain DIB whose header describes no more than
// the bytes it has: the colour image over the AND mask, each half the stated
// height. The system does not check this against the size it is given (Wine
// divides by a height of 0 taken from a header that claims to be smaller).
bool ImageFits(const unsigned char* image, DWORD imageSize) {
    const DWORD headerSize = ReadDword(image);
    const int32_t w = static_cast<int32_t>(ReadDword(image + 4));
    const int32_t h = static_cast<int32_t>(ReadDword(image + 8));
    const WORD planes = ReadWord(image + 12);
    const WORD bits = ReadWord(image + 14);
    const DWORD compression = ReadDword(image + 16);
    const DWORD coloursUsed = ReadDword(image + 32);
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > imageSize) return false;
    if (w <= 0 || h < 2 || planes != 1 || compression != BI_RGB) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const uint64_t colours = coloursUsed ? coloursUsed : bits <= 8 ? 1u << bits : 0;
    if (colours > 256) return false;
    const uint64_t colourRow = (static_cast<uint64_t>(w) * bits + 31) / 32 * 4;
    const uint64_t maskRow = (static_cast<uint64_t>(w) + 31) / 32 * 4;
    const uint64_t needed = headerSize + colours * 4 + (colourRow + maskRow) * static_cast<uint64_t>(h / 2);
    return needed <= imageSize;
}

// A .cur or .ico file: a six-byte directory header, then 16-byte entries; the
// first entry's image is used.
HICON DecodeIconFile(const unsigned char* bytes, std::size_t size, int* width, int* height) {
    if (size < 6 + 16) return nullptr;
    const WORD type = ReadWord(bytes + 2);
    if (ReadWord(bytes) != 0 || (type != 1 && type != 2) || ReadWord(bytes + 4) == 0) return nullptr;
    const unsigned char* entry = bytes + 6;
    const DWORD imageSize = ReadDword(entry + 8);
    const DWORD offset = ReadDword(entry + 12);
    if (offset > size || imageSize > size - offset || imageSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    if (!ImageFits(bytes + offset, imageSize)) return nullptr;
    const int w = entry[0] ? entry[0] : 256;
    const int h = entry[1] ? entry[1] : 256;

    // A cursor resource is its hotspot (two words) followed by the image.
    std::vector<BYTE> resource;
    if (type == 2) {
        resource.assign(entry + 4, entry + 8);
    }
    resource.insert(resource.end(), bytes + offset, bytes + offset + imageSize);
    HICON icon = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), type == 1,
                                          0x00030000, w, h, LR_DEFAULTCOLOR);
    if (icon) {
        *width = w;
        *height = h;
    }
    return icon;
}

}  // namespace

Picture DecodePicture(const unsigned char* bytes, std::size_t size) {
    Picture picture;
    if (!bytes || size < 4) return picture;
    if (bytes[0] == 0xFF && bytes[1] == 0xD8) {
        picture.bitmap = DecodeJpeg(bytes, size, &picture.width, &picture.height);
    } else if (bytes[0] == 0 && bytes[1] == 0) {
        picture.icon = DecodeIconFile(bytes, size, &picture.width, &picture.height);
    }
    return picture;
}

void FreePicture(Picture& picture) {
    if (picture.bitmap) DeleteObject(picture.bitmap);
    if (picture.icon) DestroyIcon(picture.icon);
    picture = Picture();
}

void DrawPicture(HDC dc, const Picture& picture, int x, int y) {
    if (picture.icon) {
        DrawIconEx(dc, x, y, picture.icon, picture.width, picture.height, 0, nullptr, DI_NORMAL);
    } else if (picture.bitmap) {
        MemoryDC source(dc);
        Selection bitmap(source.dc, picture.bitmap);
        BitBlt(dc, x, y, picture.width, picture.height, source.dc, 0, 0, SRCCOPY);
    }
}

}  // namespace ui

#include "ui/picture.h"

#include "sysfn/scoped.h"

#include <olectl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ui {

namespace {

// The size that a JPEG's first frame header claims, read by walking its marker
// segments as a decoder does; false when the bytes end or go astray first.
bool JpegFrameSize(const unsigned char* bytes, std::size_t size, int* width, int* height) {
    std::size_t at = 2;  // past the start-of-image marker
    while (at + 4 <= size) {
        if (bytes[at] != 0xFF) return false;
        const unsigned marker = bytes[at + 1];
        if (marker == 0xFF) {  // a fill byte before the marker
            ++at;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA || marker == 0xD8) return false;  // no frame before the scan
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a segment
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(bytes[at + 2] << 8 | bytes[at + 3]);
        if (length < 2) return false;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 8 || at + 9 > size) return false;
            *height = bytes[at + 5] << 8 | bytes[at + 6];
            *width = bytes[at + 7] << 8 | bytes[at + 8];
            return true;
        }
        at += 2 + length;
    }
    return false;
}

// Hands the bytes to the system's decoder (OleLoadPicture of oleaut32) and
// keeps a copy of its bitmap as a DIB section of our own.
HBITMAP SystemDecode(const unsigned char* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* copy = GlobalLock(memory);
    if (!copy) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(memory);
    sysfn::ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream.p)) || !stream.p) {
        GlobalFree(memory);
        return nullptr;
    }
    // The decoder may create COM objects of its own (Wine's goes through WIC),
    // so COM is up for the call; OLE proper starts only when the link needs it.
    const HRESULT com = CoInitialize(nullptr);
    HBITMAP bitmap = nullptr;
    {
        sysfn::ComRef<IPicture> picture;
        SHORT type = PICTYPE_NONE;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, __uuidof(IPicture),
                                     reinterpret_cast<void**>(&picture.p))) &&
            picture.p && SUCCEEDED(picture.p->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(picture.p->get_Handle(&handle)) && handle) {
            bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return bitmap;
}

// Checked before the decoder runs: a 200-byte file may claim 65500 x 65500,
// which would cost gigabytes and minutes to decode.
HBITMAP DecodeJpeg(const unsigned char* bytes, std::size_t size, long long maxPixels, int* width, int* height) {
    int w = 0;
    int h = 0;
    if (!JpegFrameSize(bytes, size, &w, &h) || w <= 0 || h <= 0) return nullptr;
    if (static_cast<long long>(w) * h > maxPixels) return nullptr;
    HBITMAP bitmap = SystemDecode(bytes, size);
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth != w || std::abs(info.bmHeight) != h) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
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

// Where the system puts the hotspot of a cursor that it stretches is not
// documented (Wine scales it and rounds down); this puts it where every
// length is scaled to, on a new cursor that replaces the old.
HICON PlaceHotspot(HICON cursor, POINT hotspot) {
    ICONINFO info = {};
    if (!GetIconInfo(cursor, &info)) return cursor;
    sysfn::OwnedGdiObject mask, colour;  // the copies that GetIconInfo made
    mask.Reset(info.hbmMask);
    colour.Reset(info.hbmColor);
    if (info.xHotspot == static_cast<DWORD>(hotspot.x) && info.yHotspot == static_cast<DWORD>(hotspot.y)) return cursor;
    info.xHotspot = static_cast<DWORD>(hotspot.x);
    info.yHotspot = static_cast<DWORD>(hotspot.y);
    HICON placed = CreateIconIndirect(&info);
    if (!placed) return cursor;
    DestroyIcon(cursor);
    return placed;
}

// A .cur or .ico file: a six-byte directory header, then 16-byte entries; the
// first entry's image is used, at its size scaled by dpi/96.
HICON DecodeIconFile(const unsigned char* bytes, std::size_t size, int dpi, int* width, int* height) {
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
    const int scaledWidth = MulDiv(w, dpi, kBaseDpi);
    const int scaledHeight = MulDiv(h, dpi, kBaseDpi);
    HICON icon = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), type == 1,
                                          0x00030000, scaledWidth, scaledHeight, LR_DEFAULTCOLOR);
    if (icon && type == 2 && dpi != kBaseDpi) {
        icon = PlaceHotspot(icon, POINT{MulDiv(ReadWord(entry + 4), scaledWidth, w),
                                        MulDiv(ReadWord(entry + 6), scaledHeight, h)});
    }
    if (icon) {
        *width = scaledWidth;
        *height = scaledHeight;
    }
    return icon;
}

}  // namespace

Picture DecodePicture(const unsigned char* bytes, std::size_t size, int boxWidth, int boxHeight, int iconDpi) {
    Picture picture;
    if (!bytes || size < 4) return picture;
    if (bytes[0] == 0xFF && bytes[1] == 0xD8) {
        const long long boxPixels = static_cast<long long>(boxWidth) * boxHeight;
        picture.bitmap = DecodeJpeg(bytes, size, boxPixels, &picture.width, &picture.height);
    } else if (bytes[0] == 0 && bytes[1] == 0) {
        picture.icon = DecodeIconFile(bytes, size, iconDpi, &picture.width, &picture.height);
    }
    return picture;
}

void FreePicture(Picture& picture) {
    if (picture.bitmap) DeleteObject(picture.bitmap);
    if (picture.icon) DestroyIcon(picture.icon);
    picture = Picture();
}

void DestroyPointer(HCURSOR cursor) {
    if (!cursor) return;
    if (GetCursor() == cursor) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    DestroyCursor(cursor);
}

void DrawPicture(HDC dc, const Picture& picture, int x, int y, int width, int height) {
    if (picture.icon) {
        DrawIconEx(dc, x, y, picture.icon, width, height, 0, nullptr, DI_NORMAL);
    } else if (picture.bitmap) {
        sysfn::MemoryDC source(dc);
        sysfn::Selection bitmap(source.dc, picture.bitmap);
        if (width == picture.width && height == picture.height) {
            BitBlt(dc, x, y, width, height, source.dc, 0, 0, SRCCOPY);
            return;
        }
        // Halftone averages the source pixels that meet in each target pixel;
        // it needs the brush origin set after the mode.
        const int mode = SetStretchBltMode(dc, HALFTONE);
        POINT origin;
        SetBrushOrgEx(dc, 0, 0, &origin);
        StretchBlt(dc, x, y, width, height, source.dc, 0, 0, picture.width, picture.height, SRCCOPY);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
        if (mode) SetStretchBltMode(dc, mode);
    }
}

}  // namespace ui

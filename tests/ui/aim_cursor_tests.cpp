// The embedded images: the aim cursor file as the system will read it, and the
// dial-button JPEG's frame header.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

extern const unsigned char kAimCursor[];
extern const unsigned kAimCursorSize;
extern const unsigned char kDialButtonJpeg[];
extern const unsigned kDialButtonJpegSize;

namespace {

unsigned Word(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t Dword(const unsigned char* p) { return Word(p) | static_cast<uint32_t>(Word(p + 2)) << 16; }

constexpr unsigned kSide = 32;
constexpr unsigned kRowBytes = kSide / 8;

struct CursorLayout {
    unsigned imageOffset;
    unsigned imageSize;
};

CursorLayout Layout() {
    return {Dword(kAimCursor + 6 + 12), Dword(kAimCursor + 6 + 8)};
}

// Bit of a 1-bpp plane at (x, y), y counted from the top.
bool Bit(const unsigned char* plane, unsigned x, unsigned y) {
    const unsigned char* row = plane + (kSide - 1 - y) * kRowBytes;
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

TEST(AimCursorFile, HeadersDescribeOne32x32TwoColourCursor) {
    ASSERT_EQ(kAimCursorSize, 330u);
    EXPECT_EQ(Word(kAimCursor + 0), 0u);  // reserved
    EXPECT_EQ(Word(kAimCursor + 2), 2u);  // cursor
    EXPECT_EQ(Word(kAimCursor + 4), 1u);  // one image

    const unsigned char* entry = kAimCursor + 6;
    EXPECT_EQ(entry[0], kSide);
    EXPECT_EQ(entry[1], kSide);
    EXPECT_EQ(entry[2], 2u);
    EXPECT_EQ(Word(entry + 4), 15u);  // hotspot x
    EXPECT_EQ(Word(entry + 6), 16u);  // hotspot y

    const CursorLayout layout = Layout();
    EXPECT_GE(layout.imageOffset, 6u + 16u);
    EXPECT_EQ(layout.imageOffset + layout.imageSize, kAimCursorSize);
    EXPECT_EQ(layout.imageSize, sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD) + 2 * kSide * kRowBytes);

    BITMAPINFOHEADER header;
    memcpy(&header, kAimCursor + layout.imageOffset, sizeof(header));
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);  // XOR bitmap over AND mask
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 1);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    const unsigned char* palette = kAimCursor + layout.imageOffset + sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(Dword(palette), 0x000000u);
    EXPECT_EQ(Dword(palette + 4), 0xFFFFFFu);
}

TEST(AimCursorFile, DrawsInBlackOutlinedInWhiteWithOneInvertingPixel) {
    const unsigned char* xorPlane = kAimCursor + Layout().imageOffset + sizeof(BITMAPINFOHEADER) + 8;
    const unsigned char* andPlane = xorPlane + kSide * kRowBytes;
    auto isBlack = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 32 && y < 32 && !Bit(andPlane, x, y) && !Bit(xorPlane, x, y);
    };
    int black = 0, white = 0, inverting = 0, bareEdges = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool andBit = Bit(andPlane, x, y), xorBit = Bit(xorPlane, x, y);
            black += !andBit && !xorBit;
            white += !andBit && xorBit;
            inverting += andBit && xorBit;
            if (andBit && !xorBit) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) bareEdges += isBlack(x + dx, y + dy);
            }
        }
    }
    EXPECT_EQ(inverting, 1);
    EXPECT_TRUE(Bit(andPlane, 15, 16) && Bit(xorPlane, 15, 16));
    EXPECT_GT(black, 100);
    EXPECT_GT(white, black / 2);
    EXPECT_EQ(bareEdges, 0) << "transparent pixels touching black ones";
    EXPECT_TRUE(Bit(andPlane, 0, 0) && !Bit(xorPlane, 0, 0));
    EXPECT_TRUE(isBlack(15, 5) && isBlack(15, 10) && isBlack(9, 16)) << "ring and cross";
}

TEST(AimCursorFile, TheSystemMakesACursorOfIt) {
    const CursorLayout layout = Layout();
    // Resource form: the hotspot as two WORDs, then the DIB.
    std::vector<BYTE> resource(4 + layout.imageSize);
    memcpy(resource.data(), kAimCursor + 6 + 4, 4);
    memcpy(resource.data() + 4, kAimCursor + layout.imageOffset, layout.imageSize);
    HICON cursor = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE,
                                            0x00030000, 32, 32, LR_DEFAULTCOLOR);
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 16u);
    BITMAP mask{};
    ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof(mask), &mask));
    EXPECT_EQ(mask.bmWidth, 32);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyCursor(cursor);
}

TEST(DialButtonJpeg, IsA64x77ColourPicture) {
    ASSERT_GT(kDialButtonJpegSize, 4u);
    ASSERT_EQ(kDialButtonJpeg[0], 0xFF);
    ASSERT_EQ(kDialButtonJpeg[1], 0xD8);
    EXPECT_EQ(kDialButtonJpeg[kDialButtonJpegSize - 2], 0xFF);
    EXPECT_EQ(kDialButtonJpeg[kDialButtonJpegSize - 1], 0xD9);

    // Walk the marker segments up to the frame header.
    const unsigned char* frame = nullptr;
    for (unsigned at = 2; at + 4 <= kDialButtonJpegSize && !frame;) {
        ASSERT_EQ(kDialButtonJpeg[at], 0xFF) << "at " << at;
        const unsigned marker = kDialButtonJpeg[at + 1];
        const unsigned length = kDialButtonJpeg[at + 2] << 8 | kDialButtonJpeg[at + 3];
        ASSERT_NE(marker, 0xDAu) << "scan before any frame header";
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            frame = kDialButtonJpeg + at + 4;
        at += 2 + length;
    }
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame[0], 8);                        // sample precision
    EXPECT_EQ(frame[1] << 8 | frame[2], 77);       // height
    EXPECT_EQ(frame[3] << 8 | frame[4], 64);       // width
    EXPECT_EQ(frame[5], 3);                        // components
}

}  // namespace

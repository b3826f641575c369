// The hyperlink box: what it reads from its markup, how it cuts a browser
// command, how it follows the pointer and draws, and how a press opens the
// address, through the shell or the browser registered for ".htm".
#include "ui/hyperlink.h"
#include "ui/markup.h"

#include "tests/support/program.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kAddress[] = L"https://example.com/zorvic/download";
const wchar_t kContent[] =
    L"<center><a href=\"https://example.com/zorvic/download\" target=\"_blank\">下载岚川客户端</a></center>";

struct MarkupCase {
    const wchar_t* markup;
    const wchar_t* text;
    const wchar_t* address;
};

template <std::size_t N>
void ExpectMarkup(const MarkupCase (&cases)[N]) {
    for (const MarkupCase& c : cases) {
        ui::LinkMarkup link = ui::ParseLinkMarkup(c.markup);
        EXPECT_EQ(link.text, c.text) << c.markup;
        EXPECT_EQ(link.address, c.address) << c.markup;
    }
}

TEST(LinkMarkup, TakesTextAndAddressOfTheFirstLink) {
    const MarkupCase cases[] = {
        {kContent, L"下载岚川客户端", kAddress},
        {L"<A HREF='h' TARGET=_blank>T</A>", L"T", L"h"},
        {L"<a href=h>t</a>", L"t", L"h"},
        {L"<a\thref=\"h\"\n>t</a>", L"t", L"h"},
        {L"<a download href = \"h\" >t</a>", L"t", L"h"},
        {L"<a href='it\"s'>t</a>", L"t", L"it\"s"},
        {L"<a url=\"u\">t</a>", L"t", L"u"},
        {L"<a url=\"u\" href=\"h\">t</a>", L"t", L"h"},
        {L"<a href=\"\" url=\"u\">t</a>", L"t", L"u"},
        {L"<a href=\"h\" href=\"second\">t</a>", L"t", L"h"},
        {L"<a hreflang=\"en\" data-href=\"d\" href=\"h\">t</a>", L"t", L"h"},
        {L"<abbr title=\"x\">y</abbr><a href=\"h\">t</a>", L"t", L"h"},
        {L"</a><a href=\"h\">t</a>", L"t", L"h"},
        {L"<a href=\"h\">t</a><a href=\"second\">u</a>", L"t", L"h"},
        {L"<a href=\"h\"><b>bold</b> and <i>it</i></a>", L"bold and it", L"h"},
        {L"<a href=\"h\">\r\n  two   words \t</a>", L"two words", L"h"},
        {L"<a href=\" h?x=1&amp;y=2 \">A &amp; B &lt;C&gt;</a>", L"A & B <C>", L"h?x=1&y=2"},
        {L"<a href=\"h\">unclosed", L"unclosed", L"h"},
        {L"<a href=\"h", L"", L"h"},
    };
    ExpectMarkup(cases);
}

TEST(LinkMarkup, WithoutAnAddressThereIsNoLink) {
    const MarkupCase cases[] = {
        {L"<center><a target=\"_blank\">下载</a></center>", L"下载", L""},
        {L"<center>plain <b>text</b></center>", L"plain text", L""},
        {L"<a href=\"  \">t</a>", L"t", L""},
        {L"", L"", L""},
    };
    ExpectMarkup(cases);
}

TEST(BrowserCommand, CutsBeforeThePlaceholderAndAppendsTheAddress) {
    const struct {
        const wchar_t* command;
        const wchar_t* expected;
    } cases[] = {
        // cut at the quoted placeholder
        {L"\"C:\\B\\b.exe\" \"%1\"", L"\"C:\\B\\b.exe\"  A"},
        {L"\"C:\\浏览器\\b.exe\" -url \"%1\" -x", L"\"C:\\浏览器\\b.exe\" -url  A"},
        {L"\"C:\\B\\b.exe\" %1 -url \"%1\"", L"\"C:\\B\\b.exe\" %1 -url  A"},  // preferred to an earlier bare one
        {L"\"%1\"", L" A"},
        // else at the bare placeholder
        {L"C:\\B\\b.exe %1", L"C:\\B\\b.exe  A"},
        {L"\"C:\\B\\b.exe\" -- \"%1", L"\"C:\\B\\b.exe\" -- \" A"},
        // else the whole command
        {L"C:\\B\\b.exe -nohome", L"C:\\B\\b.exe -nohome A"},
        {L"\"C:\\B\\b.exe\" \"%L\"", L"\"C:\\B\\b.exe\" \"%L\" A"},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::BrowserCommandLine(c.command, L"A"), c.expected) << c.command;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A box as the main window holds it: 120 x 24, inside a popup that stays hidden.
class LinkBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui::RegisterHyperlinkClass());
        WNDCLASSEXW cls = {};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = HostProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"HyperlinkTestHost";
        RegisterClassExW(&cls);
        host_ = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                cls.hInstance, nullptr);
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND Make(const wchar_t* content) {
        HWND box = CreateWindowExW(0, ui::kHyperlinkClass, content, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 4, 120,
                                   24, host_, reinterpret_cast<HMENU>(17), GetModuleHandleW(nullptr), nullptr);
        if (box) SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return box;
    }

    HWND host_ = nullptr;
};

void MoveTo(HWND box, int x, int y) { SendMessageW(box, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST_F(LinkBoxTest, HitAreaIsTheTextCentredInTheBox) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    RECT hit = ui::HyperlinkHitArea(box);
    EXPECT_GT(hit.right - hit.left, 20);
    EXPECT_LT(hit.right - hit.left, 120);
    EXPECT_LE(std::abs(hit.left - (120 - hit.right)), 1);
    EXPECT_GE(hit.top, 0);
    EXPECT_LE(hit.bottom, 24);
    EXPECT_LE(std::abs(hit.top - (24 - hit.bottom)), 1);
}

TEST_F(LinkBoxTest, IsHotExactlyWhileThePointerIsOverTheText) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    RECT hit = ui::HyperlinkHitArea(box);
    POINT centre = Centre(hit);
    EXPECT_FALSE(ui::HyperlinkHot(box));
    const struct {
        int x, y;
        bool hot;
    } moves[] = {
        {centre.x, centre.y, true},
        {hit.right - 1, hit.bottom - 1, true},
        {hit.right, centre.y, false},  // the right and bottom edges are outside
        {hit.left, hit.top, true},
        {hit.left - 1, centre.y, false},
        {centre.x, hit.bottom, false},
        {centre.x, hit.top - 1, false},
        {centre.x, centre.y, true},
    };
    for (const auto& move : moves) {
        MoveTo(box, move.x, move.y);
        EXPECT_EQ(ui::HyperlinkHot(box), move.hot) << move.x << "," << move.y;
    }
    SendMessageW(box, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(ui::HyperlinkHot(box));
}

// The box as WM_PRINTCLIENT draws it, one 0x00RRGGBB value per pixel.
struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture Draw(HWND box) {
    RECT client = {};
    GetClientRect(box, &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        DeleteDC(dc);
        return picture;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    picture.pixels.assign(first, first + static_cast<size_t>(picture.width) * picture.height);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

bool IsBlue(DWORD pixel) {
    int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return b >= 160 && r <= 96 && g <= 96;
}

bool IsDark(DWORD pixel) {
    int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r <= 96 && g <= 96 && b <= 96;
}

int CountPixels(const Picture& picture, bool (*kind)(DWORD)) {
    int count = 0;
    for (DWORD pixel : picture.pixels) count += kind(pixel) ? 1 : 0;
    return count;
}

// A blue row across nearly all of the text's width: no glyph stroke of the
// text spans all of it, an underline does.
bool HasUnderline(const Picture& picture, const RECT& hit) {
    for (int y = 0; y < picture.height; ++y) {
        int blue = 0;
        for (int x = std::max<int>(hit.left, 0); x < std::min<int>(hit.right, picture.width); ++x) {
            blue += IsBlue(picture.At(x, y)) ? 1 : 0;
        }
        if (blue * 10 >= (hit.right - hit.left) * 9) return true;
    }
    return false;
}

TEST_F(LinkBoxTest, DrawsTheLinkBlueAndUnderlinesItOnlyWhileHot) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    RECT hit = ui::HyperlinkHitArea(box);
    POINT centre = Centre(hit);

    Picture plain = Draw(box);
    ASSERT_EQ(plain.pixels.size(), 120u * 24u);
    EXPECT_GT(CountPixels(plain, IsBlue), 20);
    EXPECT_FALSE(HasUnderline(plain, hit));

    MoveTo(box, centre.x, centre.y);
    Picture hot = Draw(box);
    EXPECT_TRUE(HasUnderline(hot, hit));

    SendMessageW(box, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(HasUnderline(Draw(box), hit));
}

TEST_F(LinkBoxTest, TextWithoutAnAddressIsBlack) {
    HWND box = Make(L"<center>下载岚川客户端</center>");
    ASSERT_NE(box, nullptr);
    Picture picture = Draw(box);
    EXPECT_EQ(CountPixels(picture, IsBlue), 0);
    EXPECT_GT(CountPixels(picture, IsDark), 20);
}

TEST_F(LinkBoxTest, RedrawsOnlyWhenTheHoverStateChanges) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    SetWindowPos(host_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(host_);
    RECT hit = ui::HyperlinkHitArea(box);
    POINT centre = Centre(hit);
    const struct {
        int x, y;
        bool redraw;
    } moves[] = {
        {0, 0, false},
        {centre.x, centre.y, true},
        {hit.left, hit.top, false},
        {hit.right, centre.y, true},
        {hit.right + 1, centre.y, false},
    };
    for (const auto& move : moves) {
        ValidateRect(box, nullptr);
        MoveTo(box, move.x, move.y);
        EXPECT_EQ(GetUpdateRect(box, nullptr, FALSE) != FALSE, move.redraw) << move.x << "," << move.y;
    }
}

// --- Opening the address -----------------------------------------------------

// Sets the default value of a key under the classes root for the life of a
// test, then puts back the old value, or deletes the first key on the path
// that the setting created.
class ClassesValue {
public:
    ClassesValue(const std::wstring& key, const std::wstring& value) : key_(key) {
        LONG size = 0;
        existed_ = RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, &size) == ERROR_SUCCESS;
        if (existed_) {
            std::wstring old(static_cast<size_t>(size) + 1, '\0');
            RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), &old[0], &size);
            old_ = old.c_str();
        } else {
            size_t slash = 0;
            do {
                slash = key.find('\\', slash + 1);
                created_ = key.substr(0, slash);
            } while (slash != std::wstring::npos && Exists(created_));
        }
        set_ = RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), 0) == ERROR_SUCCESS;
    }
    ~ClassesValue() {
        if (existed_) {
            RegSetValueW(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, old_.c_str(), 0);
        } else {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, created_.c_str());
        }
    }
    ClassesValue(const ClassesValue&) = delete;
    ClassesValue& operator=(const ClassesValue&) = delete;
    bool set() const { return set_; }

    static bool Exists(const std::wstring& key) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
        RegCloseKey(handle);
        return true;
    }

private:
    std::wstring key_, old_, created_;
    bool existed_ = false, set_ = false;
};

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string utf8;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) utf8.append(chunk, read);
    CloseHandle(file);
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The stand-in browser is registered for ".htm", and the shell's handler of
// https addresses names a program that does not exist, so the shell fails.
class LinkOpeningTest : public LinkBoxTest {
protected:
    void SetUp() override {
        LinkBoxTest::SetUp();
        directory_ = support::BuildDirectory();
        browser_ = L"\"" + directory_ + L"\\FakeBrowser.exe\"";
        log_ = directory_ + L"\\FakeBrowser.log";
        DeleteFileW(log_.c_str());
        ASSERT_NE(GetFileAttributesW((directory_ + L"\\FakeBrowser.exe").c_str()), INVALID_FILE_ATTRIBUTES);
        settings_.emplace_back(new ClassesValue(kHttpsCommand, L"\"C:\\autoredial-missing\\NoBrowser.exe\" \"%1\""));
        settings_.emplace_back(new ClassesValue(L".htm", L"AutoredialTestPage"));
        settings_.emplace_back(new ClassesValue(L"AutoredialTestPage\\shell\\open\\command", browser_ + L" \"%1\""));
        for (const auto& setting : settings_) ASSERT_TRUE(setting->set());
    }
    void TearDown() override {
        LinkBoxTest::TearDown();
        EndBrowsers();
        while (!settings_.empty()) settings_.pop_back();  // in reverse order
        EXPECT_FALSE(ClassesValue::Exists(L"AutoredialTestPage"));
        DeleteFileW(log_.c_str());
    }

    // The lines of the browser's log once it holds count lines and every
    // browser that this process started has ended (waiting up to ten seconds
    // for each): a press starts its browsers before it returns, and a browser
    // writes its line before it ends.
    std::vector<std::wstring> BrowserRuns(size_t count) {
        for (int i = 0; i < 500 && ReadLines(log_).size() < count; ++i) Sleep(20);
        for (int i = 0; i < 500 && !OurBrowsers().empty(); ++i) Sleep(20);
        return ReadLines(log_);
    }

    // The browsers that this process started and that are still there.
    static std::vector<DWORD> OurBrowsers() {
        std::vector<DWORD> ids;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return ids;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            bool ours = entry.th32ParentProcessID == GetCurrentProcessId();
            if (ours && lstrcmpiW(entry.szExeFile, L"FakeBrowser.exe") == 0) ids.push_back(entry.th32ProcessID);
        }
        CloseHandle(snapshot);
        return ids;
    }

    // They are waited for, and ended by their id if they do not end.
    static void EndBrowsers() {
        for (DWORD id : OurBrowsers()) {
            HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
            if (!process) continue;
            if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }

    void Press(HWND box, POINT point) { SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y)); }

    static constexpr const wchar_t* kHttpsCommand = L"https\\shell\\open\\command";
    std::wstring directory_, browser_, log_;
    std::vector<std::unique_ptr<ClassesValue>> settings_;
};

TEST_F(LinkOpeningTest, APressOnTheLinkStartsTheRegisteredBrowserWhenTheShellFails) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    RECT hit = ui::HyperlinkHitArea(box);
    Press(box, POINT{hit.left - 1, hit.top});  // beside the link: nothing
    Press(box, Centre(hit));                   // no release needed
    std::vector<std::wstring> runs = BrowserRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], browser_ + L"  " + kAddress);
}

TEST_F(LinkOpeningTest, EnterAndSpaceOpenTheLinkOncePerPress) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    SetFocus(box);
    // Through the dialog navigation of the form, which would keep Enter to itself.
    MSG enter = {box, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    IsDialogMessageW(host_, &enter);
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));  // held down: no new press
    ASSERT_EQ(BrowserRuns(1).size(), 1u);
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 1);
    std::vector<std::wstring> runs = BrowserRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1], browser_ + L"  " + kAddress);
}

TEST_F(LinkOpeningTest, TheRegisteredBrowserIsNotAskedWhenTheShellSucceeds) {
    ClassesValue shell(kHttpsCommand, browser_ + L" shell \"%1\"");
    ASSERT_TRUE(shell.set());
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    Press(box, Centre(ui::HyperlinkHitArea(box)));
    std::vector<std::wstring> runs = BrowserRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].find(L" shell "), std::wstring::npos) << runs[0];
    EXPECT_NE(runs[0].find(kAddress), std::wstring::npos) << runs[0];
}

TEST_F(LinkOpeningTest, ABrowserCommandLongerThanTheBufferIsNotRun) {
    std::wstring command = browser_ + L" \"%1\" " + std::wstring(300, 'x');
    ClassesValue overlong(L"AutoredialTestPage\\shell\\open\\command", command);
    ASSERT_TRUE(overlong.set());
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    Press(box, Centre(ui::HyperlinkHitArea(box)));
    EXPECT_TRUE(BrowserRuns(0).empty());
}

TEST_F(LinkOpeningTest, ALinkWithoutAnAddressOpensNothing) {
    HWND box = Make(L"<center><a target=\"_blank\">下载岚川客户端</a></center>");
    ASSERT_NE(box, nullptr);
    POINT centre = Centre(ui::HyperlinkHitArea(box));
    MoveTo(box, centre.x, centre.y);
    EXPECT_FALSE(ui::HyperlinkHot(box));
    Press(box, centre);
    SendMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(BrowserRuns(0).empty());
}

}  // namespace

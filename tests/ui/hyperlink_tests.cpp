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

const char kAddress[] = "https://example.com/zorvic/download";
const char kContent[] =
    "<center><a href=\"https://example.com/zorvic/download\" target=\"_blank\">下载岚川客户端</a></center>";

struct MarkupCase {
    const char* markup;
    const char* text;
    const char* address;
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
        {kContent, "下载岚川客户端", kAddress},
        {"<A HREF='h' TARGET=_blank>T</A>", "T", "h"},
        {"<a href=h>t</a>", "t", "h"},
        {"<a\thref=\"h\"\n>t</a>", "t", "h"},
        {"<a download href = \"h\" >t</a>", "t", "h"},
        {"<a href='it\"s'>t</a>", "t", "it\"s"},
        {"<a url=\"u\">t</a>", "t", "u"},
        {"<a url=\"u\" href=\"h\">t</a>", "t", "h"},
        {"<a href=\"\" url=\"u\">t</a>", "t", "u"},
        {"<a href=\"h\" href=\"second\">t</a>", "t", "h"},
        {"<a hreflang=\"en\" data-href=\"d\" href=\"h\">t</a>", "t", "h"},
        {"<abbr title=\"x\">y</abbr><a href=\"h\">t</a>", "t", "h"},
        {"</a><a href=\"h\">t</a>", "t", "h"},
        {"<a href=\"h\">t</a><a href=\"second\">u</a>", "t", "h"},
        {"<a href=\"h\"><b>bold</b> and <i>it</i></a>", "bold and it", "h"},
        {"<a href=\"h\">\r\n  two   words \t</a>", "two words", "h"},
        {"<a href=\" h?x=1&amp;y=2 \">A &amp; B &lt;C&gt;</a>", "A & B <C>", "h?x=1&y=2"},
        {"<a href=\"h\">unclosed", "unclosed", "h"},
        {"<a href=\"h", "", "h"},
    };
    ExpectMarkup(cases);
}

TEST(LinkMarkup, WithoutAnAddressThereIsNoLink) {
    const MarkupCase cases[] = {
        {"<center><a target=\"_blank\">下载</a></center>", "下载", ""},
        {"<center>plain <b>text</b></center>", "plain text", ""},
        {"<a href=\"  \">t</a>", "t", ""},
        {"", "", ""},
    };
    ExpectMarkup(cases);
}

TEST(BrowserCommand, CutsBeforeThePlaceholderAndAppendsTheAddress) {
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        // cut at the quoted placeholder
        {"\"C:\\B\\b.exe\" \"%1\"", "\"C:\\B\\b.exe\"  A"},
        {"\"C:\\浏览器\\b.exe\" -url \"%1\" -x", "\"C:\\浏览器\\b.exe\" -url  A"},
        {"\"C:\\B\\b.exe\" %1 -url \"%1\"", "\"C:\\B\\b.exe\" %1 -url  A"},  // preferred to an earlier bare one
        {"\"%1\"", " A"},
        // else at the bare placeholder
        {"C:\\B\\b.exe %1", "C:\\B\\b.exe  A"},
        {"\"C:\\B\\b.exe\" -- \"%1", "\"C:\\B\\b.exe\" -- \" A"},
        // else the whole command
        {"C:\\B\\b.exe -nohome", "C:\\B\\b.exe -nohome A"},
        {"\"C:\\B\\b.exe\" \"%L\"", "\"C:\\B\\b.exe\" \"%L\" A"},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::BrowserCommandLine(c.command, "A"), c.expected) << c.command;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A box as the main window holds it: 120 x 24, inside a popup that stays hidden.
class LinkBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui::RegisterHyperlinkClass());
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = HostProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "HyperlinkTestHost";
        RegisterClassExA(&cls);
        host_ = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                cls.hInstance, nullptr);
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND Make(const char* content) {
        HWND box = CreateWindowExA(0, ui::kHyperlinkClass, content, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 4, 120,
                                   24, host_, reinterpret_cast<HMENU>(17), GetModuleHandleA(nullptr), nullptr);
        if (box) SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return box;
    }

    HWND host_ = nullptr;
};

void MoveTo(HWND box, int x, int y) { SendMessageA(box, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

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
    SendMessageA(box, WM_MOUSELEAVE, 0, 0);
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
    SendMessageA(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
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

    SendMessageA(box, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(HasUnderline(Draw(box), hit));
}

TEST_F(LinkBoxTest, TextWithoutAnAddressIsBlack) {
    HWND box = Make("<center>下载岚川客户端</center>");
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
    ClassesValue(const std::string& key, const std::string& value) : key_(key) {
        LONG size = 0;
        existed_ = RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, &size) == ERROR_SUCCESS;
        if (existed_) {
            std::string old(static_cast<size_t>(size) + 1, '\0');
            RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), &old[0], &size);
            old_ = old.c_str();
        } else {
            size_t slash = 0;
            do {
                slash = key.find('\\', slash + 1);
                created_ = key.substr(0, slash);
            } while (slash != std::string::npos && Exists(created_));
        }
        set_ = RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), 0) == ERROR_SUCCESS;
    }
    ~ClassesValue() {
        if (existed_) {
            RegSetValueA(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, old_.c_str(), 0);
        } else {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, created_.c_str());
        }
    }
    ClassesValue(const ClassesValue&) = delete;
    ClassesValue& operator=(const ClassesValue&) = delete;
    bool set() const { return set_; }

    static bool Exists(const std::string& key) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
        RegCloseKey(handle);
        return true;
    }

private:
    std::string key_, old_, created_;
    bool existed_ = false, set_ = false;
};

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
    CloseHandle(file);
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
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
        browser_ = "\"" + directory_ + "\\FakeBrowser.exe\"";
        log_ = directory_ + "\\FakeBrowser.log";
        DeleteFileA(log_.c_str());
        ASSERT_NE(GetFileAttributesA((directory_ + "\\FakeBrowser.exe").c_str()), INVALID_FILE_ATTRIBUTES);
        settings_.emplace_back(new ClassesValue(kHttpsCommand, "\"C:\\autoredial-missing\\NoBrowser.exe\" \"%1\""));
        settings_.emplace_back(new ClassesValue(".htm", "AutoredialTestPage"));
        settings_.emplace_back(new ClassesValue("AutoredialTestPage\\shell\\open\\command", browser_ + " \"%1\""));
        for (const auto& setting : settings_) ASSERT_TRUE(setting->set());
    }
    void TearDown() override {
        LinkBoxTest::TearDown();
        EndBrowsers();
        while (!settings_.empty()) settings_.pop_back();  // in reverse order
        EXPECT_FALSE(ClassesValue::Exists("AutoredialTestPage"));
        DeleteFileA(log_.c_str());
    }

    // The lines of the browser's log once it holds count lines (waiting up to
    // ten seconds), and a little longer for a line that should not come.
    std::vector<std::string> BrowserRuns(size_t count) {
        for (int i = 0; i < 500 && ReadLines(log_).size() < count; ++i) Sleep(20);
        Sleep(count ? 300 : 1000);
        return ReadLines(log_);
    }

    // Browsers that this process started and that are still there are waited
    // for, and ended by their id if they do not end.
    static void EndBrowsers() {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            bool ours = entry.th32ParentProcessID == GetCurrentProcessId();
            if (!ours || lstrcmpiA(entry.szExeFile, "FakeBrowser.exe") != 0) continue;
            HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
            if (!process) continue;
            if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
            CloseHandle(process);
        }
        CloseHandle(snapshot);
    }

    void Press(HWND box, POINT point) { SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y)); }

    static constexpr const char* kHttpsCommand = "https\\shell\\open\\command";
    std::string directory_, browser_, log_;
    std::vector<std::unique_ptr<ClassesValue>> settings_;
};

TEST_F(LinkOpeningTest, APressOnTheLinkStartsTheRegisteredBrowserWhenTheShellFails) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    RECT hit = ui::HyperlinkHitArea(box);
    Press(box, POINT{hit.left - 1, hit.top});  // beside the link: nothing
    Press(box, Centre(hit));                   // no release needed
    std::vector<std::string> runs = BrowserRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], browser_ + "  " + kAddress);
}

TEST_F(LinkOpeningTest, EnterAndSpaceOpenTheLinkOncePerPress) {
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    SetFocus(box);
    // Through the dialog navigation of the form, which would keep Enter to itself.
    MSG enter = {box, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    IsDialogMessageA(host_, &enter);
    SendMessageA(box, WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));  // held down: no new press
    ASSERT_EQ(BrowserRuns(1).size(), 1u);
    SendMessageA(box, WM_KEYDOWN, VK_SPACE, 1);
    std::vector<std::string> runs = BrowserRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1], browser_ + "  " + kAddress);
}

TEST_F(LinkOpeningTest, TheRegisteredBrowserIsNotAskedWhenTheShellSucceeds) {
    ClassesValue shell(kHttpsCommand, browser_ + " shell \"%1\"");
    ASSERT_TRUE(shell.set());
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    Press(box, Centre(ui::HyperlinkHitArea(box)));
    std::vector<std::string> runs = BrowserRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].find(" shell "), std::string::npos) << runs[0];
    EXPECT_NE(runs[0].find(kAddress), std::string::npos) << runs[0];
}

TEST_F(LinkOpeningTest, ABrowserCommandLongerThanTheBufferIsNotRun) {
    std::string command = browser_ + " \"%1\" " + std::string(300, 'x');
    ClassesValue overlong("AutoredialTestPage\\shell\\open\\command", command);
    ASSERT_TRUE(overlong.set());
    HWND box = Make(kContent);
    ASSERT_NE(box, nullptr);
    Press(box, Centre(ui::HyperlinkHitArea(box)));
    EXPECT_TRUE(BrowserRuns(0).empty());
}

TEST_F(LinkOpeningTest, ALinkWithoutAnAddressOpensNothing) {
    HWND box = Make("<center><a target=\"_blank\">下载岚川客户端</a></center>");
    ASSERT_NE(box, nullptr);
    POINT centre = Centre(ui::HyperlinkHitArea(box));
    MoveTo(box, centre.x, centre.y);
    EXPECT_FALSE(ui::HyperlinkHot(box));
    Press(box, centre);
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(BrowserRuns(0).empty());
}

}  // namespace

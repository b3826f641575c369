#include "ui/hyperlink.h"

#include "sysfn/sysfn.h"
#include "sysfn/scoped.h"
#include "ui/markup.h"
#include "ui/messages.h"
#include "ui/picture.h"
#include "ui/scale.h"

#include <shellapi.h>
#include <windowsx.h>

namespace ui {

const wchar_t kHyperlinkClass[] = L"AutoredialLink";

namespace {

constexpr int kPointSize = 9;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr int kHandCursorId = 106;  // the hand of the classic help viewer
constexpr LONG kRegistryValueChars = 260;

struct LinkBox {
    LinkMarkup markup;
    int dpi = 0;                      // the fonts' DPI
    sysfn::OwnedGdiObject font;       // a:link
    sysfn::OwnedGdiObject hoverFont;  // a:hover, the same font underlined
    RECT textRect = {};               // the hit area
    bool hot = false;
};

HFONT CreateLinkFont(int height, const wchar_t* face) {
    // The default character set lets the font mapper pick a face that can draw
    // the Chinese text whichever face it settles on.
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// 9-point 宋体 at the box's DPI, or Verdana where the font mapper has no 宋体
// (by its Chinese or its English name) to give.
HFONT CreateBodyFont(int dpi) {
    sysfn::WindowDC screen(nullptr);
    int height = -MulDiv(kPointSize, dpi, 72);
    HFONT font = CreateLinkFont(height, L"宋体");
    wchar_t face[LF_FACESIZE] = L"";
    {
        sysfn::Selection selected(screen.dc, font);
        GetTextFaceW(screen.dc, LF_FACESIZE, face);
    }
    if (lstrcmpiW(face, L"宋体") != 0 && lstrcmpiW(face, L"SimSun") != 0) {
        DeleteObject(font);
        font = CreateLinkFont(height, L"Verdana");
    }
    return font;
}

HFONT CreateUnderlined(HFONT font) {
    LOGFONTW description = {};
    if (!GetObjectW(font, sizeof description, &description)) return nullptr;
    description.lfUnderline = TRUE;
    return CreateFontIndirectW(&description);
}

// The help viewer's hand, as a private copy (the shared cursor would go with
// the module, which is released at once); null where the viewer has none, as
// the stub that every Windows since Vista carries may not.
HCURSOR LoadHelpViewerHand() {
    wchar_t directory[MAX_PATH] = L"";
    // The system's own Windows folder: under terminal services, a program that
    // does not declare itself aware of them is given a private folder of the
    // user by GetWindowsDirectory.
    UINT length = sysfn::GetSystemWindowsDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring file(directory, length);
    if (file.back() != L'\\') file += L'\\';
    file += L"winhlp32.exe";
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return nullptr;
    HCURSOR hand = nullptr;
    if (HCURSOR shared = LoadCursorW(module, MAKEINTRESOURCEW(kHandCursorId))) hand = CopyCursor(shared);
    FreeLibrary(module);
    return hand;
}

struct Hand {
    HCURSOR cursor = nullptr;
    bool owned = false;  // the help viewer's copy; the system's hand is shared and never destroyed
    bool loaded = false;
};
Hand gHand;

HCURSOR HandCursor() {
    if (!gHand.loaded) {
        gHand.cursor = LoadHelpViewerHand();
        gHand.owned = gHand.cursor != nullptr;
        if (!gHand.owned) gHand.cursor = LoadCursorW(nullptr, IDC_HAND);
        gHand.loaded = true;
    }
    return gHand.cursor;
}

// The default value of a key under the classes root, up to 260 characters;
// empty when it cannot be read. A value longer than the buffer counts as
// unreadable: cut short, it would name the wrong program.
std::wstring ReadClassesRoot(const std::wstring& key) {
    wchar_t value[kRegistryValueChars + 1] = L"";  // room for a NUL the value lacks
    const LONG capacity = kRegistryValueChars * static_cast<LONG>(sizeof(wchar_t));  // the system counts bytes
    LONG size = capacity;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return std::wstring();
    if (size < 0 || size > capacity) return std::wstring();
    value[static_cast<std::size_t>(size) / sizeof(wchar_t)] = L'\0';
    return value;
}

// Runs a command line as WinExec would, but wide: no program name apart, a
// normal window.
void RunCommand(std::wstring command) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void OpenAddress(const std::wstring& address) {
    sysfn::EnsureComApartment();  // the shell may hand the address to a COM extension
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW));
    if (result > 32) return;
    std::wstring documentClass = ReadClassesRoot(L".htm");
    if (documentClass.empty()) return;
    std::wstring command = ReadClassesRoot(documentClass + L"\\shell\\open\\command");
    if (command.empty()) return;
    RunCommand(BrowserCommandLine(command, address));
}

bool OverLink(const LinkBox& box, POINT point) {
    return !box.markup.address.empty() && PtInRect(&box.textRect, point);
}

bool OverLink(const LinkBox& box, LPARAM lParam) {
    return OverLink(box, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

// The text is centred both ways in the box.
void LayOut(HWND hwnd, LinkBox& box) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    RECT extent = {};
    {
        sysfn::WindowDC dc(hwnd);
        sysfn::Selection font(dc.dc, box.font.object);
        DrawTextW(dc.dc, box.markup.text.c_str(), static_cast<int>(box.markup.text.size()), &extent,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    box.textRect.left = (client.right - extent.right) / 2;
    box.textRect.top = (client.bottom - extent.bottom) / 2;
    box.textRect.right = box.textRect.left + extent.right;
    box.textRect.bottom = box.textRect.top + extent.bottom;
}

void Load(HWND hwnd, LinkBox& box, const wchar_t* markup) {
    box.markup = ParseLinkMarkup(markup ? markup : L"");
    box.hot = false;
    LayOut(hwnd, box);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, const LinkBox& box, HDC dc) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    {
        sysfn::Selection font(dc, box.hot ? box.hoverFont.object : box.font.object);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, box.markup.address.empty() ? kTextColour : kLinkColour);
        RECT text = box.textRect;
        DrawTextW(dc, box.markup.text.c_str(), static_cast<int>(box.markup.text.size()), &text,
                  DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    if (GetFocus() == hwnd) {
        RECT focus = box.textRect;
        InflateRect(&focus, 1, 1);
        DrawFocusRect(dc, &focus);
    }
}

void OnPaint(HWND hwnd, const LinkBox& box) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    Paint(hwnd, box, dc);
    EndPaint(hwnd, &paint);
}

// Redraws only when the hover state changes.
void SetHot(HWND hwnd, LinkBox& box, bool hot) {
    if (box.hot == hot) return;
    box.hot = hot;
    if (hot) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool ShowHand(HWND hwnd, const LinkBox& box, LPARAM lParam) {
    POINT point;
    if (LOWORD(lParam) != HTCLIENT || !GetCursorPos(&point) || !ScreenToClient(hwnd, &point)) return false;
    if (!OverLink(box, point)) return false;
    HCURSOR hand = HandCursor();
    if (!hand) return false;  // the class cursor stays
    SetCursor(hand);
    return true;
}

void OnLeftDown(HWND hwnd, const LinkBox& box, LPARAM lParam) {
    SetFocus(hwnd);
    if (OverLink(box, lParam)) OpenAddress(box.markup.address);
}

// Enter and Space open the link, as in a link control; a held key opens it once.
void OnKeyDown(const LinkBox& box, WPARAM key, LPARAM lParam) {
    const bool repeated = (lParam & (1 << 30)) != 0;
    if ((key == VK_RETURN || key == VK_SPACE) && !repeated && !box.markup.address.empty()) {
        OpenAddress(box.markup.address);
    }
}

// The dialog navigation of the form would take Enter for its default button.
LRESULT DialogCode(LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
}

LRESULT OnSetText(HWND hwnd, LinkBox& box, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefWindowProcW(hwnd, WM_SETTEXT, wParam, lParam);
    Load(hwnd, box, reinterpret_cast<const wchar_t*>(lParam));
    return result;
}

void MakeFonts(LinkBox& box, int dpi) {
    box.dpi = dpi;
    box.font.Reset(CreateBodyFont(dpi));
    box.hoverFont.Reset(CreateUnderlined(static_cast<HFONT>(box.font.object)));
}

void OnDpiNotice(HWND hwnd, LinkBox& box, WPARAM dpi) {
    if (static_cast<int>(dpi) == box.dpi || dpi == 0) return;
    MakeFonts(box, static_cast<int>(dpi));
    LayOut(hwnd, box);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void OnNcCreate(HWND hwnd) {
    LinkBox* box = new LinkBox;
    MakeFonts(*box, WindowDpi(hwnd));  // a child has its parent's DPI
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
}

void OnNcDestroy(HWND hwnd, LinkBox* box) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    delete box;
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) OnNcCreate(hwnd);
    auto* box = reinterpret_cast<LinkBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!box) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: Load(hwnd, *box, reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpszName); return 0;
    case WM_NCDESTROY: OnNcDestroy(hwnd, box); break;
    case WM_SETTEXT: return OnSetText(hwnd, *box, wParam, lParam);
    case WM_SIZE: LayOut(hwnd, *box); InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case kDpiNotice: OnDpiNotice(hwnd, *box, wParam); return 0;
    case WM_ERASEBKGND: return TRUE;  // painting fills the whole box
    case WM_PAINT: OnPaint(hwnd, *box); return 0;
    case WM_PRINTCLIENT: Paint(hwnd, *box, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_MOUSEMOVE: SetHot(hwnd, *box, OverLink(*box, lParam)); return 0;
    case WM_MOUSELEAVE: SetHot(hwnd, *box, false); return 0;
    case WM_SETCURSOR: if (ShowHand(hwnd, *box, lParam)) return TRUE; break;
    case WM_LBUTTONDOWN: OnLeftDown(hwnd, *box, lParam); return 0;
    case WM_KEYDOWN: OnKeyDown(*box, wParam, lParam); return 0;
    case WM_GETDLGCODE: return DialogCode(lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A box of this process, or null.
const LinkBox* BoxOf(HWND hwnd) {
    wchar_t name[32] = L"";
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != GetCurrentProcessId() || !GetClassNameW(hwnd, name, 32) || lstrcmpW(name, kHyperlinkClass) != 0) {
        return nullptr;
    }
    return reinterpret_cast<const LinkBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

bool HyperlinkHot(HWND box) {
    const LinkBox* link = BoxOf(box);
    return link && link->hot;
}

RECT HyperlinkHitArea(HWND box) {
    const LinkBox* link = BoxOf(box);
    return link ? link->textRect : RECT{};
}

void ReleaseHyperlinkResources() {
    if (gHand.owned) DestroyPointer(gHand.cursor);
    gHand = Hand();
}

bool RegisterHyperlinkClass() {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = LinkProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kHyperlinkClass;
    return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace ui

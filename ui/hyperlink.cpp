#include "ui/hyperlink.h"

#include <shellapi.h>
#include <windowsx.h>

namespace ui {

const char kHyperlinkClass[] = "AutoredialLink";

// Every byte that the markup and the browser command use as syntax (angle
// brackets, '=', quotes, blanks, '&', ';', '/', '%', '1') lies below 0x40,
// where no GBK trail byte does, and letters are only compared right after such
// a byte. So a plain byte scan never takes half a Chinese character for syntax.

namespace {

constexpr int kPointSize = 9;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr int kHandCursorId = 106;  // the hand of the classic help viewer
constexpr LONG kRegistryValueSize = 260;

struct LinkBox {
    LinkMarkup markup;
    HFONT font = nullptr;       // a:link
    HFONT hoverFont = nullptr;  // a:hover, the same font underlined
    RECT textRect = {};         // the hit area
    bool hot = false;
};

struct Entity {
    const char* name;
    char value;
};
const Entity kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether s holds word at pos, letter case aside; word is lower case.
bool WordAt(const std::string& s, size_t pos, const char* word) {
    for (size_t i = 0; word[i]; ++i) {
        if (pos + i >= s.size() || Lower(s[pos + i]) != word[i]) return false;
    }
    return true;
}

// Whether a tag opening with start ("<a", "</a") begins at pos.
bool TagAt(const std::string& s, size_t pos, const char* start) {
    if (!WordAt(s, pos, start)) return false;
    size_t next = pos + std::char_traits<char>::length(start);
    return next == s.size() || IsBlank(s[next]) || s[next] == '>' || s[next] == '/';
}

size_t FindTag(const std::string& s, size_t from, const char* start) {
    size_t pos = s.find('<', from);
    while (pos != std::string::npos && !TagAt(s, pos, start)) pos = s.find('<', pos + 1);
    return pos;
}

// Appends the character at pos, or the entity that starts there, decoded;
// returns how many bytes it took.
size_t AppendDecoded(const std::string& s, size_t pos, std::string& out) {
    if (s[pos] == '&') {
        for (const Entity& entity : kEntities) {
            if (s.compare(pos, std::char_traits<char>::length(entity.name), entity.name) == 0) {
                out += entity.value;
                return std::char_traits<char>::length(entity.name);
            }
        }
    }
    out += s[pos];
    return 1;
}

// The text of s[begin, end): tags left out, entities decoded, each run of
// blanks made one blank, none at either end.
std::string TextOf(const std::string& s, size_t begin, size_t end) {
    std::string text;
    bool blank = false;
    for (size_t i = begin; i < end;) {
        if (s[i] == '<') {
            size_t close = s.find('>', i);
            i = close == std::string::npos || close >= end ? end : close + 1;
        } else if (IsBlank(s[i])) {
            blank = true;
            ++i;
        } else {
            if (blank && !text.empty()) text += ' ';
            blank = false;
            i += AppendDecoded(s, i, text);
        }
    }
    return text;
}

// An attribute value with its entities decoded and the blanks at either end cut.
std::string AddressOf(const std::string& value) {
    size_t begin = 0, end = value.size();
    while (begin < end && IsBlank(value[begin])) ++begin;
    while (end > begin && IsBlank(value[end - 1])) --end;
    std::string address;
    for (size_t i = begin; i < end;) i += AppendDecoded(value, i, address);
    return address;
}

// Reads the attributes of a tag from pos, just after its name, to its '>';
// returns the position after the tag. Of repeated attributes the first counts.
size_t ReadAttributes(const std::string& s, size_t pos, std::string& href, std::string& url) {
    bool haveHref = false, haveUrl = false;
    while (pos < s.size() && s[pos] != '>') {
        if (IsBlank(s[pos]) || s[pos] == '/') {
            ++pos;
            continue;
        }
        size_t nameStart = pos;
        while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '=' && s[pos] != '>' && s[pos] != '/') ++pos;
        size_t nameEnd = pos;
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
        std::string value;
        if (pos < s.size() && s[pos] == '=') {
            ++pos;
            while (pos < s.size() && IsBlank(s[pos])) ++pos;
            if (pos < s.size() && (s[pos] == '"' || s[pos] == '\'')) {
                size_t close = s.find(s[pos], pos + 1);
                if (close == std::string::npos) close = s.size();
                value = s.substr(pos + 1, close - pos - 1);
                pos = close < s.size() ? close + 1 : close;
            } else {
                size_t valueStart = pos;
                while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '>') ++pos;
                value = s.substr(valueStart, pos - valueStart);
            }
        }
        if (nameEnd - nameStart == 4 && WordAt(s, nameStart, "href") && !haveHref) {
            href = value;
            haveHref = true;
        } else if (nameEnd - nameStart == 3 && WordAt(s, nameStart, "url") && !haveUrl) {
            url = value;
            haveUrl = true;
        }
    }
    return pos < s.size() ? pos + 1 : pos;
}

HFONT CreateLinkFont(int height, const char* face) {
    // The system's own character set keeps the GBK text drawable whichever
    // face the font mapper settles on.
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// 9-point 宋体, or Verdana where the font mapper has no 宋体 (by its Chinese or
// its English name) to give.
HFONT CreateBodyFont() {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(kPointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    HFONT font = CreateLinkFont(height, "宋体");
    char face[LF_FACESIZE] = "";
    HGDIOBJ previous = SelectObject(screen, font);
    GetTextFaceA(screen, sizeof face, face);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    if (lstrcmpiA(face, "宋体") != 0 && lstrcmpiA(face, "SimSun") != 0) {
        DeleteObject(font);
        font = CreateLinkFont(height, "Verdana");
    }
    return font;
}

HFONT CreateUnderlined(HFONT font) {
    LOGFONTA description = {};
    if (!GetObjectA(font, sizeof description, &description)) return nullptr;
    description.lfUnderline = TRUE;
    return CreateFontIndirectA(&description);
}

// A private copy: the shared cursor would go with the module, which is
// released at once.
HCURSOR LoadHandCursor() {
    char directory[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return nullptr;
    std::string file(directory, length);
    if (file.back() != '\\') file += '\\';
    file += "winhlp32.exe";
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return nullptr;
    HCURSOR hand = nullptr;
    if (HCURSOR shared = LoadCursorA(module, MAKEINTRESOURCEA(kHandCursorId))) hand = CopyCursor(shared);
    FreeLibrary(module);
    return hand;
}

HCURSOR HandCursor() {
    static const HCURSOR hand = LoadHandCursor();
    return hand;
}

// The default value of a key under the classes root; empty when it cannot be
// read. A value longer than the buffer counts as unreadable: cut short, it
// would name the wrong program.
std::string ReadClassesRoot(const std::string& key) {
    char value[kRegistryValueSize + 1] = "";  // room for a NUL the value lacks
    LONG size = kRegistryValueSize;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return std::string();
    if (size < 0 || size > kRegistryValueSize) return std::string();
    value[size] = '\0';
    return value;
}

void OpenAddress(const std::string& address) {
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW));
    if (result > 32) return;
    std::string documentClass = ReadClassesRoot(".htm");
    if (documentClass.empty()) return;
    std::string command = ReadClassesRoot(documentClass + "\\shell\\open\\command");
    if (command.empty()) return;
    WinExec(BrowserCommandLine(command, address).c_str(), SW_SHOW);
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
    HDC dc = GetDC(hwnd);
    HGDIOBJ previous = SelectObject(dc, box.font);
    DrawTextA(dc, box.markup.text.c_str(), static_cast<int>(box.markup.text.size()), &extent,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(hwnd, dc);
    box.textRect.left = (client.right - extent.right) / 2;
    box.textRect.top = (client.bottom - extent.bottom) / 2;
    box.textRect.right = box.textRect.left + extent.right;
    box.textRect.bottom = box.textRect.top + extent.bottom;
}

void Load(HWND hwnd, LinkBox& box, const char* markup) {
    box.markup = ParseLinkMarkup(markup ? markup : "");
    box.hot = false;
    LayOut(hwnd, box);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, const LinkBox& box, HDC dc) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ previous = SelectObject(dc, box.hot ? box.hoverFont : box.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, box.markup.address.empty() ? kTextColour : kLinkColour);
    RECT text = box.textRect;
    DrawTextA(dc, box.markup.text.c_str(), static_cast<int>(box.markup.text.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, previous);
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

void OnNcCreate(HWND hwnd) {
    LinkBox* box = new LinkBox;
    box->font = CreateBodyFont();
    box->hoverFont = CreateUnderlined(box->font);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
}

void OnNcDestroy(HWND hwnd, LinkBox* box) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DeleteObject(box->font);
    DeleteObject(box->hoverFont);
    delete box;
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) OnNcCreate(hwnd);
    auto* box = reinterpret_cast<LinkBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!box) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: Load(hwnd, *box, reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpszName); return 0;
    case WM_NCDESTROY: OnNcDestroy(hwnd, box); break;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
        Load(hwnd, *box, reinterpret_cast<const char*>(lParam));
        return result;
    }
    case WM_SIZE: LayOut(hwnd, *box); InvalidateRect(hwnd, nullptr, FALSE); return 0;
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
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A box of this process, or null.
const LinkBox* BoxOf(HWND hwnd) {
    char name[32] = "";
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != GetCurrentProcessId() || !GetClassNameA(hwnd, name, sizeof name) ||
        lstrcmpA(name, kHyperlinkClass) != 0) {
        return nullptr;
    }
    return reinterpret_cast<const LinkBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace

LinkMarkup ParseLinkMarkup(const std::string& markup) {
    LinkMarkup link;
    size_t open = FindTag(markup, 0, "<a");
    if (open == std::string::npos) {
        link.text = TextOf(markup, 0, markup.size());
        return link;
    }
    std::string href, url;
    size_t begin = ReadAttributes(markup, open + 2, href, url);
    size_t end = FindTag(markup, begin, "</a");
    link.text = TextOf(markup, begin, end == std::string::npos ? markup.size() : end);
    link.address = AddressOf(href);
    if (link.address.empty()) link.address = AddressOf(url);
    return link;
}

std::string BrowserCommandLine(const std::string& command, const std::string& address) {
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos) cut = command.find("%1");
    return command.substr(0, cut) + " " + address;
}

bool HyperlinkHot(HWND box) {
    const LinkBox* link = BoxOf(box);
    return link && link->hot;
}

RECT HyperlinkHitArea(HWND box) {
    const LinkBox* link = BoxOf(box);
    return link ? link->textRect : RECT{};
}

bool RegisterHyperlinkClass() {
    WNDCLASSEXA cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = LinkProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kHyperlinkClass;
    return RegisterClassExA(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace ui

// Forms as data: a window's properties and its units. The handlers bound to
// their events are wired to a form by the shell (a WiredForm), so this layer
// knows no handler. One creation loop (app/shell.cpp) builds any form from its
// table; handlers address a unit by form and name.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace ui {

enum class UnitType { Window, Label, EditBox, PicBox, Button, ProcessBar, Timer, StatusBar, SimpleHtml };

// LinkNotice: the window's kLinkNotice message (messages.h).
enum class Event { Created, FirstActivated, Destroying, Clicked, Periodic, LeftDown, LeftUp, LinkNotice };

// Mouse events carry the pointer's place in the unit's client area and the
// keys held: 1 Ctrl, 2 Shift, 4 Alt. Other events carry zeros.
struct EventArgs {
    int x = 0;
    int y = 0;
    int keys = 0;
};
enum KeyState { kCtrlDown = 1, kShiftDown = 2, kAltDown = 4 };

using Handler = void (*)(const EventArgs& args);

enum class Frame { FixedSingle, None };

// Texts are wide. A unit's name is only a key into its form's table, never
// shown or handed to the system, so it stays a plain (UTF-8) string.
struct WindowDef {
    const wchar_t* caption;
    int width;   // outer size
    int height;
    Frame frame;
    bool taskbarButton;
    bool alwaysOnTop;
    bool escCloses;
};

enum UnitFlags : unsigned {
    kTabStop = 1u << 0,
    kBorder = 1u << 1,
    kCentred = 1u << 2,
};

struct UnitDef {
    UnitType type;
    const char* name;
    int left, top, width, height;
    const wchar_t* text;    // caption, content, or marked-up text; may be null
    int32_t value;          // Timer: period in ms; ProcessBar: position
    COLORREF textColour;    // CLR_INVALID: the unit type's default
    unsigned flags;
    const unsigned char* picture;  // PicBox: image bytes from the form, or null
    const unsigned* pictureSize;
};

struct Binding {
    const char* unit;  // null: the window itself
    Event event;
    Handler handler;
};

struct FormDef {
    const char* name;
    WindowDef window;
    const UnitDef* units;
    std::size_t unitCount;
};

// A form template with the handlers bound to its events.
struct WiredForm {
    const FormDef* form;
    const Binding* bindings;
    std::size_t bindingCount;
};

template <typename T, std::size_t N>
constexpr std::size_t Count(const T (&)[N]) {
    return N;
}

// Child-window ids follow the unit's row in its form, so a test can find any
// unit of a running window with GetDlgItem.
constexpr int kFirstUnitId = 1000;
inline int UnitId(std::size_t row) { return kFirstUnitId + static_cast<int>(row); }

extern const FormDef kMainForm;
extern const FormDef kAimForm;

// The units that the handlers, the wiring and the tests address, by role; each
// is the name of a row in its form's table (ui/forms.cpp).
constexpr char kTargetBox[] = "编辑框1";     // the dial button's handle, aimed or typed
constexpr char kStartButton[] = "按钮1";
constexpr char kStopButton[] = "按钮2";
constexpr char kTargetLine[] = "标签1";      // the handle in use, or why a click failed
constexpr char kLinkState[] = "标签2";       // 联网呢 or 断网了
constexpr char kRedialCount[] = "标签3";     // 已拔 N 次
constexpr char kPromptLine[] = "标签4";      // the last prompt search's result
constexpr char kCountdownBar[] = "进度条1";
constexpr char kAimIcon[] = "图片框1";
constexpr char kWatchTimer[] = "时钟1";      // the link test, every 10 s after Start
constexpr char kCountdownTimer[] = "时钟2";  // the bar's steps, every second after Start
constexpr char kPromptTimer[] = "时钟3";     // the prompt search, every second from the start
constexpr char kAimTimer[] = "时钟1";        // of the aim window: the aim steps

}  // namespace ui

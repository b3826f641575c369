// Forms as data: a window's properties and its units. The handlers bound to
// their events are wired to a form by the shell (a WiredForm), so this layer
// knows no handler. The form runtime (ui/runtime.h) builds any form from its
// table and turns its messages into those events; handlers address a unit by
// form and name.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace ui {

enum class UnitType { Window, Label, EditBox, PicBox, Button, ProcessBar, Timer, StatusBar, SimpleHtml };

// Notice: the window's private kNotice message (messages.h), which the
// wiring hands to whatever posts it and names.
enum class Event { Created, FirstActivated, Destroying, Clicked, Periodic, LeftDown, LeftUp, Notice };

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
    const wchar_t* text;    // caption, content, marked-up text, or the panes' texts separated by tabs; may be null
    int32_t value;          // Timer: period in ms; ProcessBar: position
    COLORREF textColour;    // CLR_INVALID: the unit type's default
    unsigned flags;
    const unsigned char* picture;  // PicBox: image bytes from the form, or null
    const unsigned* pictureSize;
};

struct UnitRef;

struct Binding {
    const UnitRef* unit;  // null: the window itself
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

// A unit by its role: its form and its name in that form's table. The unit's
// row takes its name from here, and the handlers, the wiring and the tests
// address it by the same reference, so a misspelt unit fails to compile, and
// so does a reference without its row (ui/forms.cpp checks).
struct UnitRef {
    const FormDef* form;
    const char* name;
};

inline constexpr UnitRef kTargetBox{&kMainForm, "编辑框1"};     // the dial button's handle, aimed or typed
inline constexpr UnitRef kStartButton{&kMainForm, "按钮1"};
inline constexpr UnitRef kStopButton{&kMainForm, "按钮2"};
inline constexpr UnitRef kTargetLine{&kMainForm, "标签1"};      // the handle in use, or why a click failed
inline constexpr UnitRef kLinkState{&kMainForm, "标签2"};       // 联网呢 or 断网了
inline constexpr UnitRef kRedialCount{&kMainForm, "标签3"};     // 已拔 N 次
inline constexpr UnitRef kPromptLine{&kMainForm, "标签4"};      // the last prompt search's result
inline constexpr UnitRef kCountdownBar{&kMainForm, "进度条1"};
inline constexpr UnitRef kAimIcon{&kMainForm, "图片框1"};
inline constexpr UnitRef kWatchTimer{&kMainForm, "时钟1"};      // the link test, once a watch period from Start
inline constexpr UnitRef kCountdownTimer{&kMainForm, "时钟2"};  // the bar's steps, from Start
inline constexpr UnitRef kPromptTimer{&kMainForm, "时钟3"};     // the prompt search, every second from the start
inline constexpr int32_t kPromptPeriod = 1000;                  // kPromptTimer's, in ms, from the form
inline constexpr UnitRef kAimTimer{&kAimForm, "时钟1"};         // the aim window's steps

}  // namespace ui

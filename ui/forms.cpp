// The two form templates: the main window and the small aim window that
// exists only during the aim drag. The shell wires their events (app/wiring.cpp).
#include "ui/form.h"

#include <initializer_list>

extern const unsigned char kDialButtonJpeg[];
extern const unsigned kDialButtonJpegSize;

namespace ui {

namespace {

constexpr COLORREF kDefault = CLR_INVALID;
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

const wchar_t kDownloadLink[] =
    L"<center><a href=\"https://example.com/zorvic/download\" target=\"_blank\">下载岚川客户端</a></center>";

constexpr UnitDef kMainUnits[] = {
    {UnitType::EditBox, kTargetBox.name, 8, 184, 80, 20, nullptr, 0, kDefault, kTabStop | kBorder | kCentred, nullptr, nullptr},
    {UnitType::Button, kStartButton.name, 96, 184, 50, 24, L"开始", 0, kDefault, kTabStop, nullptr, nullptr},
    {UnitType::Label, kTargetLine.name, 8, 8, 144, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, kLinkState.name, 8, 64, 80, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Timer, kWatchTimer.name, 208, 192, 26, 26, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::ProcessBar, kCountdownBar.name, 8, 32, 150, 24, nullptr, 0, kDefault, kBorder, nullptr, nullptr},
    {UnitType::Timer, kCountdownTimer.name, 208, 152, 26, 26, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, kRedialCount.name, 168, 32, 80, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, kPromptLine.name, 8, 144, 168, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Timer, kPromptTimer.name, 208, 120, 26, 26, nullptr, kPromptPeriod, kDefault, 0, nullptr, nullptr},
    {UnitType::Button, kStopButton.name, 152, 184, 50, 24, L"停止", 0, kDefault, kTabStop, nullptr, nullptr},
    {UnitType::PicBox, kAimIcon.name, 8, 96, 32, 32, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, "标签6", 40, 101, 160, 24, L"<-拖动此图标到拔号按钮上->", 0, kDarkRed, 0, nullptr, nullptr},
    {UnitType::PicBox, "图片框2", 216, 72, 64, 77, nullptr, 0, kDefault, 0, kDialButtonJpeg, &kDialButtonJpegSize},
    {UnitType::Label, "标签5", 8, 208, 256, 24, L"开始工作后不要最小化本窗口和岚川软件窗口", 0, kDefault, 0, nullptr, nullptr},
    // Each pane's text ends inside what is visible of it (the second pane runs
    // past the bar's edge): Chinese characters alone, one em wide in any Chinese
    // font, 120 and 96 of about 140 pixels at 96 dpi. The guide has the address.
    {UnitType::StatusBar, "状态条1", 0, 215, 294, 20, L"作者：重拔工具开发组\t联系：见使用说明", 0, kDefault, 0,
     nullptr, nullptr},
    {UnitType::SimpleHtml, "简单超文本框1", 166, 4, 120, 24, kDownloadLink, 0, kDefault, kTabStop, nullptr, nullptr},
};

constexpr UnitDef kAimUnits[] = {
    {UnitType::Timer, kAimTimer.name, 8, 8, 26, 26, nullptr, 10, kDefault, 0, nullptr, nullptr},
};

constexpr bool SameName(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

template <std::size_t N>
constexpr bool HasRows(const UnitDef (&units)[N], std::initializer_list<UnitRef> refs) {
    for (const UnitRef& ref : refs) {
        bool found = false;
        for (const UnitDef& unit : units) found = found || SameName(unit.name, ref.name);
        if (!found) return false;
    }
    return true;
}

static_assert(HasRows(kMainUnits, {kTargetBox, kStartButton, kStopButton, kTargetLine, kLinkState, kRedialCount,
                                   kPromptLine, kCountdownBar, kAimIcon, kWatchTimer, kCountdownTimer, kPromptTimer}),
              "a unit of the main window addressed by role has no row");
static_assert(HasRows(kAimUnits, {kAimTimer}), "a unit of the aim window addressed by role has no row");

}  // namespace

const FormDef kMainForm = {
    "main",
    {L"岚川宽带断线自动重拔工具", 300, 276, Frame::FixedSingle, true, false, true},
    kMainUnits, Count(kMainUnits),
};

const FormDef kAimForm = {
    "aim",
    {L"", 58, 54, Frame::None, false, true, true},
    kAimUnits, Count(kAimUnits),
};

}  // namespace ui

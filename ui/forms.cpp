// The two form templates: the main window and the small aim window that
// exists only during the aim drag. The shell wires their events (app/wiring.cpp).
#include "ui/form.h"

extern const unsigned char kDialButtonJpeg[];
extern const unsigned kDialButtonJpegSize;

namespace ui {

namespace {

constexpr COLORREF kDefault = CLR_INVALID;
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

const wchar_t kDownloadLink[] =
    L"<center><a href=\"https://example.com/zorvic/download\" target=\"_blank\">下载岚川客户端</a></center>";

const UnitDef kMainUnits[] = {
    {UnitType::EditBox, "编辑框1", 8, 184, 80, 20, nullptr, 0, kDefault, kTabStop | kBorder | kCentred, nullptr, nullptr},
    {UnitType::Button, "按钮1", 96, 184, 50, 24, L"开始", 0, kDefault, kTabStop, nullptr, nullptr},
    {UnitType::Label, "标签1", 8, 8, 144, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, "标签2", 8, 64, 80, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Timer, "时钟1", 208, 192, 26, 26, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::ProcessBar, "进度条1", 8, 32, 150, 24, nullptr, 0, kDefault, kBorder, nullptr, nullptr},
    {UnitType::Timer, "时钟2", 208, 152, 26, 26, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, "标签3", 168, 32, 80, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, "标签4", 8, 144, 168, 24, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Timer, "时钟3", 208, 120, 26, 26, nullptr, 1000, kDefault, 0, nullptr, nullptr},
    {UnitType::Button, "按钮2", 152, 184, 50, 24, L"停止", 0, kDefault, kTabStop, nullptr, nullptr},
    {UnitType::PicBox, "图片框1", 8, 96, 32, 32, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::Label, "标签6", 40, 101, 160, 24, L"<-拖动此图标到拔号按钮上->", 0, kDarkRed, 0, nullptr, nullptr},
    {UnitType::PicBox, "图片框2", 216, 72, 64, 77, nullptr, 0, kDefault, 0, kDialButtonJpeg, &kDialButtonJpegSize},
    {UnitType::Label, "标签5", 8, 208, 256, 24, L"开始工作后不要最小化本窗口和岚川软件窗口", 0, kDefault, 0, nullptr, nullptr},
    {UnitType::StatusBar, "状态条1", 0, 215, 294, 20, nullptr, 0, kDefault, 0, nullptr, nullptr},
    {UnitType::SimpleHtml, "简单超文本框1", 166, 4, 120, 24, kDownloadLink, 0, kDefault, kTabStop, nullptr, nullptr},
};

const UnitDef kAimUnits[] = {
    {UnitType::Timer, "时钟1", 8, 8, 26, 26, nullptr, 10, kDefault, 0, nullptr, nullptr},
};

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

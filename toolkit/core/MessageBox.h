// ToolkitMessageBox: the toolkit's own modal message window. A small host window with a title,
// a close button, the message, an optional icon and one to three push buttons, painted from the
// theme section "MsgBox". It runs its own message loop, which keeps keyboard and pointer input
// away from every other window, until the box is gone, and returns the value of the button that
// closed it.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ElementFields.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// The buttons a box shows. Each kind lists its buttons from the right edge leftwards.
enum MessageBoxKind : std::int32_t {
    kMessageBoxOk = 0,                // OK
    kMessageBoxOkCancel = 1,          // Cancel, OK
    kMessageBoxAbortRetryIgnore = 2,  // Ignore, Retry, Abort
    kMessageBoxYesNoCancel = 3,       // Cancel, No, Yes
    kMessageBoxYesNo = 4,             // No, Yes
    kMessageBoxRetryCancel = 5,       // Cancel, Retry
};
constexpr std::int32_t kMessageBoxKindCount = 6;

// What ToolkitMessageBox returns. A box closed without a button (its close button, Escape, the
// system) gives kResultCancel.
enum MessageBoxResult : std::int32_t {
    kResultOk = 0,
    kResultCancel = 1,
    kResultAbort = 2,
    kResultRetry = 3,
    kResultIgnore = 4,
    kResultYes = 5,
    kResultNo = 6,
};

// Icon types are MessageBeep's MB_ICON values; the theme holds a picture "m" + the value.
enum MessageBoxIcon : std::int32_t {
    kMessageBoxNoIcon = 0,
    kMessageBoxIconError = 16,
    kMessageBoxIconQuestion = 32,
    kMessageBoxIconWarning = 48,
    kMessageBoxIconInformation = 64,
};

// The box's own texts (GBK). They are the system's and must stay exactly so.
constexpr char kMessageBoxDefaultTitle[] = "提示：";
constexpr char kMessageBoxTextOk[] = "确认";
constexpr char kMessageBoxTextCancel[] = "取消";
constexpr char kMessageBoxTextAbort[] = "放弃";
constexpr char kMessageBoxTextRetry[] = "重试";
constexpr char kMessageBoxTextIgnore[] = "忽略";
constexpr char kMessageBoxTextYes[] = "是(&Y)";
constexpr char kMessageBoxTextNo[] = "否(&N)";

// The window property that marks a box window (with kWindowFlagsProperty, HostRecord.h); both
// are removed when it is destroyed.
constexpr char kMessageBoxProperty[] = "MsgBox";

// Optional arguments of ToolkitMessageBox; an absent value takes the default beside it.
struct MessageBoxOptions {
    std::int32_t kind = kMessageBoxOk;
    std::optional<std::string> title;  // GBK; kMessageBoxDefaultTitle
    std::int32_t iconType = kMessageBoxNoIcon;
    // GBK texts replacing the kind's, from the right edge leftwards. The values still follow
    // the kind: texts beyond the kind's number of buttons are not shown.
    std::vector<std::string> buttonTexts;
    std::int32_t defaultValue = kResultCancel;  // the button with this value takes the focus
    // Given bytes make the buttons ThunderButtons, which draw the toolkit's own picture.
    ByteArray buttonImage;
    // A given width lays the message out within it (wrapping, the box growing downwards);
    // without one the box widens to fit the message on one line.
    std::optional<std::int32_t> width;
    // Called as routine(box window, window width, window height) once the box is laid out and
    // before it is shown; 0 for none.
    std::uint32_t sizedRoutine = 0;
    // Replaces PaintMessageBox as the box window's paint routine; 0 for none.
    std::uint32_t paintRoutine = 0;
};

// Shows the box over the owner (centred on it, or on the work area when the owner is not a
// window) and returns the value of the button pressed, or kResultCancel. text is GBK.
std::int32_t ToolkitMessageBox(HWND owner, const char* text, const MessageBoxOptions& options = {});
// The common form: kind, title and icon.
std::int32_t ToolkitMessageBox(HWND owner, const char* text, std::int32_t kind, const char* title,
                               std::int32_t iconType = kMessageBoxNoIcon);

// The box's modal loop: runs until the box window is gone. Keyboard and pointer messages for
// any other window are dropped; a press on another window brings the box forward instead. A
// WM_QUIT ends the box and is posted again, so the program still quits.
void RunModalLoop(HWND box, HWND owner);

// The default paint routine of a box window: the theme's "MsgBox" picture stretched in three
// bands (top block, middle, button bar) over the body.
void __stdcall PaintMessageBox(HWND window, Gdiplus::GpGraphics* graphics, std::int32_t width,
                               std::int32_t height);

// The click routine bound to every button: the button's element text holds the address of the
// result variable and the button's value, "address|value".
std::uint32_t __stdcall MessageBoxButtonClicked(ElementHandle button);

}  // namespace toolkit

// Toolkit start-up and shutdown, the toolkit's shared globals, top-level window creation and
// the message loop.
//
// InitToolkit runs from the program's entry, before the engine is bound: it installs the
// fatal-error handlers (FatalError.h), starts GDI+, measures the operating system, makes the
// shared GDI+ objects, the default icons, font and cursor, registers the window class
// "Ex_DirectUI" and sizes the local atom table.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>

namespace toolkit {

// The toolkit's window class; windows whose class cannot be used fall back to it.
constexpr wchar_t kToolkitWindowClass[] = L"Ex_DirectUI";
constexpr int kDefaultWindowWidth = 380;
constexpr int kDefaultWindowHeight = 250;
// Group icon resource of each program.
constexpr WORD kProgramIconId = 129;
constexpr char kFallbackIconName[] = "DEFAULT_ICON";
constexpr UINT kAtomTableBuckets = 547;
// GDI+ TextRenderingHintSingleBitPerPixelGridFit.
constexpr int kDefaultTextRenderingHint = 1;
// The default font: 12 pixels, regular, "宋体" unless the machine lacks it.
constexpr float kDefaultFontSize = 12.0f;
constexpr wchar_t kDefaultFontFace[] = L"宋体";

struct ToolkitGlobals {
    // The OS version value handed to the engine (see OsVersionValue).
    float osVersion = 0.0f;
    // Shared by every alpha or colour-matrix drawing, and handed to the engine.
    Gdiplus::GpImageAttributes* imageAttributes = nullptr;
    // From the program's group icon (16 and 32 pixels), else the system's application icon.
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;
    // The arrow, or a cursor InitUiEngine loaded; the second one equals it unless given.
    HCURSOR normalCursor = nullptr;
    HCURSOR secondCursor = nullptr;
    int textRenderingHint = kDefaultTextRenderingHint;
    // Shared: elements using it never delete it; InitUiEngine may replace it.
    Gdiplus::GpFont* defaultFont = nullptr;
    HANDLE processHeap = nullptr;
    HINSTANCE programModule = nullptr;
    ULONG_PTR gdiplusToken = 0;
    bool started = false;
};

ToolkitGlobals& Toolkit();

// Values of the OS version table.
constexpr unsigned kProductWorkstation = 1;  // VER_NT_WORKSTATION

// The OS version value for an NT version: a float the engine compares, in which Windows 10
// reads as 6.4 and server editions carry an extra 0.01. nativeArchitecture (GetNativeSystemInfo)
// only matters for 5.2 servers.
float OsVersionValue(unsigned major, unsigned minor, unsigned productType,
                     unsigned nativeArchitecture);

// Runs once; later calls do nothing. Nothing is reported: what fails stays 0.
void InitToolkit();
// Releases the toolkit's GDI+ objects, icons and cursors and shuts GDI+ down; no GDI+ object
// may be used afterwards. The engine must be freed first.
void ShutdownToolkit();

struct ToolkitWindowClassOptions {
    std::optional<UINT> classStyle;     // CS_DBLCLKS unless given
    WNDPROC windowProcedure = nullptr;  // DefWindowProcW unless given
    HCURSOR cursor = nullptr;           // the normal cursor unless given
    std::wstring className;             // "Ex_DirectUI" unless given
};
bool RegisterToolkitWindowClass(const ToolkitWindowClassOptions& options = {});

struct WorkArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
WorkArea GetWorkArea();

struct ToolkitWindowOptions {
    HWND parent = nullptr;
    std::string title;  // GBK
    std::optional<int> x;
    std::optional<int> y;
    // Without a width both width and height take their defaults, even when a height is given.
    std::optional<int> width;
    std::optional<int> height;
    bool sizable = false;
    std::string className;  // GBK; empty: "Ex_DirectUI", or the parent's class with a parent
    std::optional<DWORD> style;
    std::optional<DWORD> extendedStyle;
    // Without a parent: true unless given false (then a tool window). With one: false unless
    // given true.
    std::optional<bool> taskbar;
};
// Makes a top-level toolkit window, centred in the work area unless placed; 0 on failure.
HWND CreateToolkitWindow(const ToolkitWindowOptions& options = {});

std::wstring GetWindowClassName(HWND window);

// Dispatches messages while window exists. A WM_QUIT that arrives meanwhile destroys the window
// (its owner frees the window's objects next) and is posted again once, so an outer loop ends
// too. Returns the last message's wParam.
WPARAM RunMessageLoop(HWND window);

}  // namespace toolkit

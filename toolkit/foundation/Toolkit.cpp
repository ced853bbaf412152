#include "foundation/Toolkit.h"

#include <commctrl.h>

#include <vector>

#include "foundation/FatalError.h"
#include "foundation/Fonts.h"
#include "foundation/PresentBatch.h"
#include "foundation/TextCodec.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

ToolkitGlobals g_toolkit;
// The default icons made from the program's resources; the system's shared ones are not here.
std::vector<HICON> g_ownedIcons;

// NONCLIENTMETRICSA without iPaddedBorderWidth: the size every Windows version accepts.
constexpr UINT kNonClientMetricsSize = 340;
constexpr std::size_t kClassNameChars = 512;
constexpr DWORD kIconResourceVersion = 0x30000;
constexpr int kSmallIconSize = 16;
constexpr int kBigIconSize = 32;
// RT_ICON and RT_GROUP_ICON, as integer resource types.
constexpr WORD kResourceIcon = 3;
constexpr WORD kResourceGroupIcon = 14;
constexpr WORD kArchitectureIa64 = 6;   // PROCESSOR_ARCHITECTURE_IA64
constexpr WORD kArchitectureAmd64 = 9;  // PROCESSOR_ARCHITECTURE_AMD64
constexpr DWORD kDefaultWindowStyle =
    WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void MeasureOsVersion() {
    using GetVersionNumbers = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    using GetProductType = BOOLEAN(WINAPI*)(DWORD*);
    using GetNativeInfo = void(WINAPI*)(SYSTEM_INFO*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto getVersion = reinterpret_cast<GetVersionNumbers>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
    auto getProduct = reinterpret_cast<GetProductType>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtProductType")));
    if (getVersion == nullptr) {
        return;
    }
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    getVersion(&major, &minor, &build);
    DWORD product = kProductWorkstation;
    if (getProduct != nullptr) {
        getProduct(&product);
    }
    SYSTEM_INFO info = {};
    info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
    auto getNativeInfo = reinterpret_cast<GetNativeInfo>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo")));
    if (getNativeInfo != nullptr) {
        getNativeInfo(&info);
    }
    g_toolkit.osVersion = OsVersionValue(major, minor, product, info.wProcessorArchitecture);
}

HICON LoadGroupIconEntry(HINSTANCE module, HRSRC group, int size) {
    HGLOBAL groupData = LoadResource(module, group);
    auto* directory = static_cast<PBYTE>(LockResource(groupData));
    if (directory == nullptr) {
        return nullptr;
    }
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    if (id == 0) {
        return nullptr;
    }
    HRSRC icon = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kResourceIcon));
    if (icon == nullptr) {
        return nullptr;
    }
    auto* bits = static_cast<PBYTE>(LockResource(LoadResource(module, icon)));
    if (bits == nullptr) {
        return nullptr;
    }
    return CreateIconFromResourceEx(bits, SizeofResource(module, icon), TRUE, kIconResourceVersion,
                                    0, 0, LR_DEFAULTCOLOR);
}

HICON SharedApplicationIcon(int size) {
    return static_cast<HICON>(LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION),
                                         IMAGE_ICON, size, size, LR_SHARED));
}

void LoadDefaultIcons() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(kProgramIconId),
                                MAKEINTRESOURCEW(kResourceGroupIcon));
    if (group == nullptr) {
        group = FindResourceA(module, kFallbackIconName, MAKEINTRESOURCEA(kResourceGroupIcon));
    }
    if (group != nullptr) {
        g_toolkit.smallIcon = LoadGroupIconEntry(module, group, kSmallIconSize);
        g_toolkit.bigIcon = LoadGroupIconEntry(module, group, kBigIconSize);
    }
    // A program without an icon of its own shows the system's application icon. Those are shared
    // (LR_SHARED) and never destroyed.
    if (g_toolkit.smallIcon == nullptr) {
        g_toolkit.smallIcon = SharedApplicationIcon(kSmallIconSize);
    } else {
        g_ownedIcons.push_back(g_toolkit.smallIcon);
    }
    if (g_toolkit.bigIcon == nullptr) {
        g_toolkit.bigIcon = SharedApplicationIcon(kBigIconSize);
    } else {
        g_ownedIcons.push_back(g_toolkit.bigIcon);
    }
}

std::wstring CaptionFontFace() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
        return kDefaultFontFace;
    }
    const std::string face(metrics.lfCaptionFont.lfFaceName,
                           strnlen(metrics.lfCaptionFont.lfFaceName, LF_FACESIZE));
    return ToWideString(face, CP_ACP);
}

HINSTANCE ProgramModule() {
    if (g_toolkit.programModule == nullptr) {
        g_toolkit.programModule = GetModuleHandleW(nullptr);
    }
    return g_toolkit.programModule;
}

}  // namespace

ToolkitGlobals& Toolkit() {
    return g_toolkit;
}

float OsVersionValue(unsigned major, unsigned minor, unsigned productType,
                     unsigned nativeArchitecture) {
    const bool workstation = productType == kProductWorkstation;
    if (major == 5) {
        if (minor == 1) {
            return 5.0f;
        }
        if (minor == 2) {
            if (workstation || nativeArchitecture == kArchitectureIa64 ||
                nativeArchitecture == kArchitectureAmd64) {
                return 5.0f;
            }
            return 5.01f;
        }
        return 0.0f;
    }
    if (major == 6 && minor <= 4) {
        static constexpr float kWorkstation[] = {6.0f, 6.1f, 6.2f, 6.3f, 6.4f};
        static constexpr float kServer[] = {6.11f, 6.11f, 6.31f, 6.31f, 6.31f};
        return workstation ? kWorkstation[minor] : kServer[minor];
    }
    if (major == 10 && minor == 0) {
        return workstation ? 6.4f : 6.31f;
    }
    const float value = static_cast<float>(major) + static_cast<float>(minor) / 10.0f;
    return workstation ? value : value + 0.01f;
}

void InitToolkit() {
    if (g_toolkit.started) {
        return;
    }
    g_toolkit.started = true;
    // First, so that running out of memory anywhere from here on shows the system's box.
    InstallFatalErrorHandlers();

    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    Gdiplus::GdiplusStartup(&g_toolkit.gdiplusToken, &input, nullptr);
    // Tooltips (tooltips_class32) need the common controls registered once.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    MeasureOsVersion();
    gp::GdipCreateImageAttributes(&g_toolkit.imageAttributes);
    LoadDefaultIcons();
    // The arrow comes before the class, so the class gets it as its cursor rather than none.
    g_toolkit.normalCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    g_toolkit.secondCursor = g_toolkit.normalCursor;
    RegisterToolkitWindowClass();
    g_toolkit.textRenderingHint = kDefaultTextRenderingHint;
    g_toolkit.defaultFont = CreateFontFromCandidates(
        {kDefaultFontFace, CaptionFontFace()}, kDefaultFontSize, kFontStyleRegular, kFontUnitPixel);
    g_toolkit.processHeap = GetProcessHeap();
    InitAtomTable(kAtomTableBuckets);
}

void ShutdownToolkit() {
    if (!g_toolkit.started) {
        return;
    }
    DeleteFont(g_toolkit.defaultFont);
    if (g_toolkit.imageAttributes != nullptr) {
        gp::GdipDisposeImageAttributes(g_toolkit.imageAttributes);
    }
    for (HICON icon : g_ownedIcons) {
        DestroyIcon(icon);
    }
    g_ownedIcons.clear();
    Gdiplus::GdiplusShutdown(g_toolkit.gdiplusToken);
    g_toolkit = ToolkitGlobals();
}

bool RegisterToolkitWindowClass(const ToolkitWindowClassOptions& options) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = options.classStyle.value_or(CS_DBLCLKS);
    windowClass.lpfnWndProc =
        options.windowProcedure != nullptr ? options.windowProcedure : DefWindowProcW;
    windowClass.hInstance = ProgramModule();
    windowClass.hCursor = options.cursor != nullptr ? options.cursor : g_toolkit.normalCursor;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName =
        options.className.empty() ? kToolkitWindowClass : options.className.c_str();
    return RegisterClassExW(&windowClass) != 0;
}

WorkArea GetWorkArea() {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

HWND CreateToolkitWindow(const ToolkitWindowOptions& options) {
    const WorkArea work = GetWorkArea();
    const int width = options.width.value_or(kDefaultWindowWidth);
    const int height =
        options.width ? options.height.value_or(kDefaultWindowHeight) : kDefaultWindowHeight;
    const int x = options.x.value_or((work.width - work.left - width) / 2);
    const int y = options.y.value_or((work.height - work.top - height) / 2);

    DWORD style = options.style.value_or(kDefaultWindowStyle);
    if (options.sizable) {
        style |= WS_THICKFRAME;
    }
    DWORD extendedStyle = options.extendedStyle.value_or(0);
    if (options.parent == nullptr) {
        extendedStyle |= options.taskbar.value_or(true) ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    } else if (options.taskbar.value_or(false)) {
        extendedStyle |= WS_EX_APPWINDOW;
    }

    std::wstring className = ToWideString(options.className);
    if (className.empty()) {
        className = options.parent == nullptr ? std::wstring(kToolkitWindowClass)
                                              : GetWindowClassName(options.parent);
    }
    const std::wstring title = ToWideString(options.title);
    HWND window = CreateWindowExW(extendedStyle, className.c_str(), title.c_str(), style, x, y,
                                  width, height, options.parent, nullptr, ProgramModule(), nullptr);
    if (window == nullptr) {
        window = CreateWindowExW(extendedStyle, kToolkitWindowClass, title.c_str(), style, x, y,
                                 width, height, options.parent, nullptr, ProgramModule(), nullptr);
    }
    if (window != nullptr) {
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_toolkit.smallIcon));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_toolkit.bigIcon));
    }
    return window;
}

std::wstring GetWindowClassName(HWND window) {
    wchar_t name[kClassNameChars] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(kClassNameChars));
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

WPARAM RunMessageLoop(HWND window) {
    const NestedLoopScope nestedLoop;  // what the caller presented is pushed before the wait
    MSG message = {};
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // A nested loop that swallowed the quit would leave the outer loop waiting for a
            // window nobody can close: end this loop's window and pass the quit on.
            if (IsWindow(window)) {
                DestroyWindow(window);
            }
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.wParam;
}

}  // namespace toolkit

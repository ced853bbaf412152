#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/ElementTree.h"
#include "foundation/BuiltInTheme.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineBinding.h"
#include "foundation/Toolkit.h"

namespace core_test {

namespace {

constexpr wchar_t kTestHostClass[] = L"CoreTestHost";
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

LRESULT CALLBACK TestHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case toolkit::kMsgElementCarrier:
            return toolkit::DeliverCarriedMessage(wParam, lParam);
        case WM_TIMER:
            toolkit::CallElementProc(static_cast<ElementHandle>(wParam), WM_TIMER, wParam, lParam);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

class CoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        window_test::StartWatchdog();
        toolkit::InitToolkit();
        m_engine = LoadLibraryA(toolkit::kEngineLibraryName);
        ASSERT_NE(m_engine, nullptr) << "exdui.dll must lie in the working folder";
        toolkit::BindEngine(reinterpret_cast<std::uintptr_t>(m_engine), false);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = TestHostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kTestHostClass;
        RegisterClassExW(&windowClass);
    }

private:
    HMODULE m_engine = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CoreEnvironment);

}  // namespace

TestHost::TestHost() {
    m_fields.window =
        CreateWindowExW(0, kTestHostClass, L"core test", WS_POPUP, 0, 0, kHostWidth, kHostHeight,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_fields.objectAddress = reinterpret_cast<std::uint32_t>(&m_methodTable);
    m_fields.ownHandle = reinterpret_cast<std::uint32_t>(&m_fields.objectAddress);
    m_fields.layeredAlpha = toolkit::kNotLayered;
    m_size = {kHostWidth, kHostHeight};
    m_body = {0, 0, kHostWidth, kHostHeight};
    m_fields.size = &m_size;
    m_fields.body = &m_body;
    m_fields.shadowMargins = &m_margins;
    m_frameBits = toolkit::CreateDibCanvas(kHostWidth, kHostHeight, &m_fields.frameDc,
                                           &m_fields.frameBitmap, true);
    void* background = toolkit::CreateDibCanvas(kHostWidth, kHostHeight, &m_fields.backgroundDc,
                                                &m_fields.backgroundBitmap, true);
    std::fill_n(static_cast<std::uint32_t*>(background), kHostWidth * kHostHeight, kOpaqueWhite);
    Gdiplus::DllExports::GdipCreateFromHDC(m_fields.frameDc, &m_fields.frameGraphics);
    m_fields.presented = 1;
    SetPropA(m_fields.window, toolkit::kHostWindowProperty,
             reinterpret_cast<HANDLE>(m_fields.ownHandle));
}

BuiltInThemeOnHost::BuiltInThemeOnHost(TestHost& host)
    : m_host(host),
      m_theme(toolkit::EngineLoadTheme(toolkit::AddressOf(kBuiltInThemePackage),
                                       kBuiltInThemePackageSize, 0, 0)) {
    m_host.Fields().theme = m_theme;
}

BuiltInThemeOnHost::~BuiltInThemeOnHost() {
    m_host.Fields().theme = 0;
    toolkit::EngineReleaseTheme(m_theme);
}

TestHost::~TestHost() {
    toolkit::DestroyChildElements(m_fields.firstChild);
    RemovePropA(m_fields.window, toolkit::kHostWindowProperty);
    DestroyWindow(m_fields.window);
    Gdiplus::DllExports::GdipDeleteGraphics(m_fields.frameGraphics);
    toolkit::FreeDibCanvas(&m_fields.frameDc, &m_fields.frameBitmap);
    toolkit::FreeDibCanvas(&m_fields.backgroundDc, &m_fields.backgroundBitmap);
}

std::uint32_t TestHost::FramePixel(int x, int y) const {
    GdiFlush();
    return static_cast<const std::uint32_t*>(m_frameBits)[y * kHostWidth + x];
}

ProbeElement::~ProbeElement() {
    m_onClassMessage = nullptr;
    m_preFilterResult = 0;
    if (IsElementAlive()) {
        ElementWndProc(WM_DESTROY, 0, 0);
    }
}

LRESULT ProbeElement::PreFilterMessage(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return m_preFilterResult;
}

LRESULT ProbeElement::ClassMessageHandler(HWND, ElementHandle handle, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    m_log->push_back({handle, message, wParam, lParam});
    if (message == WM_PAINT) {
        toolkit::DrawContext context{};
        toolkit::BeginElementDraw(handle, &context);
        Gdiplus::DllExports::GdipGraphicsClear(context.graphics, m_colour);
        toolkit::EndElementDraw(handle, &context);
    }
    if (m_onClassMessage) {
        m_onClassMessage(message);
    }
    return m_classResult;
}

ElementHandle ProbeElement::Create(std::uint32_t parent, int x, int y, int width, int height,
                                   const toolkit::ElementCreateOptions& options) {
    return CreateElement(parent, x, y, width, height, kProbeTypeId, kProbeClassName, options);
}

int ProbeElement::Seen(UINT message) const {
    int count = 0;
    for (const SeenMessage& seen : *m_log) {
        if (seen.message == message && seen.handle == m_handle) {
            ++count;
        }
    }
    return count;
}

}  // namespace core_test

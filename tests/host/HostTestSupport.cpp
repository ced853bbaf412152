#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/ElementPaint.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/Toolkit.h"

namespace host_test {

namespace {

constexpr std::int32_t kProbeTypeId = 2;
constexpr char kProbeClassName[] = "Probe";
constexpr char kThemeFile[] = "ex_directui.ext";
constexpr char kMapDataFile[] = "mapdata.xml";

class HostEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        window_test::StartWatchdog();
        toolkit::InitToolkit();
        m_engine = LoadLibraryA(toolkit::kEngineLibraryName);
        ASSERT_NE(m_engine, nullptr) << "exdui.dll must lie in the working folder";
        const toolkit::ByteArray theme = ReadProgramFile(kThemeFile);
        ASSERT_FALSE(theme.empty()) << "the default theme must lie in the working folder";
        toolkit::InitUiEngine(reinterpret_cast<std::uintptr_t>(m_engine), false, theme, {},
                              ReadProgramFile(kMapDataFile));
    }

private:
    HMODULE m_engine = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new HostEnvironment);

}  // namespace

bool QueueIdle() {
    return HIWORD(GetQueueStatus(QS_ALLPOSTMESSAGE | QS_SENDMESSAGE | QS_INPUT | QS_PAINT)) == 0;
}

bool PumpUntilIdle() {
    return PumpUntil(QueueIdle);
}

toolkit::ByteArray ReadProgramFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return toolkit::ByteArray(std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>());
}

LRESULT ProbeElement::ClassMessageHandler(HWND, ElementHandle handle, UINT message, WPARAM,
                                          LPARAM) {
    if (m_log != nullptr) {
        m_log->push_back({handle, message});
    }
    if (message == WM_PAINT) {
        toolkit::DrawContext context{};
        toolkit::BeginElementDraw(handle, &context);
        Gdiplus::DllExports::GdipGraphicsClear(context.graphics, m_colour);
        toolkit::EndElementDraw(handle, &context);
    }
    return 0;
}

ElementHandle ProbeElement::Create(std::uint32_t parent, int x, int y, int width, int height,
                                   const toolkit::ElementCreateOptions& options) {
    return CreateElement(parent, x, y, width, height, kProbeTypeId, kProbeClassName, options);
}

int ProbeElement::Seen(UINT message) const {
    int count = 0;
    for (const SeenMessage& seen : *m_log) {
        if (seen.message == message && seen.handle == reinterpret_cast<ElementHandle>(&m_self)) {
            ++count;
        }
    }
    return count;
}

TestWindow::TestWindow(const toolkit::HostAttachOptions& options,
                       const toolkit::ToolkitWindowOptions* windowOptions) {
    toolkit::ToolkitWindowOptions placement;
    if (windowOptions != nullptr) {
        placement = *windowOptions;
    }
    placement.x = placement.x.value_or(kWindowX);
    placement.y = placement.y.value_or(kWindowY);
    placement.width = placement.width.value_or(kWindowWidth);
    placement.height = placement.height.value_or(kWindowHeight);
    m_window = toolkit::CreateToolkitWindow(placement);
    m_host = std::make_unique<HostWindow>();
    EXPECT_TRUE(m_host->AttachWindow(m_window, options));
}

TestWindow::~TestWindow() {
    if (IsWindow(m_window)) {
        DestroyWindow(m_window);
    }
    m_host->FreeMembers();
}

void TestWindow::Show() {
    m_host->ShowHostWindow({});
}

POINT TestWindow::CentreOf(const Element& element) const {
    return {(element.m_windowLeft + element.m_windowRight) / 2,
            (element.m_windowTop + element.m_windowBottom) / 2};
}

std::uint32_t TestWindow::FramePixel(int x, int y) const {
    GdiFlush();
    DIBSECTION section{};
    if (GetObjectW(m_host->frameBitmap, sizeof section, &section) == 0 ||
        section.dsBm.bmBits == nullptr) {
        return 0;
    }
    const auto* pixels = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    return pixels[y * section.dsBm.bmWidth + x];
}

void TestWindow::PostClick(POINT down, POINT up) const {
    PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    PostMessageW(m_window, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}

}  // namespace host_test

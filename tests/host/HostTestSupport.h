// Support for host window tests: the toolkit and engine started as the programs start them,
// a real toolkit window with a HostWindow attached, and a probe element that logs what reaches
// its class handler and paints itself in one colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/Element.h"
#include "core/HostWindow.h"
#include "foundation/Toolkit.h"
#include "../support/WindowTestSupport.h"

namespace host_test {

using toolkit::Element;
using toolkit::ElementHandle;
using toolkit::HostWindow;

constexpr int kWindowX = 40;
constexpr int kWindowY = 40;
constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 220;
// Colours and size the tests give their probe elements.
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr int kProbeSize = 40;
using window_test::PumpFor;
using window_test::PumpUntil;

// True when nothing waits in the thread's queue: no posted, sent, input or paint message.
bool QueueIdle();
// Pumps until the queue is idle: what was queued, and what that caused, has been dispatched.
// False when that does not happen within the pump's limit.
bool PumpUntilIdle();

toolkit::ByteArray ReadProgramFile(const char* name);

// One message the probe's class handler saw.
struct SeenMessage {
    ElementHandle handle;
    UINT message;
};

class ProbeElement : public Element {
public:
    ProbeElement(std::uint32_t argb, std::vector<SeenMessage>* log) : m_colour(argb), m_log(log) {}
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;
    ElementHandle Create(std::uint32_t parent, int x, int y, int width, int height,
                         const toolkit::ElementCreateOptions& options = {});
    int Seen(UINT message) const;

    std::uint32_t m_colour;
    std::vector<SeenMessage>* m_log;
};

// A toolkit window with a HostWindow attached, destroyed with the fixture.
class TestWindow {
public:
    explicit TestWindow(const toolkit::HostAttachOptions& options = {},
                        const toolkit::ToolkitWindowOptions* windowOptions = nullptr);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Window() const { return m_window; }
    HostWindow& Host() { return *m_host; }
    std::uint32_t Parent() const {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_window));
    }
    // Shows the window without the engine's animation, so it is presented.
    void Show();
    // The window-coordinate point at the centre of an element.
    POINT CentreOf(const Element& element) const;
    // A pixel of the back buffer (premultiplied 0xAARRGGBB), at window coordinates.
    std::uint32_t FramePixel(int x, int y) const;
    // Posts a left click (down and up) at window coordinates.
    void PostClick(POINT down, POINT up) const;

private:
    HWND m_window = nullptr;
    std::unique_ptr<HostWindow> m_host;
};

using window_test::Alpha;
using window_test::Blue;
using window_test::Green;
using window_test::Red;

}  // namespace host_test

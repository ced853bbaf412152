#include "ControlsTestSupport.h"

#include "core/ElementMessages.h"

namespace controls_test {

namespace {

constexpr char kRecorderProperty[] = "ControlsTestAccessKeys";

}  // namespace

std::uint32_t CanvasPixel(const toolkit::Element& element, int x, int y) {
    GdiFlush();
    if (element.m_canvasBits == nullptr || x < 0 || y < 0 || x >= element.m_width ||
        y >= element.m_height) {
        return 0;
    }
    return static_cast<const std::uint32_t*>(element.m_canvasBits)[y * element.m_width + x];
}

int InkIn(const toolkit::Element& element, const Region& region) {
    return PixelsIn(element, region, [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
}

AccessKeyRecorder::AccessKeyRecorder(HWND window) : m_window(window) {
    SetPropA(window, kRecorderProperty, this);
    m_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
}

AccessKeyRecorder::~AccessKeyRecorder() {
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    RemovePropA(m_window, kRecorderProperty);
}

LRESULT CALLBACK AccessKeyRecorder::Procedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = static_cast<AccessKeyRecorder*>(GetPropA(window, kRecorderProperty));
    if (message == toolkit::kMsgAccessKey) {
        self->m_received.emplace_back(static_cast<std::uint32_t>(wParam),
                                      static_cast<std::uint32_t>(lParam));
        return 1;
    }
    return CallWindowProcW(self->m_previous, window, message, wParam, lParam);
}

}  // namespace controls_test

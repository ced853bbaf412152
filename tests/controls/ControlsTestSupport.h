// Support for control tests: controls hosted in the core tests' host window, destroyed before
// the host goes, and pixel regions read from an element's canvas.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "CoreTestSupport.h"
#include "core/Element.h"

namespace controls_test {

using core_test::PumpUntil;
using core_test::TestHost;

// A control that destroys itself, when still alive, before its object goes away.
template <typename Control>
class Hosted : public Control {
public:
    Hosted() = default;
    ~Hosted() {
        if (this->IsElementAlive()) {
            this->ElementWndProc(WM_DESTROY, 0, 0);
        }
    }
    Hosted(const Hosted&) = delete;
    Hosted& operator=(const Hosted&) = delete;
};

// A region of a canvas, in element coordinates: [left, right) x [top, bottom).
struct Region {
    int left;
    int top;
    int right;
    int bottom;
};

// The canvas pixel at (x, y), premultiplied 0xAARRGGBB.
std::uint32_t CanvasPixel(const toolkit::Element& element, int x, int y);
// How many pixels of the region carry any alpha (drawn ink, frame or picture).
int InkIn(const toolkit::Element& element, const Region& region);
// How many pixels of the region satisfy the test.
template <typename Test>
int PixelsIn(const toolkit::Element& element, const Region& region, Test test) {
    int count = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            if (test(CanvasPixel(element, x, y))) {
                ++count;
            }
        }
    }
    return count;
}

// The method-table slot of a virtual member function. Under the Itanium C++ ABI that mingw's
// GCC follows, a pointer to a virtual member holds 1 plus the entry's byte offset in the table.
template <typename Method>
std::uint32_t SlotOf(Method method) {
    struct {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } raw{};
    static_assert(sizeof(raw) == sizeof(method), "a member pointer is two words");
    std::memcpy(&raw, &method, sizeof(raw));
    return static_cast<std::uint32_t>((raw.pointer - 1) / sizeof(void*));
}

// Answers the host window's access-key message (20116) with 1 and records what it carried,
// standing in for the host window's access-key table.
class AccessKeyRecorder {
public:
    explicit AccessKeyRecorder(HWND window);
    ~AccessKeyRecorder();
    AccessKeyRecorder(const AccessKeyRecorder&) = delete;
    AccessKeyRecorder& operator=(const AccessKeyRecorder&) = delete;

    // (element handle, key) in the order they arrived.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_received;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window;
    WNDPROC m_previous;
};

}  // namespace controls_test

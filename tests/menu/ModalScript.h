// Scripted input for modal loops. A message box or a menu runs its own loop inside the call under
// test, so the test acts from a thread timer of its own thread: each step runs on a tick of that
// loop and is tried again on the next tick until it reports that it is done. A script that takes
// too long closes every toolkit pop-up it finds, so the loop under test ends and the test fails
// instead of hanging (the process watchdog of the host support ends whatever still hangs).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Element.h"
#include "core/HostWindow.h"

namespace menu_test {

constexpr UINT kTickMs = 20;
constexpr DWORD kScriptTimeoutMs = 8000;

class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // A step that is tried on every tick until it returns true.
    ModalScript& Until(std::function<bool()> step);
    // A step that runs once.
    ModalScript& Then(std::function<void()> step);
    // Waits at least this long before the next step.
    ModalScript& Wait(DWORD milliseconds);

    void Start();
    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR id, DWORD);
    void Tick();

    std::vector<std::function<bool()>> m_steps;
    std::size_t m_next = 0;
    UINT_PTR m_timer = 0;
    DWORD m_start = 0;
    bool m_running = false;
    bool m_timedOut = false;
};

// Top-level windows of this thread that carry the property.
std::vector<HWND> WindowsWithProperty(const char* property);
// The open message box, or null.
HWND FindMessageBox();
// Every open menu window; the root first when there is one.
std::vector<HWND> MenuWindows();
HWND RootMenuWindow();

// The host's elements of a class (first to last child, top level only).
std::vector<toolkit::Element*> ChildrenOfType(HWND window, std::int32_t typeId);
// Window coordinates of an element's centre, and the same on the screen.
POINT CentreInWindow(const toolkit::Element& element);
POINT CentreOnScreen(HWND window, const toolkit::Element& element);
void PostClickAt(HWND window, POINT point);

// A routine the menus and boxes may call: counts its calls on the counter it is given.
std::uint32_t __stdcall CountCall(std::uint32_t counter);

template <typename Routine>
std::uint32_t RoutineAddress(Routine routine) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(routine));
}
template <typename T>
std::uint32_t AddressOfVariable(T& variable) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&variable));
}

// Takes a WM_QUIT out of the queue; true (and its exit code) when there was one.
bool TakeQuitMessage(WPARAM* code);

}  // namespace menu_test

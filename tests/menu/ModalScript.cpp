#include "ModalScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "core/MenuItem.h"
#include "core/MessageBox.h"

namespace menu_test {

namespace {

std::map<UINT_PTR, ModalScript*>& Scripts() {
    static std::map<UINT_PTR, ModalScript*> scripts;
    return scripts;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

ModalScript::ModalScript() = default;

ModalScript::~ModalScript() {
    if (m_timer != 0) {
        KillTimer(nullptr, m_timer);
        Scripts().erase(m_timer);
    }
}

ModalScript& ModalScript::Until(std::function<bool()> step) {
    m_steps.push_back(std::move(step));
    return *this;
}

ModalScript& ModalScript::Then(std::function<void()> step) {
    return Until([step = std::move(step)] {
        step();
        return true;
    });
}

ModalScript& ModalScript::Wait(DWORD milliseconds) {
    auto since = std::make_shared<DWORD>(0);
    return Until([since, milliseconds] {
        if (*since == 0) {
            *since = GetTickCount();
        }
        return GetTickCount() - *since >= milliseconds;
    });
}

void ModalScript::Start() {
    m_start = GetTickCount();
    m_timer = SetTimer(nullptr, 0, kTickMs, OnTick);
    Scripts()[m_timer] = this;
}

void CALLBACK ModalScript::OnTick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = Scripts().find(id);
    if (found != Scripts().end()) {
        found->second->Tick();
    }
}

void ModalScript::Tick() {
    if (m_running) {
        return;
    }
    m_running = true;
    if (!Finished() && GetTickCount() - m_start > kScriptTimeoutMs) {
        m_timedOut = true;
        ADD_FAILURE() << "script step " << m_next << " never completed";
        m_next = m_steps.size();
        for (HWND window : WindowsWithProperty(toolkit::kWindowFlagsProperty)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }
    while (!Finished() && m_steps[m_next]()) {
        ++m_next;
    }
    m_running = false;
}

std::vector<HWND> WindowsWithProperty(const char* property) {
    std::vector<HWND> found;
    for (HWND window : ThreadWindows()) {
        if (GetPropA(window, property) != nullptr) {
            found.push_back(window);
        }
    }
    return found;
}

HWND FindMessageBox() {
    const std::vector<HWND> boxes = WindowsWithProperty(toolkit::kMessageBoxProperty);
    return boxes.empty() || !IsWindowVisible(boxes.front()) ? nullptr : boxes.front();
}

std::vector<HWND> MenuWindows() {
    std::vector<HWND> menus = WindowsWithProperty(toolkit::kMenuRootProperty);
    std::stable_partition(menus.begin(), menus.end(), [](HWND window) {
        return GetPropA(window, toolkit::kMenuRootProperty) == window;
    });
    return menus;
}

HWND RootMenuWindow() {
    for (HWND window : MenuWindows()) {
        if (GetPropA(window, toolkit::kMenuRootProperty) == window && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

std::vector<toolkit::Element*> ChildrenOfType(HWND window, std::int32_t typeId) {
    std::vector<toolkit::Element*> found;
    const toolkit::HostWindow* host = toolkit::HostWindowFromWindow(window);
    if (host == nullptr) {
        return found;
    }
    for (toolkit::ElementHandle child = host->firstChild; child != 0;
         child = toolkit::ReadElementField(child, toolkit::kFieldNextSibling)) {
        if (static_cast<std::int32_t>(
                toolkit::ReadElementField(child, toolkit::kFieldClassTypeId)) == typeId) {
            found.push_back(toolkit::ElementFromHandle(child));
        }
    }
    return found;
}

POINT CentreInWindow(const toolkit::Element& element) {
    return {(element.m_windowLeft + element.m_windowRight) / 2,
            (element.m_windowTop + element.m_windowBottom) / 2};
}

POINT CentreOnScreen(HWND window, const toolkit::Element& element) {
    POINT point = CentreInWindow(element);
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left + point.x, rect.top + point.y};
}

void PostClickAt(HWND window, POINT point) {
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

std::uint32_t __stdcall CountCall(std::uint32_t counter) {
    ++*reinterpret_cast<int*>(static_cast<std::uintptr_t>(counter));
    return 0;
}

bool TakeQuitMessage(WPARAM* code) {
    MSG message{};
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return false;
    }
    *code = message.wParam;
    return true;
}

}  // namespace menu_test

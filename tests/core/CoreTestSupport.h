// Support for element tests: a real window with a hand-filled host record (the host window's own
// procedure is not part of these tests), and a probe element class that records what reaches
// its class hooks and paints itself in one colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "core/Element.h"
#include "core/HostRecord.h"
#include "../support/WindowTestSupport.h"

namespace core_test {

using toolkit::Element;
using toolkit::ElementHandle;
using toolkit::HostRecordFields;

constexpr int kHostWidth = 200;
constexpr int kHostHeight = 150;
using window_test::PumpUntil;

// A host object laid out as the host window class lays it out: its method-table word, then the
// record fields. The window's procedure routes the element carrier and element timers.
class TestHost {
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND Window() const { return m_fields.window; }
    std::uint32_t OwnHandle() const { return m_fields.ownHandle; }
    HostRecordFields& Fields() { return m_fields; }
    std::uint32_t Parent() const { return reinterpret_cast<std::uint32_t>(Window()); }
    // The back buffer's pixel at host-window coordinates, premultiplied 0xAARRGGBB.
    std::uint32_t FramePixel(int x, int y) const;

private:
    std::uint32_t m_methodTable = 0;  // the object's first word
    HostRecordFields m_fields{};
    RECT m_body{};
    RECT m_margins{};
    toolkit::HostSize m_size{};
    void* m_frameBits = nullptr;
};

// The built-in theme package loaded and made the host's theme for as long as this object lives.
class BuiltInThemeOnHost {
public:
    explicit BuiltInThemeOnHost(TestHost& host);
    ~BuiltInThemeOnHost();
    BuiltInThemeOnHost(const BuiltInThemeOnHost&) = delete;
    BuiltInThemeOnHost& operator=(const BuiltInThemeOnHost&) = delete;

    std::uint32_t Theme() const { return m_theme; }

private:
    TestHost& m_host;
    std::uint32_t m_theme;
};

// What a probe saw, in order.
struct SeenMessage {
    ElementHandle handle;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class ProbeElement : public Element {
public:
    explicit ProbeElement(std::uint32_t argb = 0) : m_colour(argb) {}
    // Destroys the element while the probe (and its log) still exist.
    ~ProbeElement();
    ProbeElement(const ProbeElement&) = delete;
    ProbeElement& operator=(const ProbeElement&) = delete;

    LRESULT PreFilterMessage(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                             LPARAM lParam) override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    ElementHandle Create(std::uint32_t parent, int x, int y, int width, int height,
                         const toolkit::ElementCreateOptions& options = {});
    // How many times the class handler saw the message.
    int Seen(UINT message) const;

    std::uint32_t m_colour;
    LRESULT m_preFilterResult = 0;
    LRESULT m_classResult = 0;
    // Shared log of several probes, when set; otherwise each probe logs for itself.
    std::vector<SeenMessage>* m_log = &m_ownLog;
    std::vector<SeenMessage> m_ownLog;
    std::function<void(UINT)> m_onClassMessage;
};

constexpr std::int32_t kProbeTypeId = 2;
constexpr char kProbeClassName[] = "Probe";

// Premultiplied ARGB helpers for pixel checks.
using window_test::Alpha;
using window_test::Blue;
using window_test::Green;
using window_test::Red;

}  // namespace core_test

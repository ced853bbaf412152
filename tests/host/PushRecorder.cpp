#include "PushRecorder.h"

#include <cstdio>
#include <utility>

#include "core/LayeredPush.h"

namespace host_test {

namespace {

PushRecorder* g_recorder = nullptr;

// The 32-bit DIB section under a canvas bitmap; false when it is none.
bool SectionOf(HBITMAP bitmap, DIBSECTION* section) {
    GdiFlush();
    return bitmap != nullptr && GetObjectW(bitmap, sizeof *section, section) == sizeof *section &&
           section->dsBm.bmBits != nullptr && section->dsBm.bmBitsPixel == 32;
}

}  // namespace

std::vector<std::uint32_t> CanvasPixels(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!SectionOf(bitmap, &section)) {
        return {};
    }
    const auto* bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    return std::vector<std::uint32_t>(
        bits, bits + static_cast<std::size_t>(section.dsBm.bmWidth) * section.dsBm.bmHeight);
}

std::string FirstDifference(const std::vector<std::uint32_t>& a,
                            const std::vector<std::uint32_t>& b, int width) {
    if (a.size() != b.size()) {
        return "sizes differ";
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            char values[sizeof "0x00000000 against 0x00000000"];
            std::snprintf(values, sizeof values, "0x%08X against 0x%08X", a[i], b[i]);
            return "pixel (" + std::to_string(i % width) + ", " + std::to_string(i / width) +
                   "): " + values;
        }
    }
    return {};
}

PushRecorder::PushRecorder() {
    g_recorder = this;
    toolkit::SetLayeredPushRoutine(&PushRecorder::Push);
}

PushRecorder::~PushRecorder() {
    toolkit::SetLayeredPushRoutine(nullptr);
    g_recorder = nullptr;
}

BOOL WINAPI PushRecorder::Push(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    return g_recorder->Record(window, info);
}

BOOL PushRecorder::Record(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    const SIZE size = info->psize != nullptr ? *info->psize : SIZE{};
    const POINT from = info->pptSrc != nullptr ? *info->pptSrc : POINT{};
    RECT part = {0, 0, size.cx, size.cy};
    if (info->prcDirty != nullptr) {
        IntersectRect(&part, info->prcDirty, &part);
    }
    // The source's pixels as they are when the push is made: the system may send messages
    // whose handlers draw again before it returns.
    std::vector<std::uint32_t> handed;
    DIBSECTION section{};
    const bool readable =
        SectionOf(static_cast<HBITMAP>(GetCurrentObject(info->hdcSrc, OBJ_BITMAP)), &section);
    for (int y = part.top; readable && y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
            const int sx = x + from.x;
            const int sy = y + from.y;
            const bool inside =
                sx >= 0 && sy >= 0 && sx < section.dsBm.bmWidth && sy < section.dsBm.bmHeight;
            handed.push_back(inside ? static_cast<const std::uint32_t*>(
                                          section.dsBm.bmBits)[sy * section.dsBm.bmWidth + sx]
                                    : kNeverPushed);
        }
    }

    BOOL reached = FALSE;
    if (m_failing > 0) {
        --m_failing;
    } else {
        reached = UpdateLayeredWindowIndirect(window, info);
    }
    m_pushes.push_back({window, part, reached != FALSE});

    // The action runs as a handler of a message the system sends after it took the source and
    // before the screen shows it: the hardest order for the toolkit.
    if (m_during) {
        const std::function<void()> action = std::exchange(m_during, nullptr);
        action();
    }
    if (reached && readable) {
        Screen& screen = m_screens[window];
        if (screen.size.cx != size.cx || screen.size.cy != size.cy) {
            // A window of a new size shows nothing of what it showed before.
            screen.size = size;
            screen.pixels.assign(static_cast<std::size_t>(size.cx) * size.cy, kNeverPushed);
        }
        std::size_t next = 0;
        for (int y = part.top; y < part.bottom; ++y) {
            for (int x = part.left; x < part.right; ++x) {
                screen.pixels[static_cast<std::size_t>(y) * size.cx + x] = handed[next++];
            }
        }
    }
    return reached;
}

std::vector<RecordedPush> PushRecorder::PushesOf(HWND window) const {
    std::vector<RecordedPush> pushes;
    for (const RecordedPush& push : m_pushes) {
        if (push.window == window) {
            pushes.push_back(push);
        }
    }
    return pushes;
}

std::uint32_t PushRecorder::ScreenPixel(HWND window, int x, int y) const {
    const auto found = m_screens.find(window);
    if (found == m_screens.end() || x < 0 || y < 0 || x >= found->second.size.cx ||
        y >= found->second.size.cy) {
        return kNeverPushed;
    }
    return found->second.pixels[static_cast<std::size_t>(y) * found->second.size.cx + x];
}

std::string PushRecorder::ScreenDifference(const toolkit::HostWindow& host) const {
    const auto found = m_screens.find(host.window);
    if (found == m_screens.end()) {
        return "nothing was pushed";
    }
    const Screen& screen = found->second;
    if (host.size == nullptr || screen.size.cx != host.size->width ||
        screen.size.cy != host.size->height) {
        return "the screen has another size";
    }
    return FirstDifference(screen.pixels, CanvasPixels(host.frameBitmap), screen.size.cx);
}

}  // namespace host_test

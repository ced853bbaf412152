// What reaches the screen of layered windows. A layered window reads back black through its
// window DC, so the recorder takes the toolkit's push routine: it notes every push (the window,
// the rectangle handed over, the source's pixels at that moment), keeps per window the picture
// the successful pushes add up to, and then hands the push to the system as the toolkit would.
// A test can make pushes fail, or run an action inside a push as a handler of a message the push
// sends would.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/HostWindow.h"

namespace host_test {

// A screen pixel no push has reached yet.
constexpr std::uint32_t kNeverPushed = 0x5A5A5A5A;

struct RecordedPush {
    HWND window;
    RECT part;     // the rectangle handed over, in window coordinates
    bool reached;  // false when the push failed
};

// Installed for its lifetime; one at a time.
class PushRecorder {
public:
    PushRecorder();
    ~PushRecorder();
    PushRecorder(const PushRecorder&) = delete;
    PushRecorder& operator=(const PushRecorder&) = delete;

    // The next `count` pushes fail: nothing of them reaches the screen.
    void FailNext(int count) { m_failing = count; }
    // Runs the action inside the next push, after it took its source and before the screen
    // shows it.
    void DuringNextPush(std::function<void()> action) { m_during = std::move(action); }

    // Every push so far, and those of one window.
    const std::vector<RecordedPush>& Pushes() const { return m_pushes; }
    std::vector<RecordedPush> PushesOf(HWND window) const;
    // Forgets the pushes noted so far; what the screens show stays.
    void ClearPushes() { m_pushes.clear(); }

    // The pixel the screen shows of the window at window coordinates; kNeverPushed where nothing
    // was pushed.
    std::uint32_t ScreenPixel(HWND window, int x, int y) const;
    // The first pixel where the screen differs from the window image (the back buffer), as
    // text; empty when the screen shows the window image exactly.
    std::string ScreenDifference(const toolkit::HostWindow& host) const;

private:
    struct Screen {
        SIZE size{};
        std::vector<std::uint32_t> pixels;
    };
    static BOOL WINAPI Push(HWND window, const UPDATELAYEREDWINDOWINFO* info);
    BOOL Record(HWND window, const UPDATELAYEREDWINDOWINFO* info);

    int m_failing = 0;
    std::function<void()> m_during;
    std::vector<RecordedPush> m_pushes;
    std::map<HWND, Screen> m_screens;
};

// The pixels of a canvas bitmap (a 32-bit DIB section), row by row; empty when it is none.
std::vector<std::uint32_t> CanvasPixels(HBITMAP bitmap);
// The first pixel where two pictures of the given width differ, as text; empty when equal.
std::string FirstDifference(const std::vector<std::uint32_t>& a,
                            const std::vector<std::uint32_t>& b, int width);

}  // namespace host_test

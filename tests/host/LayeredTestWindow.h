// A layered host window for the tests of its frame and its pushes: a caption, a background
// picture, a two-colour border and two probe elements, shown and presented; and a wait until
// everything it started has reached its end.
#pragma once

#include <vector>

#include "HostTestSupport.h"

namespace host_test {

constexpr std::int32_t kOpaqueLayered = 255;
constexpr int kProbeTop = 50;
constexpr int kFirstProbeLeft = 20;
constexpr int kSecondProbeLeft = 80;
constexpr COLORREF kLayeredBackground = RGB(30, 60, 90);

// Two pictures of the same size and the same average colour whose halves are swapped: loading
// one in place of the other changes nothing but the picture.
toolkit::ByteArray HalvesPicture(bool swapped);

toolkit::HostAttachOptions LayeredOptions();

// The default theme, but a window with a parent takes its shadow from another part of the theme
// picture than a window without one; empty when the theme cannot be read.
toolkit::ByteArray ThemeWithOwnSubWindowShadow();

struct LayeredWindow {
    explicit LayeredWindow(const toolkit::HostAttachOptions& options = LayeredOptions());
    HostWindow& Host() { return test.Host(); }

    std::vector<SeenMessage> log;
    TestWindow test;
    ProbeElement first;
    ProbeElement second;
};

// Pumps until nothing is queued for the thread, no element of the window runs a transition and
// nothing of it waits for its push; false when that does not happen within the pump's limit.
bool Settle(const HostWindow& host);

}  // namespace host_test

// Creation from layout attributes, and the cursors an element loads (and frees) itself.
#include <gtest/gtest.h>

#include <memory>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../support/GuardedBytes.h"
#include "CoreTestSupport.h"
#include "core/ElementMessages.h"

namespace core_test {
namespace {

using namespace toolkit;

// A 32 x 32 monochrome cursor file, written by the test itself.
std::string WriteCursorFile() {
    constexpr std::uint16_t kCursorType = 2;
    constexpr int kSide = 32;
    constexpr std::uint32_t kMaskBytes = kSide * kSide / 8;
    constexpr std::uint32_t kPaletteBytes = 8;
    constexpr std::uint32_t kImageBytes = sizeof(BITMAPINFOHEADER) + kPaletteBytes + 2 * kMaskBytes;
    constexpr std::uint32_t kImageOffset = 6 + 16;
    std::vector<std::uint8_t> bytes;
    const auto put16 = [&](std::uint16_t v) {
        bytes.insert(bytes.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    const auto put32 = [&](std::uint32_t v) {
        put16(std::uint16_t(v));
        put16(std::uint16_t(v >> 16));
    };
    put16(0);
    put16(kCursorType);
    put16(1);
    bytes.insert(bytes.end(), {kSide, kSide, 0, 0});
    put16(0);  // hot spot
    put16(0);
    put32(kImageBytes);
    put32(kImageOffset);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = kSide;
    header.biHeight = 2 * kSide;  // the image and its mask
    header.biPlanes = 1;
    header.biBitCount = 1;
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&header);
    bytes.insert(bytes.end(), raw, raw + sizeof(header));
    put32(0x000000);
    put32(0xFFFFFF);
    bytes.insert(bytes.end(), kMaskBytes, 0xFF);  // image
    bytes.insert(bytes.end(), kMaskBytes, 0x00);  // mask
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "core_test.cur";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The values text as the loader hands it over (not NUL-ended), at the end of readable memory,
// so that a read past it faults in the test.
std::unique_ptr<test_support::GuardedBytes> Values(const std::string& joined) {
    return std::make_unique<test_support::GuardedBytes>(
        std::vector<std::uint8_t>(joined.begin(), joined.end()));
}

TEST(LayoutCreation, AttributesFillTheRecordAnd20110ComesBeforeCreate) {
    TestHost host;
    ProbeElement probe;
    const auto values = Values("1,2,30,40,!,7,!,0,!,3,!,0");
    const HWND result = probe.CreateElementFromLayout(
        host.Window(), 0, host.OwnHandle(), 0, kProbeTypeId,
        "Rect,ID,Visible,TabStopIndex,Focusable", values->data(), values->size(), "Probe");
    EXPECT_EQ(result, host.Window());
    ASSERT_TRUE(probe.IsElementAlive());
    constexpr std::int32_t kId = 7;
    constexpr std::int32_t kTabIndex = 3;
    EXPECT_EQ(probe.m_id, kId);
    EXPECT_EQ(probe.m_left, 1);
    EXPECT_EQ(probe.m_bottom, 2 + 40);
    EXPECT_EQ(probe.m_tabStopIndex, kTabIndex);
    EXPECT_EQ(probe.m_state & (kStateHidden | kStateFocusable), kStateHidden);
    EXPECT_EQ(probe.m_engineCreated, 1u);
    ASSERT_GE(probe.m_ownLog.size(), 2u);
    EXPECT_EQ(probe.m_ownLog[0].message, static_cast<UINT>(kMsgCreatedFromLayout));
    EXPECT_EQ(probe.m_ownLog[1].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(probe.m_ownLog[1].wParam, 1u);
}

TEST(LayoutCreation, WithoutRectOrIdNothingIsCreated) {
    TestHost host;
    ProbeElement probe;
    const auto values = Values("5");
    probe.CreateElementFromLayout(host.Window(), 0, host.OwnHandle(), 0, kProbeTypeId, "ID",
                                  values->data(), values->size(), "Probe");
    EXPECT_FALSE(probe.IsElementAlive());
    EXPECT_TRUE(probe.m_ownLog.empty());
}

TEST(LayoutCreation, CursorsLoadedFromFilesAreDestroyedWithTheElement) {
    const std::string path = WriteCursorFile();
    TestHost host;
    ProbeElement probe;
    const auto values = Values("0,0,10,10,!,1,!," + path + ",1," + path + ",1");
    probe.CreateElementFromLayout(host.Window(), 0, host.OwnHandle(), 0, kProbeTypeId,
                                  "Rect,ID,Cursor", values->data(), values->size(), "Probe");
    const HCURSOR cursor = probe.m_cursor;
    const HCURSOR pressed = probe.m_pressedCursor;
    ASSERT_NE(cursor, nullptr);
    ASSERT_NE(pressed, nullptr);
    probe.DestroyElement();
    ICONINFO info{};
    EXPECT_EQ(GetIconInfo(cursor, &info), 0);
    EXPECT_EQ(GetIconInfo(pressed, &info), 0);
    DeleteFileA(path.c_str());
}

bool CursorAlive(HCURSOR cursor) {
    ICONINFO info{};
    if (GetIconInfo(cursor, &info) == 0) {
        return false;
    }
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return true;
}

TEST(LayoutCreation, CursorsLoadedFromFilesAreDestroyedWhenReplaced) {
    constexpr std::uint32_t kHandCursorId = 32649;  // IDC_HAND
    const std::string path = WriteCursorFile();
    const auto values = Values("0,0,10,10,!,1,!," + path + ",1," + path + ",1");
    TestHost host;
    {
        ProbeElement probe;
        probe.CreateElementFromLayout(host.Window(), 0, host.OwnHandle(), 0, kProbeTypeId,
                                      "Rect,ID,Cursor", values->data(), values->size(), "Probe");
        const HCURSOR cursor = probe.m_cursor;
        const HCURSOR pressed = probe.m_pressedCursor;
        ASSERT_TRUE(CursorAlive(cursor));
        ASSERT_TRUE(CursorAlive(pressed));
        probe.SetElementCursor(kHandCursorId, false);
        EXPECT_FALSE(CursorAlive(cursor));
        EXPECT_FALSE(CursorAlive(pressed));
        EXPECT_EQ(probe.m_cursorOwnership, 0u);
        probe.DestroyElement();
        EXPECT_TRUE(CursorAlive(LoadCursorW(nullptr, MAKEINTRESOURCEW(kHandCursorId))));
    }
    {
        // Its own cursor handed back stays the element's, to be destroyed with it.
        ProbeElement probe;
        probe.CreateElementFromLayout(host.Window(), 0, host.OwnHandle(), 0, kProbeTypeId,
                                      "Rect,ID,Cursor", values->data(), values->size(), "Probe");
        const HCURSOR cursor = probe.m_cursor;
        const HCURSOR pressed = probe.m_pressedCursor;
        probe.SetElementCursor(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(cursor)),
                               true);
        EXPECT_TRUE(CursorAlive(cursor));
        EXPECT_FALSE(CursorAlive(pressed));
        probe.DestroyElement();
        EXPECT_FALSE(CursorAlive(cursor));
    }
    DeleteFileA(path.c_str());
}

TEST(LayoutCreation, SystemCursorIdsAreNotTheElementsToDestroy) {
    constexpr int kHandCursorId = 32649;   // IDC_HAND
    constexpr int kArrowCursorId = 32512;  // IDC_ARROW
    TestHost host;
    ProbeElement probe;
    const auto values = Values("0,0,10,10,!,1,!," + std::to_string(kHandCursorId) + ",0," +
                               std::to_string(kArrowCursorId) + ",0");
    probe.CreateElementFromLayout(host.Window(), 0, host.OwnHandle(), 0, kProbeTypeId,
                                  "Rect,ID,Cursor", values->data(), values->size(), "Probe");
    EXPECT_EQ(probe.m_cursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(kHandCursorId)));
    EXPECT_EQ(probe.m_pressedCursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(kArrowCursorId)));
    EXPECT_EQ(probe.m_cursorOwnership, 0u);
}

}  // namespace
}  // namespace core_test

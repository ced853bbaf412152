#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "../support/GuardedBytes.h"
#include "TestIcons.h"
#include "foundation/Icons.h"
#include "../support/CpuEmulation.h"

namespace {

using namespace toolkit;

constexpr std::uint16_t kHotX = 3;
constexpr std::uint16_t kHotY = 5;

struct IconFacts {
    bool icon;
    DWORD hotX;
    DWORD hotY;
    LONG width;
};

IconFacts Describe(HANDLE handle) {
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(static_cast<HICON>(handle), &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
    return {info.fIcon != FALSE, info.xHotspot, info.yHotspot, bitmap.bmWidth};
}

// Every file is read from the end of readable memory, so a read past it faults here.
HANDLE LoadGuarded(const ByteArray& bytes, int kind, int entry = 1) {
    const test_support::GuardedBytes guarded(bytes);
    EXPECT_NE(guarded.data(), nullptr);
    return LoadIconFromBytes(guarded.data(), guarded.size(), kind, entry);
}

TEST(GuardedBytes, EndWhereReadableMemoryEnds) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    const ByteArray bytes = {1, 2, 3};
    const test_support::GuardedBytes guarded(bytes, true);
    ASSERT_NE(guarded.data(), nullptr);
    EXPECT_EQ(ByteArray(guarded.data(), guarded.data() + guarded.size()), bytes);
    EXPECT_FALSE(IsBadReadPtr(guarded.data(), guarded.size()));
    EXPECT_TRUE(IsBadReadPtr(guarded.data() + guarded.size(), 1));
    std::uint32_t length = 0;
    std::memcpy(&length, guarded.data() - sizeof length, sizeof length);
    EXPECT_EQ(length, bytes.size());
}

TEST(LoadIconFromBytes, MakesIconsAndCursorsFromWellFormedFiles) {
    HANDLE icon =
        LoadGuarded(MakeIconFile(kIconFileType, kTestIconSize, kTestIconSize, 0, 0), kIconKindIcon);
    ASSERT_NE(icon, nullptr);
    const IconFacts iconFacts = Describe(icon);
    EXPECT_TRUE(iconFacts.icon);
    EXPECT_EQ(iconFacts.width, kTestIconSize);
    DestroyIcon(static_cast<HICON>(icon));

    HANDLE cursor = LoadGuarded(
        MakeIconFile(kCursorFileType, kTestIconSize, kTestIconSize, kHotX, kHotY), kIconKindCursor);
    ASSERT_NE(cursor, nullptr);
    const IconFacts cursorFacts = Describe(cursor);
    EXPECT_FALSE(cursorFacts.icon);
    EXPECT_EQ(cursorFacts.hotX, kHotX);
    EXPECT_EQ(cursorFacts.hotY, kHotY);
    DestroyCursor(static_cast<HCURSOR>(cursor));
}

TEST(LoadIconFromBytes, AnythingOutsideTheBytesGivesZero) {
    const ByteArray good = MakeIconFile(kCursorFileType, kTestIconSize, kTestIconSize, 0, 0, 2);
    const std::size_t firstEntry = kIconDirectoryBytes;
    struct Case {
        const char* name;
        std::function<ByteArray()> bytes;
        int entry;
    };
    const Case cases[] = {
        {"empty", [] { return ByteArray(); }, 1},
        {"directory cut short", [&] { return ByteArray(good.begin(), good.begin() + 5); }, 1},
        {"entry 3 of 2", [&] { return good; }, 3},
        {"entry 0", [&] { return good; }, 0},
        {"entry record cut off",
         [&] { return ByteArray(good.begin(), good.begin() + kIconDirectoryBytes + 20); }, 2},
        {"image offset past the end",
         [&] {
             ByteArray b = good;
             PutAt<std::uint32_t>(b, firstEntry + kIconEntryImageOffset,
                                  static_cast<std::uint32_t>(b.size() + 1));
             return b;
         },
         1},
        {"image running past the end",
         [&] {
             ByteArray b = good;
             PutAt<std::uint32_t>(b, firstEntry + kIconEntryImageSize,
                                  static_cast<std::uint32_t>(b.size()));
             return b;
         },
         1},
        {"image one byte past the end",
         [&] {
             ByteArray b = good;
             std::uint32_t offset = 0;
             std::memcpy(&offset, b.data() + firstEntry + kIconEntryImageOffset, sizeof offset);
             PutAt<std::uint32_t>(b, firstEntry + kIconEntryImageSize,
                                  static_cast<std::uint32_t>(b.size() - offset + 1));
             return b;
         },
         1},
        {"offset and size wrapping round",
         [&] {
             ByteArray b = good;
             PutAt<std::uint32_t>(b, firstEntry + kIconEntryImageOffset, 0xFFFFFFF0u);
             PutAt<std::uint32_t>(b, firstEntry + kIconEntryImageSize, 0x20u);
             return b;
         },
         1},
        {"empty image",
         [&] {
             ByteArray b = good;
             PutAt<std::uint32_t>(b, firstEntry + kIconEntryImageSize, 0u);
             return b;
         },
         1},
        {"count claims more entries than there are",
         [&] {
             ByteArray b(good.begin(), good.begin() + kIconDirectoryBytes + kIconEntryBytes);
             PutAt<std::uint16_t>(b, kIconCountOffset, 40);
             return b;
         },
         30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadGuarded(c.bytes(), kIconKindCursor, c.entry), nullptr) << c.name;
    }
    // The second entry of the good file is fine.
    HANDLE second = LoadGuarded(good, kIconKindCursor, 2);
    EXPECT_NE(second, nullptr);
    DestroyCursor(static_cast<HCURSOR>(second));
}

TEST(LoadIconFromBytes, OtherKindsGoThroughThePictureLoader) {
    constexpr int kPictureIcon = 3;  // PICTYPE_ICON
    const ByteArray icon = MakeIconFile(kIconFileType, kTestIconSize, kTestIconSize, 0, 0);
    HANDLE handle = LoadGuarded(icon, kPictureIcon);
    EXPECT_NE(handle, nullptr);
    if (handle != nullptr) {
        DestroyIcon(static_cast<HICON>(handle));
    }
    EXPECT_EQ(LoadGuarded(ByteArray{1, 2, 3}, kPictureIcon), nullptr);
    EXPECT_EQ(LoadIconFromBytes(nullptr, 0, kIconKindIcon), nullptr);
}

}  // namespace

// The element record, its slot order and creation.
#include <gtest/gtest.h>

#include "CoreTestSupport.h"
#include "core/ElementFields.h"
#include "core/ElementMessages.h"
#include "foundation/CheckedMemory.h"
#include "foundation/Toolkit.h"

namespace core_test {
namespace {

using namespace toolkit;

constexpr int kX = 10;
constexpr int kY = 20;
constexpr int kWidth = 30;
constexpr int kHeight = 40;

TEST(ElementRecord, FieldsReadByNumberAreTheRecordsFields) {
    TestHost host;
    ProbeElement probe;
    const ElementHandle handle = probe.Create(host.Parent(), kX, kY, kWidth, kHeight);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(handle, reinterpret_cast<ElementHandle>(&probe) + kFieldSelf * 4);
    EXPECT_EQ(ReadInt32Checked(handle), reinterpret_cast<std::uint32_t>(&probe));

    const struct {
        std::uint32_t field;
        std::uint32_t expected;
    } cases[] = {
        {kFieldAlive, 1},
        {kFieldHostWindow, host.Parent()},
        {kFieldHandle, handle},
        {kFieldHostRecord, host.OwnHandle()},
        {kFieldParent, 0},
        {kFieldClassTypeId, kProbeTypeId},
        {kFieldState, kStateFocusable},
        {kFieldTabStop, 1},
        {kFieldPresentEnabled, 1},
        {kFieldAlpha, 255},
        {kFieldWidth, kWidth},
        {kFieldHeight, kHeight},
        {kFieldDrawTabStop, 1},
        {kFieldEasing, 1},
        {kFieldMouseTrack, 1},
        {kFieldLeft, kX},
        {kFieldTop, kY},
        {kFieldRight, kX + kWidth},
        {kFieldBottom, kY + kHeight},
        {kFieldWindowLeft, kX},
        {kFieldWindowBottom, kY + kHeight},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadElementField(handle, c.field), c.expected) << "field " << c.field;
    }
    EXPECT_EQ(ReadElementField(handle, kFieldCanvasDc),
              reinterpret_cast<std::uint32_t>(probe.m_canvasDc));
    EXPECT_NE(probe.m_eventTable, 0u);

    constexpr std::uint32_t kNewId = 77;
    WriteElementField(handle, kFieldId, kNewId);
    EXPECT_EQ(probe.m_id, static_cast<std::int32_t>(kNewId));
    EXPECT_EQ(ReadElementField(0, kFieldAlive), 0u);
}

// Calls a base operation through the method table by its slot number, as the engine does.
template <typename Result, typename... Args>
Result CallSlot(Element* element, std::uint32_t slot, Args... args) {
    using Method = Result(__thiscall*)(Element*, Args...);
    void** table = *reinterpret_cast<void***>(element);
    return reinterpret_cast<Method>(table[slot])(element, args...);
}

TEST(ElementRecord, SlotsSitWhereTheEngineAndControlsCallThem) {
    TestHost host;
    ProbeElement probe;
    const ElementHandle handle = probe.Create(host.Parent(), kX, kY, kWidth, kHeight);

    EXPECT_EQ(CallSlot<Element*>(&probe, kSlotGetSelf), &probe);
    EXPECT_EQ(
        CallSlot<LRESULT>(&probe, kSlotElementWndProc, UINT{WM_GETFONT}, WPARAM{0}, LPARAM{0}),
        reinterpret_cast<LRESULT>(probe.m_font));
    constexpr std::uint32_t kSlotGetElementHandle = 26;
    constexpr std::uint32_t kSlotIsElementAlive = 31;
    EXPECT_EQ(CallSlot<ElementHandle>(&probe, kSlotGetElementHandle), handle);
    EXPECT_TRUE(CallSlot<bool>(&probe, kSlotIsElementAlive));
    // The pre-filter and class handler of the probe override the base slots.
    probe.m_preFilterResult = 1;
    EXPECT_EQ(CallSlot<LRESULT>(&probe, kSlotPreFilterMessage, HWND{}, ElementHandle{0}, UINT{0},
                                WPARAM{0}, LPARAM{0}),
              1);
    EXPECT_EQ(CallSlot<std::uint32_t>(&probe, kSlotGetCallingSlot), kSlotGetCallingSlot);
}

TEST(ElementCreation, SendsCreateThenPaintAndStoresTheClassNameInCapitals) {
    TestHost host;
    ProbeElement probe;
    const ElementHandle handle = probe.Create(host.Parent(), kX, kY, kWidth, kHeight);
    ASSERT_GE(probe.m_ownLog.size(), 2u);
    EXPECT_EQ(probe.m_ownLog[0].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(probe.m_ownLog[0].lParam, (kHeight << 16) | kWidth);
    EXPECT_EQ(probe.m_ownLog[1].message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(probe.ElementClassName(), "PROBE");

    // Creating an alive element again changes nothing and sends nothing.
    const std::size_t seen = probe.m_ownLog.size();
    EXPECT_EQ(probe.Create(host.Parent(), 0, 0, 1, 1), handle);
    EXPECT_EQ(probe.m_ownLog.size(), seen);
    EXPECT_EQ(probe.m_left, kX);
}

TEST(ElementCreation, APageKeepsAOnePixelCanvas) {
    TestHost host;
    ProbeElement page;
    page.CreateElement(host.Parent(), 0, 0, kWidth, kHeight, kClassTypePage, "Page", {});
    BITMAP bitmap{};
    ASSERT_NE(GetObjectW(page.m_canvasBitmap, sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, 1);
    EXPECT_EQ(bitmap.bmHeight, 1);
}

TEST(ElementCreation, FailureLeavesNothingBehind) {
    TestHost host;
    ProbeElement parent;
    const ElementHandle parentHandle = parent.Create(host.Parent(), 0, 0, kWidth, kHeight);
    parent.DestroyElement();

    ProbeElement orphan;
    EXPECT_EQ(orphan.Create(parentHandle, 0, 0, kWidth, kHeight), 0u);
    EXPECT_FALSE(orphan.IsElementAlive());
    EXPECT_EQ(orphan.m_className, nullptr);
    EXPECT_EQ(orphan.m_eventTable, 0u);
    EXPECT_EQ(orphan.m_self, nullptr);
    EXPECT_TRUE(orphan.m_ownLog.empty());

    // A plain window without the host property is no host either.
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr,
                                 nullptr, nullptr, nullptr);
    ProbeElement stray;
    EXPECT_EQ(stray.Create(reinterpret_cast<std::uint32_t>(plain), 0, 0, kWidth, kHeight), 0u);
    EXPECT_EQ(stray.m_className, nullptr);
    DestroyWindow(plain);
}

TEST(ElementCreation, HiddenElementIsCreatedAndDrawnButComposesNothing) {
    TestHost host;
    ProbeElement hidden(0xFF0000FF);
    ElementCreateOptions options;
    options.visible = 0;
    ASSERT_NE(hidden.Create(host.Parent(), 0, 0, kWidth, kHeight, options), 0u);
    EXPECT_EQ(hidden.Seen(WM_PAINT), 1);
    EXPECT_EQ(static_cast<const std::uint32_t*>(hidden.m_canvasBits)[0], 0xFF0000FFu);
    hidden.UpdateElement();
    EXPECT_EQ(host.FramePixel(1, 1), 0xFFFFFFFFu);
}

TEST(ElementFont, SettingTheHeldFontAgainKeepsIt) {
    TestHost host;
    ProbeElement probe;
    probe.Create(host.Parent(), 0, 0, kWidth, kHeight);
    Gdiplus::GpFont* font = nullptr;
    ASSERT_EQ(Gdiplus::DllExports::GdipCloneFont(Toolkit().defaultFont, &font), Gdiplus::Ok);
    probe.SetElementFont(font);
    probe.SetElementFont(font);
    Gdiplus::REAL size = 0;
    EXPECT_EQ(Gdiplus::DllExports::GdipGetFontSize(font, &size), Gdiplus::Ok);
    EXPECT_EQ(probe.m_font, font);
    constexpr std::int32_t kBiggerSize = 20;
    EXPECT_EQ(probe.ElementFontSize(kBiggerSize), kBiggerSize);
    EXPECT_NE(probe.m_font, font);
}

TEST(ElementClone, ACopyOwnsWhatTheRecordOwnsAndIsCreatedOnItsOwn) {
    constexpr std::int32_t kCopyFontSize = 20;
    TestHost host;
    Element original;
    ASSERT_NE(original.CreateElement(host.Parent(), 0, 0, kWidth, kHeight, kProbeTypeId,
                                     kProbeClassName, {}),
              0u);
    original.ElementText("caption");
    original.SetElementTipText("tip");
    original.ElementFontSize(kCopyFontSize);
    auto* copy = reinterpret_cast<Element*>(original.Clone());
    ASSERT_NE(copy, nullptr);
    // Not created: nothing of the source's place in its window.
    EXPECT_FALSE(copy->IsElementAlive());
    EXPECT_EQ(copy->m_handle, 0u);
    EXPECT_EQ(copy->m_canvasBitmap, nullptr);
    EXPECT_EQ(copy->m_eventTable, 0u);
    // Its own texts and font, holding what the source's held.
    for (const auto& [mine, theirs] :
         {std::pair{copy->m_text, original.m_text}, std::pair{copy->m_tipText, original.m_tipText},
          std::pair{copy->m_className, original.m_className}}) {
        ASSERT_NE(mine, nullptr);
        EXPECT_NE(mine, theirs);
        EXPECT_STREQ(mine, theirs);
    }
    EXPECT_NE(copy->m_font, original.m_font);
    EXPECT_EQ(copy->ElementFontSize(), kCopyFontSize);

    original.DestroyElement();
    EXPECT_EQ(copy->ElementText(), "caption");
    EXPECT_NE(copy->CreateElement(host.Parent(), 0, 0, kWidth, kHeight, kProbeTypeId,
                                  kProbeClassName, {}),
              0u);
    copy->DestroyElement();
    HeapFree(GetProcessHeap(), 0, copy);
}

TEST(ElementCursor, HandlesAreKeptAsGivenAndIdsAreLoaded) {
    TestHost host;
    ProbeElement probe;
    probe.Create(host.Parent(), 0, 0, kWidth, kHeight);
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    const auto word = [](HCURSOR cursor) { return reinterpret_cast<std::uint32_t>(cursor); };
    const auto id = [](LPCSTR name) { return reinterpret_cast<std::uint32_t>(name); };

    // A handle without a pressed cursor is shown pressed too.
    probe.SetElementCursor(word(hand), true);
    EXPECT_EQ(probe.m_cursor, hand);
    EXPECT_EQ(probe.m_pressedCursor, hand);

    probe.SetElementCursor(id(IDC_CROSS), false);
    EXPECT_EQ(probe.m_cursor, cross);
    EXPECT_EQ(probe.m_pressedCursor, cross);

    probe.SetElementCursor(word(hand), true, id(IDC_CROSS), false);
    EXPECT_EQ(probe.m_cursor, hand);
    EXPECT_EQ(probe.m_pressedCursor, cross);

    probe.SetElementCursor(id(IDC_CROSS), false, word(hand), true);
    EXPECT_EQ(probe.m_cursor, cross);
    EXPECT_EQ(probe.m_pressedCursor, hand);
}

}  // namespace
}  // namespace core_test

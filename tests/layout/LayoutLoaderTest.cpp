// The XML layout loader: windows and element trees built from layout text, resource values,
// and layouts that are damaged or hostile.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "controls/Button.h"
#include "controls/ComboBox.h"
#include "controls/Edit.h"
#include "controls/GroupBox.h"
#include "controls/Label.h"
#include "core/ElementEvents.h"
#include "core/LayoutLoader.h"
#include "foundation/ControlClasses.h"
#include "foundation/EngineBinding.h"

namespace layout_test {
namespace {

using namespace toolkit;

// ---- Values -------------------------------------------------------------------------------------

TEST(ResolveResourceValue, BracedListsAndTags) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "layout_test.bin";
    const ByteArray fileBytes = {7, 0, 9};
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size());
    // The tag words are known here only through their CRC-32, as the loader knows them.
    ASSERT_EQ(LayoutCrc32("@FILE"), kTagFileCrc);

    const struct {
        std::string value;
        ByteArray bytes;
    } cases[] = {
        {"{1, 2,3}", {1, 2, 3}},
        {"{1.2.3}", {1, 2, 3}},
        {"{}", {}},
        {"{300}", {44}},
        {"{-1}", {255}},
        {"{99999999999999999999999}", {255}},
        {"@file:" + path, fileBytes},
        {"@FILE:" + path + ".missing", {}},
        {"@URL:http://example", {}},
        {"plain text", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        ByteArray out = {1};
        EXPECT_EQ(ResolveResourceValue(c.value, out), !c.bytes.empty()) << c.value;
        EXPECT_EQ(out, c.bytes) << c.value;
    }
    DeleteFileA(path.c_str());
}

TEST(ParseGridList, OnlyExactlyFourNumbersAreTaken) {
    const float kUntouched = -7.0f;
    const struct {
        const char* text;
        bool taken;
    } cases[] = {{"1,2,3,4", true}, {"1,2,3", false}, {"1,2,3,4,5", false}, {"", false}};
    for (const auto& c : cases) {
        float grid[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
        EXPECT_EQ(ParseGridList(c.text, grid), c.taken) << c.text;
        EXPECT_EQ(grid[3], c.taken ? 4.0f : kUntouched) << c.text;
    }
}

// ---- Windows from layouts -----------------------------------------------------------------------

// A host window object made from a layout, destroyed with its window at the end.
class LayoutWindow {
public:
    explicit LayoutWindow(const std::string& xml) : m_host(std::make_unique<HostWindow>()) {
        m_window = m_host->LoadLayoutFromXml(xml);
    }
    ~LayoutWindow() {
        if (IsWindow(m_window)) {
            DestroyWindow(m_window);
        }
        m_host->FreeMembers();
    }
    HWND Window() const { return m_window; }
    HostWindow& Host() { return *m_host; }
    Element* Find(std::int32_t id) const {
        return ElementFromHandle(FindElementById(m_window, id));
    }

private:
    std::unique_ptr<HostWindow> m_host;
    HWND m_window = nullptr;
};

constexpr int kLayoutWidth = 400;
constexpr int kLayoutHeight = 300;
constexpr std::int32_t kLabelId = 11;
constexpr std::int32_t kButtonId = 12;
constexpr std::int32_t kPageId = 13;
constexpr std::int32_t kNestedId = 14;
constexpr std::int32_t kOrphanId = 15;
constexpr std::int32_t kNoRectId = 16;
constexpr std::int32_t kMissingId = 99;

const char kLayout[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<Window title=\"Layout\" width=\"400\" height=\"300\" sizebox=\"0\" captionbtn=\"0\">"
    "<Item objtype=\"Label\" Rect=\"10,20,100,30\" ID=\"11\" Text=\"Name\"/>"
    "<Item objtype=\"button\" Rect=\"10,60,80,24\" ID=\"12\" Text=\"OK\"/>"
    "<Item objtype=\"Page\" Rect=\"150,40,200,200\" ID=\"13\">"
    "<Item objtype=\"Label\" Rect=\"5,6,50,20\" ID=\"14\"/>"
    "</Item>"
    "<Item objtype=\"NoSuchClass\" Rect=\"0,0,10,10\" ID=\"17\">"
    "<Item objtype=\"Label\" Rect=\"1,2,3,4\" ID=\"15\"/>"
    "</Item>"
    "<Item objtype=\"Label\" ID=\"16\"/>"
    "</Window>";

TEST(LoadLayoutFromXml, BuildsTheWindowAndItsElementTree) {
    LayoutWindow layout(kLayout);
    ASSERT_NE(layout.Window(), nullptr);
    EXPECT_EQ(GetWindowTitleText(layout.Window()), "Layout");
    RECT bounds{};
    GetWindowRect(layout.Window(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, kLayoutWidth);
    EXPECT_EQ(bounds.bottom - bounds.top, kLayoutHeight);
    EXPECT_EQ(layout.Host().captionFlags, 0u);
    EXPECT_EQ(GetWindowLongW(layout.Window(), GWL_STYLE) & WS_THICKFRAME, 0);

    const struct {
        std::int32_t id;
        std::int32_t typeId;
        RECT rect;  // left, top, right, bottom in the parent
        std::int32_t parentId;
    } expected[] = {
        {kLabelId, kTypeLabel, {10, 20, 110, 50}, 0},
        {kButtonId, kTypeButton, {10, 60, 90, 84}, 0},
        {kPageId, kTypePage, {150, 40, 350, 240}, 0},
        {kNestedId, kTypeLabel, {5, 6, 55, 26}, kPageId},
        // The child of an element whose class does not exist goes to the window.
        {kOrphanId, kTypeLabel, {1, 2, 4, 6}, 0},
    };
    for (const auto& e : expected) {
        const Element* element = layout.Find(e.id);
        ASSERT_NE(element, nullptr) << e.id;
        EXPECT_EQ(element->m_classTypeId, e.typeId) << e.id;
        EXPECT_EQ(element->m_left, e.rect.left) << e.id;
        EXPECT_EQ(element->m_top, e.rect.top) << e.id;
        EXPECT_EQ(element->m_right, e.rect.right) << e.id;
        EXPECT_EQ(element->m_bottom, e.rect.bottom) << e.id;
        EXPECT_EQ(element->m_engineCreated, 1u) << e.id;
        const ElementHandle parent =
            e.parentId != 0 ? FindElementById(layout.Window(), e.parentId) : ElementHandle{0};
        EXPECT_EQ(element->m_parent, parent) << e.id;
    }
    // The layout's text reaches the element, and only where it was given.
    EXPECT_EQ(layout.Find(kLabelId)->ElementText(), "Name");
    EXPECT_EQ(layout.Find(kButtonId)->ElementText(), "OK");
    EXPECT_EQ(layout.Find(kNestedId)->ElementText(), "");
    // An element its attributes do not place is not made.
    EXPECT_EQ(layout.Find(kNoRectId), nullptr);
    EXPECT_EQ(FindElementById(layout.Window(), kMissingId), 0u);
    EXPECT_EQ(FindElementById(nullptr, kLabelId), 0u);
}

TEST(LoadLayoutFromXml, TextShowsOnEveryControlWithACaptionOrAText) {
    enum : std::int32_t { kLabel = 1, kButton, kCheck, kGroup, kEdit, kCombo, kBar };
    LayoutWindow layout(
        "<Window>"
        "<Item objtype=\"Label\" Rect=\"0,0,80,20\" ID=\"1\" Text=\"Name\"/>"
        "<Item objtype=\"Button\" Rect=\"0,20,80,20\" ID=\"2\" Text=\"OK\"/>"
        "<Item objtype=\"CheckButton\" Rect=\"0,40,80,20\" ID=\"3\" Text=\"Grid\"/>"
        "<Item objtype=\"GroupBox\" Rect=\"0,60,80,40\" ID=\"4\" Text=\"Colours\"/>"
        "<Item objtype=\"Edit\" Rect=\"0,100,80,20\" ID=\"5\" Text=\"typed\"/>"
        "<Item objtype=\"ComboBox\" Rect=\"0,120,80,20\" ID=\"6\" Text=\"shown\"/>"
        "<Item objtype=\"ScrollBar\" Rect=\"0,140,80,10\" ID=\"7\" Text=\"unseen\"/>"
        "</Window>");
    ASSERT_NE(layout.Window(), nullptr);
    for (std::int32_t id = kLabel; id <= kBar; ++id) {
        ASSERT_NE(layout.Find(id), nullptr) << id;
    }
    EXPECT_EQ(static_cast<Label*>(layout.Find(kLabel))->LabelTitle(), "Name");
    EXPECT_EQ(static_cast<Button*>(layout.Find(kButton))->ButtonTitle(), "OK");
    EXPECT_EQ(static_cast<Button*>(layout.Find(kCheck))->ButtonTitle(), "Grid");
    EXPECT_EQ(static_cast<GroupBox*>(layout.Find(kGroup))->Caption(), "Colours");
    EXPECT_EQ(static_cast<Edit*>(layout.Find(kEdit))->Text(), "typed");
    EXPECT_EQ(static_cast<ComboBox*>(layout.Find(kCombo))->Text(), "shown");
    // A control without a caption keeps the text as its element text only.
    EXPECT_EQ(layout.Find(kBar)->ElementText(), "unseen");
}

constexpr std::uint32_t kBoundResult = 0x5EED;
std::uint32_t __stdcall BoundRoutine(std::uint32_t, std::uint32_t) {
    return kBoundResult;
}

TEST(BindEventByElementId, BindsOnlyWhereTheIdExists) {
    LayoutWindow layout(kLayout);
    const auto routine =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&BoundRoutine));
    constexpr std::uint32_t kMessage = WM_LBUTTONUP;
    EXPECT_TRUE(layout.Host().BindEventByElementId(kNestedId, kMessage, routine, 0));
    const ElementHandle nested = FindElementById(layout.Window(), kNestedId);
    EXPECT_EQ(RaiseElementEvent(nested, kMessage, {nested}), kBoundResult);
    EXPECT_FALSE(layout.Host().BindEventByElementId(kMissingId, kMessage, routine, 0));
}

TEST(LoadChildrenFromXml, AddsElementsToTheExistingWindow) {
    host_test::TestWindow window;
    EXPECT_EQ(window.Host().LoadChildrenFromXml(kLayout), 1u);
    EXPECT_NE(FindElementById(window.Window(), kNestedId), 0u);
    EXPECT_EQ(window.Host().LoadChildrenFromXml("<Window><Item objtype="), 0u);
    // An object without a window has nowhere to put them.
    HostWindow detached;
    EXPECT_EQ(detached.LoadChildrenFromXml(kLayout), 0u);
}

// ---- Damaged and hostile layouts ----------------------------------------------------------------

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// An element class that reports which of its copies had their members freed.
std::vector<const void*> g_freedCopies;

class CountingElement : public Element {
public:
    void FreeMembers() override { g_freedCopies.push_back(this); }
    std::uint32_t Clone() override {
        return static_cast<std::uint32_t>(
            reinterpret_cast<std::uintptr_t>(CloneOnProcessHeap(*this)));
    }
};

constexpr char kCountingClass[] = "COUNTING";
constexpr std::int32_t kCountingTypeId = 90;

TEST(LoadLayoutFromXml, ACopyThatCreationRefusedIsFreed) {
    static CountingElement prototype;
    ASSERT_TRUE(EngineRegisterClass(
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&prototype)),
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(kCountingClass)),
        kCountingTypeId));
    g_freedCopies.clear();
    constexpr std::int32_t kPlacedId = 31;
    LayoutWindow layout(
        "<Window><Item objtype=\"Counting\" Rect=\"1,1,5,5\" ID=\"31\"/>"
        "<Item objtype=\"Counting\" ID=\"30\"/></Window>");
    ASSERT_NE(layout.Window(), nullptr);
    ASSERT_NE(layout.Find(kPlacedId), nullptr);
    // Only the copy without a place was given up.
    ASSERT_EQ(g_freedCopies.size(), 1u);
    EXPECT_NE(g_freedCopies.front(), layout.Find(kPlacedId));
}

TEST(LoadLayoutFromXml, MalformedDocumentsCreateNothing) {
    const char* const documents[] = {"", "not xml", "<Window><Item objtype=\"Label\"",
                                     "<Window></Other>"};
    for (const char* document : documents) {
        const int before = ThreadWindowCount();
        LayoutWindow layout(document);
        EXPECT_EQ(layout.Window(), nullptr) << document;
        EXPECT_EQ(ThreadWindowCount(), before) << document;
    }
}

TEST(LoadLayoutFromXml, AbsurdSizesTakeTheDefaults) {
    LayoutWindow huge(
        "<?xml version=\"1.0\"?><Window width=\"100000000\" height=\"-5\" gird=\"1,2,3\" "
        "alp=\"junk\"><Item objtype=\"Page\" Rect=\"0,0,100000000,100000000\" ID=\"1\"/>"
        "</Window>");
    ASSERT_NE(huge.Window(), nullptr);
    RECT bounds{};
    GetWindowRect(huge.Window(), &bounds);
    EXPECT_LE(bounds.right - bounds.left, kMaxLayoutWindowSide);
    EXPECT_GT(bounds.right - bounds.left, 0);
    EXPECT_EQ(huge.Host().gridMargins[0], 0.0f);
}

TEST(LoadLayoutFromXml, RootNumbersAreDecimalWithLeadingZeros) {
    LayoutWindow padded("<Window width=\"0400\" height=\"0300\" captionbtn=\"010\"/>");
    ASSERT_NE(padded.Window(), nullptr);
    RECT bounds{};
    GetWindowRect(padded.Window(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, kLayoutWidth);
    EXPECT_EQ(bounds.bottom - bounds.top, kLayoutHeight);
    constexpr std::uint32_t kTen = 10;
    EXPECT_EQ(padded.Host().captionFlags, kTen);
}

TEST(LoadLayoutFromXml, DeepNestingStopsAtTheDepthLimit) {
    constexpr int kLevels = 200;
    std::string xml = "<?xml version=\"1.0\"?><Window>";
    for (int level = 1; level <= kLevels; ++level) {
        xml += "<Item objtype=\"Page\" Rect=\"0,0,10,10\" ID=\"" + std::to_string(level) + "\">";
    }
    for (int level = 0; level < kLevels; ++level) {
        xml += "</Item>";
    }
    xml += "</Window>";
    LayoutWindow layout(xml);
    ASSERT_NE(layout.Window(), nullptr);
    EXPECT_NE(FindElementById(layout.Window(), kMaxLayoutDepth), 0u);
    EXPECT_EQ(FindElementById(layout.Window(), kMaxLayoutDepth + 1), 0u);
}

TEST(LoadLayoutFromXml, TheRootIsFoundWithoutDeclarationOrAfterComments) {
    const char* const documents[] = {
        "<Window title=\"Bare\"><Item objtype=\"Label\" Rect=\"1,1,5,5\" ID=\"11\"/></Window>",
        "<?xml version=\"1.0\"?><!-- first --><!-- second --><Window title=\"Bare\">"
        "<Item objtype=\"Label\" Rect=\"1,1,5,5\" ID=\"11\"/></Window>",
    };
    for (const char* document : documents) {
        LayoutWindow layout(document);
        ASSERT_NE(layout.Window(), nullptr) << document;
        EXPECT_EQ(GetWindowTitleText(layout.Window()), "Bare") << document;
        EXPECT_NE(layout.Find(kLabelId), nullptr) << document;
    }
}

}  // namespace
}  // namespace layout_test

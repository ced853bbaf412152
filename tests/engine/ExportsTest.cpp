// The export table, start-up values, the resource routine, and the rule that every export
// gives 0 for values it cannot use.
#include "../support/CpuEmulation.h"
#include "EngineTestSupport.h"

#include "../support/GuardedBytes.h"
#include "foundation/BuiltInTheme.h"

#include <vector>

namespace engine_test {
namespace {

using namespace engine_abi;

const Word kPresent[] = {1,  2,  3,  4,  5,  6,  7,  9,  11, 12, 17, 18, 19, 20, 21, 23,
                         24, 25, 26, 27, 28, 29, 30, 31, 32, 34, 35, 36, 37, 38, 39, 40};
const Word kAbsent[] = {8, 10, 13, 14, 15, 16, 22, 33, 41};

TEST(EngineExports, PresentAndAbsentOrdinals) {
    ASSERT_NE(EngineModule(), nullptr);
    for (Word ordinal : kPresent) {
        EXPECT_NE(Export(ordinal), nullptr) << "ordinal " << ordinal;
        EXPECT_NE(OrdinalArgumentCount(ordinal), 0u) << "ordinal " << ordinal;
    }
    for (Word ordinal : kAbsent) {
        EXPECT_EQ(Export(ordinal), nullptr) << "ordinal " << ordinal;
        EXPECT_EQ(OrdinalArgumentCount(ordinal), 0u) << "ordinal " << ordinal;
    }
}

TEST(EngineExports, InitReturnsOneEveryTime) {
    const Word builtIn = W(kBuiltInThemePackage);
    EXPECT_EQ(Call(kOrdInit, 0, 0, builtIn, 0, 0, 0, 0, 0, 0, 0, 0, W(GetProcessHeap())), 1u);
    EXPECT_EQ(Call(kOrdInit, 0, 0, builtIn, 0, 0, 0, 0, 0, 0, 0, 0, W(GetProcessHeap())), 1u);
}

// Values that name nothing: null, the first page, an issued-looking handle, all bits set.
const Word kBadValues[] = {0, kUnreadable, NotAHandle(), 0xFFFFFFF0u};

TEST(EngineExports, EveryExportRefusesValuesItCannotUse) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    for (Word bad : kBadValues) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Call(kOrdRegisterClass, bad, W("LABEL"), 2), 0u);
        EXPECT_EQ(Call(kOrdCreateByName, bad, 0), 0u);
        EXPECT_EQ(Call(kOrdDestroyElement, bad), 0u);
        EXPECT_EQ(Call(kOrdBindUserData, bad, bad, kUserDataKeyElement), 0u);
        EXPECT_EQ(Call(kOrdRestoreUserData, bad, kUserDataKeyElement), 0u);
        EXPECT_EQ(Call(kOrdMakeWndProcThunk, bad, bad), 0u);
        EXPECT_EQ(Call(kOrdDrawClearTypeText, bad, bad, 0, 0, 10, 10, bad, 0, 0), 0u);
        EXPECT_EQ(Call(kOrdCreateTextHost, bad, bad, bad), 0u);
        EXPECT_EQ(Call(kOrdReleaseTextHost, bad, bad), 0u);
        EXPECT_EQ(Call(kOrdFreeEventTable, bad), 0u);
        EXPECT_EQ(Call(kOrdStoreEvent, bad, WM_PAINT, 0), 0u);
        EXPECT_EQ(Call(kOrdLookupEvent, bad, WM_PAINT), 0u);
        EXPECT_EQ(Call(kOrdLoadTheme, bad, 64, 0, 0), 0u);
        EXPECT_EQ(Call(kOrdReleaseTheme, bad), 0u);
        EXPECT_EQ(Call(kOrdAdoptTheme, bad), 0u);
        EXPECT_EQ(Call(kOrdSetDefaultTheme, bad), 0u);
        EXPECT_EQ(Call(kOrdThemeText, bad == 0 ? NotAHandle() : bad, 1, 0), 0u);
        EXPECT_EQ(Call(kOrdThemeRect, 0, 1, W("Button"), W("normal"), bad, 0), 0u);
        EXPECT_EQ(Call(kOrdThemeRectF, 0, 1, W("Button"), W("normal"), bad, 0), 0u);
        EXPECT_EQ(Call(kOrdAnimateWindow, bad, kAnimateShow, 1, 0, 0, 0, 0, 0, 1, 0, 0), 0u);
        EXPECT_EQ(Call(kOrdLoadMapData, bad), 0u);
        EXPECT_EQ(Call(kOrdSetLayoutAttribute, bad, W("Rect"), W("1,2,3,4"), 1), 0u);
        EXPECT_EQ(Call(kOrdAddWindowStyle, bad, WS_BORDER, 0), 0u);
        EXPECT_EQ(Call(kOrdRemoveWindowStyle, bad, WS_BORDER, 0), 0u);
        EXPECT_EQ(Call(kOrdHasWindowStyle, bad, WS_BORDER, 0), 0u);
        EXPECT_EQ(Call(kOrdSetWindowBlur, bad, 0, 0), 0u);
        EXPECT_EQ(Call(kOrdImageFromFile, bad), 0u);
        EXPECT_EQ(Call(kOrdImageFromHandle, bad), 0u);
    }
    EXPECT_EQ(Call(kOrdCreateEventTable, 0), 0u);
    EXPECT_EQ(Call(kOrdCreateEventTable, kMaxEventBuckets + 1), 0u);
}

// The provider the program may install behind the resource routine.
constexpr std::uint8_t kResourceBlock[] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
constexpr Word kResourceHeader = 8;
std::string g_askedName;

Word __stdcall TestProvider(Word name, Word freeFlag) {
    g_askedName = reinterpret_cast<const char*>(name);
    return W(kResourceBlock) + kResourceHeader;
}

TEST(EngineExports, ResourceRoutineAsksTheInstalledProvider) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    using Lookup = Word(__stdcall*)(Word, Word);
    Word lookupAddress = Call(kOrdResourceRoutine, kResourceRoutineQuery);
    ASSERT_NE(lookupAddress, 0u);
    auto lookup = reinterpret_cast<Lookup>(lookupAddress);
    Word freeFlag = 0;
    EXPECT_EQ(lookup(W("logo"), W(&freeFlag)), 0u) << "no provider finds nothing";

    EXPECT_EQ(Call(kOrdResourceRoutine, W(&TestProvider)), 0u) << "no previous provider";
    EXPECT_EQ(lookup(W("logo"), W(&freeFlag)), W(kResourceBlock) + kResourceHeader);
    EXPECT_EQ(g_askedName, "logo");
    EXPECT_EQ(Call(kOrdResourceRoutine, kUnreadable), 0u) << "not code: refused";
    EXPECT_EQ(Call(kOrdResourceRoutine, 0), W(&TestProvider)) << "0 removes the provider";
    EXPECT_EQ(lookup(W("logo"), W(&freeFlag)), 0u);
}

TEST(EngineExports, MapDataAndLayoutAttributesAreTaken) {
    const std::uint8_t document[] = {1, 0, 0, 0, 4, 0, 0, 0, '<', 'a', '/', '>'};
    EXPECT_EQ(Call(kOrdLoadMapData, W(document) + kResourceHeader), 1u);
    const std::uint8_t notAnArray[] = {7, 0, 0, 0, 4, 0, 0, 0, '<', 'a', '/', '>'};
    EXPECT_EQ(Call(kOrdLoadMapData, W(notAnArray) + kResourceHeader), 0u);

    Word object[4] = {W(&object)};
    EXPECT_EQ(Call(kOrdSetLayoutAttribute, W(object), W("Rect"), W("1,2,3,4"), 1), 1u);
}

// The map data's length word is the program's; the engine takes the bytes only when that many
// are readable. The array is placed so that readable memory ends with its last byte.
TEST(EngineExports, MapDataIsReadOnlyAsFarAsMemoryGoes) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    const std::vector<std::uint8_t> document = {'<', 'm', 'a', 'p', '/', '>'};
    const auto arrayClaiming = [&](Word length) {
        std::vector<std::uint8_t> array = {1, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            array.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        }
        array.insert(array.end(), document.begin(), document.end());
        return array;
    };
    const Word exact = static_cast<Word>(document.size());
    const test_support::GuardedBytes whole(arrayClaiming(exact));
    const test_support::GuardedBytes overlong(arrayClaiming(exact + 1));
    ASSERT_NE(whole.data(), nullptr);
    ASSERT_NE(overlong.data(), nullptr);
    EXPECT_EQ(Call(kOrdLoadMapData, W(whole.data()) + kResourceHeader), 1u);
    EXPECT_EQ(Call(kOrdLoadMapData, W(overlong.data()) + kResourceHeader), 0u);
}

// The words of an element record as far as the text field, with the self cell naming it.
struct ElementWords {
    ElementWords() {
        words[0] = W(&kMethodTable);
        words[kFieldSelfCell] = W(words);
    }
    static constexpr Word kMethodTable = 1;  // never called: only its presence is checked
    const char* Text() const { return reinterpret_cast<const char*>(words[kFieldText]); }
    Word words[kFieldText + 1] = {};
};

TEST(EngineExports, TheTextAttributeBecomesTheElementsTextAfterAttaching) {
    constexpr Word kBeforeAttaching = 1;
    constexpr Word kAfterAttaching = 0;
    ElementWords element;
    EXPECT_EQ(
        Call(kOrdSetLayoutAttribute, W(element.words), W("Text"), W("early"), kBeforeAttaching),
        1u);
    EXPECT_EQ(element.Text(), nullptr);
    EXPECT_EQ(
        Call(kOrdSetLayoutAttribute, W(element.words), W("Rect"), W("1,2,3,4"), kAfterAttaching),
        1u);
    EXPECT_EQ(element.Text(), nullptr);

    // Any case of the name; a new text replaces the old one, and an empty one clears it.
    for (const char* text : {"Name", "\xC3\xFB\xB3\xC6"}) {
        ASSERT_EQ(
            Call(kOrdSetLayoutAttribute, W(element.words), W("tEXT"), W(text), kAfterAttaching),
            1u);
        ASSERT_NE(element.Text(), nullptr);
        EXPECT_STREQ(element.Text(), text);
        EXPECT_NE(W(element.Text()), W(text)) << "a copy of its own";
        EXPECT_NE(HeapSize(GetProcessHeap(), 0, element.Text()), static_cast<SIZE_T>(-1));
    }
    EXPECT_EQ(Call(kOrdSetLayoutAttribute, W(element.words), W("Text"), 0, kAfterAttaching), 1u);
    EXPECT_EQ(element.Text(), nullptr);

    // A record whose self cell does not name it is no element.
    ElementWords stray;
    stray.words[kFieldSelfCell] = 0;
    EXPECT_EQ(Call(kOrdSetLayoutAttribute, W(stray.words), W("Text"), W("x"), kAfterAttaching), 0u);
    EXPECT_EQ(stray.Text(), nullptr);
}

}  // namespace
}  // namespace engine_test

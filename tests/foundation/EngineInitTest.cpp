#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ProbeModule.h"
#include "TestIcons.h"
#include "foundation/EngineInit.h"
#include "foundation/Fonts.h"
#include "foundation/Toolkit.h"

namespace {

using namespace toolkit;

const ByteArray kThemeBytes = {'t', 'h', 'e', 'm', 'e'};
const ByteArray kMapBytes = {'<', 'm', 'a', 'p', '/', '>'};

std::vector<std::uint32_t> Calls(const probe::Log& log) {
    return std::vector<std::uint32_t>(log.calls, log.calls + log.callCount);
}

std::size_t ClassesThatExist() {
    return static_cast<std::size_t>(
        std::count_if(std::begin(kControlClasses), std::end(kControlClasses),
                      [](const ControlClassEntry& e) { return e.factory.create != nullptr; }));
}

TEST_F(ProbeTest, StartUpHandsTheEngineItsValuesAndInstallsTheTheme) {
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes);

    const std::uint32_t* values = m_log->initValues;
    const ToolkitGlobals& globals = Toolkit();
    EXPECT_EQ(values[engine_abi::kInitReserved], 0u);
    EXPECT_EQ(values[engine_abi::kInitOsVersionAddress], AddressOf(&globals.osVersion));
    EXPECT_EQ(values[engine_abi::kInitImageAttributes], AddressOf(globals.imageAttributes));
    EXPECT_EQ(values[engine_abi::kInitProcessHeap], AddressOf(GetProcessHeap()));
    EXPECT_EQ(values[engine_abi::kInitGetAtomRoutine], AddressOf(&OnEngineGetAtom));
    // The built-in package, the engine's fallback theme.
    EXPECT_NE(values[engine_abi::kInitBuiltInTheme], 0u);
    for (auto routine : {engine_abi::kInitRegisterClassRoutine, engine_abi::kInitLoadImageRoutine,
                         engine_abi::kInitFreeImageRoutine, engine_abi::kInitImageExportRoutine,
                         engine_abi::kInitAnimateRoutine, engine_abi::kInitDebugOutputRoutine}) {
        EXPECT_NE(values[routine], 0u) << routine;
    }
    EXPECT_EQ(m_log->mapDataLength, kMapBytes.size());
    EXPECT_EQ(m_log->lastThemeLength, kThemeBytes.size());
    EXPECT_EQ(m_log->classCount, ClassesThatExist());
    EXPECT_EQ(m_log->defaultTheme, m_log->lastThemeHandle);
    EXPECT_EQ(GetEngineBinding().defaultTheme, m_log->lastThemeHandle);
    EXPECT_EQ(m_log->releasedTheme, 0u);

    // Init first, map data next, the classes, then the theme; nothing is released the first
    // time.
    std::vector<std::uint32_t> expected = {engine_abi::kOrdInit, engine_abi::kOrdLoadMapData};
    expected.insert(expected.end(), ClassesThatExist(), engine_abi::kOrdRegisterClass);
    expected.push_back(engine_abi::kOrdLoadTheme);
    expected.push_back(engine_abi::kOrdSetDefaultTheme);
    EXPECT_EQ(Calls(*m_log), expected);
}

TEST_F(ProbeTest, SecondStartUpReleasesThePreviousThemeFirst) {
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes);
    const std::uint32_t first = m_log->lastThemeHandle;
    m_log->callCount = 0;

    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes);
    EXPECT_EQ(m_log->releasedTheme, first);
    const std::vector<std::uint32_t> calls = Calls(*m_log);
    const auto release = std::find(calls.begin(), calls.end(), engine_abi::kOrdReleaseTheme);
    const auto load = std::find(calls.begin(), calls.end(), engine_abi::kOrdLoadTheme);
    ASSERT_NE(release, calls.end());
    EXPECT_LT(release, load);
    EXPECT_NE(m_log->defaultTheme, first);
}

TEST_F(ProbeTest, WithoutOptionsTheToolkitDefaultsStay) {
    ToolkitGlobals& globals = Toolkit();
    Gdiplus::GpFont* font = globals.defaultFont;
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes);
    EXPECT_EQ(globals.defaultFont, font);
    EXPECT_EQ(globals.textRenderingHint, kDefaultTextRenderingHint);
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    EXPECT_EQ(globals.normalCursor, arrow);
    EXPECT_EQ(globals.secondCursor, globals.normalCursor);
    EXPECT_EQ(m_log->resourceRoutine, 0u);
}

TEST_F(ProbeTest, OptionsReplaceFontHintRoutineAndCursors) {
    constexpr int kFontSize = 20;
    constexpr int kClearTypeHint = 5;
    constexpr std::uint32_t kRoutine = 0x1234;
    ToolkitGlobals& globals = Toolkit();
    const std::string family = GetFontFamilyName(globals.defaultFont);
    const HCURSOR arrow = globals.normalCursor;

    UiEngineOptions options;
    options.fontSize = kFontSize;
    options.textRenderingHint = kClearTypeHint;
    options.resourceRoutine = kRoutine;
    options.cursor = MakeIconFile(kCursorFileType, kTestIconSize, kTestIconSize, 1, 1);
    options.secondCursor = ByteArray{1, 2, 3};
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes, options);

    EXPECT_EQ(GetFontSize(globals.defaultFont), static_cast<float>(kFontSize));
    EXPECT_EQ(GetFontFamilyName(globals.defaultFont), family);
    EXPECT_EQ(globals.textRenderingHint, kClearTypeHint);
    EXPECT_EQ(m_log->resourceRoutine, kRoutine);
    EXPECT_NE(globals.normalCursor, arrow);
    EXPECT_NE(globals.normalCursor, nullptr);
    // Unusable second-cursor bytes fall back to the normal cursor.
    EXPECT_EQ(globals.secondCursor, globals.normalCursor);

    globals.textRenderingHint = kDefaultTextRenderingHint;
    globals.normalCursor = arrow;
    globals.secondCursor = arrow;
}

TEST_F(ProbeTest, AFontFamilyTheMachineLacksKeepsTheDefaultFont) {
    constexpr int kFontSize = 30;
    ToolkitGlobals& globals = Toolkit();
    Gdiplus::GpFont* font = globals.defaultFont;
    const float size = GetFontSize(font);
    UiEngineOptions options;
    options.fontName = "No Such Face Anywhere";
    options.fontSize = kFontSize;
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes, options);
    EXPECT_EQ(globals.defaultFont, font);
    EXPECT_EQ(GetFontSize(globals.defaultFont), size);
}

// A prototype that counts how often it is released.
struct TestPrototype {
    static int released;
    std::uint32_t methodTable = 0;
    void FreeMembers() { ++released; }
};
int TestPrototype::released = 0;

TEST_F(ProbeTest, ClassesRegisterUpperCasedAndPrototypesAreReleasedAfterwards) {
    constexpr std::uint32_t kTypeId = 77;
    const ControlClassEntry table[] = {
        {"TestClass", kTypeId, PrototypeFactoryOf<TestPrototype>()},
        {"NotYetBuilt", kTypeId + 1, {}},
    };
    BindEngine(Full(), false);
    TestPrototype::released = 0;
    EXPECT_EQ(RegisterControlClasses(table, std::size(table)), 1u);
    ASSERT_EQ(m_log->classCount, 1u);
    EXPECT_STREQ(m_log->classNames[0], "TESTCLASS");
    EXPECT_EQ(m_log->classTypeIds[0], kTypeId);
    EXPECT_NE(m_log->classPrototypes[0], 0u);
    EXPECT_EQ(TestPrototype::released, 1);
}

TEST_F(ProbeTest, EngineCallbacksReachTheProgram) {
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes);
    const std::uint32_t* values = m_log->initValues;
    constexpr char kAtomText[] = "Button_normal";
    const std::uint32_t atom =
        CallAddress(values[engine_abi::kInitGetAtomRoutine], {AddressOf(kAtomText)});
    EXPECT_NE(atom, 0u);
    EXPECT_EQ(atom, FindAtomA(kAtomText));

    constexpr std::uint32_t kTypeId = 9;
    m_log->classCount = 0;
    EXPECT_EQ(
        CallAddress(values[engine_abi::kInitRegisterClassRoutine], {AddressOf("edit"), kTypeId, 0}),
        1u);
    ASSERT_EQ(m_log->classCount, 1u);
    EXPECT_STREQ(m_log->classNames[0], "EDIT");

    // The loader of images held in memory is not there: its routines answer 0.
    EXPECT_EQ(CallAddress(values[engine_abi::kInitLoadImageRoutine], {0, 0, 0}), 0u);
    EXPECT_EQ(CallAddress(values[engine_abi::kInitImageExportRoutine], {0, 1}), 0u);
}

// Debugger output arrives as an exception that a vectored handler sees before anyone else.
std::vector<std::string>* g_debugLines = nullptr;

LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* info) {
    constexpr DWORD kDebugPrint = 0x40010006;  // DBG_PRINTEXCEPTION_C
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == kDebugPrint && record->NumberParameters >= 2 &&
        g_debugLines != nullptr) {
        g_debugLines->push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(GetOrAddAtom, FindsAddsAndReportsFailureOnce) {
    constexpr char kName[] = "Vennmark.Test.Atom";
    const ATOM added = GetOrAddAtom(kName);
    EXPECT_NE(added, 0);
    EXPECT_EQ(GetOrAddAtom(kName), added);

    std::vector<std::string> lines;
    g_debugLines = &lines;
    void* handler = AddVectoredExceptionHandler(1, CaptureDebugOutput);
    // Atom names are limited to 255 characters.
    const std::string tooLong(300, 'x');
    EXPECT_EQ(GetOrAddAtom(tooLong), 0);
    RemoveVectoredExceptionHandler(handler);
    g_debugLines = nullptr;

    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("AtomError:" + tooLong + " ", 0), 0u) << lines[0];
}

std::vector<EditMenuItem> g_builtMenu;

void RecordEditMenu(const EditMenuItem* items, std::size_t count) {
    g_builtMenu.assign(items, items + count);
}

TEST_F(ProbeTest, StartUpBuildsTheEditMenuThroughTheInstalledBuilder) {
    g_builtMenu.clear();
    SetEditMenuBuilder(&RecordEditMenu);
    InitUiEngine(Full(), false, kThemeBytes, {}, kMapBytes);
    SetEditMenuBuilder(nullptr);

    ASSERT_EQ(g_builtMenu.size(), kEditMenuItemCount);
    const std::uint32_t commands[] = {'X', 'C', 'V', 0, 'A'};
    for (std::size_t i = 0; i < kEditMenuItemCount; ++i) {
        EXPECT_EQ(g_builtMenu[i].command, commands[i]) << i;
    }
    EXPECT_EQ(g_builtMenu[3].kind, kMenuItemKindSeparator);
    EXPECT_STREQ(g_builtMenu[0].text, "剪切(&T)");
}

// With the project's own engine built beside the programs, start-up installs a real theme.
TEST(RealEngine, LoadsTheDefaultThemePackage) {
    ModuleHandle engine(LoadLibraryA(kEngineLibraryName));
    std::ifstream file("ex_directui.ext", std::ios::binary);
    if (!engine || !file) {
        GTEST_SKIP() << "exdui.dll or ex_directui.ext is not built yet";
    }
    const ByteArray package((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    InitUiEngine(reinterpret_cast<std::uintptr_t>(engine.get()), false, package, {}, kMapBytes);
    EXPECT_NE(GetEngineBinding().defaultTheme, 0u);
    UnbindEngine();
}

}  // namespace

#include "AppTestSupport.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "app/Commands.h"
#include "app/RunApplication.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/ImageHelpers.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace app_test {

std::vector<ShownMessage> EditorTest::s_messages;

namespace {

constexpr DWORD kWatchdogMs = 240000;
constexpr UINT kWatchdogExitCode = 3;
constexpr char kEnglishLanguageFile[] = "language\\English.ini";

class EditorEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::thread([] {
            Sleep(kWatchdogMs);
            ExitProcess(kWatchdogExitCode);
        }).detach();
        InitEditorGlobals();
        toolkit::InitToolkit();
        Editor& editor = TheEditor();
        editor.engineModule = LoadLibraryA(toolkit::kEngineLibraryName);
        ASSERT_NE(editor.engineModule, nullptr) << "exdui.dll must lie in the working folder";
        const std::string theme = ReadFile(ProgramFile("ex_directui.ext"));
        const std::string mapData = ReadFile(ProgramFile("mapdata.xml"));
        toolkit::InitUiEngine(reinterpret_cast<std::uintptr_t>(editor.engineModule), false,
                              ByteArray(theme.begin(), theme.end()), {},
                              ByteArray(mapData.begin(), mapData.end()));
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new EditorEnvironment);

int RecordMessage(HWND, const std::string& text, MessageIcon icon) {
    EditorTest::s_messages.push_back({text, icon});
    return 0;
}

}  // namespace

std::string ProgramFolderPath() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

std::string ProgramFile(const std::string& name) {
    return ProgramFolderPath() + "\\" + name;
}

std::string TestDataFile(const std::string& name) {
    return std::string(VENNMARK_TESTDATA_DIR) + "\\" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ByteArray ReadBytes(const std::string& path) {
    const std::string bytes = ReadFile(path);
    return ByteArray(bytes.begin(), bytes.end());
}

std::vector<std::wstring> Items(const controls::SRect_Ex& rect) {
    std::vector<std::wstring> items;
    for (std::size_t i = 0; i < rect.ItemCount(); ++i) {
        items.push_back(rect.ItemText(static_cast<std::int32_t>(i)));
    }
    return items;
}

std::wstring Wide(const std::string& text) {
    return toolkit::ToWideString(text);
}

void EditorTest::SetUp() {
    s_messages.clear();
    Editor& e = editor();
    e.cartridge = CartridgeState{};
    e.currentPath.clear();
    e.view.pictureFolder = ProgramFolderPath() + kMapPictureFolderName;
    e.view.settings = MapViewSettings{};
    e.showMessage = RecordMessage;
    e.LanguageFile.SetFile(ProgramFile(kEnglishLanguageFile));
    ReadLanguageTexts(e);
    e.introduction = toolkit::LoadImageFile(
        ProgramFile(std::string("resources\\") + settings::kIntroductionPictureName).c_str());
    e.logoBytes = ReadBytes(ProgramFile(std::string("resources\\") + settings::kLogoPictureName));
    e.openedLogoBytes =
        ReadBytes(ProgramFile(std::string("resources\\") + settings::kOpenedLogoPictureName));
    RebuildWindow();
}

void EditorTest::RebuildWindow() {
    DestroyWindow();
    Editor& e = editor();
    e.window = std::make_unique<MainWindow>();
    ASSERT_TRUE(e.window->Create(e));
}

void EditorTest::DestroyWindow() {
    Editor& e = editor();
    if (!e.window) {
        return;
    }
    if (IsWindow(e.window->Handle())) {
        CloseRom(e);
        ::DestroyWindow(e.window->Handle());
    }
    e.window->FreeObjects();
    ReleaseViewPictures(e.view);
}

void EditorTest::TearDown() {
    DestroyWindow();
    editor().introduction.reset();
}

}  // namespace app_test

// Timings of the editor's heavy steps under Wine, as medians over repeated runs: opening and
// decoding the largest sample image, showing its longest level, placing one super-tile up to
// the new composed picture, and one full present of the main window; then the process's peak
// memory. Run it with the program folder as working folder (see the README).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Editor.h"
#include "app/MainWindow.h"
#include "app/RunApplication.h"
#include "codec/LevelDecoder.h"
#include "codec/RomLayout.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/Toolkit.h"
#include "settings/FileBytes.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

namespace {

constexpr int kRuns = 15;
constexpr char kLargestSample[] = "SampleLarge.nes";
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

ByteArray ReadBytes(const std::string& path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return ByteArray(bytes.begin(), bytes.end());
}

std::string WorkingFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

// The median time of kRuns calls of step, in milliseconds; prepare runs before each call and
// is not timed.
double MedianMs(const std::function<void()>& step, const std::function<void()>& prepare = {}) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        if (prepare) {
            prepare();
        }
        const auto start = std::chrono::steady_clock::now();
        step();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int LongestLevel(const LevelList& levels) {
    int longest = 1;
    for (size_t i = 0; i < levels.records.size(); ++i) {
        if (LevelScreenCount(levels.records[i]) >
            LevelScreenCount(levels.records[static_cast<size_t>(longest) - 1])) {
            longest = static_cast<int>(i) + 1;
        }
    }
    return longest;
}

}  // namespace

int main() {
    InitEditorGlobals();
    toolkit::InitToolkit();
    Editor& editor = TheEditor();
    editor.engineModule = LoadLibraryA(toolkit::kEngineLibraryName);
    toolkit::InitUiEngine(reinterpret_cast<std::uintptr_t>(editor.engineModule), false,
                          ReadBytes("ex_directui.ext"), {}, ReadBytes("mapdata.xml"));
    editor.view.pictureFolder = WorkingFolder() + kMapPictureFolderName;
    editor.showMessage = [](HWND, const std::string&, MessageIcon) { return 0; };
    MainWindow& window = *editor.window;
    if (!window.Create(editor)) {
        std::printf("the main window could not be made\n");
        return 1;
    }
    window.EditorMainWindow.ShowHostWindow({});

    const std::string path = WorkingFolder() + "\\" + kLargestSample;
    LevelList levels;
    const double open = MedianMs([&] {
        const ByteArray image = ReadBytes(path);
        std::vector<int32_t> table;
        int32_t objects = 0;
        InitRomLayout(table, objects);
        DecodeLevels(image, IsLargeRomImage(image.size()), table, objects, levels);
    });

    OpenCartridge(editor, path);
    const int longest = LongestLevel(editor.cartridge.levels);
    const double select =
        MedianMs([&] { SelectLevel(editor.view, window, editor.cartridge.levels, longest); });

    SelectLevel(editor.view, window, editor.cartridge.levels, longest);
    const double place = MedianMs([&] { PlaceSuperTile(editor.view, window, editor.OpenLevels()); },
                                  [&] {
                                      editor.view.hover = HoverCell{1, 1, 1, 0, 0};
                                      editor.view.selectedTile =
                                          (editor.view.selectedTile + 1) % kSuperTileCount;
                                  });

    const double present = MedianMs([&] {
        window.EditorMainWindow.PaintWindowFrame(nullptr, toolkit::kKeepColour,
                                                 toolkit::kFrameComposeRedraw);
        window.EditorMainWindow.PresentWindow();
    });

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);

    std::printf("Medians of %d runs (%s, longest level %d of %zu, %d screens):\n", kRuns,
                kLargestSample, longest, editor.cartridge.levels.records.size(),
                LevelScreenCount(editor.cartridge.levels.records[longest - 1]));
    std::printf("  open and decode          %8.2f ms\n", open);
    std::printf("  SelectLevel (longest)    %8.2f ms\n", select);
    std::printf("  PlaceSuperTile           %8.2f ms\n", place);
    std::printf("  full present of window   %8.2f ms\n", present);
    std::printf("Peak working set %.1f MB, peak private bytes %.1f MB\n",
                memory.PeakWorkingSetSize / kBytesPerMegabyte,
                memory.PeakPagefileUsage / kBytesPerMegabyte);
    DestroyWindow(window.Handle());
    return 0;
}

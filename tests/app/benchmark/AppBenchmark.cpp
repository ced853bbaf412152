// Timings of the editor's heavy steps under Wine, as medians over repeated runs: opening and
// decoding the largest sample image, showing its longest level (pictures loaded, layers
// rendered, composed and shown), placing one super-tile through the map view's repaint and its
// push to the screen, one full present of the main window, and the render and compose cost per
// screen for levels of several lengths; then the process's peak memory. Beside the times it
// prints a bound measured in the same run, a memcpy of the composed picture, and each time's
// ratio to it, which is the figure that compares across machines. Run it with the program
// folder as working folder (see the README).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Editor.h"
#include "app/MainWindow.h"
#include "app/RunApplication.h"
#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/Toolkit.h"
#include "fileio/FileBytes.h"
#include "view/MapEditing.h"
#include "view/MapRendering.h"

namespace {

constexpr int kRuns = 15;
constexpr char kLargestSample[] = "SampleLarge.nes";
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
// The level lengths whose render and compose cost per screen is printed.
constexpr int kScreenCounts[] = {1, 3, 5, 12};
// A level kind whose screen count is its stored count as it is (neither outdoor, indoor nor a
// boss room), so that a level of any length can be made from the longest one.
constexpr int32_t kPlainCountKind = 2;
// The picker point SelectLevel picks its first super-tile at.
constexpr int32_t kFirstPickPoint = 2;

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

// The longest level cut or stretched to the number of screens (screens past its end repeat its
// last one).
LevelRecord LevelOfScreens(const LevelRecord& longest, int screens) {
    LevelRecord level = longest;
    level.kind = kPlainCountKind;
    level.baseScreenCount = screens;
    level.screens.resize(static_cast<size_t>(screens), longest.screens.back());
    return level;
}

void PrintStep(const char* name, double ms, double bound) {
    std::printf("  %-40s %8.2f ms  %7.1f x memcpy\n", name, ms, ms / bound);
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
    // The hover cell lies in the part of the map the view shows, so each placement is repainted
    // and pushed to the screen.
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

    // The parts of SelectLevel on their own, with the longest level.
    const LevelRecord& longestLevel = editor.cartridge.levels.records[longest - 1];
    const std::string folder = editor.view.pictureFolder;
    std::vector<SuperTilePicture> pictures;
    MapLayers layers;
    toolkit::PixelBitmap composed;
    toolkit::PixelBitmap picker;
    const double load =
        MedianMs([&] { LoadSuperTilePictures(folder, longestLevel.number, pictures); });
    const double render =
        MedianMs([&] { RenderLevelMap(longestLevel, pictures, editor.view.settings, layers); });
    const double compose = MedianMs(
        [&] { ComposeMapLayers(longestLevel, layers, editor.view.settings.separation, composed); });
    const double drawPicker =
        MedianMs([&] { DrawTilePicker(pictures, editor.view.settings, picker); });
    const double showMap = MedianMs([&] { window.SetMapPicture(editor.view.composed.Bitmap()); });
    const double pick = MedianMs([&] {
        OnImageClick(editor.view, window, editor.OpenLevels(), ImageTarget::TilePicker,
                     kFirstPickPoint, kFirstPickPoint, 0);
    });

    // Render and compose alone, per screen, with the longest level's pictures.
    std::vector<double> perScreen;
    for (const int screens : kScreenCounts) {
        const LevelRecord level = LevelOfScreens(longestLevel, screens);
        const double ms = MedianMs([&] {
            RenderLevelMap(level, editor.view.pictures, editor.view.settings, layers);
            ComposeMapLayers(level, layers, editor.view.settings.separation, composed);
        });
        perScreen.push_back(ms / screens);
    }

    // The bound: one memcpy of the composed picture of the longest level.
    const toolkit::ArgbPixels& shown = editor.view.composed.Pixels();
    const size_t composedBytes = static_cast<size_t>(shown.Stride()) * shown.Height();
    std::vector<std::uint8_t> copy(composedBytes);
    const double bound = MedianMs([&] { std::memcpy(copy.data(), shown.Data(), composedBytes); });

    std::printf("Medians of %d runs (%s, longest level %d of %zu, %d screens):\n", kRuns,
                kLargestSample, longest, editor.cartridge.levels.records.size(),
                LevelScreenCount(longestLevel));
    std::printf("  %-40s %8.2f ms  (%.2f MB)\n", "bound: memcpy of the composed picture", bound,
                composedBytes / kBytesPerMegabyte);
    PrintStep("open and decode", open, bound);
    PrintStep("SelectLevel (longest), shown", select, bound);
    PrintStep("  of which pictures loaded", load, bound);
    PrintStep("  of which layers rendered", render, bound);
    PrintStep("  of which layers composed", compose, bound);
    PrintStep("  of which map shown (repaint and push)", showMap, bound);
    PrintStep("  of which picker drawn", drawPicker, bound);
    PrintStep("  of which first super-tile picked", pick, bound);
    PrintStep("PlaceSuperTile, repainted and pushed", place, bound);
    PrintStep("full present of window", present, bound);
    for (size_t i = 0; i < perScreen.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "render and compose per screen, %2d screens",
                      kScreenCounts[i]);
        PrintStep(name, perScreen[i], bound);
    }
    std::printf(
        "Peak working set %.1f MB, peak private bytes %.1f MB (before the parts and\n"
        "the per-screen costs, which hold pictures of their own)\n",
        memory.PeakWorkingSetSize / kBytesPerMegabyte,
        memory.PeakPagefileUsage / kBytesPerMegabyte);
    DestroyWindow(window.Handle());
    return 0;
}

// The class-table initialisation of the editor: its global objects are made once, before the
// toolkit starts, and freed by the runtime's exit.
#include "app/Editor.h"

#include <cstdlib>

#include "app/Commands.h"
#include "app/EditorMessages.h"
#include "app/MainWindow.h"

namespace {

Editor* g_editor = nullptr;

void FreeEditorGlobals() {
    if (g_editor == nullptr) {
        return;
    }
    // Pictures are released before the objects that showed them; the window is gone by now.
    ReleaseViewPictures(g_editor->view);
    g_editor->introduction.reset();
    delete g_editor;
    g_editor = nullptr;
}

}  // namespace

Editor::Editor() : window(std::make_unique<MainWindow>()), showMessage(ShowEditorMessage) {}

Editor::~Editor() {
    if (window) {
        window->FreeObjects();
    }
}

LevelList* Editor::OpenLevels() {
    if (currentPath.empty() || cartridge.levels.records.empty()) {
        return nullptr;
    }
    return &cartridge.levels;
}

Editor& TheEditor() {
    return *g_editor;
}

void InitEditorGlobals() {
    if (g_editor != nullptr) {
        return;
    }
    g_editor = new Editor();
    std::atexit(FreeEditorGlobals);
}

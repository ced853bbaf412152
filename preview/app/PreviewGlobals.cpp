// The preview's global objects: made once before the toolkit starts, freed by the runtime's exit.
#include <cstdlib>
#include <initializer_list>

#include "app/Preview.h"

namespace {

Preview* g_preview = nullptr;

void FreePreviewGlobals() {
    if (g_preview == nullptr) {
        return;
    }
    // The window is gone by now; what the objects still own is released here.
    for (toolkit::Element* element : std::initializer_list<toolkit::Element*>{
             &g_preview->PreviewMapView, &g_preview->StageList, &g_preview->VerticalMapCheck,
             &g_preview->SaveMapLink, &g_preview->EnemyStrip, &g_preview->TileStrip}) {
        element->FreeMembers();
    }
    g_preview->PreviewMenu.FreeMembers();
    g_preview->PreviewWindow.FreeMembers();
    g_preview->aboutPicture.reset();
    delete g_preview;
    g_preview = nullptr;
}

}  // namespace

Preview& ThePreview() {
    return *g_preview;
}

void InitPreviewGlobals() {
    if (g_preview != nullptr) {
        return;
    }
    g_preview = new Preview();
    std::atexit(FreePreviewGlobals);
}

// The preview program's entry: its global objects, the toolkit, then the start-up routine, whose
// result is the exit code. The runtime's exit runs the teardown of the global objects.
#include <windows.h>

#include <cstdlib>

#include "app/Preview.h"
#include "foundation/Toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitPreviewGlobals();
    toolkit::InitToolkit();
    std::exit(PreviewStartUp());
}

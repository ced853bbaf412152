// The editor program's entry: its global objects, the toolkit, then the start-up routine, whose
// result is the exit code. The runtime's exit runs the teardown of the global objects.
#include <windows.h>

#include <cstdlib>

#include "app/Editor.h"
#include "app/RunApplication.h"
#include "foundation/Toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitEditorGlobals();
    toolkit::InitToolkit();
    std::exit(RunApplication(TheEditor()));
}

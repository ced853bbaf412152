// The end of a program that cannot go on: it ran out of memory, or a run-time error reached a
// place where nothing handles it (an exception on its way across a window procedure, an engine
// call or the program's entry). A system message box names the error's number, then the process
// ends at once with that number as its exit code; nothing of the program runs after the failure,
// so no half-done edit is saved or painted. InitToolkit installs both handlers, so both programs
// have them from their entry on.
#pragma once

#include <windows.h>

namespace toolkit {

// The box's texts, exactly as the users know them.
constexpr char kFatalErrorCaption[] = "error";
constexpr char kFatalErrorFormat[] = "program internal error number is %d. (0x%Xh)";

// Running out of memory is numbered with the system's own code for it, the one its allocators
// leave in GetLastError, so the number a user reports reads as the same failure anywhere.
constexpr int kOutOfMemoryError = ERROR_NOT_ENOUGH_MEMORY;
// Any other run-time error that ends the program: the system's code for an exception nothing
// handled (ERROR_UNHANDLED_EXCEPTION, which mingw-w64's headers lack).
constexpr int kUnhandledExceptionError = 574;

// Makes running out of memory (std::set_new_handler) and std::terminate end the program with the
// box. Called by InitToolkit; calling it again changes nothing.
void InstallFatalErrorHandlers();

// Shows the box with the number and ends the process with the number as its exit code. It takes
// no memory from the program's heap, so it also works when there is none left.
[[noreturn]] void EndWithFatalError(int number);

}  // namespace toolkit

// Support for the end-to-end test: the editor program started in its own copy of the program
// folder, found by its window, and driven only as a user drives it (pointer, keys, the system
// dialogs answered from outside).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/MainWindowLayout.h"

namespace e2e {

// How long one step (a window appearing, a dialog closing, the program going idle) may take.
constexpr DWORD kStepTimeoutMs = 20000;
// A stuck test ends the program under test and itself after this long.
constexpr DWORD kWatchdogMs = 240000;

// The program folder (the working folder) copied to a fresh folder under the temporary folder,
// removed again with the object.
class ProgramFolderCopy {
public:
    ProgramFolderCopy();
    ~ProgramFolderCopy();
    ProgramFolderCopy(const ProgramFolderCopy&) = delete;
    ProgramFolderCopy& operator=(const ProgramFolderCopy&) = delete;

    bool Ready() const { return m_ready; }
    const std::string& Path() const { return m_path; }
    // A file in the copy: path + "\" + name.
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
    bool m_ready = false;
};

// Which program to start, with what arguments, and the class of its main window.
struct ProgramStart {
    const char* program = "vennmark.exe";
    std::string arguments;
    const char* windowClass = "Ex_DirectUI";
};

// A program running in a folder, ended at the latest with the object.
class EditorProcess {
public:
    EditorProcess() = default;
    ~EditorProcess();
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    // Starts folder\program with folder as working folder and waits for its main window.
    bool Start(const std::string& folder, const ProgramStart& start = {});
    // Only starts it; false when the process could not be made.
    bool Launch(const std::string& folder, const ProgramStart& start = {});
    // The program's visible main window now, or null.
    HWND FindMainWindow() const;
    HWND MainWindow() const { return m_mainWindow; }
    // True when the program ended within the time; its exit code then goes to code.
    bool WaitForExit(DWORD timeoutMs, DWORD& code);

private:
    PROCESS_INFORMATION m_process{};
    std::string m_windowClass;
    HWND m_mainWindow = nullptr;
};

// Polls until the condition holds or the time runs out; returns the condition.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kStepTimeoutMs);
// Polls until find gives a window or the time runs out.
HWND WaitForWindow(const std::function<HWND()>& find, DWORD timeoutMs = kStepTimeoutMs);
bool WaitUntilGone(HWND window, DWORD timeoutMs = kStepTimeoutMs);
// A visible top-level window owned by owner for which accept holds, or null.
HWND FindOwnedWindow(HWND owner, const std::function<bool(HWND)>& accept);

// The system file dialog (it has the file-name box).
bool IsFileDialog(HWND window);
// The system's yes/no question (the overwrite prompt).
bool IsYesNoQuestion(HWND window);
// Any other window owned by the main window: the editor's message.
bool IsEditorMessage(HWND window);

// Types the path into the file dialog's name box and presses its OK button.
void AnswerFileDialog(HWND dialog, const std::string& path);
void AnswerYes(HWND question);
void CloseEditorMessage(HWND message);

// Returns once the window's thread has handled every message posted to it before (it finished
// what they caused, or sits in a modal loop they opened).
bool WaitIdle(HWND window);
// Puts the real pointer at a screen point without telling any window: the move a window hears
// is the one the test posts, in order with its other messages.
bool PutPointer(POINT screen);

// The pointer and the keyboard, as a user works them on the main window.
//
// Under Wine on X, a pointer event from the hardware side (SetCursorPos, SendInput) reaches the
// program through its X driver, at a moment of the X server's choosing and with the modifier
// keys as the X server knows them; it never saw the keys SendInput pressed, so Ctrl or Shift
// would read as up again. So the keys go through SendInput, and the pointer events are the
// window's own messages, posted at client coordinates. While no key is held the real pointer is
// put there first, so that the window never hears that the pointer left it.
class User {
public:
    explicit User(HWND mainWindow) : m_window(mainWindow) {}

    // The client point of a point of a control (element coordinates).
    POINT Client(const app::ControlPlace& place, int x, int y) const;
    // Puts the real pointer over a client point; only while no key is held.
    void RestPointer(POINT client) const;
    void MoveTo(POINT client);
    void Click(POINT client);
    // Presses the left button at one client point, moves to another and releases it there.
    void Drag(POINT from, POINT to);
    void KeyDown(WORD key);
    void KeyUp(WORD key);

private:
    void Settle() const;
    HWND m_window;
    WPARAM m_keyFlags = 0;  // MK_CONTROL, MK_SHIFT of the keys held
};

// The visible top-level windows of the process that owns window, with their children's texts:
// what a failed step leaves on screen.
std::string DescribeWindows(HWND window);

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace e2e

#include "EndToEndSupport.h"

#include "../support/WindowTestSupport.h"
#include "InputProbe.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>
#include <thread>
#include <vector>

namespace e2e {

namespace {

constexpr char kMainWindowTitle[] = "Vennmark";
using window_test::kDialogClass;
// The main window's theme puts the client area this far inside the window
// (SysShadow.HostWnd "margin" in tools/themes/layout.ini).
constexpr int kShadowMargin = 10;
constexpr DWORD kPollMs = 20;
// The HID usage of a mouse, to take it as raw input.
constexpr USHORT kGenericDesktopControls = 0x01;
constexpr USHORT kMouseUsage = 0x02;
// The program's GetAsyncKeyState answers "up" from a cache for up to 50 ms after it last asked.
// A span of the clock, not of the program's progress: no emulation stretches it.
constexpr DWORD kKeyStateCacheMs = 120;
constexpr UINT kWatchdogExitCode = 3;

HANDLE g_watchedProcess = nullptr;

void StartWatchdog() {
    static bool started = false;
    if (started) {
        return;
    }
    started = true;
    std::thread([] {
        Sleep(kWatchdogMs);
        if (g_watchedProcess != nullptr) {
            TerminateProcess(g_watchedProcess, kWatchdogExitCode);
        }
        ExitProcess(kWatchdogExitCode);
    }).detach();
}

bool CopyFolder(const std::string& from, const std::string& to) {
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string source = from + "\\" + name;
        const std::string target = to + "\\" + name;
        ok = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                 ? CopyFolder(source, target)
                 : CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct OwnedSearch {
    HWND owner;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK VisitOwned(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedSearch*>(context);
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
        (*search->accept)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct MainSearch {
    DWORD processId;
    const std::string* windowClass;
    HWND found;
};

BOOL CALLBACK VisitMain(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MainSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (processId == search->processId && GetWindow(window, GW_OWNER) == nullptr &&
        ClassOf(window) == *search->windowClass && std::string(title) == kMainWindowTitle &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void SendKey(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Hooks the input probe into the thread of the window, once a thread; gives the window's process.
bool ProbeThreadOf(HWND window, DWORD& processId) {
    static HMODULE library = nullptr;
    static HOOKPROC routine = nullptr;
    // By process and thread: a thread id may come again in a later program.
    static std::map<std::pair<DWORD, DWORD>, HHOOK> hooks;
    if (library == nullptr) {
        char path[MAX_PATH] = {};
        std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
        folder.erase(folder.find_last_of('\\') + 1);
        library = LoadLibraryA((folder + input_probe::kLibraryName).c_str());
        if (library == nullptr) {
            return false;
        }
        routine = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(GetProcAddress(library, input_probe::kHookRoutine)));
    }
    const DWORD thread = GetWindowThreadProcessId(window, &processId);
    if (routine == nullptr || thread == 0) {
        return false;
    }
    const std::pair<DWORD, DWORD> key{processId, thread};
    if (hooks.count(key) == 0) {
        const HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, routine, library, thread);
        if (hook == nullptr) {
            return false;
        }
        hooks[key] = hook;
    }
    return true;
}

// Waits for an event the probe sets, answering what the program sends this thread meanwhile:
// the hook made it one with a message queue, and the program may tell it, for one, that another
// window became active. Without an answer the program would wait for the test.
bool WaitForProbe(HANDLE event, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (DWORD spent = 0; spent < timeoutMs; spent = GetTickCount() - start) {
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - spent, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1) {
            return woke == WAIT_OBJECT_0;
        }
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return false;
}

UINT MarkerMessage() {
    static const UINT marker = RegisterWindowMessageA(input_probe::kMarkerMessage);
    return marker;
}

struct Description {
    DWORD processId;
    std::string text;
};

BOOL CALLBACK DescribeChild(HWND window, LPARAM context) {
    auto* description = reinterpret_cast<Description*>(context);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    description->text += "    child " + ClassOf(window) + " id " +
                         std::to_string(GetDlgCtrlID(window)) + " \"" + text + "\"\n";
    return TRUE;
}

BOOL CALLBACK DescribeTop(HWND window, LPARAM context) {
    auto* description = reinterpret_cast<Description*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != description->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    char line[512];
    std::snprintf(line, sizeof line, "window %p %s \"%s\" owner %p\n", static_cast<void*>(window),
                  ClassOf(window).c_str(), text, static_cast<void*>(GetWindow(window, GW_OWNER)));
    description->text += line;
    EnumChildWindows(window, DescribeChild, context);
    return TRUE;
}

}  // namespace

std::string DescribeWindows(HWND window) {
    Description description{0, std::string()};
    GetWindowThreadProcessId(window, &description.processId);
    EnumWindows(DescribeTop, reinterpret_cast<LPARAM>(&description));
    return description.text;
}

ProgramFolderCopy::ProgramFolderCopy() {
    char temp[MAX_PATH] = {};
    char current[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, current);
    m_path = std::string(temp) + "vennmark-e2e-" + std::to_string(GetCurrentProcessId());
    RemoveTree(m_path);
    m_ready = CopyFolder(current, m_path);
}

ProgramFolderCopy::~ProgramFolderCopy() {
    RemoveTree(m_path);
}

EditorProcess::~EditorProcess() {
    if (m_process.hProcess != nullptr) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, kWatchdogExitCode);
        }
        g_watchedProcess = nullptr;
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

bool EditorProcess::Launch(const std::string& folder, const ProgramStart& start) {
    StartWatchdog();
    m_windowClass = start.windowClass;
    std::string commandLine = "\"" + folder + "\\" + start.program + "\"";
    if (!start.arguments.empty()) {
        commandLine += " " + start.arguments;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &m_process)) {
        return false;
    }
    g_watchedProcess = m_process.hProcess;
    return true;
}

HWND EditorProcess::FindMainWindow() const {
    MainSearch search{m_process.dwProcessId, &m_windowClass, nullptr};
    EnumWindows(VisitMain, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool EditorProcess::Start(const std::string& folder, const ProgramStart& start) {
    if (!Launch(folder, start)) {
        return false;
    }
    WaitForInputIdle(m_process.hProcess, kStepTimeoutMs);
    m_mainWindow = WaitForWindow([this] { return FindMainWindow(); });
    return m_mainWindow != nullptr;
}

bool EditorProcess::WaitForExit(DWORD timeoutMs, DWORD& code) {
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    return GetExitCodeProcess(m_process.hProcess, &code) != 0;
}

HWND WaitForWindow(const std::function<HWND()>& find, DWORD timeoutMs) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = find()) != nullptr; }, timeoutMs);
    return window;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    // A dialog that ended may linger hidden for a moment before it is destroyed.
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

HWND FindOwnedWindow(HWND owner, const std::function<bool(HWND)>& accept) {
    OwnedSearch search{owner, &accept, nullptr};
    EnumWindows(VisitOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsFileDialog(HWND window) {
    return window_test::IsFileDialog(window);
}

bool IsYesNoQuestion(HWND window) {
    return ClassOf(window) == kDialogClass && GetDlgItem(window, IDYES) != nullptr &&
           GetDlgItem(window, IDNO) != nullptr;
}

bool IsEditorMessage(HWND window) {
    return !IsFileDialog(window) && !IsYesNoQuestion(window);
}

void AnswerFileDialog(HWND dialog, const std::string& path) {
    window_test::AnswerFileDialog(dialog, path);
}

void AnswerYes(HWND question) {
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
}

void CloseEditorMessage(HWND message) {
    if (ClassOf(message) == kDialogClass) {
        PostMessageA(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else {
        PostMessageA(message, WM_CLOSE, 0, 0);
    }
}

bool WaitIdle(HWND window) {
    // A message sent to the window would overtake those posted before it; a posted marker is
    // taken only after them, and the probe says when.
    DWORD process = 0;
    if (!ProbeThreadOf(window, process)) {
        return false;
    }
    const std::string name = input_probe::kMarkerEvent + std::to_string(process);
    const HANDLE taken = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    const bool handled = taken != nullptr && PostMessageA(window, MarkerMessage(), 0, 0) &&
                         WaitForProbe(taken, kStepTimeoutMs);
    if (taken != nullptr) {
        CloseHandle(taken);
    }
    return handled;
}

bool PutPointer(POINT screen) {
    // Wine queues a move for the window under the pointer whenever a program sets the pointer,
    // and the window's thread takes it only once no posted message waits, so it would come
    // after the test's next messages, or never when a modal loop has disabled that window. A
    // process that takes the mouse as raw input, without the usual messages, sets the pointer
    // without that move; the test posts the move itself, in order with its other messages.
    static const bool registered = [] {
        RAWINPUTDEVICE mouse{};
        mouse.usUsagePage = kGenericDesktopControls;
        mouse.usUsage = kMouseUsage;
        mouse.dwFlags = RIDEV_NOLEGACY;
        return RegisterRawInputDevices(&mouse, 1, sizeof mouse) != 0;
    }();
    return registered && SetCursorPos(screen.x, screen.y) != 0;
}

POINT User::Client(const app::ControlPlace& place, int x, int y) const {
    return {kShadowMargin + place.x + x, kShadowMargin + place.y + y};
}

void User::Settle() const {
    EXPECT_TRUE(WaitIdle(m_window)) << "the program did not take what was posted to it";
}

void User::RestPointer(POINT client) const {
    POINT screen = client;
    ClientToScreen(m_window, &screen);
    EXPECT_TRUE(PutPointer(screen)) << "the pointer could not be put there";
}

void User::MoveTo(POINT client) {
    if (m_keyFlags == 0) {
        RestPointer(client);
    }
    PostMessageA(m_window, WM_MOUSEMOVE, m_keyFlags, MAKELPARAM(client.x, client.y));
    Settle();
}

void User::Click(POINT client) {
    MoveTo(client);
    PostMessageA(m_window, WM_LBUTTONDOWN, m_keyFlags | MK_LBUTTON, MAKELPARAM(client.x, client.y));
    Settle();
    PostMessageA(m_window, WM_LBUTTONUP, m_keyFlags, MAKELPARAM(client.x, client.y));
    Settle();
}

void User::Drag(POINT from, POINT to) {
    MoveTo(from);
    PostMessageA(m_window, WM_LBUTTONDOWN, m_keyFlags | MK_LBUTTON, MAKELPARAM(from.x, from.y));
    Settle();
    MoveTo(to);
    PostMessageA(m_window, WM_LBUTTONUP, m_keyFlags, MAKELPARAM(to.x, to.y));
    Settle();
}

void User::KeyDown(WORD key) {
    SendKey(key, 0);
    m_keyFlags |= key == VK_CONTROL ? MK_CONTROL : key == VK_SHIFT ? MK_SHIFT : 0;
    Sleep(kKeyStateCacheMs);
}

void User::KeyUp(WORD key) {
    SendKey(key, KEYEVENTF_KEYUP);
    m_keyFlags &= ~static_cast<WPARAM>(key == VK_CONTROL ? MK_CONTROL
                                       : key == VK_SHIFT ? MK_SHIFT
                                                         : 0);
    Sleep(kKeyStateCacheMs);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace e2e

// The system's open and save dialogs, as both programs show them.
#pragma once

#include <windows.h>

#include <string>

struct FileDialogRequest {
    HWND owner = nullptr;
    const char* filter = "";  // display names and patterns separated by "|"
    const char* defaultExtension = nullptr;
    std::string title;              // GBK
    bool useInitialFolder = false;  // start in initialFolder rather than the remembered one
    std::string initialFolder;
    bool save = false;
    bool overwritePrompt = false;  // save only: ask before replacing an existing file
};

// The chosen path, or the empty text when the dialog was cancelled. rememberedFolder is where
// a dialog starts unless told otherwise: the program folder at first, afterwards the folder of
// the last name the dialog held (also after a cancel).
std::string ShowFileDialog(const FileDialogRequest& request, std::string& rememberedFolder);

// The filter as the dialogs take it: every "|" a NUL, and a second NUL at the end.
std::string DialogFilter(const char* filter);
// The name up to and including its last "\"; empty when it holds none.
std::string FolderOfName(const std::string& name);

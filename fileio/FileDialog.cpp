#include "fileio/FileDialog.h"

#include <commdlg.h>

#include <vector>

#include "fileio/ProgramFolder.h"

namespace {

// Asked before a save dialog replaces an existing file.
constexpr char kOverwritePrompt[] = "文件已存在，是否替换？";

// Room for any path the dialogs hand back (they refuse a name that does not fit).
constexpr DWORD kDialogNameChars = 4096;
static_assert(kDialogNameChars >= MAX_PATH, "a dialog buffer holds at least one full path");

}  // namespace

std::string DialogFilter(const char* filter) {
    std::string result = filter != nullptr ? filter : "";
    for (char& c : result) {
        if (c == '|') {
            c = '\0';
        }
    }
    // std::string's own terminator is the second NUL.
    result.push_back('\0');
    return result;
}

std::string FolderOfName(const std::string& name) {
    const std::size_t slash = name.find_last_of('\\');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string ShowFileDialog(const FileDialogRequest& request, std::string& rememberedFolder) {
    if (rememberedFolder.empty()) {
        rememberedFolder = ProgramFolder();
    }
    const std::string filter = DialogFilter(request.filter);
    const std::string initialFolder =
        request.useInitialFolder ? request.initialFolder : rememberedFolder;
    std::vector<char> name(kDialogNameChars, '\0');
    std::vector<char> title(kDialogNameChars, '\0');

    for (;;) {
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = request.owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.lpstrFile = name.data();
        dialog.nMaxFile = kDialogNameChars;
        dialog.lpstrFileTitle = title.data();
        dialog.nMaxFileTitle = kDialogNameChars;
        dialog.lpstrInitialDir = initialFolder.c_str();
        dialog.lpstrTitle = request.title.c_str();
        dialog.Flags = 0;
        dialog.lpstrDefExt = request.defaultExtension;
        const BOOL chosen = request.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
        const std::string path(name.data());
        rememberedFolder = FolderOfName(path);
        if (!chosen) {
            return std::string();
        }
        if (!request.save || !request.overwritePrompt ||
            GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return path;
        }
        if (MessageBoxA(request.owner, kOverwritePrompt, request.title.c_str(),
                        MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
            return path;
        }
    }
}

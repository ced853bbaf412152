#include "app/EditorMessages.h"

#include "app/AppTexts.h"
#include "core/MessageBox.h"

int ShowEditorMessage(HWND owner, const std::string& text, MessageIcon icon) {
    return toolkit::ToolkitMessageBox(owner, text.c_str(), toolkit::kMessageBoxOk,
                                      app::kMessageTitle, icon);
}

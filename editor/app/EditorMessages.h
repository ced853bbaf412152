// The one road by which the editor shows a message to the user.
#pragma once

#include <windows.h>

#include <string>

#include "app/Editor.h"

// A modal message box on the owner window, titled "Vennmark", with one button; returns when the
// user closed it.
int ShowEditorMessage(HWND owner, const std::string& text, MessageIcon icon);

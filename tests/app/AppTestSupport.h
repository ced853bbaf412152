// Support for the in-process tests of the editor: the toolkit and the engine started as the
// program starts them, the editor's globals, and a main window built afresh for every test
// with the English captions and the program folder's pictures. The editor's messages are
// recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/MainWindow.h"

namespace app_test {

struct ShownMessage {
    std::string text;
    MessageIcon icon;
};

// The program folder (the tests' working folder), without a trailing "\".
std::string ProgramFolderPath();
// A file of the program folder or of the generated test data.
std::string ProgramFile(const std::string& name);
std::string TestDataFile(const std::string& name);
std::string ReadFile(const std::string& path);
ByteArray ReadBytes(const std::string& path);

// The item texts of an SRect_Ex.
std::vector<std::wstring> Items(const controls::SRect_Ex& rect);
std::wstring Wide(const std::string& text);

class EditorTest : public ::testing::Test {
public:
    // What the editor showed during the test, in order.
    static std::vector<ShownMessage> s_messages;

protected:
    void SetUp() override;
    void TearDown() override;

    // Builds a new main window from the editor's current texts and pictures.
    void RebuildWindow();
    Editor& editor() { return TheEditor(); }
    MainWindow& window() { return *TheEditor().window; }
    const std::string& Text(settings::LanguageText key) { return editor().Text(key); }

private:
    void DestroyWindow();
};

}  // namespace app_test

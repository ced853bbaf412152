// The XML document: node paths, attributes, node edits, saving and bad input.
#include "foundation/XmlDocument.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace toolkit {
namespace {

// A layout-like document: a root with attributes, a leaf, a nested child and a text child.
constexpr char kLayout[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<Window title=\"主窗口\" width=\"300\">"
    "<Label id=\"first\" text=\"a,b\"/>"
    "<Button id=\"second\"><Label id=\"inner\"/></Button>"
    "<Note>hello</Note>"
    "</Window>";
constexpr std::int32_t kRootChildren = 3;

std::string AttributeOf(const XmlDocument& document, const std::string& path,
                        const std::string& name) {
    std::string value;
    document.GetAttribute(path, name, value);
    return value;
}

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

class XmlDocumentTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_document.LoadXml(kLayout)); }
    XmlDocument m_document;
};

TEST_F(XmlDocumentTest, PathsFindNodes) {
    struct Case {
        const char* path;
        const char* id;  // empty: no node
    };
    const Case cases[] = {
        {"@1/@1", "first"},
        {"@1/@2", "second"},
        {"@1/@2/@1", "inner"},
        {"/Label", "first"},
        {"Window/Button", "second"},
        {"@1/Button/Label", "inner"},
        {"@1/@4", ""},
        {"@1/@0", ""},
        {"@1/@x", ""},
        {"@1/Missing/@1", ""},
        {"@9/@1", ""},
        {"@1/@1/@1/@1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AttributeOf(m_document, c.path, "id"), c.id);
    }
    EXPECT_EQ(m_document.RootName(), "Window");
    EXPECT_EQ(m_document.ChildCount("@1"), kRootChildren);
    EXPECT_EQ(m_document.ParentName("@1/@2/@1"), "Button");
    EXPECT_FALSE(m_document.ResolveXmlNodePath("@1/@4"));
}

TEST_F(XmlDocumentTest, ATextNodeAtAPositionMovesTheChoiceOneFurther) {
    ASSERT_TRUE(m_document.LoadXml("<r><a id=\"A\"/>text<b id=\"B\"/></r>"));
    // With no declaration the root is the document's child 0.
    EXPECT_EQ(m_document.GetChildValue("@0", 1), "text");
    std::vector<std::string> names;
    EXPECT_EQ(m_document.GetChildNames("@0", &names), 3);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "#text", "b"}));
    EXPECT_EQ(m_document.ParentName("@0/@1"), "r");
    EXPECT_EQ(AttributeOf(m_document, "@0/@1", "id"), "A");
    EXPECT_EQ(AttributeOf(m_document, "@0/@2", "id"), "B");
}

TEST_F(XmlDocumentTest, AttributesByNameAndPosition) {
    EXPECT_EQ(AttributeOf(m_document, "@1", "title"), "主窗口");
    EXPECT_EQ(AttributeOf(m_document, "@1", "@2"), "300");
    EXPECT_EQ(AttributeOf(m_document, "@1", "@3"), "");
    EXPECT_EQ(AttributeOf(m_document, "@1", "@0"), "");
    EXPECT_EQ(AttributeOf(m_document, "@1/@1", "text"), "a,b");
    std::vector<std::string> names;
    std::vector<std::string> values;
    EXPECT_EQ(m_document.GetAttributes("@1", &names, &values), 2);
    EXPECT_EQ(names, (std::vector<std::string>{"title", "width"}));
    EXPECT_EQ(values, (std::vector<std::string>{"主窗口", "300"}));
    EXPECT_EQ(m_document.GetAttributes("@1/@1", nullptr, nullptr), 2);

    EXPECT_TRUE(m_document.SetAttribute("@1/@1", "colour", "红"));
    EXPECT_EQ(AttributeOf(m_document, "@1/@1", "colour"), "红");
    EXPECT_TRUE(m_document.SetAttributeText("@1/@1", "id", "renamed"));
    EXPECT_EQ(AttributeOf(m_document, "@1/@1", "id"), "renamed");
    EXPECT_FALSE(m_document.SetAttributeText("@1/@1", "absent", "x"));
    EXPECT_TRUE(m_document.RemoveAttribute("@1/@1", "colour"));
    EXPECT_EQ(m_document.AttributeCount("@1/@1"), 2);
    EXPECT_FALSE(m_document.SetAttribute("@1/@7", "id", "x"));
}

TEST_F(XmlDocumentTest, NodeEdits) {
    EXPECT_EQ(m_document.GetChildValue("@1/Note", 0), "hello");
    EXPECT_TRUE(m_document.SetNodeValue("@1/Note", "changed"));
    EXPECT_EQ(m_document.GetChildValue("@1/Note", 0), "changed");
    EXPECT_FALSE(m_document.SetNodeValue("@1/@1", "a leaf has no child"));

    EXPECT_TRUE(m_document.AddNode("@1/@2", "Edit", "typed"));
    EXPECT_EQ(m_document.GetChildValue("@1/@2/Edit", 0), "typed");
    EXPECT_TRUE(m_document.AddNode("Button", "Edit", "raw <data>", true));
    EXPECT_EQ(m_document.GetChildValue("@1/@2/Edit", 1), "raw <data>");
    EXPECT_FALSE(m_document.AddNode("@1/@9", "Edit", "x"));

    EXPECT_TRUE(m_document.RemoveNode("@1/@3"));
    EXPECT_EQ(m_document.ChildCount("@1"), kRootChildren - 1);
    EXPECT_FALSE(m_document.RemoveNode("@1/@9"));
}

// The renamed node keeps its attributes even when an earlier sibling already has the new name.
TEST_F(XmlDocumentTest, RenameKeepsThePositionAndAttributes) {
    ASSERT_TRUE(m_document.New("Root"));
    ASSERT_TRUE(m_document.AddNode("@1", "Label", "one"));
    ASSERT_TRUE(m_document.AddNode("@1", "Button", "two"));
    ASSERT_TRUE(m_document.SetAttribute("@1/@1", "id", "1"));
    ASSERT_TRUE(m_document.SetAttribute("@1/@2", "id", "2"));
    EXPECT_TRUE(m_document.RenameNode("@1/@2", "Label"));
    std::vector<std::string> names;
    m_document.GetChildNames("@1", &names);
    EXPECT_EQ(names, (std::vector<std::string>{"Label", "Label"}));
    EXPECT_EQ(AttributeOf(m_document, "@1/@1", "id"), "1");
    EXPECT_EQ(AttributeOf(m_document, "@1/@2", "id"), "2");
    EXPECT_EQ(m_document.GetChildValue("@1/@2", 0), "two");
    EXPECT_FALSE(m_document.RenameNode("@1/@5", "Label"));
}

TEST_F(XmlDocumentTest, SaveAndLoadRoundTrip) {
    const std::string path = TempFile("vennmark-xmlimg-round-trip.xml");
    DeleteFileA(path.c_str());
    ASSERT_TRUE(m_document.Save(path));
    XmlDocument loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.Xml(), m_document.Xml());
    EXPECT_EQ(AttributeOf(loaded, "@1", "title"), "主窗口");
    EXPECT_FALSE(loaded.Url().empty());

    // Without a path the document goes back where it came from.
    ASSERT_TRUE(loaded.SetAttribute("@1", "width", "640"));
    ASSERT_TRUE(loaded.Save());
    XmlDocument reloaded;
    ASSERT_TRUE(reloaded.Load(path));
    EXPECT_EQ(AttributeOf(reloaded, "@1", "width"), "640");
    DeleteFileA(path.c_str());
}

TEST_F(XmlDocumentTest, ACloneSharesTheDocument) {
    XmlDocument clone(m_document);
    ASSERT_TRUE(clone.SetAttribute("@1", "width", "1"));
    EXPECT_EQ(AttributeOf(m_document, "@1", "width"), "1");
    m_document.Clear();
    EXPECT_EQ(clone.RootName(), "Window");
}

// Saving to an empty path says why in a message box (closed here by a second thread) and fails.
TEST_F(XmlDocumentTest, SavingWithoutAPathAsksForOne) {
    constexpr DWORD kPollMs = 20;
    constexpr int kPollLimit = 250;
    std::atomic<bool> shown{false};
    std::thread closer([&shown] {
        for (int i = 0; i < kPollLimit; ++i) {
            if (HWND box = FindWindowA("#32770", nullptr)) {
                shown = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(kPollMs);
        }
    });
    EXPECT_FALSE(m_document.Save(std::string()));
    closer.join();
    EXPECT_TRUE(shown);
}

TEST(XmlDocument, BadInputFailsQuietly) {
    XmlDocument document;
    // Nothing loaded yet.
    EXPECT_EQ(document.RootName(), "");
    EXPECT_EQ(document.ChildCount("@1"), 0);
    EXPECT_FALSE(document.SetAttribute("@1", "a", "b"));
    EXPECT_FALSE(document.AddNode("@1", "a", "b"));
    EXPECT_FALSE(document.RenameNode("@1", "a"));
    EXPECT_TRUE(document.Xml().empty());
    EXPECT_FALSE(document.Save(TempFile("vennmark-xmlimg-never.xml")));

    for (const char* bad : {"<a><b></a>", "", "not xml at all", "<a attr=\"x></a>"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(document.LoadXml(bad));
        EXPECT_EQ(document.RootName(), "");
        EXPECT_EQ(document.AttributeCount("@1"), 0);
        std::string value = "stale";
        EXPECT_FALSE(document.GetAttribute("@1", "id", value));
        EXPECT_EQ(value, "");
    }
    EXPECT_FALSE(document.Load(TempFile("vennmark-xmlimg-missing.xml")));
    // A good document loads after the failures.
    EXPECT_TRUE(document.LoadXml(kLayout));
    EXPECT_EQ(document.RootName(), "Window");
}

TEST(NullInterfaceObject, AnswersEveryCallWithNothing) {
    NullInterfaceObject object;
    EXPECT_EQ(object.Self(), &object);
    NullInterfaceObject copy = object.Clone();
    EXPECT_EQ(copy.Self(), &copy);

    void* found = &object;
    EXPECT_EQ(object.QueryInterface(IID_IDispatch, &found), E_NOTIMPL);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(object.AddRef(), 0u);
    EXPECT_EQ(object.Release(), 0u);
    UINT count = 1;
    EXPECT_EQ(object.GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(&object);
    EXPECT_EQ(object.GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    DISPID id = 0;
    EXPECT_EQ(object.GetIDsOfNames(IID_NULL, nullptr, 0, 0, &id), E_NOTIMPL);
    EXPECT_EQ(object.Invoke(0, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_NOTIMPL);
    EXPECT_EQ(object.GetDispID(nullptr, 0, &id), E_NOTIMPL);
    EXPECT_EQ(object.InvokeEx(0, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_NOTIMPL);
    EXPECT_EQ(object.DeleteMemberByName(nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(object.DeleteMemberByDispID(0), E_NOTIMPL);
    DWORD properties = 0;
    EXPECT_EQ(object.GetMemberProperties(0, 0, &properties), E_NOTIMPL);
    BSTR name = nullptr;
    EXPECT_EQ(object.GetMemberName(0, &name), E_NOTIMPL);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(object.GetNextDispID(0, 0, &id), E_NOTIMPL);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

}  // namespace
}  // namespace toolkit

// XmlDocument: the system's XML document object ("Microsoft.XMLDOM"), driven late-bound by member
// name, with nodes addressed by text paths (ResolveXmlNodePath). The layout loader reads window
// layouts through it.
//
// Texts in and out are GBK. Every operation on a document that is not loaded, or on a path that
// finds no node, yields an empty result, 0 or false; only Save shows a message. The operations
// are declared in slot order.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <servprov.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/CheckedMemory.h"
#include "foundation/Win32Handles.h"

namespace toolkit {

// The ProgID of the document object.
constexpr wchar_t kXmlDomProgId[] = L"Microsoft.XMLDOM";
// Shown by Save when it is given no file to save to.
constexpr char kSaveNeedsPathMessage[] = "导出到文件() 命令需要提供在保存的文件位置";

using DispatchPtr = ComPtr<IDispatch>;

class XmlDocument {
public:
    // Each document holds COM open on its thread for as long as it lives.
    XmlDocument();
    // The clone: one more reference to the same document object.
    XmlDocument(const XmlDocument& other);
    XmlDocument& operator=(const XmlDocument&) = delete;
    ~XmlDocument();

    void Clear();
    // A document holding only the XML declaration and an empty root element of that name.
    bool New(const std::string& rootName);
    DispatchPtr Object() const { return m_dom; }
    // Each load starts from a new document object; the result says whether it parsed.
    bool Load(const std::string& path);
    bool LoadXml(const std::string& text);
    // Without a path the document is saved where it was loaded from. No path to save to shows
    // kSaveNeedsPathMessage and returns false.
    bool Save(const std::optional<std::string>& path = std::nullopt);
    std::string Text() const;
    // The document as XML text, GBK bytes.
    ByteArray Xml() const;
    bool SetAttributeText(const std::string& path, const std::string& name,
                          const std::string& value);
    // The value of the node's first child (its text).
    bool SetNodeValue(const std::string& path, const std::string& value);
    // Replaces the node by a new element of that name carrying the node's attributes and text
    // (its child elements are not carried over); true when the node was replaced.
    bool RenameNode(const std::string& path, const std::string& newName);
    // Appends an element (or, with cdata, a CDATA section to the element path/name) holding the
    // value; true when a node was appended.
    bool AddNode(const std::string& path, const std::string& name, const std::string& value,
                 bool cdata = false);
    bool RemoveNode(const std::string& path);
    bool SetAttribute(const std::string& path, const std::string& name, const std::string& value);
    bool RemoveAttribute(const std::string& path, const std::string& name);
    std::string Url() const;
    // name is an attribute name, or "@" and its 1-based position. True when the value is not
    // empty.
    bool GetAttribute(const std::string& path, const std::string& name, std::string& value) const;
    // Names and values in document order (either may be null); the count.
    std::int32_t GetAttributes(const std::string& path, std::vector<std::string>* names,
                               std::vector<std::string>* values) const;
    std::int32_t AttributeCount(const std::string& path) const;
    // The value of child index (0-based, as the document object counts).
    std::string GetChildValue(const std::string& path, std::int32_t index) const;
    std::int32_t GetChildNames(const std::string& path, std::vector<std::string>* names) const;
    std::int32_t ChildCount(const std::string& path) const;
    std::string RootName() const;
    std::string ParentName(const std::string& path) const;
    DispatchPtr DocumentElement() const;
    DispatchPtr ParentNode(const std::string& path) const;
    // Segments split at "/". "@N" picks a child by 1-based position (the first segment: the
    // document's child N, the XML declaration being child 0), moving one further when a text
    // node stands at that position; an empty first segment is the document's element after the
    // declaration; any other segment is an XPath step. Empty when a step finds nothing.
    DispatchPtr ResolveXmlNodePath(const std::string& path) const;
    DispatchPtr CloneNode(IDispatch* node, bool deep = true) const;
    bool ReplaceChild(IDispatch* parent, IDispatch* newChild, IDispatch* oldChild) const;

private:
    bool CreateDom();

    bool m_comStarted = false;
    DispatchPtr m_dom;
};

// NullInterfaceObject: an automation object that answers every call with nothing, for a caller
// that needs an object where there is none. Its operations, in slot order (the first three are
// the shared object slots), do nothing: the reference counts answer 0 and every other call
// E_NOTIMPL; the two extended calls forward to their plain twins. It has no other behaviour.
class NullInterfaceObject {
public:
    static constexpr std::uint32_t kOperationCount = 17;

    void FreeMembers() {}
    // The clone copies the whole object.
    NullInterfaceObject Clone() const { return *this; }
    NullInterfaceObject* Self() { return this; }
    HRESULT QueryInterface(REFIID, void** object);
    ULONG AddRef() { return 0; }
    ULONG Release() { return 0; }
    HRESULT GetTypeInfoCount(UINT* count);
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info);
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
        return E_NOTIMPL;
    }
    HRESULT GetDispID(BSTR, DWORD, DISPID*) { return E_NOTIMPL; }
    HRESULT InvokeEx(DISPID id, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                     EXCEPINFO* exception, IServiceProvider*);
    HRESULT DeleteMemberByName(BSTR, DWORD) { return E_NOTIMPL; }
    HRESULT DeleteMemberByDispID(DISPID) { return E_NOTIMPL; }
    HRESULT GetMemberProperties(DISPID, DWORD, DWORD*) { return E_NOTIMPL; }
    HRESULT GetMemberName(DISPID, BSTR*) { return E_NOTIMPL; }
    HRESULT GetNextDispID(DWORD flags, DISPID, DISPID* next);
};

}  // namespace toolkit

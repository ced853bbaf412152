#include "foundation/XmlDocument.h"

#include <oleauto.h>
#include <shlwapi.h>

#include <cstdlib>
#include <initializer_list>

#include "foundation/TextCodec.h"

namespace toolkit {
namespace {

// One owned VARIANT argument or result.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    explicit Variant(const std::string& text) : Variant() {
        const std::wstring wide = ToWideString(text);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    explicit Variant(std::int32_t number) : Variant() {
        m_value.vt = VT_I4;
        m_value.lVal = number;
    }
    explicit Variant(bool flag) : Variant() {
        m_value.vt = VT_BOOL;
        m_value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    }
    explicit Variant(IDispatch* object) : Variant() {
        m_value.vt = VT_DISPATCH;
        m_value.pdispVal = object;
        if (object != nullptr) {
            object->AddRef();
        }
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_value); }

    VARIANT* get() { return &m_value; }
    const VARIANT& value() const { return m_value; }

private:
    VARIANT m_value;
};

using Arguments = std::initializer_list<const Variant*>;

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

// Calls a member by name. Arguments are given in their natural order; IDispatch takes them last
// first. True when the member exists and the call raised no error.
bool InvokeMember(IDispatch* object, const wchar_t* name, WORD flags, Arguments arguments,
                  VARIANT* result) {
    if (object == nullptr) {
        return false;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return false;
    }
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) {
        reversed.push_back((*it)->value());
    }
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID namedPut = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &namedPut;
        params.cNamedArgs = 1;
    }
    EXCEPINFO error{};
    UINT badArgument = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                      &error, &badArgument);
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrHelpFile);
    return SUCCEEDED(hr);
}

// The object a member returns; empty when it returns none.
DispatchPtr GetObject(IDispatch* object, const wchar_t* name, Arguments arguments = {}) {
    Variant result;
    if (!InvokeMember(object, name, kGet, arguments, result.get()) ||
        result.value().vt != VT_DISPATCH) {
        return {};
    }
    DispatchPtr value(result.get()->pdispVal);
    result.get()->vt = VT_EMPTY;  // the reference now belongs to value
    return value;
}

// A member's value as text; a null value or a failed call gives an empty text.
std::string GetText(IDispatch* object, const wchar_t* name, Arguments arguments = {}) {
    Variant result;
    if (!InvokeMember(object, name, kGet, arguments, result.get()) ||
        FAILED(VariantChangeType(result.get(), result.get(), 0, VT_BSTR)) ||
        result.value().bstrVal == nullptr) {
        return {};
    }
    const BSTR text = result.value().bstrVal;
    return FromWideString(std::wstring_view(text, SysStringLen(text)));
}

std::int32_t GetNumber(IDispatch* object, const wchar_t* name) {
    Variant result;
    if (!InvokeMember(object, name, kGet, {}, result.get()) ||
        FAILED(VariantChangeType(result.get(), result.get(), 0, VT_I4))) {
        return 0;
    }
    return result.value().lVal;
}

bool GetFlag(IDispatch* object, const wchar_t* name, Arguments arguments) {
    Variant result;
    return InvokeMember(object, name, kGet, arguments, result.get()) &&
           SUCCEEDED(VariantChangeType(result.get(), result.get(), 0, VT_BOOL)) &&
           result.value().boolVal != VARIANT_FALSE;
}

bool Put(IDispatch* object, const wchar_t* name, const Variant& value) {
    return InvokeMember(object, name, DISPATCH_PROPERTYPUT, {&value}, nullptr);
}

bool Call(IDispatch* object, const wchar_t* name, Arguments arguments) {
    Variant result;
    return InvokeMember(object, name, DISPATCH_METHOD, arguments, result.get());
}

DispatchPtr ChildAt(IDispatch* node, std::int32_t index) {
    const Variant position(index);
    return GetObject(GetObject(node, L"childNodes").get(), L"Item", {&position});
}

// The number after "@", read as far as it goes; no digits read as 0.
std::int32_t PositionOf(const std::string& segment) {
    return static_cast<std::int32_t>(std::strtol(segment.c_str() + 1, nullptr, 10));
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        segments.push_back(path.substr(start, slash - start));
        if (slash == std::string::npos) {
            return segments;
        }
        start = slash + 1;
    }
}

// The document's "url" is a "file:" URL, which "save" refuses; it wants the file's path.
std::string FilePathOfUrl(const std::string& url) {
    const std::wstring wide = ToWideString(url);
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (FAILED(PathCreateFromUrlW(wide.c_str(), path, &length, 0))) {
        return url;
    }
    return FromWideString(path);
}

}  // namespace

XmlDocument::XmlDocument() : m_comStarted(SUCCEEDED(CoInitialize(nullptr))) {}

XmlDocument::XmlDocument(const XmlDocument& other)
    : m_comStarted(SUCCEEDED(CoInitialize(nullptr))), m_dom(other.m_dom) {}

XmlDocument::~XmlDocument() {
    m_dom.reset();
    if (m_comStarted) {
        CoUninitialize();
    }
}

void XmlDocument::Clear() {
    m_dom.reset();
}

bool XmlDocument::CreateDom() {
    Clear();
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(kXmlDomProgId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                m_dom.putVoid()))) {
        m_dom.reset();
        return false;
    }
    // A file load must have finished when Load returns, or its result would say nothing.
    Put(m_dom.get(), L"async", Variant(false));
    return true;
}

bool XmlDocument::New(const std::string& rootName) {
    return LoadXml("<?xml version=\"1.0\"?>\r\n<" + rootName + "></" + rootName + ">");
}

bool XmlDocument::Load(const std::string& path) {
    const Variant source(path);
    return CreateDom() && GetFlag(m_dom.get(), L"load", {&source});
}

bool XmlDocument::LoadXml(const std::string& text) {
    const Variant source(text);
    return CreateDom() && GetFlag(m_dom.get(), L"loadXML", {&source});
}

bool XmlDocument::Save(const std::optional<std::string>& path) {
    const std::string target = path ? *path : FilePathOfUrl(Url());
    if (target.empty()) {
        MessageBoxA(nullptr, kSaveNeedsPathMessage, nullptr, MB_OK | MB_ICONWARNING);
        return false;
    }
    const Variant destination(target);
    return Call(m_dom.get(), L"save", {&destination});
}

std::string XmlDocument::Text() const {
    return GetText(m_dom.get(), L"Text");
}

ByteArray XmlDocument::Xml() const {
    const std::string text = GetText(m_dom.get(), L"xml");
    return ByteArray(text.begin(), text.end());
}

bool XmlDocument::SetAttributeText(const std::string& path, const std::string& name,
                                   const std::string& value) {
    const Variant key(name);
    const DispatchPtr attributes = GetObject(ResolveXmlNodePath(path).get(), L"attributes");
    return Put(GetObject(attributes.get(), L"getNamedItem", {&key}).get(), L"Text", Variant(value));
}

bool XmlDocument::SetNodeValue(const std::string& path, const std::string& value) {
    return Put(ChildAt(ResolveXmlNodePath(path).get(), 0).get(), L"nodeValue", Variant(value));
}

bool XmlDocument::RenameNode(const std::string& path, const std::string& newName) {
    const DispatchPtr node = ResolveXmlNodePath(path);
    const DispatchPtr parent = GetObject(node.get(), L"parentNode");
    if (!parent) {
        return false;
    }
    std::vector<std::string> names;
    std::vector<std::string> values;
    GetAttributes(path, &names, &values);
    const Variant text(GetChildValue(path, 0));
    const Variant name(newName);
    const DispatchPtr renamed = GetObject(m_dom.get(), L"createElement", {&name});
    if (!renamed) {
        return false;
    }
    Put(renamed.get(), L"Text", text);
    // The attributes go onto the new element itself: a path rebuilt from the new name would
    // find the first sibling of that name, which need not be this one.
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Variant key(names[i]);
        const Variant value(values[i]);
        Call(renamed.get(), L"setAttribute", {&key, &value});
    }
    return ReplaceChild(parent.get(), renamed.get(), node.get());
}

bool XmlDocument::AddNode(const std::string& path, const std::string& name,
                          const std::string& value, bool cdata) {
    const Variant label(name);
    DispatchPtr target;
    DispatchPtr added;
    if (cdata) {
        const Variant query(path + "/" + name);
        target = GetObject(DocumentElement().get(), L"SelectSingleNode", {&query});
        added = GetObject(m_dom.get(), L"createCDATASection", {&label});
    } else {
        target = ResolveXmlNodePath(path);
        added = GetObject(m_dom.get(), L"createElement", {&label});
    }
    if (!target || !added) {
        return false;
    }
    // A CDATA section's text is its raw data; Wine's "Text" of one would store it escaped.
    Put(added.get(), cdata ? L"nodeValue" : L"Text", Variant(value));
    const Variant child(added.get());
    return static_cast<bool>(GetObject(target.get(), L"AppendChild", {&child}));
}

bool XmlDocument::RemoveNode(const std::string& path) {
    const DispatchPtr node = ResolveXmlNodePath(path);
    const Variant child(node.get());
    const DispatchPtr parent = GetObject(node.get(), L"parentNode");
    return static_cast<bool>(GetObject(parent.get(), L"RemoveChild", {&child}));
}

bool XmlDocument::SetAttribute(const std::string& path, const std::string& name,
                               const std::string& value) {
    const Variant key(name);
    const Variant text(value);
    return Call(ResolveXmlNodePath(path).get(), L"setAttribute", {&key, &text});
}

bool XmlDocument::RemoveAttribute(const std::string& path, const std::string& name) {
    const Variant key(name);
    return Call(ResolveXmlNodePath(path).get(), L"removeAttribute", {&key});
}

std::string XmlDocument::Url() const {
    return GetText(m_dom.get(), L"url");
}

bool XmlDocument::GetAttribute(const std::string& path, const std::string& name,
                               std::string& value) const {
    const DispatchPtr attributes = GetObject(ResolveXmlNodePath(path).get(), L"attributes");
    DispatchPtr attribute;
    if (!name.empty() && name[0] == '@') {
        const Variant position(PositionOf(name) - 1);
        attribute = GetObject(attributes.get(), L"Item", {&position});
    } else {
        const Variant key(name);
        attribute = GetObject(attributes.get(), L"getNamedItem", {&key});
    }
    value = GetText(attribute.get(), L"nodeValue");
    return !value.empty();
}

std::int32_t XmlDocument::GetAttributes(const std::string& path, std::vector<std::string>* names,
                                        std::vector<std::string>* values) const {
    if (names != nullptr) {
        names->clear();
    }
    if (values != nullptr) {
        values->clear();
    }
    const DispatchPtr attributes = GetObject(ResolveXmlNodePath(path).get(), L"attributes");
    const std::int32_t count = GetNumber(attributes.get(), L"length");
    for (std::int32_t i = 0; i < count; ++i) {
        const Variant position(i);
        const DispatchPtr attribute = GetObject(attributes.get(), L"Item", {&position});
        if (names != nullptr) {
            names->push_back(GetText(attribute.get(), L"nodeName"));
        }
        if (values != nullptr) {
            values->push_back(GetText(attribute.get(), L"nodeValue"));
        }
    }
    return count;
}

std::int32_t XmlDocument::AttributeCount(const std::string& path) const {
    return GetNumber(GetObject(ResolveXmlNodePath(path).get(), L"attributes").get(), L"length");
}

std::string XmlDocument::GetChildValue(const std::string& path, std::int32_t index) const {
    return GetText(ChildAt(ResolveXmlNodePath(path).get(), index).get(), L"nodeValue");
}

std::int32_t XmlDocument::GetChildNames(const std::string& path,
                                        std::vector<std::string>* names) const {
    if (names != nullptr) {
        names->clear();
    }
    const DispatchPtr children = GetObject(ResolveXmlNodePath(path).get(), L"childNodes");
    const std::int32_t count = GetNumber(children.get(), L"length");
    for (std::int32_t i = 0; names != nullptr && i < count; ++i) {
        const Variant position(i);
        names->push_back(
            GetText(GetObject(children.get(), L"Item", {&position}).get(), L"nodeName"));
    }
    return count;
}

std::int32_t XmlDocument::ChildCount(const std::string& path) const {
    return GetNumber(GetObject(ResolveXmlNodePath(path).get(), L"childNodes").get(), L"length");
}

std::string XmlDocument::RootName() const {
    return GetText(DocumentElement().get(), L"nodeName");
}

std::string XmlDocument::ParentName(const std::string& path) const {
    return GetText(ParentNode(path).get(), L"nodeName");
}

DispatchPtr XmlDocument::DocumentElement() const {
    return GetObject(m_dom.get(), L"documentElement");
}

DispatchPtr XmlDocument::ParentNode(const std::string& path) const {
    return GetObject(ResolveXmlNodePath(path).get(), L"parentNode");
}

DispatchPtr XmlDocument::ResolveXmlNodePath(const std::string& path) const {
    // The document's child after the XML declaration, which an empty first segment names.
    constexpr std::int32_t kFirstElementChild = 1;
    DispatchPtr node;
    bool first = true;
    for (const std::string& segment : SplitPath(path)) {
        if (!first && !node) {
            return {};
        }
        IDispatch* const current = first ? m_dom.get() : node.get();
        if (!segment.empty() && segment[0] == '@') {
            std::int32_t position = PositionOf(segment);
            if (!first) {
                const DispatchPtr atPosition = ChildAt(current, position - 1);
                if (GetText(atPosition.get(), L"nodeName") != "#text") {
                    position -= 1;
                }
            }
            node = ChildAt(current, position);
        } else if (first && segment.empty()) {
            node = ChildAt(current, kFirstElementChild);
        } else {
            const Variant query(segment);
            node = GetObject(current, L"SelectSingleNode", {&query});
        }
        first = false;
    }
    return node;
}

DispatchPtr XmlDocument::CloneNode(IDispatch* node, bool deep) const {
    const Variant withChildren(deep);
    return GetObject(node, L"cloneNode", {&withChildren});
}

bool XmlDocument::ReplaceChild(IDispatch* parent, IDispatch* newChild, IDispatch* oldChild) const {
    const Variant added(newChild);
    const Variant removed(oldChild);
    return static_cast<bool>(GetObject(parent, L"ReplaceChild", {&added, &removed}));
}

// ---- NullInterfaceObject
// -------------------------------------------------------------------------

// Out values are cleared, so a caller that reads them without checking the result finds nothing.
HRESULT NullInterfaceObject::QueryInterface(REFIID, void** object) {
    if (object != nullptr) {
        *object = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT NullInterfaceObject::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) {
        *count = 0;
    }
    return E_NOTIMPL;
}

HRESULT NullInterfaceObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT NullInterfaceObject::InvokeEx(DISPID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                      VARIANT* result, EXCEPINFO* exception, IServiceProvider*) {
    return Invoke(id, IID_NULL, locale, flags, parameters, result, exception, nullptr);
}

HRESULT NullInterfaceObject::GetNextDispID(DWORD flags, DISPID, DISPID* next) {
    if (next != nullptr) {
        *next = DISPID_UNKNOWN;
    }
    return GetDispID(nullptr, flags, next);
}

}  // namespace toolkit

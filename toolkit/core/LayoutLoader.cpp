// The XML layout loader and host window slots 33-35.
#include "core/LayoutLoader.h"

#include <msxml.h>
#include <shlwapi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/ElementEvents.h"
#include "core/HostWindow.h"
#include "foundation/CallAddress.h"
#include "foundation/EngineAbi.h"
#include "foundation/EngineBinding.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"
#include "foundation/XmlDocument.h"

namespace toolkit {

namespace {

// Root attribute keys of a layout.
constexpr char kKeyClassName[] = "classname";
constexpr char kKeyWidth[] = "width";
constexpr char kKeyHeight[] = "height";
constexpr char kKeySizeBox[] = "sizebox";
constexpr char kKeyPopup[] = "popup";
constexpr char kKeyTitle[] = "title";
constexpr char kKeyTheme[] = "theme";
constexpr char kKeyThemePassword[] = "themepassword";
constexpr char kKeyBackground[] = "background";
constexpr char kKeyBackgroundColour[] = "crbackground";
constexpr char kKeyCaptionButtons[] = "captionbtn";
constexpr char kKeyLayeredAlpha[] = "alp";
constexpr char kKeyFillType[] = "filltype";
constexpr char kKeyGrid[] = "gird";  // the layouts' own spelling
constexpr char kKeyBlur[] = "aero";
constexpr char kKeyOffsetX[] = "offsetx";
constexpr char kKeyOffsetY[] = "offsety";
constexpr char kKeyCornerRadius[] = "rectround";

// Nodes a document may hold before its root element (declaration, comments) that the loader
// looks past when finding the root.
constexpr int kMaxPrologNodes = 16;

std::string UpperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// The root attributes present in the document, read by name.
class RootAttributes {
public:
    RootAttributes(const XmlDocument& document, const std::string& path)
        : m_document(document), m_path(path) {}

    std::optional<std::string> Text(const char* key) const {
        std::string value;
        if (!m_document.GetAttribute(m_path, key, value)) {
            return std::nullopt;
        }
        return value;
    }
    std::optional<std::int32_t> Integer(const char* key) const {
        const auto text = Text(key);
        if (!text) {
            return std::nullopt;
        }
        // Decimal, as every other number of a layout: a leading zero does not make it octal.
        return static_cast<std::int32_t>(std::strtol(text->c_str(), nullptr, 10));
    }
    bool Flag(const char* key, bool absent) const {
        const auto value = Integer(key);
        return value ? *value != 0 : absent;
    }
    ByteArray Resource(const char* key) const {
        ByteArray bytes;
        if (const auto text = Text(key)) {
            ResolveResourceValue(*text, bytes);
        }
        return bytes;
    }

private:
    const XmlDocument& m_document;
    std::string m_path;
};

std::optional<int> WindowSide(const std::optional<std::int32_t>& value) {
    if (!value || *value < 1 || *value > kMaxLayoutWindowSide) {
        return std::nullopt;
    }
    return *value;
}

// The path of the document's root element. Layouts normally start with the XML declaration,
// which puts the root at "@1"; one without it has its root at "@0", and comments before it move
// it further. The root is the document's one element child.
std::string FindRootPath(const XmlDocument& document) {
    for (int i = 0; i < kMaxPrologNodes; ++i) {
        const std::string path = "@" + std::to_string(i);
        const DispatchPtr node = document.ResolveXmlNodePath(path);
        if (!node) {
            break;
        }
        IXMLDOMNode* domNode = nullptr;
        if (FAILED(node->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&domNode)))) {
            continue;
        }
        DOMNodeType type = NODE_INVALID;
        domNode->get_nodeType(&type);
        domNode->Release();
        if (type == NODE_ELEMENT) {
            return path;
        }
    }
    return kLayoutRootPath;
}

ByteArray EngineResourceBytes(const std::string& name) {
    const std::uint32_t lookup = EngineResourceRoutine(engine_abi::kResourceRoutineQuery);
    if (lookup == 0) {
        return {};
    }
    std::uint32_t freeFlag = 0;
    const std::string terminated = name;  // c_str() gives the zero terminator
    const std::uint32_t data =
        CallAddress(lookup, {AddressOf(terminated.c_str()), VariableAddress(freeFlag)});
    if (data == 0) {
        return {};
    }
    ByteArray bytes;
    const std::uint32_t length = ByteArrayLength(data);
    if (length > 0 && length <= kMaxLayoutResourceBytes) {
        bytes.resize(length);
        if (CopyMemoryChecked(reinterpret_cast<std::uintptr_t>(bytes.data()), data, length) !=
            length) {
            bytes.clear();
        }
    }
    if (freeFlag != 0) {
        HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(data - CountedBytes::kHeaderBytes));
    }
    return bytes;
}

ByteArray FileBytes(const std::string& path) {
    if (!PathFileExistsA(path.c_str())) {
        return {};
    }
    const std::wstring widePath = ToWideString(path);
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    ByteArray bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        static_cast<std::uint64_t>(size.QuadPart) <= kMaxLayoutResourceBytes) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
            read != bytes.size()) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace

// ---- Values -------------------------------------------------------------------------------------

std::uint32_t LayoutCrc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

bool ResolveResourceValue(const std::string& value, ByteArray& out) {
    out.clear();
    if (!value.empty() && value.front() == '{') {
        // Everything after the brace up to the closing one (or the end) is the list.
        std::string list = value.substr(1);
        const std::size_t close = list.find('}');
        if (close != std::string::npos) {
            list.resize(close);
        }
        std::replace(list.begin(), list.end(), '.', ',');
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t comma = list.find(',', start);
            if (comma == std::string::npos) {
                comma = list.size();
            }
            std::string number;
            for (std::size_t i = start; i < comma; ++i) {
                if (!std::isspace(static_cast<unsigned char>(list[i]))) {
                    number += list[i];
                }
            }
            if (!number.empty()) {
                // strtoll saturates instead of overflowing; modulo 256 keeps the low byte.
                out.push_back(static_cast<std::uint8_t>(std::strtoll(number.c_str(), nullptr, 10)));
            }
            start = comma + 1;
        }
        return !out.empty();
    }
    if (value.size() >= kTagLongChars) {
        const std::uint32_t crc = LayoutCrc32(UpperCase(value.substr(0, kTagLongChars)));
        const std::string name = value.size() > kTagNameStart ? value.substr(kTagNameStart) : "";
        if (crc == kTagEngineResourceCrc) {
            out = EngineResourceBytes(name);
            return !out.empty();
        }
        if (crc == kTagFileCrc) {
            out = FileBytes(name);
            return !out.empty();
        }
    }
    // The third tag, like anything else, names no bytes.
    return false;
}

bool ParseGridList(const std::string& text, float out[4]) {
    constexpr std::size_t kGridNumbers = 4;
    std::vector<float> numbers;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        numbers.push_back(static_cast<float>(
            std::strtol(text.substr(start, comma - start).c_str(), nullptr, 10)));
        start = comma + 1;
    }
    if (numbers.size() != kGridNumbers) {
        return false;
    }
    std::copy(numbers.begin(), numbers.end(), out);
    return true;
}

// ---- Elements -----------------------------------------------------------------------------------

namespace {

// The engine made the clone on the process heap through the class's slot 1 and forgets it when
// creation is refused; nothing else holds it, so its members and its block are released here.
void FreeRefusedClone(Element* object) {
    if (object == nullptr) {
        return;
    }
    object->FreeMembers();
    HeapFree(GetProcessHeap(), 0, object);
}

}  // namespace

ElementHandle CreateElementByClassName(const std::string& className, std::int32_t& typeId) {
    typeId = 0;
    if (className.empty()) {
        return 0;
    }
    const std::string upper = UpperCase(className);
    const ElementHandle handle =
        EngineCreateByName(AddressOf(upper.c_str()), VariableAddress(typeId));
    if (handle == 0) {
        return 0;
    }
    WriteElementField(handle, kFieldSelf, ReadInt32Checked(handle));
    WriteElementField(handle, kFieldHandle, handle);
    WriteElementField(handle, kFieldEngineCreated, 1);
    return handle;
}

std::uint32_t CreateChildElementsFromXml(HWND window, std::uint32_t ownHandle,
                                         const std::string& path, const XmlDocument& document,
                                         ElementHandle parent, int depth, int* created) {
    int localCount = 0;
    int& count = created != nullptr ? *created : localCount;
    if (depth >= kMaxLayoutDepth) {
        return 1;
    }
    const std::int32_t children = document.ChildCount(path);
    for (std::int32_t i = 1; i <= children && count < kMaxLayoutElements; ++i) {
        ++count;
        const std::string childPath = path + kLayoutChildStep + std::to_string(i);
        std::vector<std::string> names;
        std::vector<std::string> values;
        document.GetAttributes(childPath, &names, &values);
        std::string namesText;
        std::string valuesText;
        std::string className;
        for (std::size_t a = 0; a < names.size() && a < values.size(); ++a) {
            if (a > 0) {
                namesText += kLayoutNameSeparator;
                valuesText += kLayoutValueSeparator;
            }
            namesText += names[a];
            valuesText += values[a];
            if (lstrcmpiA(names[a].c_str(), kLayoutClassAttribute) == 0) {
                className = values[a];
            }
        }

        std::int32_t typeId = 0;
        ElementHandle element = CreateElementByClassName(className, typeId);
        if (element != 0) {
            Element* object = ElementFromHandle(element);
            const HWND result =
                object == nullptr
                    ? nullptr
                    : object->CreateElementFromLayout(
                          window, element, ownHandle, parent, typeId, namesText.c_str(),
                          reinterpret_cast<const std::uint8_t*>(valuesText.data()),
                          valuesText.size(), className.c_str());
            // An element its attributes did not describe (no "Rect" or "ID") never came alive:
            // the engine forgets it, its clone is freed, and its children go to the window.
            if (result == nullptr || ReadElementField(element, kFieldAlive) != 1) {
                if (ReadElementField(element, kFieldAlive) != 1) {
                    EngineDestroyElement(element);
                    FreeRefusedClone(object);
                }
                element = 0;
            }
        }
        if (document.ChildCount(childPath) > 0) {
            CreateChildElementsFromXml(window, ownHandle, childPath, document, element, depth + 1,
                                       &count);
        }
    }
    return 1;
}

ElementHandle FindElementById(HWND window, std::int32_t id) {
    if (window == nullptr || id == 0) {
        return 0;
    }
    const HostWindow* host = HostWindowFromWindow(window);
    if (host == nullptr) {
        return 0;
    }
    // An explicit stack, and a bound on the visits, so neither a deep tree nor damaged sibling
    // links can exhaust the stack or loop for ever.
    constexpr std::size_t kMaxVisits = 1u << 20;
    std::vector<ElementHandle> pending;
    for (ElementHandle e = host->lastChild; e != 0 && pending.size() < kMaxVisits;
         e = ReadElementField(e, kFieldPrevSibling)) {
        pending.push_back(e);
    }
    std::reverse(pending.begin(), pending.end());
    std::size_t visits = 0;
    while (!pending.empty() && visits++ < kMaxVisits) {
        const ElementHandle element = pending.back();
        pending.pop_back();
        if (static_cast<std::int32_t>(ReadElementField(element, kFieldId)) == id) {
            return element;
        }
        std::vector<ElementHandle> children;
        for (ElementHandle c = ReadElementField(element, kFieldLastChild);
             c != 0 && children.size() < kMaxVisits; c = ReadElementField(c, kFieldPrevSibling)) {
            children.push_back(c);
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return 0;
}

// ---- Host window slots 33-35 --------------------------------------------------------------------

HWND HostWindow::LoadLayoutFromXml(const std::string& source, HWND parentWindowArg) {
    XmlDocument document;
    if (!document.LoadXml(source)) {
        return nullptr;
    }
    const std::string rootPath = FindRootPath(document);
    const RootAttributes root(document, rootPath);

    ToolkitWindowOptions placement;
    placement.parent = parentWindowArg;
    if (const auto className = root.Text(kKeyClassName)) {
        ToolkitWindowClassOptions classOptions;
        classOptions.className = ToWideString(*className);
        RegisterToolkitWindowClass(classOptions);
        placement.className = *className;
    }
    placement.width = WindowSide(root.Integer(kKeyWidth));
    placement.height = WindowSide(root.Integer(kKeyHeight));
    placement.sizable = root.Flag(kKeySizeBox, true);
    placement.taskbar = !root.Flag(kKeyPopup, false);
    placement.title = root.Text(kKeyTitle).value_or("");
    placement.extendedStyle = WS_EX_LEFT;

    HostAttachOptions options;
    options.themePackage = root.Resource(kKeyTheme);
    options.themePassword = root.Resource(kKeyThemePassword);
    options.backgroundImage = root.Resource(kKeyBackground);
    if (const auto colour = root.Integer(kKeyBackgroundColour)) {
        options.backgroundColour = static_cast<COLORREF>(*colour);
    }
    if (const auto flags = root.Integer(kKeyCaptionButtons)) {
        options.captionFlags = static_cast<std::uint32_t>(*flags);
    }
    options.layeredAlpha = root.Integer(kKeyLayeredAlpha);
    options.fillMode = root.Integer(kKeyFillType);
    if (const auto grid = root.Text(kKeyGrid)) {
        ParseGridList(*grid, options.gridMargins);
    }
    options.blur = root.Flag(kKeyBlur, true) ? 1u : 0u;
    options.cornerRadius = root.Integer(kKeyCornerRadius);
    SetBackgroundOffset(root.Integer(kKeyOffsetX).value_or(0),
                        root.Integer(kKeyOffsetY).value_or(0));

    const HWND created = CreateToolkitWindow(placement);
    if (created == nullptr) {
        return nullptr;
    }
    if (!AttachWindow(created, options)) {
        DestroyWindow(created);
        return nullptr;
    }
    CreateChildElementsFromXml(created, ownHandle, rootPath, document, 0);
    return created;
}

std::uint32_t HostWindow::LoadChildrenFromXml(const std::string& source) {
    if (window == nullptr || !IsWindow(window)) {
        return 0;
    }
    XmlDocument document;
    if (!document.LoadXml(source)) {
        return 0;
    }
    return CreateChildElementsFromXml(window, ownHandle, FindRootPath(document), document, 0);
}

bool HostWindow::BindEventByElementId(std::int32_t id, std::uint32_t message, std::uint32_t routine,
                                      std::uint32_t userValue) {
    const ElementHandle element = FindElementById(window, id);
    if (element == 0) {
        return false;
    }
    BindElementEvent(element, message, routine, userValue);
    return true;
}

}  // namespace toolkit

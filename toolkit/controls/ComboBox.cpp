// ComboBox: creation, layout, painting, the modal drop-down, the message handler and the item
// list.
#include "controls/ComboBox.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <memory>

#include "controls/TextDrawing.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/HostWindow.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/ControlClasses.h"
#include "foundation/Fonts.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kDefaultTextAlpha = 240;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr std::int32_t kRowPadding = 4;
constexpr std::int32_t kListInset = 1;
constexpr char kKeyMargin[] = "margin";
constexpr char kKeyNormalButton[] = "normal_btn";
constexpr char kButtonSuffix[] = "_btn";
constexpr char kKeyButtonGrid[] = "gird_btn";
constexpr char kKeyArrowUp[] = "spin_up";
constexpr char kKeyArrowDown[] = "spin_down";

std::uint32_t DefaultTextColour() {
    return RgbToArgb(0, kDefaultTextAlpha);
}

std::wstring WideOfBytes(const ByteArray& bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(bytes.begin(), bytes.begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<std::uint8_t*>(text.data()));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// UTF-16 bytes with their terminator.
ByteArray BytesOfWide(const std::wstring& text) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return ByteArray(begin, begin + (text.size() + 1) * sizeof(wchar_t));
}

std::wstring WideOfText(const char* text) {
    return text != nullptr ? WideOfBytes(TextToWide(text)) : std::wstring();
}

ComboBox* ComboFromOwner(std::uint32_t owner) {
    return static_cast<ComboBox*>(ElementFromHandle(owner));
}

// The drop-down window's paint routine; its user value is the ComboBox's handle.
std::uint32_t __stdcall DropDownPainted(const std::uint32_t* owner, std::uint32_t window,
                                        std::uint32_t graphics, std::uint32_t width,
                                        std::uint32_t height) {
    if (ComboBox* combo = ComboFromOwner(*owner)) {
        combo->PaintDropDownBackground(
            reinterpret_cast<HWND>(window), reinterpret_cast<Gdiplus::GpGraphics*>(graphics),
            static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    }
    return 0;
}

std::uint32_t __stdcall DropDownRowClicked(std::uint32_t owner, std::uint32_t, std::uint32_t item,
                                           std::uint32_t, std::uint32_t, std::uint32_t) {
    if (ComboBox* combo = ComboFromOwner(owner)) {
        combo->RowChosen(static_cast<std::int32_t>(item));
    }
    return 0;
}

std::uint32_t __stdcall DropDownDeactivated(std::uint32_t owner, std::uint32_t) {
    if (ComboBox* combo = ComboFromOwner(owner)) {
        combo->CloseDropDown();
    }
    return 0;
}

std::uint32_t __stdcall OwnedEditLostFocus(std::uint32_t owner) {
    if (ComboBox* combo = ComboFromOwner(owner)) {
        combo->EditLostFocus();
    }
    return 0;
}

const char* ButtonStateName(std::int32_t state) {
    switch (state) {
        case kComboButtonHot:
            return kThemeStateHighlight;
        case kComboButtonPressed:
            return kThemeStateDown;
        default:
            return kThemeStateNormal;
    }
}

// The drop-down's window and list, freed together once the window is gone.
struct DropDownObjects {
    std::unique_ptr<HostWindow> host = std::make_unique<HostWindow>();
    std::unique_ptr<ListBox> list = std::make_unique<ListBox>();
    ~DropDownObjects() {
        // Neither class has a virtual destructor; each frees its members as itself.
        list->FreeMembers();
        host->FreeMembers();
    }
};

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void ComboBox::FreeMembers() {
    DeleteStringFormat(m_format);
    std::vector<std::wstring>().swap(m_items);
    std::vector<std::int32_t>().swap(m_itemData);
    std::wstring().swap(m_displayText);
    if (m_edit != nullptr) {
        // The Edit is a child element: it goes before its object does.
        if (m_edit->IsElementAlive()) {
            m_edit->DestroyElement();
        }
        m_edit->FreeMembers();
        m_edit->~Edit();
        HeapFree(GetProcessHeap(), 0, m_edit);
        m_edit = nullptr;
    }
}

std::uint32_t ComboBox::Clone() {
    ComboBox* copy = CloneOnProcessHeap(*this);
    if (copy != nullptr) {
        copy->m_format = nullptr;
        if (m_format != nullptr) {
            gp::GdipCloneStringFormat(m_format, &copy->m_format);
        }
        copy->m_edit = m_edit != nullptr ? reinterpret_cast<Edit*>(m_edit->Clone()) : nullptr;
        copy->m_droppedDown = 0;
        copy->m_dropDownResult = 0;
        copy->m_dropDownWindow = nullptr;
        copy->m_dropDownList = nullptr;
    }
    return AddressOf(copy);
}

// ---- Drop-down routines -------------------------------------------------------------------------

void ComboBox::PaintDropDownBackground(HWND, Gdiplus::GpGraphics* graphics, std::int32_t width,
                                       std::int32_t height) {
    gp::GdipGraphicsClear(graphics, 0);
    DrawThemeStatePart(GetHostTheme(), kClassComboBox, graphics,
                       Gdiplus::RectF(0, 0, static_cast<float>(width), static_cast<float>(height)),
                       kComboButtonHot);
}

void ComboBox::RowChosen(std::int32_t item) {
    m_dropDownResult = item;
    if (m_dropDownWindow != nullptr) {
        PostMessageW(m_dropDownWindow, WM_CLOSE, 0, 0);
    }
}

void ComboBox::CloseDropDown() {
    if (m_dropDownWindow != nullptr) {
        PostMessageW(m_dropDownWindow, WM_CLOSE, 0, 0);
    }
}

void ComboBox::EditLostFocus() {
    if (!HasElementFocus()) {
        Paint(m_hostWindow, kComboButtonNormal);
    }
}

// ---- Painting -----------------------------------------------------------------------------------

void ComboBox::Paint(HWND, std::int32_t state) {
    DrawContext context{};
    BeginElementDraw(m_handle, &context);
    const float width = static_cast<float>(m_width);
    const float height = static_cast<float>(m_height);
    const std::uint32_t partState =
        HasElementFocus() ? kStateFocused : static_cast<std::uint32_t>(state);
    DrawThemeStatePart(context.theme, kClassComboBox, context.graphics,
                       Gdiplus::RectF(0, 0, width, height), partState);
    const Gdiplus::RectF button(width - static_cast<float>(m_buttonWidth), 0,
                                static_cast<float>(m_buttonWidth), height);
    if (m_editable != 0) {
        const std::string key =
            std::string(m_droppedDown != 0 ? kThemeStateDown : kThemeStateNormal) + kButtonSuffix;
        DrawThemePart(context.theme, kClassComboBox, context.graphics, button, key.c_str(),
                      kKeyButtonGrid);
    }
    ThemeRect arrow{};
    const char* arrowKey = m_droppedDown != 0 ? kKeyArrowUp : kKeyArrowDown;
    if (GetThemeRect(context.theme, kClassComboBox, arrowKey, &arrow)) {
        const float w = static_cast<float>(arrow.v[2]);
        const float h = static_cast<float>(arrow.v[3]);
        DrawThemePart(context.theme, kClassComboBox, context.graphics,
                      Gdiplus::RectF(button.X + (button.Width - w) / 2.0f,
                                     button.Y + (button.Height - h) / 2.0f, w, h),
                      arrowKey);
    }
    if (m_editable == 0) {
        PreTextDrawHook(&context);
        gp::GdipSetClipRect(context.graphics, m_textRect.X, m_textRect.Y, m_textRect.Width,
                            m_textRect.Height, Gdiplus::CombineModeIntersect);
        DrawTextWithEffect(context.graphics, m_textRect, m_displayText.c_str(), m_font,
                           m_textColour, m_format, 0, 0);
        gp::GdipResetClip(context.graphics);
    }
    EndElementDraw(m_handle, &context);
    m_buttonState = kComboButtonNormal;
}

void ComboBox::PaintButtonOnly(HWND, std::int32_t state) {
    if (m_editable == 0 || state == m_buttonState) {
        return;
    }
    m_buttonState = state;
    DrawContext context{};
    ElementRectF area{static_cast<float>(m_width - m_buttonWidth), 0,
                      static_cast<float>(m_buttonWidth), static_cast<float>(m_height)};
    BeginElementDraw(m_handle, &context, &area, true);
    const Gdiplus::RectF button(area.x, area.y, area.width, area.height);
    const std::string key = std::string(ButtonStateName(state)) + kButtonSuffix;
    DrawThemePart(context.theme, kClassComboBox, context.graphics, button, key.c_str(),
                  kKeyButtonGrid);
    ThemeRect arrow{};
    const char* arrowKey = m_droppedDown != 0 ? kKeyArrowUp : kKeyArrowDown;
    if (GetThemeRect(context.theme, kClassComboBox, arrowKey, &arrow)) {
        const float w = static_cast<float>(arrow.v[2]);
        const float h = static_cast<float>(arrow.v[3]);
        DrawThemePart(context.theme, kClassComboBox, context.graphics,
                      Gdiplus::RectF(button.X + (button.Width - w) / 2.0f,
                                     button.Y + (button.Height - h) / 2.0f, w, h),
                      arrowKey);
    }
    EndElementDraw(m_handle, &context);
}

bool ComboBox::ButtonHitTest(LPARAM point) {
    const std::int32_t x = static_cast<std::int16_t>(LOWORD(point));
    const std::int32_t y = static_cast<std::int16_t>(HIWORD(point));
    return x >= m_width - m_buttonWidth && x < m_width && y >= 0 && y < m_height;
}

// ---- Drop-down ----------------------------------------------------------------------------------

std::int32_t ComboBox::DropDown(HWND hostWindow) {
    const std::uint32_t theme = GetHostTheme();
    ThemeRect margin{};
    GetThemeRect(theme, kClassComboBox, kKeyMargin, &margin);
    const auto count = static_cast<std::int32_t>(m_items.size());
    std::int32_t height = kComboDropDownMaxHeight;
    if (count > 0) {
        Gdiplus::REAL fontHeight = 0;
        gp::GdipGetFontHeight(Toolkit().defaultFont, nullptr, &fontHeight);
        const double rowHeight = static_cast<double>(fontHeight) + kRowPadding;
        const auto wanted =
            static_cast<std::int32_t>(count * rowHeight + margin.v[1] - margin.v[3] + kRowPadding);
        height = std::min(wanted, kComboDropDownMaxHeight);
    }
    const std::int32_t width = m_width;

    RECT hostRect{};
    GetWindowRect(hostWindow, &hostRect);
    const POINT origin = ParentOrigin(this);
    const std::int32_t left = hostRect.left + origin.x + m_left;
    const std::int32_t elementTop = hostRect.top + origin.y + m_top;
    std::int32_t top = elementTop + m_height;
    const WorkArea area = GetWorkArea();
    if (top + height > area.top + area.height) {
        top = elementTop - height;
    }

    m_dropDownResult = 0;
    ToolkitWindowOptions placement;
    placement.parent = hostWindow;
    placement.x = left;
    placement.y = top;
    placement.width = width;
    placement.height = height;
    placement.style = WS_POPUP;
    placement.extendedStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    placement.taskbar = false;
    const HWND window = CreateToolkitWindow(placement);
    if (window == nullptr) {
        return 0;
    }
    DropDownObjects objects;
    HostWindow& host = *objects.host;
    const std::uint32_t owner = m_handle;
    host.SetPaintRoutine(AddressOf(&DropDownPainted), &owner);
    HostAttachOptions attach;
    // Only a toolkit host window has a theme to hand on.
    if (HostWindowFromWindow(hostWindow) != nullptr) {
        attach.parent = hostWindow;
    }
    attach.layeredAlpha = 255;
    if (!host.AttachWindow(window, attach)) {
        DestroyWindow(window);
        return 0;
    }
    host.EscapeCloses(true);
    host.SetShadowMargins(margin.v[0], margin.v[1], margin.v[2], margin.v[3]);

    ListBox& list = *objects.list;
    ListBoxCreateOptions options;
    options.backColour = RgbToArgb(kWhite);
    // The one untitled column needs no header; the height above counts rows only.
    options.hideHeader = 1;
    const std::int32_t listWidth = width + margin.v[2] - margin.v[0] - 2 * kListInset;
    const std::int32_t listHeight = height + margin.v[3] - margin.v[1] - 2 * kListInset;
    if (list.Create(AddressOf(window), kListInset, kListInset, listWidth, listHeight, options) !=
        0) {
        list.HoverSelectProp(1);
        list.InsertColumnA(0, "", listWidth);
        for (const std::wstring& item : m_items) {
            list.InsertItem(0, item.c_str());
        }
        if (!m_displayText.empty() && IndexValid(m_selectedIndex)) {
            list.CurrentItemProp(m_selectedIndex);
            list.EnsureVisible(m_selectedIndex);
        }
        list.OnItemLeftClick(AddressOf(&DropDownRowClicked), m_handle);
    }
    host.BindDeactivated(AddressOf(&DropDownDeactivated), m_handle);
    m_dropDownWindow = window;
    m_dropDownList = &list;
    host.ShowHostWindow({});
    if (list.IsElementAlive()) {
        list.SetElementFocus();
    }
    if (m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive()) {
        m_edit->SetElementFocus();
    } else {
        InvalidateElement();
    }
    RunMessageLoop(window);
    m_dropDownWindow = nullptr;
    m_dropDownList = nullptr;
    return m_dropDownResult;
}

// ---- Creation and layout ------------------------------------------------------------------------

ElementHandle ComboBox::Create(std::uint32_t parent, std::int32_t left, std::int32_t top,
                               std::int32_t width, std::int32_t height, const char* text,
                               const ComboBoxCreateOptions& options) {
    m_items.clear();
    for (const std::string& item : options.items) {
        m_items.push_back(WideOfText(item.c_str()));
    }
    // Data that does not match the items one for one is padded with zeros or cut to fit.
    m_itemData = options.itemData.value_or(std::vector<std::int32_t>());
    m_itemData.resize(m_items.size(), 0);
    m_selectedIndex = options.selectedIndex;
    m_displayText = WideOfText(text);
    m_editable = options.editable != 0 ? 1 : 0;
    m_textColour = options.textColour.value_or(DefaultTextColour());
    DeleteStringFormat(m_format);
    m_format = CreateCaptionFormat(kFormatSingleLine);

    ElementCreateOptions create;
    create.visible = options.elementStyle.value_or(1);
    return CreateElement(parent, left, top, width, height, kTypeComboBox, kClassComboBox, create);
}

void ComboBox::Layout() {
    const std::uint32_t theme = GetHostTheme();
    ThemeRect button{};
    if (GetThemeRect(theme, kClassComboBox, kKeyNormalButton, &button)) {
        m_buttonWidth = button.v[2];
    }
    ThemeRect margin{};
    GetThemeRect(theme, kClassComboBox, kKeyMargin, &margin);
    m_textRect = Gdiplus::RectF(0, 0, static_cast<float>(m_width), static_cast<float>(m_height));
    m_textRect.X += static_cast<float>(margin.v[0]) + 1.0f;
    m_textRect.Y += static_cast<float>(margin.v[1]) + 1.0f;
    m_textRect.Width += static_cast<float>(margin.v[2] - m_buttonWidth) - 2.0f;
    m_textRect.Height += static_cast<float>(2 * margin.v[3]) - 2.0f;
    const auto x = static_cast<std::int32_t>(m_textRect.X);
    const auto y = static_cast<std::int32_t>(m_textRect.Y);
    const auto w = static_cast<std::int32_t>(m_textRect.Width);
    const auto h = static_cast<std::int32_t>(m_textRect.Height);
    if (m_editable != 0) {
        if (m_edit != nullptr && m_edit->IsElementAlive()) {
            m_edit->MoveElement(x, y, w, h);
            m_edit->ElementVisible(true);
        } else if (m_handle != 0) {
            if (m_edit == nullptr) {
                void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Edit));
                m_edit = block != nullptr ? new (block) Edit() : nullptr;
            }
            if (m_edit != nullptr) {
                EditCreateOptions options;
                options.textColour = m_textColour;
                options.backgroundColour = RgbToArgb(kWhite);
                if (m_edit->CreateEdit(m_handle, x, y, w, h, WideToText(BytesOfWide(m_displayText)),
                                       options) != 0) {
                    m_edit->BindKillFocus(AddressOf(&OwnedEditLostFocus), m_handle);
                }
            }
        }
    } else if (m_edit != nullptr && m_edit->IsElementAlive()) {
        m_edit->ElementVisible(false);
    }
}

bool ComboBox::IndexValid(std::int32_t index) {
    return index >= 1 && index <= static_cast<std::int32_t>(m_items.size());
}

// ---- Properties ---------------------------------------------------------------------------------

bool ComboBox::EditHasFocus() {
    return m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive() &&
           m_edit->HasElementFocus();
}

void ComboBox::SetDisplayText(const std::wstring& text) {
    m_displayText = text;
}

std::string ComboBox::Text(std::optional<std::string> value) {
    if (value) {
        TextWide(TextToWide(*value));
    }
    return WideToText(TextWide());
}

ByteArray ComboBox::TextWide(std::optional<ByteArray> value) {
    const bool inEdit = m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive();
    if (value) {
        if (inEdit) {
            m_edit->TextWide(*value);
        } else {
            m_displayText = WideOfBytes(*value);
            InvalidateElement();
        }
    }
    return inEdit ? m_edit->TextWide() : BytesOfWide(m_displayText);
}

std::uint32_t ComboBox::TextColor(std::optional<std::uint32_t> value) {
    if (value) {
        m_textColour = *value;
        if (m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive()) {
            m_edit->TextColor(*value);
        } else {
            InvalidateElement();
        }
    }
    return m_textColour;
}

std::int32_t ComboBox::Editable(std::optional<std::int32_t> value) {
    if (value) {
        const std::int32_t editable = *value != 0 ? 1 : 0;
        if (editable != m_editable) {
            m_editable = editable;
            Layout();
            InvalidateElement();
        }
    }
    return m_editable;
}

std::int32_t ComboBox::SelectedIndex(std::optional<std::int32_t> value) {
    if (value && IndexValid(*value)) {
        m_selectedIndex = *value;
        TextWide(BytesOfWide(m_items[static_cast<std::size_t>(*value - 1)]));
    }
    return m_selectedIndex;
}

std::int32_t ComboBox::ItemCount() {
    return static_cast<std::int32_t>(m_items.size());
}

std::int32_t ComboBox::ItemData(std::int32_t index) {
    return IndexValid(index) ? m_itemData[static_cast<std::size_t>(index - 1)] : 0;
}

bool ComboBox::SetItemData(std::int32_t index, std::int32_t value) {
    if (!IndexValid(index)) {
        return false;
    }
    m_itemData[static_cast<std::size_t>(index - 1)] = value;
    return true;
}

std::string ComboBox::ItemText(std::int32_t index) {
    return IndexValid(index) ? WideToText(BytesOfWide(ItemTextWide(index))) : std::string();
}

std::wstring ComboBox::ItemTextWide(std::int32_t index) {
    return IndexValid(index) ? m_items[static_cast<std::size_t>(index - 1)] : std::wstring();
}

bool ComboBox::SetItemText(std::int32_t index, const char* text) {
    return SetItemTextWide(index, WideOfText(text).c_str());
}

bool ComboBox::SetItemTextWide(std::int32_t index, const wchar_t* text) {
    if (!IndexValid(index)) {
        return false;
    }
    m_items[static_cast<std::size_t>(index - 1)] = text != nullptr ? text : L"";
    if (index == m_selectedIndex) {
        TextWide(BytesOfWide(m_items[static_cast<std::size_t>(index - 1)]));
    }
    return true;
}

std::int32_t ComboBox::AddItem(const char* text, std::int32_t data) {
    return AddItemWide(WideOfText(text).c_str(), data);
}

std::int32_t ComboBox::AddItemWide(const wchar_t* text, std::int32_t data) {
    m_items.emplace_back(text != nullptr ? text : L"");
    m_itemData.push_back(data);
    return ItemCount();
}

bool ComboBox::InsertItem(std::int32_t index, const char* text, std::int32_t data) {
    return InsertItemWide(index, WideOfText(text).c_str(), data);
}

bool ComboBox::InsertItemWide(std::int32_t index, const wchar_t* text, std::int32_t data) {
    if (!IndexValid(index)) {
        return false;
    }
    const auto at = static_cast<std::size_t>(index - 1);
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), text != nullptr ? text : L"");
    m_itemData.insert(m_itemData.begin() + static_cast<std::ptrdiff_t>(at), data);
    // The chosen item moved down with the others; the index follows it.
    if (m_selectedIndex >= index) {
        ++m_selectedIndex;
    }
    return true;
}

bool ComboBox::DeleteItem(std::int32_t index) {
    if (!IndexValid(index)) {
        return false;
    }
    const auto at = static_cast<std::ptrdiff_t>(index - 1);
    m_items.erase(m_items.begin() + at);
    m_itemData.erase(m_itemData.begin() + at);
    if (m_selectedIndex > index) {
        // A later chosen item moved up; it stays chosen.
        --m_selectedIndex;
    } else if (m_selectedIndex == index) {
        // The item before takes the choice, also when the last item went; before the first
        // there is none.
        m_selectedIndex = index - 1;
        if (IndexValid(m_selectedIndex)) {
            SelectedIndex(m_selectedIndex);
        }
    }
    return true;
}

void ComboBox::Clear() {
    m_displayText.clear();
    m_items.clear();
    m_itemData.clear();
    // An index into the emptied list would point at nothing.
    m_selectedIndex = 0;
    if (m_handle != 0) {
        InvalidateElement();
    }
}

ElementHandle ComboBox::EditHandle() {
    return m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive()
               ? m_edit->GetElementHandle()
               : 0;
}

void ComboBox::PreTextDrawHook(DrawContext*) {}

std::uint32_t ComboBox::OnSelectionChanged(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kComboSelectionChanged, routine, owner);
}

std::uint32_t ComboBox::OnDropDown(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kComboDropDown, routine, owner);
}

std::uint32_t ComboBox::OnCloseUp(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kComboCloseUp, routine, owner);
}

void ComboBox::Reserved125() {}

// ---- Message handler ----------------------------------------------------------------------------

void ComboBox::OnButtonDown(HWND window) {
    if (m_droppedDown != 0) {
        return;
    }
    const ElementHandle handle = m_handle;
    m_droppedDown = 1;
    RaiseElementEvent(handle, kComboDropDown, {handle});
    const std::int32_t result = DropDown(window);
    RaiseElementEvent(handle, kComboCloseUp, {handle});
    if (m_self != this || m_handle != handle) {
        return;
    }
    // A routine bound to the notices may have changed the items meanwhile.
    if (result != 0 && IndexValid(result)) {
        const std::wstring& text = m_items[static_cast<std::size_t>(result - 1)];
        SetDisplayText(text);
        m_selectedIndex = result;
        RaiseElementEvent(handle, kComboSelectionChanged,
                          {handle, static_cast<std::uint32_t>(result)});
        if (m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive()) {
            m_edit->TextWide(BytesOfWide(m_displayText));
            m_edit->Select(0, -1);
        }
    }
    m_droppedDown = 0;
    Paint(window, HasElementFocus() || EditHasFocus() ? kComboButtonHot : kComboButtonNormal);
}

LRESULT ComboBox::ClassMessageHandler(HWND window, ElementHandle, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            Layout();
            if (IndexValid(m_selectedIndex)) {
                SelectedIndex(m_selectedIndex);
            }
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case kMsgRedraw:
            Layout();
            Paint(window, kComboButtonNormal);
            return 0;
        case WM_SETTEXT:
            if (wParam != kSetTextWide) {
                Text(std::string(reinterpret_cast<const char*>(lParam)));
            } else {
                TextWide(WideTextToBytes(reinterpret_cast<const wchar_t*>(lParam)));
            }
            return 1;
        case kMsgCreatedFromLayout:
            DeleteStringFormat(m_format);
            m_format = CreateCaptionFormat(kFormatSingleLine);
            m_textColour = DefaultTextColour();
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(window);
            return 0;
        case WM_MOUSEMOVE:
            if (m_editable != 0 && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
                PaintButtonOnly(window,
                                ButtonHitTest(lParam) ? kComboButtonHot : kComboButtonNormal);
            }
            return 0;
        case WM_SETFOCUS:
            if (m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive()) {
                if (static_cast<ElementHandle>(wParam) != m_edit->GetElementHandle()) {
                    m_edit->SetElementFocus();
                }
            } else {
                Paint(window, kComboButtonHot);
            }
            return 0;
        case WM_KILLFOCUS:
            if (m_editable != 0 && m_edit != nullptr && m_edit->IsElementAlive() &&
                static_cast<ElementHandle>(wParam) == m_edit->GetElementHandle()) {
                Paint(window, kComboButtonHot);
            } else {
                Paint(window, kComboButtonNormal);
            }
            return 0;
        case WM_PAINT:
            Paint(window, kComboButtonNormal);
            return 0;
        case kMsgMouseEnter:
            Paint(window, kComboButtonHot);
            return 0;
        case kMsgMouseLeave:
            Paint(window, EditHasFocus() ? kComboButtonHot : kComboButtonNormal);
            return 0;
        case WM_DESTROY:
            if (m_dropDownWindow != nullptr && IsWindow(m_dropDownWindow)) {
                SendMessageW(m_dropDownWindow, WM_CLOSE, 0, 0);
            }
            Clear();
            FreeMembers();
            return 0;
        default:
            return 0;
    }
}

}  // namespace toolkit

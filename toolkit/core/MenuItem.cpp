#include "core/MenuItem.h"

#include <new>
#include <vector>

#include "controls/Button.h"
#include "controls/TextDrawing.h"
#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "core/HostWindow.h"
#include "core/PopupMenu.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/Drawing.h"
#include "foundation/EngineBinding.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

// Alphas of the menu colour: the separator line and the two ends of the hover gradient.
constexpr std::uint32_t kSeparatorAlpha = 102;
constexpr std::uint32_t kHoverAlphaLeft = 181;
constexpr std::uint32_t kHoverAlphaRight = 204;
constexpr std::int32_t kGradientHorizontal = 0;
constexpr Gdiplus::ARGB kHoverTextOnDark = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kHoverTextOnLight = 0xFF000000;
// The sub-menu arrow: a small open triangle near the right edge.
constexpr COLORREF kArrowColour = 0x928578;
constexpr COLORREF kArrowHoverColour = 0xFFFFFF;
constexpr std::uint32_t kArrowAlpha = 230;
constexpr float kArrowInset = 4.0f;
constexpr float kArrowHalf = 4.0f;
// The gap between the icon's area and the caption.
constexpr std::int32_t kIconTextGap = 4;
constexpr float kCaptionDrop = 1.0f;
// Captions keep to one line, end in an ellipsis character and underline their access key.
constexpr std::int32_t kTrimmingEllipsisCharacter = 3;
constexpr std::int32_t kHotkeyPrefixShow = 1;

HWND RootMenuWindow(HWND window) {
    return static_cast<HWND>(GetPropA(window, kMenuRootProperty));
}

}  // namespace

PopupMenu* SubMenuOf(const MenuItemRecord& record) {
    if (record.kind == kMenuItemKindItem || record.kind == kMenuItemKindSeparator) {
        return nullptr;
    }
    return reinterpret_cast<PopupMenu*>(static_cast<std::uintptr_t>(record.kind));
}

MenuItem* MenuItemFromHandle(ElementHandle handle) {
    if (ReadElementField(handle, kFieldClassTypeId) != static_cast<std::uint32_t>(kTypeMenuItem)) {
        return nullptr;
    }
    return static_cast<MenuItem*>(ElementFromHandle(handle));
}

Gdiplus::GpStringFormat* CreateMenuCaptionFormat() {
    Gdiplus::GpStringFormat* format = CreateCaptionFormat(kFormatNoWrap);
    if (format != nullptr) {
        SetStringFormatAlign(format, Gdiplus::StringAlignmentNear);
        SetStringFormatTrimming(format, kTrimmingEllipsisCharacter);
        gp::GdipSetStringFormatHotkeyPrefix(format, kHotkeyPrefixShow);
    }
    return format;
}

// ---- Object slots -------------------------------------------------------------------------------

void MenuItem::FreeMembers() {
    delete m_record;
    m_record = nullptr;
    DeleteStringFormat(m_format);
}

std::uint32_t MenuItem::Clone() {
    MenuItem* copy = CloneOnProcessHeap(*this);
    if (copy == nullptr) {
        return 0;
    }
    copy->m_record = m_record != nullptr ? new MenuItemRecord(*m_record) : nullptr;
    copy->m_format = nullptr;
    if (m_format != nullptr) {
        gp::GdipCloneStringFormat(m_format, &copy->m_format);
    }
    return AddressOf(copy);
}

ElementHandle MenuItem::CreateMenuItem(HWND window, std::int32_t x, std::int32_t y,
                                       std::int32_t width, std::int32_t height) {
    // Rows take the focus and a Tab stop like any element, so Tab moves across them and Enter or
    // Space chooses the focused one.
    return CreateElement(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)), x, y,
                         width, height, kTypeMenuItem, kClassMenuItem, ElementCreateOptions{});
}

void MenuItem::SetMenuItem(const MenuItemRecord& record) {
    auto* copy = new MenuItemRecord(record);
    delete m_record;
    m_record = copy;
    if (IsElementAlive()) {
        InvalidateElement();
    }
}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT MenuItem::ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM,
                                      LPARAM) {
    switch (message) {
        case WM_CREATE:
            DeleteStringFormat(m_format);
            m_format = CreateMenuCaptionFormat();
            if (m_record != nullptr) {
                RegisterCaptionMnemonic(handle, WideToText(m_record->text).c_str());
            }
            return 0;
        case WM_DESTROY:
            FreeMembers();
            return 0;
        case WM_PAINT:
        // A focused row is drawn as hovered, so the row that Tab reaches shows at once.
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            PaintMenuItem(kButtonNormal);
            return 0;
        case kMsgMouseEnter:
            OnPointerEnter();
            return 0;
        case kMsgMouseLeave:
            OnPointerLeave();
            return 0;
        case kMsgClick:
            OnClick();
            return 0;
        default:
            return 0;
    }
}

void MenuItem::OnPointerEnter() {
    HostRecordFields* host = Host();
    if (host == nullptr) {
        return;
    }
    const ElementHandle before = host->hovered;
    host->hovered = m_handle;
    if (before != 0 && before != m_handle) {
        CallElementProc(before, WM_PAINT, 0, 0);
    }
    PaintMenuItem(kButtonHover);
    KillTimer(m_hostWindow, kTimerMenuDelay);
    SetTimer(m_hostWindow, kTimerMenuDelay, kMenuDelayMs, nullptr);
}

void MenuItem::OnPointerLeave() {
    HostRecordFields* host = Host();
    if (host != nullptr && GetPropA(m_hostWindow, kMenuSubProperty) == nullptr &&
        host->hovered == m_handle) {
        host->hovered = 0;
    }
    PaintMenuItem(kButtonNormal);
}

void MenuItem::OnClick() {
    if (m_record == nullptr || m_record->kind == kMenuItemKindSeparator) {
        return;
    }
    const HWND window = m_hostWindow;
    const ElementHandle handle = m_handle;
    if (PopupMenu* subMenu = SubMenuOf(*m_record)) {
        const HWND openSub = static_cast<HWND>(GetPropA(window, kMenuSubProperty));
        const auto openItem = static_cast<ElementHandle>(
            reinterpret_cast<std::uintptr_t>(GetPropA(window, kMenuActiveProperty)));
        if (openSub != nullptr) {
            if (openItem != handle) {
                // This window keeps the activation, so closing the other sub-menu does not
                // look like the focus leaving the menus.
                SetForegroundWindow(window);
                RemovePropA(window, kMenuSubProperty);
                RemovePropA(window, kMenuActiveProperty);
                PostMessageW(openSub, WM_CLOSE, 0, 0);
            }
            return;
        }
        KillTimer(window, kTimerMenuDelay);
        if (HostRecordFields* host = Host()) {
            host->hovered = handle;
        }
        SetPropA(window, kMenuActiveProperty, reinterpret_cast<HANDLE>(handle));
        subMenu->PopupMenuAt(window, handle, 0, 0, false);
        return;
    }

    // An ordinary item: every menu window closes, then the choice is carried out. The record's
    // values are copied first, since the routine may run a loop in which this item goes away.
    const bool sendCommand = m_record->sendCommand;
    const std::uint32_t command = m_record->command;
    const std::uint32_t owner = m_record->owner;
    const HWND root = RootMenuWindow(window);
    ShowWindow(window, SW_HIDE);
    PostMessageW(root, WM_CLOSE, 0, 0);
    if (sendCommand) {
        const auto event = static_cast<ElementHandle>(
            reinterpret_cast<std::uintptr_t>(GetPropA(root, kMenuEventProperty)));
        if (event != 0 && ReadElementField(event, kFieldAlive) != 0) {
            SendToElement(event, WM_COMMAND, command, 0);
        } else {
            SendMessageW(GetParent(root), WM_COMMAND, command, 0);
        }
        return;
    }
    CallAddress(command, {CallArg(owner, owner != 0)});
}

// ---- Painting -----------------------------------------------------------------------------------

void MenuItem::PaintMenuItem(std::int32_t state) {
    if (m_record == nullptr) {
        return;
    }
    const ElementHandle handle = m_handle;
    DrawContext context{};
    BeginElementDraw(handle, &context);
    Gdiplus::GpGraphics* graphics = context.graphics;
    const std::uint32_t theme = context.theme;
    const COLORREF menuColour = GetHostBackgroundColour(handle);
    const auto width = static_cast<float>(m_width);
    const auto height = static_cast<float>(m_height);

    if (m_record->kind == kMenuItemKindSeparator) {
        const auto left =
            static_cast<float>(GetThemeInteger(theme, kMenuSection, kMenuKeyCutLineLeft));
        const auto right =
            static_cast<float>(GetThemeInteger(theme, kMenuSection, kMenuKeyCutLineRight));
        DrawLine(graphics, RgbToArgb(menuColour, kSeparatorAlpha), left, 1.0f, width + right - 1.0f,
                 1.0f);
        EndElementDraw(handle, &context);
        return;
    }

    const HostRecordFields* host = context.host;
    const bool hovered = state == kButtonHover || (m_state & kStateFocused) != 0 ||
                         (host != nullptr && host->hovered == handle);
    Gdiplus::ARGB textColour = m_record->textColour;
    if (hovered) {
        FillGradientRect(graphics, Gdiplus::RectF(0.0f, 0.0f, width, height),
                         RgbToArgb(menuColour, kHoverAlphaLeft),
                         RgbToArgb(menuColour, kHoverAlphaRight), kGradientHorizontal);
        textColour = IsDarkColor(RgbToArgb(menuColour)) ? kHoverTextOnDark : kHoverTextOnLight;
    }

    if (SubMenuOf(*m_record) != nullptr) {
        ThemeRect margin{};
        GetThemeRect(theme, kMenuSection, kMenuKeyMargin, &margin);
        const float tipX = width + static_cast<float>(margin.v[2]) - kArrowInset;
        const float middleY = static_cast<float>(m_height / 2) - 1.0f;
        const std::vector<Gdiplus::PointF> arrow = {
            {tipX - kArrowHalf, middleY - kArrowHalf},
            {tipX, middleY},
            {tipX - kArrowHalf, middleY + kArrowHalf},
        };
        DrawPolygonPoints(graphics, arrow,
                          RgbToArgb(hovered ? kArrowHoverColour : kArrowColour, kArrowAlpha));
    }

    const std::int32_t textLeft = m_record->textLeft != 0
                                      ? m_record->textLeft
                                      : GetThemeInteger(theme, kMenuSection, kMenuKeyTextLeft);
    const std::int32_t iconLeft = m_record->iconLeft != 0
                                      ? m_record->iconLeft
                                      : GetThemeInteger(theme, kMenuSection, kMenuKeyIconLeft);
    const auto* caption = reinterpret_cast<const wchar_t*>(m_record->text.data());
    Gdiplus::GpFont* font = Toolkit().defaultFont;
    if (!m_record->text.empty() && font != nullptr) {
        const Gdiplus::RectF layout(static_cast<float>(textLeft), 0.0f,
                                    width - static_cast<float>(textLeft), height);
        Gdiplus::RectF bounds;
        gp::GdipMeasureString(graphics, caption, -1, font, &layout, m_format, &bounds, nullptr,
                              nullptr);
        const Gdiplus::RectF place(static_cast<float>(textLeft),
                                   (height - bounds.Height) / 2.0f + kCaptionDrop,
                                   width - static_cast<float>(textLeft), bounds.Height);
        DrawTextWithEffect(graphics, place, caption, font, textColour, m_format, kTextEffectNone);
    }

    const bool checked = (m_record->state & kMenuItemChecked) != 0;
    if (checked || !m_record->icon.empty()) {
        GpImagePtr picture;
        if (checked) {
            Gdiplus::RectF part;
            std::uint32_t imageId = 0;
            if (GetThemeRectF(theme, kMenuSection, kMenuKeyCheck, &part, &imageId)) {
                GpImagePtr themePicture(
                    reinterpret_cast<Gdiplus::GpImage*>(EngineThemeImage(theme, imageId)));
                picture.reset(CloneImageArea(themePicture.get(), static_cast<int>(part.X),
                                             static_cast<int>(part.Y), static_cast<int>(part.Width),
                                             static_cast<int>(part.Height))
                                  .release());
            }
        } else {
            picture = LoadImageFromBytes(m_record->icon);
        }
        if (picture) {
            const Gdiplus::RectF area(static_cast<float>(iconLeft), 0.0f,
                                      static_cast<float>(textLeft - iconLeft - kIconTextGap),
                                      height);
            gp::GdipSetClipRect(graphics, area.X, area.Y, area.Width, area.Height,
                                Gdiplus::CombineModeReplace);
            DrawImageScaled(graphics, picture.get(), area, true, kOpaqueAlpha, true);
            gp::GdipResetClip(graphics);
        }
    }
    EndElementDraw(handle, &context);
}

}  // namespace toolkit

#include "core/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/Button.h"
#include "controls/ImageBox.h"
#include "controls/Label.h"
#include "controls/TextDrawing.h"
#include "controls/ThunderButton.h"
#include "core/HostWindow.h"
#include "core/ThemePainter.h"
#include "foundation/CallAddress.h"
#include "foundation/Drawing.h"
#include "foundation/EngineBinding.h"
#include "foundation/ImageHelpers.h"
#include "foundation/PresentBatch.h"
#include "foundation/TextCodec.h"
#include "foundation/Toolkit.h"

namespace toolkit {

namespace gp = Gdiplus::DllExports;

namespace {

// Theme keys of the box ("MsgBox").
constexpr char kSectionMsgBox[] = "MsgBox";
constexpr char kKeyIconSize[] = "iconsize";
constexpr char kKeyBarHeight[] = "barheight";
constexpr char kKeyBlockSize[] = "blocksize";
constexpr char kKeyPicture[] = "rect";
constexpr char kIconKeyPrefix[] = "m";

constexpr std::int32_t kDefaultWidth = 320;
constexpr std::int32_t kInitialHeight = 150;
// The text area's place in the body, and how far the icon pushes it.
constexpr std::int32_t kTextLeft = 25;
constexpr std::int32_t kTextBelowCaption = 5;
constexpr std::int32_t kTextSideMargins = 50;
constexpr std::int32_t kTextVerticalMargins = 10;
constexpr std::int32_t kIconGap = 20;
constexpr std::int32_t kIconBelowTextTop = 5;
// A short message moves up by this much and is centred vertically.
constexpr std::int32_t kShortTextLift = 10;
// Room the label needs around its text: its insets on both sides and one pixel for rounding
// and for the lower place of lines with wide characters.
constexpr std::int32_t kGrowSlack = static_cast<std::int32_t>(2 * kLabelTextInset) + 1;
static_assert(kGrowSlack == 5, "the room added around a message that outgrows its area");
constexpr std::int32_t kMinimumHeightSlack = 5;
// Buttons sit in the bar, kButtonPitch apart from the right edge.
constexpr std::int32_t kButtonWidth = 70;
constexpr std::int32_t kButtonHeight = 26;
constexpr std::int32_t kButtonPitch = 75;
constexpr std::int32_t kButtonHalfHeight = 12;
// Without a host window as owner the box is its own layered window.
constexpr COLORREF kOwnBackground = 0xFF9933;
constexpr std::int32_t kOwnLayeredAlpha = 210;
constexpr std::uint32_t kBoxCaptionFlags = kCaptionTitle | kCaptionClose;
constexpr char kValueSeparator = '|';

struct ButtonChoice {
    const char* text;
    std::int32_t value;
};

// Each kind's buttons from the right edge leftwards.
struct KindButtons {
    ButtonChoice buttons[3];
    std::size_t count;
};
constexpr KindButtons kKinds[kMessageBoxKindCount] = {
    {{{kMessageBoxTextOk, kResultOk}}, 1},
    {{{kMessageBoxTextCancel, kResultCancel}, {kMessageBoxTextOk, kResultOk}}, 2},
    {{{kMessageBoxTextIgnore, kResultIgnore},
      {kMessageBoxTextRetry, kResultRetry},
      {kMessageBoxTextAbort, kResultAbort}},
     3},
    {{{kMessageBoxTextCancel, kResultCancel},
      {kMessageBoxTextNo, kResultNo},
      {kMessageBoxTextYes, kResultYes}},
     3},
    {{{kMessageBoxTextNo, kResultNo}, {kMessageBoxTextYes, kResultYes}}, 2},
    {{{kMessageBoxTextCancel, kResultCancel}, {kMessageBoxTextRetry, kResultRetry}}, 2},
};

template <typename Routine>
std::uint32_t RoutineAddress(Routine routine) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(routine));
}

std::uint32_t WindowWord(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

// Event 2 of the box window: the properties the box set go with it.
std::uint32_t __stdcall OnBoxDestroyed(HWND window) {
    RemovePropA(window, kMessageBoxProperty);
    RemovePropA(window, kWindowFlagsProperty);
    return 0;
}

bool IsInputMessage(UINT message) {
    constexpr UINT kFirstKey = 255;
    constexpr UINT kLastKey = 263;
    constexpr UINT kFirstMouse = 512;
    constexpr UINT kLastMouse = 525;
    return (message >= kFirstKey && message <= kLastKey) ||
           (message >= kFirstMouse && message <= kLastMouse);
}

bool IsButtonPress(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_XBUTTONDOWN:
        case WM_XBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

struct TextSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The message as the label draws it: every line break ("\r\n", a lone "\r" or "\n") is one
// "\n". GDI+ breaks lines at "\n" only and draws a "\r" as a glyph of its own. GBK trail bytes
// are never below 0x40, so the bytes compared here are always whole characters.
std::string WithPlainLineBreaks(const char* text) {
    std::string plain;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        if (*c == '\r') {
            plain += '\n';
            if (c[1] == '\n') {
                ++c;
            }
        } else {
            plain += *c;
        }
    }
    return plain;
}

// The message's size as the label will lay it out: in the default font (every element's font
// unless given another), with the label's own string format, under the text-rendering hint
// element canvases draw with (the box window's frame draws with another, and glyph widths
// differ between the two). Wrapped within the width when one is given, on its own lines
// otherwise.
TextSize MeasureMessage(const std::wstring& text, std::optional<float> width) {
    TextSize size;
    Gdiplus::GpFont* font = Toolkit().defaultFont;
    if (font == nullptr || text.empty()) {
        return size;
    }
    GpBitmapPtr scratch = CreateBitmap(1, 1);
    GpGraphicsPtr graphics = GetImageGraphics(scratch.get());
    GpStringFormatPtr format(CreateCaptionFormat(width ? kFormatWrapped : kFormatSingleLine));
    if (!graphics || !format) {
        return size;
    }
    gp::GdipSetTextRenderingHint(
        graphics.get(), static_cast<Gdiplus::TextRenderingHint>(Toolkit().textRenderingHint));
    const Gdiplus::RectF layout(0.0f, 0.0f, width.value_or(0.0f), 0.0f);
    Gdiplus::RectF bounds;
    if (gp::GdipMeasureString(graphics.get(), text.c_str(), -1, font, &layout, format.get(),
                              &bounds, nullptr, nullptr) == Gdiplus::Ok) {
        size.width = static_cast<std::int32_t>(std::ceil(bounds.Width));
        size.height = static_cast<std::int32_t>(std::ceil(bounds.Height));
    }
    return size;
}

// The box and everything it made, freed together once the box window is gone.
struct BoxObjects {
    std::unique_ptr<HostWindow> host;
    std::unique_ptr<Label> label;
    std::unique_ptr<ImageBox> icon;
    std::vector<std::unique_ptr<Button>> buttons;
    std::vector<std::unique_ptr<ThunderButton>> thunderButtons;

    ~BoxObjects() {
        // Each object is freed as its own class: none of them has a virtual destructor.
        for (auto& button : buttons) {
            button->FreeMembers();
        }
        for (auto& button : thunderButtons) {
            button->FreeMembers();
        }
        if (label) {
            label->FreeMembers();
        }
        if (icon) {
            icon->FreeMembers();
        }
        if (host) {
            host->FreeMembers();
        }
    }
};

struct OwnerRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
};

OwnerRect OwnerRectangle(HWND owner) {
    RECT rect{};
    if (owner != nullptr && IsWindow(owner) && GetWindowRect(owner, &rect)) {
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    const WorkArea area = GetWorkArea();
    return {area.left, area.top, area.width, area.height};
}

void CentreOverOwner(HWND window, const OwnerRect& owner, std::int32_t width, std::int32_t height) {
    MoveWindow(window, owner.left + (owner.width - width) / 2,
               owner.top + (owner.height - height) / 2, width, height, FALSE);
}

}  // namespace

std::int32_t ToolkitMessageBox(HWND owner, const char* text, std::int32_t kind, const char* title,
                               std::int32_t iconType) {
    MessageBoxOptions options;
    options.kind = kind;
    if (title != nullptr) {
        options.title = title;
    }
    options.iconType = iconType;
    return ToolkitMessageBox(owner, text, options);
}

std::int32_t ToolkitMessageBox(HWND owner, const char* text, const MessageBoxOptions& options) {
    std::int32_t result = kResultCancel;
    const OwnerRect ownerRect = OwnerRectangle(owner);
    std::int32_t windowWidth = options.width.value_or(kDefaultWidth);
    std::int32_t windowHeight = kInitialHeight;
    const bool ownerIsWindow = owner != nullptr && IsWindow(owner);

    ToolkitWindowOptions placement;
    placement.parent = ownerIsWindow ? owner : nullptr;
    placement.title = options.title.value_or(kMessageBoxDefaultTitle);
    placement.x = ownerRect.left + (ownerRect.width - windowWidth) / 2;
    placement.y = ownerRect.top + (ownerRect.height - windowHeight) / 2;
    placement.width = windowWidth;
    placement.height = windowHeight;
    placement.extendedStyle = WS_EX_LEFT;
    placement.taskbar = true;
    const HWND window = CreateToolkitWindow(placement);
    if (window == nullptr) {
        return result;
    }

    BoxObjects objects;
    objects.host = std::make_unique<HostWindow>();
    HostWindow& host = *objects.host;
    host.SetPaintRoutine(options.paintRoutine != 0 ? options.paintRoutine
                                                   : RoutineAddress(&PaintMessageBox));
    HostAttachOptions attach;
    attach.captionFlags = kBoxCaptionFlags;
    if (HostWindowFromWindow(owner) != nullptr) {
        attach.parent = owner;
    } else {
        attach.backgroundColour = kOwnBackground;
        attach.layeredAlpha = kOwnLayeredAlpha;
    }
    if (!host.AttachWindow(window, attach)) {
        DestroyWindow(window);
        return result;
    }
    SetPropA(window, kMessageBoxProperty, reinterpret_cast<HANDLE>(1));
    SetPropA(window, kWindowFlagsProperty, reinterpret_cast<HANDLE>(1));
    host.EscapeCloses(true);
    host.BindDestroy(RoutineAddress(&OnBoxDestroyed), 0);

    // Theme values.
    const std::uint32_t theme = host.theme;
    ThemeRect iconSize{};
    GetThemeRect(theme, kSectionMsgBox, kKeyIconSize, &iconSize);
    const std::int32_t barHeight = GetThemeInteger(theme, kSectionMsgBox, kKeyBarHeight);
    ThemeRect blockSize{};
    GetThemeRect(theme, kSectionMsgBox, kKeyBlockSize, &blockSize);
    const std::int32_t topBlock = blockSize.v[2];
    // The shadow margins and the caption height the window itself took from its theme: a box
    // with an owner reads the sub-window's, one without the host window's.
    const RECT margin = *host.shadowMargins;
    const std::int32_t caption = host.captionHeight;
    const std::int32_t marginWidth = margin.left - margin.right;
    const std::int32_t marginHeight = margin.top - margin.bottom;

    if (windowHeight - marginHeight < topBlock + caption) {
        windowHeight = caption + topBlock + marginHeight + kMinimumHeightSlack;
        CentreOverOwner(window, ownerRect, windowWidth, windowHeight);
    }

    // The text area, in element coordinates inside the body.
    std::int32_t areaX = kTextLeft;
    std::int32_t areaY = caption + kTextBelowCaption;
    std::int32_t areaWidth = windowWidth - marginWidth - kTextSideMargins;
    std::int32_t areaHeight =
        windowHeight - marginHeight - caption - barHeight - kTextVerticalMargins;
    const bool withIcon = options.iconType != kMessageBoxNoIcon;
    if (withIcon) {
        areaX += iconSize.v[2] + kIconGap;
        areaWidth -= iconSize.v[2] + kIconGap;
    }
    const std::string plainText = WithPlainLineBreaks(text);
    const std::wstring message = ToWideString(plainText);
    // The message is measured as the label will lay it out, which settles two things about the
    // box's size:
    // - The label draws its text kLabelTextInset in from each edge and, when it centres a line
    //   with wide characters, one pixel lower. So the area must hold the text plus kGrowSlack,
    //   in the short-text test as in growing; against the bare text, a message that only just
    //   fitted lost its last line or its right edge.
    // - With a width given, the message is measured within it, and the label wraps, only when a
    //   line is wider than it. Lines that fit are measured and drawn unwrapped, in the one
    //   single-line format, so measurement and drawing agree.
    const std::int32_t textWidth = areaWidth - kGrowSlack;
    TextSize measured = MeasureMessage(message, std::nullopt);
    const bool wrapWithin = options.width.has_value() && measured.width > textWidth;
    if (wrapWithin) {
        measured = MeasureMessage(message, static_cast<float>(textWidth));
    }
    const bool shortText = measured.height + kGrowSlack <= areaHeight;
    if (shortText) {
        areaY -= kShortTextLift;
    }
    if (measured.width + kGrowSlack > areaWidth) {
        windowWidth = measured.width + (windowWidth - areaWidth) + kGrowSlack;
        areaWidth = measured.width + kGrowSlack;
        CentreOverOwner(window, ownerRect, windowWidth, windowHeight);
    }
    if (measured.height + kGrowSlack > areaHeight) {
        windowHeight = measured.height + (windowHeight - areaHeight) + kGrowSlack;
        areaHeight = measured.height + kGrowSlack;
        CentreOverOwner(window, ownerRect, windowWidth, windowHeight);
    }
    const std::int32_t bodyWidth = windowWidth - marginWidth;
    const std::int32_t bodyHeight = windowHeight - marginHeight;

    // Buttons: the texts may be replaced, but every button's value comes from the kind, so a
    // box shows no more buttons than its kind has values.
    const std::uint32_t parent = WindowWord(window);
    const KindButtons* kindButtons =
        options.kind >= 0 && options.kind < kMessageBoxKindCount ? &kKinds[options.kind] : nullptr;
    const std::size_t valueCount = kindButtons != nullptr ? kindButtons->count : 0;
    const std::size_t buttonCount =
        options.buttonTexts.empty() ? valueCount : std::min(options.buttonTexts.size(), valueCount);
    const std::uint32_t resultAddress = VariableAddress(result);
    for (std::size_t i = 0; i < buttonCount; ++i) {
        const ButtonChoice& choice = kindButtons->buttons[i];
        const char* buttonText =
            options.buttonTexts.empty() ? choice.text : options.buttonTexts[i].c_str();
        Button* button = nullptr;
        if (!options.buttonImage.empty()) {
            objects.thunderButtons.push_back(std::make_unique<ThunderButton>());
            button = objects.thunderButtons.back().get();
        } else {
            objects.buttons.push_back(std::make_unique<Button>());
            button = objects.buttons.back().get();
        }
        const auto place = static_cast<std::int32_t>(i + 1);
        if (button->CreateButton(parent, bodyWidth - kButtonPitch * place,
                                 bodyHeight - barHeight / 2 - kButtonHalfHeight, kButtonWidth,
                                 kButtonHeight, buttonText) == 0) {
            continue;
        }
        button->SetElementAnchors(std::nullopt, std::nullopt, true, true);
        const std::string link =
            std::to_string(resultAddress) + kValueSeparator + std::to_string(choice.value);
        button->ElementText(link.c_str());
        button->BindClick(RoutineAddress(&MessageBoxButtonClicked), 0);
        if (choice.value == options.defaultValue) {
            button->SetElementFocus();
        }
    }

    objects.label = std::make_unique<Label>();
    LabelCreateOptions labelOptions;
    labelOptions.wordWrap = wrapWithin || !shortText;
    if (objects.label->CreateLabel(parent, areaX, areaY, areaWidth, areaHeight, plainText.c_str(),
                                   labelOptions) != 0) {
        objects.label->LabelVerticalAlign(shortText ? kLabelAlignMiddle : kLabelAlignTop);
        objects.label->SetElementAnchors(true, true, true, true);
    }

    if (withIcon) {
        objects.icon = std::make_unique<ImageBox>();
        ImageBox& icon = *objects.icon;
        const std::int32_t iconTop = caption + kTextBelowCaption + kIconBelowTextTop;
        if (icon.CreateImageBox(parent, kTextLeft, iconTop, iconSize.v[2], iconSize.v[3], {}, false,
                                0) != 0) {
            icon.ElementMouseTrack(false);
            icon.ElementFocusable(false);
            const std::string key = kIconKeyPrefix + std::to_string(options.iconType);
            Gdiplus::RectF part;
            std::uint32_t imageId = 0;
            if (GetThemeRectF(theme, kSectionMsgBox, key.c_str(), &part, &imageId)) {
                GpImagePtr picture(
                    reinterpret_cast<Gdiplus::GpImage*>(EngineThemeImage(theme, imageId)));
                GpBitmapPtr cut = CloneImageArea(
                    picture.get(), static_cast<int>(part.X), static_cast<int>(part.Y),
                    static_cast<int>(part.Width), static_cast<int>(part.Height));
                if (cut) {
                    icon.ImageBoxImageHandle(cut.release());
                }
            }
        }
    }

    if (options.sizedRoutine != 0) {
        CallAddress(options.sizedRoutine, {parent, windowWidth, windowHeight});
    }

    host.ShowHostWindow({});
    SetActiveWindow(window);
    if (options.iconType != kMessageBoxNoIcon) {
        MessageBeep(static_cast<UINT>(options.iconType));
    }
    RunModalLoop(window, ownerIsWindow ? owner : nullptr);
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
    return result;
}

void RunModalLoop(HWND box, HWND owner) {
    const NestedLoopScope nestedLoop;  // what the caller presented is pushed before the wait
    if (owner != nullptr) {
        // The owner's hovered element would otherwise keep its hover look under the box.
        SendMessageW(owner, WM_MOUSELEAVE, 0, 0);
    }
    MSG message{};
    while (IsWindow(box)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is quitting: the box goes, and so must every loop outside this one.
            if (IsWindow(box)) {
                DestroyWindow(box);
            }
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) {
            return;
        }
        if (message.hwnd != box && message.hwnd != nullptr && IsInputMessage(message.message)) {
            if (IsButtonPress(message.message)) {
                SendMessageW(message.hwnd, WM_SYSCHAR, 0, 0);
                SetForegroundWindow(box);
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void __stdcall PaintMessageBox(HWND window, Gdiplus::GpGraphics* graphics, std::int32_t width,
                               std::int32_t height) {
    const HostWindow* host = HostWindowFromWindow(window);
    if (host == nullptr || graphics == nullptr || host->body == nullptr) {
        return;
    }
    const std::uint32_t theme = host->theme;
    Gdiplus::RectF part;
    std::uint32_t imageId = 0;
    if (!GetThemeRectF(theme, kSectionMsgBox, kKeyPicture, &part, &imageId)) {
        return;
    }
    GpImagePtr picture(reinterpret_cast<Gdiplus::GpImage*>(EngineThemeImage(theme, imageId)));
    GpBitmapPtr column = CloneImageArea(picture.get(), static_cast<int>(part.X),
                                        static_cast<int>(part.Y), 1, static_cast<int>(part.Height));
    if (!column) {
        return;
    }
    ThemeRect blockSize{};
    GetThemeRect(theme, kSectionMsgBox, kKeyBlockSize, &blockSize);
    const float top = static_cast<float>(blockSize.v[2]);
    const float bar = static_cast<float>(GetThemeInteger(theme, kSectionMsgBox, kKeyBarHeight));
    const float columnHeight = part.Height;
    const RECT& body = *host->body;
    const float left = static_cast<float>(body.left);
    const float bodyTop = static_cast<float>(body.top);
    const float bodyWidth = static_cast<float>(body.right - body.left);
    const float bodyHeight = static_cast<float>(body.bottom - body.top);
    const auto band = [&](float sourceTop, float sourceHeight, float destTop, float destHeight) {
        if (sourceHeight <= 0.0f || destHeight <= 0.0f) {
            return;
        }
        DrawImageEx(graphics, column.get(), Gdiplus::RectF(left, destTop, bodyWidth, destHeight),
                    Gdiplus::RectF(0.0f, sourceTop, 1.0f, sourceHeight), true, kDrawStretched);
    };
    band(0.0f, top, bodyTop, top);
    band(top, columnHeight - top - bar, bodyTop + top, bodyHeight - top - bar);
    band(columnHeight - bar, bar, bodyTop + bodyHeight - bar, bar);
}

std::uint32_t __stdcall MessageBoxButtonClicked(ElementHandle button) {
    const std::string link = ReadElementField(button, kFieldAlive) != 0
                                 ? ElementFromHandle(button)->ElementText()
                                 : std::string();
    const std::size_t separator = link.find(kValueSeparator);
    if (separator != std::string::npos &&
        link.find(kValueSeparator, separator + 1) == std::string::npos) {
        const auto address = static_cast<std::uintptr_t>(
            std::strtoul(link.substr(0, separator).c_str(), nullptr, 10));
        const auto value = static_cast<std::uint32_t>(
            std::strtol(link.substr(separator + 1).c_str(), nullptr, 10));
        WriteInt32Checked(address, value);
    }
    PostMessageW(reinterpret_cast<HWND>(ReadElementField(button, kFieldHostWindow)), WM_CLOSE, 0,
                 0);
    return 0;
}

}  // namespace toolkit

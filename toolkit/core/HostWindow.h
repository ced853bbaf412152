// HostWindow: the toolkit object that owns one top-level window and everything drawn in it.
//
// Sections of the class and where they live:
//  - the record (HostRecordFields, HostRecord.h) and the blocks its pointer fields name;
//  - slots 0-31: object slots, binders, the window procedure and its handlers
//    (HostWindowProc.cpp);
//  - slots 32-85: attaching, themes, geometry, title, show state, tray icon, hot keys, binders
//    (HostWindow.cpp); frame painting, regions and presenting (HostPaint.cpp).
//
// The engine calls slot 39 (PresentWindow) through the method table with __thiscall while it
// shows a window (ordinal 31), and the window-procedure thunk it makes (ordinal 7) calls a
// static forwarder with the object. The class therefore declares its 86 operations in slot
// order and no virtual destructor, and derives from the virtual-free HostRecordFields, so the
// method-table pointer is word 0 and the record follows it.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Element.h"
#include "core/HostRecord.h"
#include "core/SysButton.h"
#include "controls/ImageBox.h"
#include "controls/Label.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// Caption flags (record field 9). 4 to 256 are the caption-button kinds of SysButton.
enum CaptionFlag : std::uint32_t {
    kCaptionIcon = 1,
    kCaptionTitle = 2,
    kCaptionClose = 4,
    kCaptionMax = 8,
    kCaptionMin = 16,
    kCaptionFromStyles = 1024,  // derive the flags from the window's styles
};
// Caption-button kinds in the order they are laid out from the right edge.
constexpr std::uint32_t kCaptionButtonKinds[] = {4, 8, 16, 32, 64, 128, 256};

// Theme sections of a window's shadow and shape: the first for a window without parent.
// The spellings are the themes' own.
constexpr char kShadowSectionHost[] = "SysShadow.HostWnd";
constexpr char kShadowSectionSub[] = "SysShadow.SubWnd";

// Modes of PaintWindowFrame.
enum FrameMode : std::int32_t {
    kFrameOnly = -1,           // the frame without elements
    kFrameComposeRedraw = -2,  // frame, then every element redraws and is composed
    kFrameComposePresent = 0,  // frame, composition and present
};

// No colour given: keep the current background colour.
constexpr std::int32_t kKeepColour = -1;

// Events raised on the window itself (arguments after the window handle).
enum HostEvent : std::uint32_t {
    kHostEventDestroyed = 2,
    kHostEventMoved = 3,
    kHostEventSized = 5,
    kHostEventActivated = 6,
    kHostEventClose = 16,
    kHostEventShown = 24,
    kHostEventHotKey = 786,
};

// The record's 44-byte TOOLINFOA block: the size without the reserved word, which every
// comctl32 version accepts.
constexpr UINT kToolBlockSize = 44;
// The tray block: the first fields of NOTIFYICONDATAW (a 64-character tip) and zero padding.
constexpr DWORD kTrayBlockSize = 488;
constexpr std::size_t kTrayTipBytes = 128;
constexpr UINT kTrayIconId = 1;
// A tip of this many bytes or more is cut to kTrayTipBytes - 2 bytes and two zero bytes.
constexpr std::size_t kTrayTipLimit = 127;

// The tip bytes the tray block holds: padded with zero bytes to 128, or, when 127 bytes or
// longer, cut to 126 bytes followed by two zero bytes.
std::array<std::uint8_t, kTrayTipBytes> TrayTipBytes(const ByteArray& tip);

// Zones of the sizing border (the WMSZ_ values); 0 is none.
std::uint32_t SizingZone(const RECT& body, std::int32_t border, std::int32_t x, std::int32_t y);

// An access key the host clicks on Alt + character.
struct AccessKeyEntry {
    ElementHandle element;
    std::uint32_t character;
};

// AttachWindow's optional arguments; an absent one takes the default named beside it.
struct HostAttachOptions {
    HWND parent = nullptr;   // a host window's theme is inherited
    ByteArray themePackage;  // empty: the default theme
    ByteArray themePassword;
    ByteArray backgroundImage;                           // picture bytes, empty: none
    std::optional<COLORREF> backgroundColour;            // from the picture, else 0
    std::optional<std::uint32_t> captionFlags;           // from the window's styles
    std::optional<std::int32_t> layeredAlpha;            // the parent's, else kNotLayered
    std::optional<std::int32_t> fillMode;                // 0
    float gridMargins[4] = {0.0f, 0.0f, 0.0f, 0.0f};     // "gird" of the background picture
    std::optional<std::uint32_t> blur;                   // the parent's, else 1 (where kept)
    std::optional<std::vector<COLORREF>> borderColours;  // the theme's "crborder"
    std::optional<std::int32_t> cornerRadius;            // the parent's, else the theme's
    std::optional<std::uint32_t> captionDrag;            // 1
};

// The animation values of operations 72 and 73, a1 to a8 (a6 is a routine address).
using AnimationValues = std::array<std::uint32_t, 8>;

class HostWindow : public HostRecordFields {
public:
    HostWindow();
    HostWindow(const HostWindow& other);
    HostWindow& operator=(const HostWindow&) = delete;

    // Slots 0-2.
    virtual void FreeMembers();
    virtual std::uint32_t Clone();
    virtual HostWindow* GetSelf();

    // Slots 3-16: binders of the window's own events (routine address, owner object or 0).
    virtual std::uint32_t BindDestroy(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindSize(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindShow(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindHide(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindLeftDown(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindLeftUp(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindRightDown(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindRightUp(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindMouseMove(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindDoubleClick(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindKeyDown(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindKeyUp(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindMouseWheel(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindChar(std::uint32_t routine, std::uint32_t owner);

    // Slots 17-31: the window procedure and its handlers.
    virtual LRESULT HostWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT ForwardMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // True when the window's own handler of the mouse message runs.
    virtual bool PreMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool SizingBorderHit(UINT message, LPARAM lParam);
    virtual void OnElementFlag(std::uint32_t value, bool releasing);
    virtual void OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
    virtual LRESULT OnDestroy();
    virtual void OnSize(WPARAM type, LPARAM lParam);
    virtual LRESULT OnSysChar(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT SetAccessKey(ElementHandle element, std::uint32_t character);
    virtual void BuildWindowRegion();

    // Slot 32.
    virtual bool AttachWindow(HWND window, const HostAttachOptions& options = {});
    // Slots 33-35: the layout loader (LayoutLoader.cpp). source is the layout's XML text.
    // A new window built from the layout, attached to this object; 0 when the text does not
    // parse or no window could be made.
    virtual HWND LoadLayoutFromXml(const std::string& source, HWND parent = nullptr);
    // The layout's elements created into this object's window; 1 when the text parsed.
    virtual std::uint32_t LoadChildrenFromXml(const std::string& source);
    // Binds routine to message on the window's element with that ID; false when there is none.
    virtual bool BindEventByElementId(std::int32_t id, std::uint32_t message, std::uint32_t routine,
                                      std::uint32_t userValue);

    // Slots 36-39: theme, frame, caption layout, presenting.
    // package: null for none (the inherited or default theme).
    virtual std::uint32_t SetWindowTheme(const ByteArray* package, const ByteArray& password,
                                         const std::vector<COLORREF>* borderColours,
                                         bool refresh = true, std::uint32_t inheritedTheme = 0);
    // image: null or empty for none; colour kKeepColour keeps the current one.
    virtual void PaintWindowFrame(const ByteArray* image, std::int32_t colour, std::int32_t mode);
    virtual void LayoutCaption();
    virtual std::uint32_t PresentWindow();

    // Slots 40-49: geometry, title, show state, icons.
    virtual bool MoveHostWindow(std::optional<std::int32_t> x, std::optional<std::int32_t> y,
                                std::optional<std::int32_t> width = std::nullopt,
                                std::optional<std::int32_t> height = std::nullopt);
    virtual std::int32_t WindowLeft(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t WindowTop(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t WindowWidth(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t WindowHeight(std::optional<std::int32_t> value = std::nullopt);
    // GBK texts.
    virtual std::string WindowTitle(std::optional<std::string> text = std::nullopt);
    // UTF-16 bytes with their 2-byte terminator.
    virtual ByteArray WindowTitleWide(std::optional<ByteArray> text = std::nullopt);
    virtual std::int32_t WindowShowState(std::optional<std::int32_t> state = std::nullopt);
    virtual bool SetTopmost(bool topmost);
    virtual HICON WindowIcon(std::optional<HICON> icon, bool big);

    // Slots 50-57: layering, repaint, presented flag, z-order, messages.
    virtual std::int32_t LayeredAlpha(std::optional<std::int32_t> alpha = std::nullopt);
    virtual void RepaintWindow();
    virtual void ClearPresented();
    virtual void SetPresented();
    virtual bool IsPresented();
    virtual bool SetZOrder(std::optional<std::int32_t> position = std::nullopt);
    virtual LRESULT SendWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Slots 58-67: caption and frame settings, tracking sizes, hot keys.
    virtual void SetShadowMargins(std::int32_t left, std::int32_t top, std::int32_t right,
                                  std::int32_t bottom, bool refresh = true);
    virtual void SetCaptionButtonOffsets(std::int32_t top, std::int32_t right,
                                         bool relayout = true);
    virtual bool BorderFlag(std::optional<bool> value = std::nullopt);
    virtual ElementHandle GetCaptionPart(std::uint32_t kind);
    virtual bool EscapeCloses(std::optional<bool> value = std::nullopt);
    virtual bool Resizable(std::optional<bool> value = std::nullopt);
    virtual bool CaptionDrag(std::optional<bool> value = std::nullopt);
    virtual void SetTrackingSizes(std::int32_t maxWidth, std::int32_t maxHeight,
                                  std::int32_t minWidth, std::int32_t minHeight);
    virtual std::uint32_t RegisterWindowHotKey(UINT modifiers, UINT virtualKey);
    virtual bool UnregisterWindowHotKey(std::uint32_t id);

    // Slots 68-76: tray icon, menu, show and close, background offset, handles.
    // tip: GBK text.
    virtual bool UpdateTrayIcon(std::optional<HICON> icon = std::nullopt,
                                std::optional<std::string> tip = std::nullopt);
    // tip: UTF-16 bytes.
    virtual bool SetTrayIcon(std::optional<HICON> icon = std::nullopt,
                             std::optional<ByteArray> tip = std::nullopt);
    virtual bool RemoveTrayIcon();
    virtual std::uint32_t ShowMenuAtPoint(std::uint32_t menu, std::int32_t x, std::int32_t y);
    virtual std::uint32_t ShowHostWindow(const AnimationValues& values,
                                         std::optional<std::uint32_t> x = std::nullopt);
    virtual void SetCloseAnimation(const AnimationValues& values);
    virtual void SetBackgroundOffset(std::int32_t x, std::int32_t y);
    virtual HWND GetWindowHandle();
    virtual std::uint32_t GetTheme();

    // Slots 77-85: binders of window events, the paint routine and the message hook.
    virtual std::uint32_t BindClose(std::uint32_t routine, std::uint32_t owner);
    // userValue: the address of the value, or null for none.
    virtual void SetPaintRoutine(std::uint32_t routine, const std::uint32_t* userValue = nullptr);
    virtual std::uint32_t BindTrayIcon(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindMoved(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindFirstActivation(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindActivated(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindDeactivated(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindHotKey(std::uint32_t routine, std::uint32_t owner);
    virtual void SetMessageHook(std::uint32_t routine, const std::uint32_t* userValue = nullptr);

    // Not slots.
    const std::vector<AccessKeyEntry>& AccessKeys() const { return m_accessKeys; }
    SysButton* CaptionButton(std::uint32_t kind) const;
    std::size_t CaptionButtonCount() const { return m_captionButtons.size(); }
    const std::vector<COLORREF>& BorderColours() const { return m_borderColours; }
    // Makes the next PaintWindowFrame paint the frame anew instead of reusing the kept one.
    void InvalidateFrame() { m_frameKept = false; }

private:
    // Everything the painted frame (background, shadow, borders) depends on. The frame painted
    // last is kept in the background canvas and reused while these stay the same.
    struct FrameInputs {
        HostSize size;
        RECT body;
        std::uint32_t theme;
        const char* shadowSection;
        std::uint32_t pictureSerial;
        COLORREF colour;
        std::int32_t layeredAlpha;
        std::int32_t fillMode;
        std::array<float, 4> grid;
        POINT imageOffset;
        std::int32_t cornerRadius;
        std::uint32_t borderFlag;
        std::vector<COLORREF> borderColours;

        bool operator==(const FrameInputs& other) const;
    };
    FrameInputs CurrentFrameInputs() const;
    void PaintFrameLayers(HWND served, std::int32_t alpha);
    friend LRESULT CALLBACK HostWindowThunkTarget(HostWindow* object, UINT message, WPARAM wParam,
                                                  LPARAM lParam);

    void PointRecordAtBlocks();
    std::uint32_t Bind(std::uint32_t message, std::uint32_t routine, std::uint32_t owner);
    // Raises a window event with the window handle first.
    std::uint32_t Raise(std::uint32_t event, std::initializer_list<std::uint32_t> arguments);
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    // True while this object still serves the window it served when `window` was read: a
    // routine that ran meanwhile may have destroyed it.
    bool StillServes(HWND window) const;
    const char* ShadowSection() const;
    HostRecordFields* ParentHost() const;
    void CreateCanvases(std::int32_t width, std::int32_t height);
    void FreeCanvases();
    void FreeRegions();
    void ComposeChildren(const RECT& dirty, bool redraw);
    void DrawBorders();
    void CreateCaptionParts();
    void FreeCaptionObjects();
    // The title label's caption (UTF-16 bytes with the terminator) and the icon box's picture.
    void SetCaptionTitle(const ByteArray& title);
    void SetCaptionIcon(HICON icon);
    LRESULT OnClose();
    void OnActivate(WPARAM wParam);
    void DestroyChildren();
    void ReleaseCaptureState();
    void PresentCaptionButton(SysButton* button);
    std::int32_t BodyWidth() const;

    // The blocks the record's pointer fields name.
    TRACKMOUSEEVENT m_trackData;
    float m_gridData[4];
    HostSize m_sizeData;
    HostSize m_maxTrackData;
    HostSize m_minTrackData;
    RECT m_bodyData;
    RECT m_shadowData;
    HostCaptionOffsets m_captionOffsetData;
    TOOLINFOA m_toolData;
    AnimationValues m_closeAnimationData;
    NOTIFYICONDATAW m_trayData;
    std::vector<AccessKeyEntry> m_accessKeys;
    std::vector<std::unique_ptr<SysButton>> m_captionButtons;
    std::vector<COLORREF> m_borderColours;
    // The title label and icon image box, when the caption has them.
    std::unique_ptr<Label> m_titleObject;
    std::unique_ptr<ImageBox> m_iconObject;
    // The frame kept in the background canvas and what it was painted from.
    bool m_frameKept = false;
    // Counts the background pictures loaded, so that each tells itself apart from the last.
    std::uint32_t m_pictureSerial = 0;
    FrameInputs m_frameInputs{};
};

// The method table is word 0 and the record follows it: the engine reads the window at word 2
// and the object-itself cell at word 13.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(HostWindow, closing) == HostFieldObjectOffset(2),
              "the record follows the method table");
static_assert(offsetof(HostWindow, window) ==
                  engine_abi::kHostFieldWindow * engine_abi::kFieldBytes,
              "the engine reads the window here");
static_assert(offsetof(HostWindow, objectAddress) ==
                  engine_abi::kHostFieldSelfCell * engine_abi::kFieldBytes,
              "the own handle names this cell");
#pragma GCC diagnostic pop

// The window-procedure thunk's target: the engine's thunk puts the object where the window
// handle was and jumps here.
LRESULT CALLBACK HostWindowThunkTarget(HostWindow* object, UINT message, WPARAM wParam,
                                       LPARAM lParam);

// The host window object of a window, through its "Ex_Wnd_Control" property; null for other
// windows.
HostWindow* HostWindowFromWindow(HWND window);
// The background colour (0x00BBGGRR) of the host window an element lives in; 0 without one.
COLORREF GetHostBackgroundColour(ElementHandle element);

// Supporting routines of the window procedure.
void UpdateCursorUnderMouse();
ElementHandle ElementAtCursor(HWND window, std::optional<POINT> screenPoint = std::nullopt);
ElementHandle ElementAtScreenPoint(ElementHandle element, std::int32_t x, std::int32_t y);
void ActivateForInput(HWND window);
bool HasWindowStyle(HWND window, DWORD bits, bool extended);
bool AddWindowStyle(HWND window, DWORD bits, bool extended);
bool RemoveWindowStyle(HWND window, DWORD bits, bool extended);
HICON GetWindowIcon(HWND window, bool big);
std::string GetWindowTitleText(HWND window);

// Host window slots the engine or other code calls by number.
enum HostWindowSlot : std::uint32_t {
    kHostSlotWindowProc = 17,
    kHostSlotAttachWindow = 32,
    kHostSlotPresentWindow = 39,
    kHostSlotCount = 86,
};

}  // namespace toolkit

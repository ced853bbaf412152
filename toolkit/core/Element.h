// Element: the base class of every windowless toolkit element.
//
// Sections of the class:
//  - the 91 base operations, declared in slot order (Element.cpp, ElementProc.cpp,
//    ElementProperties.cpp, ElementTree.cpp);
//  - the element record, field n at byte offset 4n, pinned field by field below.
//
// The engine calls slots 0, 1, 2 and 17 of element objects through the method table with
// __thiscall, and control classes repeat slots 2-90 and add their own from slot 91. The class
// therefore declares its virtual operations in slot order and no virtual destructor (which
// would take two table entries and shift every later slot).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "core/ElementFields.h"

namespace toolkit {

struct HostRecordFields;

// Optional arguments of CreateElement; an absent value takes the default named beside it.
struct ElementCreateOptions {
    std::optional<std::int32_t> visible;             // 1
    std::optional<std::int32_t> focusable;           // 1
    std::optional<std::int32_t> mouseTrack;          // 1
    std::optional<std::int32_t> tabStop;             // 1
    std::optional<std::int32_t> tabStopIndex;        // 0
    std::optional<std::int32_t> drawTabStop;         // 1
    std::optional<std::int32_t> cursorId;            // the toolkit's normal cursor
    std::optional<std::int32_t> pressedCursorId;     // the cursor
    std::optional<std::int32_t> transitionInterval;  // 0: no transition
    std::optional<std::int32_t> transitionFrames;    // 0: no transition
    std::optional<std::int32_t> easing;              // 1 (linear)
};

// A rectangle in floats: x, y, width, height.
struct ElementRectF {
    float x;
    float y;
    float width;
    float height;
};

// Places of SetElementZOrder among the siblings (the last child is drawn on top).
enum ElementZPlace : std::int32_t {
    kZFirst = 1,
    kZLast = 2,
    kZBackward = 3,
    kZForward = 4,
    kZSecond = 5,
    kZSecondToLast = 6,
};

class Element {
public:
    Element();
    // The copy every clone (slot 1) starts from: a new element that is not created yet, with
    // copies of the texts, font and file cursors the source owns (Element.cpp).
    Element(const Element& source);
    Element& operator=(const Element&) = delete;

    // Slots 0-2.
    virtual void FreeMembers();
    virtual std::uint32_t Clone();
    virtual Element* GetSelf();

    // Slots 3-16: event binders (routine address, owner object or 0).
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

    // Slots 17-23: message procedure, class hooks, creation.
    virtual LRESULT ElementWndProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT PreFilterMessage(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                     LPARAM lParam);
    virtual LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message,
                                        WPARAM wParam, LPARAM lParam);
    // parent: a host window's HWND, or a parent element's handle.
    virtual ElementHandle CreateElement(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                        std::int32_t width, std::int32_t height,
                                        std::int32_t typeId, const char* className,
                                        const ElementCreateOptions& options);
    virtual void TransitionStep(HWND window, UINT message, UINT_PTR timerId, DWORD time);
    // names: attribute names joined by ","; values: their values joined by the bytes ",!,".
    virtual HWND CreateElementFromLayout(HWND hostWindow, std::uint32_t ignored,
                                         std::uint32_t hostRecord, ElementHandle parent,
                                         std::int32_t typeId, const char* names,
                                         const std::uint8_t* values, std::size_t valuesLength,
                                         const char* className);
    virtual LRESULT AttachElement(std::uint32_t hostRecord, std::int32_t typeId, std::int32_t width,
                                  std::int32_t height, ElementHandle parent, std::int32_t textHint);

    // Slots 24-84: properties and operations.
    virtual void NoOperation24();
    virtual HWND GetHostWindow();
    virtual ElementHandle GetElementHandle();
    virtual ElementHandle GetParentElement();
    // newParent: an element handle, or 0 or an HWND for the host window itself.
    virtual void SetElementParent(std::uint32_t newParent, bool redraw = true);
    virtual LRESULT SendElementMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual BOOL PostElementMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual bool IsElementAlive();
    virtual LRESULT DestroyElement();
    virtual void SetElementZOrder(std::optional<std::int32_t> place = std::nullopt);
    virtual void SetElementFocus();
    virtual void KillElementFocus();
    virtual bool HasElementFocus();
    virtual bool ElementFocusable(std::optional<bool> value = std::nullopt);
    virtual bool ElementTabStop(std::optional<bool> value = std::nullopt);
    virtual std::int32_t SetTabStopIndex(std::optional<std::int32_t> index = std::nullopt);
    virtual void InvalidateElement();
    virtual void InvalidateElementRect(float x, float y, float width, float height);
    virtual void UpdateElement();
    virtual bool ElementVisible(std::optional<bool> value = std::nullopt);
    virtual void MoveElement(std::optional<std::int32_t> x, std::optional<std::int32_t> y,
                             std::optional<std::int32_t> width = std::nullopt,
                             std::optional<std::int32_t> height = std::nullopt,
                             std::optional<bool> throughWindow = std::nullopt);
    virtual std::int32_t ElementLeft(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ElementTop(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ElementWidth(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t ElementHeight(std::optional<std::int32_t> value = std::nullopt);
    virtual ElementRectF ElementRect(std::optional<ElementRectF> value = std::nullopt);
    virtual void SetElementTipText(const char* text);
    // Texts are GBK; a null text is the same as an empty one.
    virtual std::string ElementText(std::optional<const char*> text = std::nullopt);
    virtual void ShowElementTooltipText(const char* text);
    virtual void ShowElementTooltip(const char* text, const char* title, std::int32_t icon);
    virtual bool SetElementTimer(UINT elapse, TIMERPROC routine = nullptr,
                                 bool deliverAsMessage = false);
    virtual void SetElementCursor(std::uint32_t cursor, bool cursorIsHandle,
                                  std::optional<std::uint32_t> pressedCursor = std::nullopt,
                                  bool pressedIsHandle = false);
    virtual std::int32_t ElementAlpha(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t SetElementAlpha(std::optional<std::int32_t> alpha, bool redraw = true,
                                         bool children = true);
    virtual bool ElementAlphaHitTest(std::optional<bool> value = std::nullopt);
    virtual std::int32_t ElementTransitionSteps(std::optional<std::int32_t> frames,
                                                std::optional<std::int32_t> interval);
    virtual std::int32_t ElementTransitionInterval(std::optional<std::int32_t> value);
    virtual std::int32_t ElementTransitionStep();
    virtual std::int32_t ElementTransitionEasing(std::optional<std::int32_t> value);
    virtual bool ElementDisabled(std::optional<bool> value = std::nullopt);
    virtual bool ElementDrawTabStop(std::optional<bool> value = std::nullopt);
    virtual void AdjustFocusRect(ElementRectF* frame);
    virtual bool ElementPresentEnabled(std::optional<bool> value = std::nullopt);
    virtual bool SetElementUserData(std::uint32_t value);
    virtual bool GetElementUserData();
    virtual std::int32_t ElementHostFlag(std::optional<std::int32_t> value = std::nullopt);
    virtual void NoOperation70();
    virtual void SetElementAnchors(std::optional<bool> left, std::optional<bool> top,
                                   std::optional<bool> right, std::optional<bool> bottom);
    virtual std::string ElementFontName(std::optional<const char*> name = std::nullopt);
    virtual std::wstring ElementFontNameWide(std::optional<const wchar_t*> name = std::nullopt);
    virtual std::int32_t ElementFontStyle(std::optional<std::int32_t> style = std::nullopt);
    virtual std::int32_t ElementFontSize(std::optional<std::int32_t> size = std::nullopt);
    virtual Gdiplus::GpFont* SetElementFont(std::optional<Gdiplus::GpFont*> font = std::nullopt);
    virtual std::string ElementClassName(std::optional<const char*> name = std::nullopt);
    virtual bool ElementMouseTrack(std::optional<bool> value = std::nullopt);
    virtual std::uint32_t ShowElementPopupMenu(std::uint32_t menu, std::int32_t x, std::int32_t y);
    virtual void RestartElementTimer(UINT elapse);
    virtual std::int32_t ElementTextRenderingHint(std::optional<std::int32_t> hint = std::nullopt,
                                                  bool redraw = true);
    virtual std::uint32_t GetHostTheme();
    virtual std::uint32_t GetCallingSlot();
    virtual void NoOperation84();

    // Slots 85-90: more event binders.
    virtual std::uint32_t BindSetFocus(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindKillFocus(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindMouseEnter(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindMouseLeave(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindClick(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t BindDropFiles(std::uint32_t routine, std::uint32_t owner);

    // Not a slot: the host record this element lives in, or null.
    HostRecordFields* Host() const;
    bool IsHidden() const { return (m_state & kStateHidden) != 0; }
    bool IsDisabled() const { return (m_state & kStateDisabled) != 0; }

    // The element record. Fields 14, 17, 28, 39 and 40 are unused words kept for the numbering;
    // field 38 says which cursors the element loaded itself and must destroy.
    std::uint32_t m_alive;                  // 1
    HWND m_hostWindow;                      // 2
    ElementHandle m_handle;                 // 3
    std::uint32_t m_hostRecord;             // 4: the host's own handle
    ElementHandle m_parent;                 // 5: 0 when the parent is the host window
    Element* m_self;                        // 6: the cell the handle points at
    std::uint32_t m_disabledLookDrawn;      // 7
    void* m_canvasBits;                     // 8
    Gdiplus::GpGraphics* m_canvasGraphics;  // 9
    std::int32_t m_classTypeId;             // 10
    std::int32_t m_id;                      // 11
    HCURSOR m_cursor;                       // 12
    std::uint32_t m_state;                  // 13
    std::uint32_t m_unused14;               // 14
    std::uint32_t m_tabStop;                // 15
    std::int32_t m_tabStopIndex;            // 16
    std::uint32_t m_unused17;               // 17
    std::uint32_t m_presentEnabled;         // 18
    std::uint32_t m_alpha;                  // 19
    char* m_text;                           // 20
    char* m_tipText;                        // 21
    double m_transitionProgress;            // 22-23
    std::int32_t m_width;                   // 24
    std::int32_t m_height;                  // 25
    ElementHandle m_prevSibling;            // 26
    ElementHandle m_nextSibling;            // 27
    std::uint32_t m_unused28;               // 28
    std::uint32_t m_drawTabStop;            // 29
    std::uint32_t m_transitionInterval;     // 30
    std::uint32_t m_transitionFrames;       // 31
    std::uint32_t m_currentFrame;           // 32
    std::uint32_t m_easing;                 // 33
    ElementHandle m_firstChild;             // 34
    ElementHandle m_lastChild;              // 35
    std::int32_t m_hostFlag;                // 36
    std::uint32_t m_alphaHitTest;           // 37
    std::uint32_t m_cursorOwnership;        // 38: kOwnsCursor, kOwnsPressedCursor
    std::uint32_t m_unused39[2];            // 39-40
    HCURSOR m_pressedCursor;                // 41
    std::uint32_t m_mouseTrack;             // 42
    HDC m_canvasDc;                         // 43
    HBITMAP m_canvasBitmap;                 // 44
    std::uint32_t m_anchors;                // 45
    char* m_className;                      // 46
    Gdiplus::GpFont* m_font;                // 47
    HDC m_snapshotDc;                       // 48
    HBITMAP m_snapshotBitmap;               // 49
    ElementHandle m_nextTab;                // 50
    std::uint32_t m_engineCreated;          // 51
    std::uint32_t m_eventTable;             // 52
    std::int32_t m_left;                    // 53
    std::int32_t m_top;                     // 54
    std::int32_t m_right;                   // 55
    std::int32_t m_bottom;                  // 56
    ElementRectF m_dirty;                   // 57-60
    std::int32_t m_anchorMargin[4];         // 61-64: left, top, right, bottom
    std::int32_t m_windowLeft;              // 65
    std::int32_t m_windowTop;               // 66
    std::int32_t m_windowRight;             // 67
    std::int32_t m_windowBottom;            // 68

    enum CursorOwnership : std::uint32_t {
        kOwnsCursor = 1,
        kOwnsPressedCursor = 2,
    };

protected:
    // Frees everything the record owns and resets fields 1-68 (the end of WM_DESTROY).
    void ReleaseRecord();

private:
    LRESULT OnDestroy();
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    void FinishCreation();
    std::uint32_t Bind(std::uint32_t message, std::uint32_t routine, std::uint32_t owner);
    Gdiplus::GpFont* MakeFontVariant(const wchar_t* family, std::optional<float> size,
                                     std::optional<std::int32_t> style);
};

// Every field at byte offset 4n; the method table is field 0.
#define VENNMARK_PIN_ELEMENT_FIELD(member, field)                               \
    static_assert(offsetof(Element, member) == (field)*engine_abi::kFieldBytes, \
                  "element field " #member " moved")
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
VENNMARK_PIN_ELEMENT_FIELD(m_alive, kFieldAlive);
VENNMARK_PIN_ELEMENT_FIELD(m_hostWindow, kFieldHostWindow);
VENNMARK_PIN_ELEMENT_FIELD(m_handle, kFieldHandle);
VENNMARK_PIN_ELEMENT_FIELD(m_hostRecord, kFieldHostRecord);
VENNMARK_PIN_ELEMENT_FIELD(m_parent, kFieldParent);
VENNMARK_PIN_ELEMENT_FIELD(m_self, kFieldSelf);
VENNMARK_PIN_ELEMENT_FIELD(m_disabledLookDrawn, kFieldDisabledLookDrawn);
VENNMARK_PIN_ELEMENT_FIELD(m_canvasBits, kFieldCanvasBits);
VENNMARK_PIN_ELEMENT_FIELD(m_canvasGraphics, kFieldCanvasGraphics);
VENNMARK_PIN_ELEMENT_FIELD(m_classTypeId, kFieldClassTypeId);
VENNMARK_PIN_ELEMENT_FIELD(m_id, kFieldId);
VENNMARK_PIN_ELEMENT_FIELD(m_cursor, kFieldCursor);
VENNMARK_PIN_ELEMENT_FIELD(m_state, kFieldState);
VENNMARK_PIN_ELEMENT_FIELD(m_tabStop, kFieldTabStop);
VENNMARK_PIN_ELEMENT_FIELD(m_tabStopIndex, kFieldTabStopIndex);
VENNMARK_PIN_ELEMENT_FIELD(m_presentEnabled, kFieldPresentEnabled);
VENNMARK_PIN_ELEMENT_FIELD(m_alpha, kFieldAlpha);
VENNMARK_PIN_ELEMENT_FIELD(m_text, kFieldText);
VENNMARK_PIN_ELEMENT_FIELD(m_tipText, kFieldTipText);
VENNMARK_PIN_ELEMENT_FIELD(m_transitionProgress, kFieldTransitionProgress);
VENNMARK_PIN_ELEMENT_FIELD(m_width, kFieldWidth);
VENNMARK_PIN_ELEMENT_FIELD(m_height, kFieldHeight);
VENNMARK_PIN_ELEMENT_FIELD(m_prevSibling, kFieldPrevSibling);
VENNMARK_PIN_ELEMENT_FIELD(m_nextSibling, kFieldNextSibling);
VENNMARK_PIN_ELEMENT_FIELD(m_drawTabStop, kFieldDrawTabStop);
VENNMARK_PIN_ELEMENT_FIELD(m_transitionInterval, kFieldTransitionInterval);
VENNMARK_PIN_ELEMENT_FIELD(m_transitionFrames, kFieldTransitionFrames);
VENNMARK_PIN_ELEMENT_FIELD(m_currentFrame, kFieldCurrentFrame);
VENNMARK_PIN_ELEMENT_FIELD(m_easing, kFieldEasing);
VENNMARK_PIN_ELEMENT_FIELD(m_firstChild, kFieldFirstChild);
VENNMARK_PIN_ELEMENT_FIELD(m_lastChild, kFieldLastChild);
VENNMARK_PIN_ELEMENT_FIELD(m_hostFlag, kFieldHostFlag);
VENNMARK_PIN_ELEMENT_FIELD(m_alphaHitTest, kFieldAlphaHitTest);
VENNMARK_PIN_ELEMENT_FIELD(m_pressedCursor, kFieldPressedCursor);
VENNMARK_PIN_ELEMENT_FIELD(m_mouseTrack, kFieldMouseTrack);
VENNMARK_PIN_ELEMENT_FIELD(m_canvasDc, kFieldCanvasDc);
VENNMARK_PIN_ELEMENT_FIELD(m_canvasBitmap, kFieldCanvasBitmap);
VENNMARK_PIN_ELEMENT_FIELD(m_anchors, kFieldAnchors);
VENNMARK_PIN_ELEMENT_FIELD(m_className, kFieldClassName);
VENNMARK_PIN_ELEMENT_FIELD(m_font, kFieldFont);
VENNMARK_PIN_ELEMENT_FIELD(m_snapshotDc, kFieldSnapshotDc);
VENNMARK_PIN_ELEMENT_FIELD(m_snapshotBitmap, kFieldSnapshotBitmap);
VENNMARK_PIN_ELEMENT_FIELD(m_nextTab, kFieldNextTab);
VENNMARK_PIN_ELEMENT_FIELD(m_engineCreated, kFieldEngineCreated);
VENNMARK_PIN_ELEMENT_FIELD(m_eventTable, kFieldEventTable);
VENNMARK_PIN_ELEMENT_FIELD(m_left, kFieldLeft);
VENNMARK_PIN_ELEMENT_FIELD(m_top, kFieldTop);
VENNMARK_PIN_ELEMENT_FIELD(m_right, kFieldRight);
VENNMARK_PIN_ELEMENT_FIELD(m_bottom, kFieldBottom);
VENNMARK_PIN_ELEMENT_FIELD(m_dirty, kFieldDirtyX);
VENNMARK_PIN_ELEMENT_FIELD(m_anchorMargin, kFieldAnchorMarginLeft);
VENNMARK_PIN_ELEMENT_FIELD(m_windowLeft, kFieldWindowLeft);
VENNMARK_PIN_ELEMENT_FIELD(m_windowTop, kFieldWindowTop);
VENNMARK_PIN_ELEMENT_FIELD(m_windowRight, kFieldWindowRight);
VENNMARK_PIN_ELEMENT_FIELD(m_windowBottom, kFieldWindowBottom);
#pragma GCC diagnostic pop
#undef VENNMARK_PIN_ELEMENT_FIELD
static_assert(sizeof(void*) == engine_abi::kFieldBytes, "the toolkit is 32-bit");

// Access by handle. Each read goes through the checked memory operations, so a null or stale
// handle reads 0 and a write to it does nothing.
Element* ElementFromHandle(ElementHandle handle);
std::uint32_t ReadElementField(ElementHandle handle, std::uint32_t field);
void WriteElementField(ElementHandle handle, std::uint32_t field, std::uint32_t value);

// A copy of an element object on the process heap, where the engine and the prototype registry
// free element copies (slot 1 of every element class). An element's copy owns copies of what
// its record owns (Element's copy constructor); the members a class adds share the source's
// until the class gives the copy its own.
template <typename T>
T* CloneOnProcessHeap(const T& source) {
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(T));
    if (block == nullptr) {
        return nullptr;
    }
    return new (block) T(source);
}

}  // namespace toolkit

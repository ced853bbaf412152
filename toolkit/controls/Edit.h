// Edit: the toolkit's text box. It has no window: the platform's windowless rich-edit text
// services do the editing and the Edit is their host. The engine's host adapter forwards every
// ITextHost call to slots 91-129 below (thiscall), so those are declared with the interface's
// exact signatures in its order; the class has no virtual destructor.
//
// Sections of Edit.cpp: creation and layout, the ITextHost methods, the handler, paint and
// caret. EditText.cpp: properties, text operations, RTF streaming and the event binders.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include <cstdint>
#include <optional>
#include <string>

#include "controls/EditLayers.h"
#include "controls/ScrollBar.h"
#include "core/Element.h"
#include "foundation/CheckedMemory.h"

namespace toolkit {

// Notifications raised to the bound routines.
enum EditNotification : std::uint32_t {
    kEditTextChanged = 20701,       // (element)
    kEditLink = 20703,              // (element, msg, wParam, lParam, cpMin, cpMax)
    kEditSelectionChanged = 20704,  // (element)
};

// EditStyle values.
enum EditStyleValue : std::int32_t {
    kEditPlain = 0,
    kEditPassword = 32,
    kEditReadOnly = 2048,
    kEditDigitsOnly = 8192,
};

// ScrollBars values.
enum EditScrollBars : std::int32_t {
    kEditNoBars = 0,
    kEditHorizontalBar = 1,
    kEditVerticalBar = 2,
    kEditBothBars = 3,
};

constexpr UINT kEditCaretBlinkMs = 500;
// Height of the system caret the Edit makes to show the input method where the caret is.
constexpr std::int32_t kEditSystemCaretHeight = 12;

// Optional arguments of CreateEdit; an absent value takes the default named beside it.
struct EditCreateOptions {
    std::optional<std::uint32_t> textColour;        // RgbToArgb(0) with alpha 240
    std::optional<std::uint32_t> backgroundColour;  // 0: the theme
    std::optional<std::string> fontName;            // the default font's family
    std::optional<std::int32_t> fontSize;           // 12
    std::optional<std::int32_t> fontStyle;          // 0
    std::int32_t multiLine = 0;
    std::int32_t scrollBars = kEditNoBars;
    std::optional<std::int32_t> maxLength;      // 0: the services' default maximum
    std::optional<std::int32_t> hideSelection;  // 1
    std::int32_t alignment = 0;
    std::int32_t editStyle = kEditPlain;
    std::string password;  // only the first character counts
    std::int32_t richText = 0;
    std::uint32_t borderColour = 0;
    std::optional<std::int32_t> elementStyle;  // 1 (visible)
};

// The outputs of GetSelectionCharFormat.
struct EditCharFormat {
    std::int32_t effects = 0;
    std::int32_t size = 0;
    std::int32_t offset = 0;
    std::uint32_t colour = 0;
    std::wstring faceName;
};

// The outputs of GetSelectionParaFormat.
struct EditParaFormat {
    std::int32_t alignment = 0;
    std::int32_t startIndent = 0;
    std::int32_t rightIndent = 0;
    std::int32_t offset = 0;
    std::int32_t numbering = 0;
};

class Edit : public Element {
public:
    Edit() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;
    // Slot 65: the content margin is the text rectangle.
    void AdjustFocusRect(ElementRectF* frame) override;

    // Slots 91-129: ITextHost, in the published order.
    virtual HDC TxGetDC();
    virtual INT TxReleaseDC(HDC dc);
    virtual BOOL TxShowScrollBar(INT bar, BOOL show);
    virtual BOOL TxEnableScrollBar(INT bars, INT arrows);
    virtual BOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw);
    virtual BOOL TxSetScrollPos(INT bar, INT pos, BOOL redraw);
    virtual void TxInvalidateRect(LPCRECT rect, BOOL mode);
    virtual void TxViewChange(BOOL update);
    virtual BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height);
    virtual BOOL TxShowCaret(BOOL show);
    virtual BOOL TxSetCaretPos(INT x, INT y);
    virtual BOOL TxSetTimer(UINT id, UINT timeout);
    virtual void TxKillTimer(UINT id);
    virtual void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                                  LPRECT updateRect, UINT flags);
    virtual void TxSetCapture(BOOL capture);
    virtual void TxSetFocus();
    virtual void TxSetCursor(HCURSOR cursor, BOOL text);
    virtual BOOL TxScreenToClient(LPPOINT point);
    virtual BOOL TxClientToScreen(LPPOINT point);
    virtual HRESULT TxActivate(LONG* oldState);
    virtual HRESULT TxDeactivate(LONG newState);
    virtual HRESULT TxGetClientRect(LPRECT rect);
    virtual HRESULT TxGetViewInset(LPRECT rect);
    virtual HRESULT TxGetCharFormat(const CHARFORMATW** format);
    virtual HRESULT TxGetParaFormat(const PARAFORMAT** format);
    virtual COLORREF TxGetSysColor(int index);
    virtual HRESULT TxGetBackStyle(TXTBACKSTYLE* style);
    virtual HRESULT TxGetMaxLength(DWORD* length);
    virtual HRESULT TxGetScrollBars(DWORD* bars);
    virtual HRESULT TxGetPasswordChar(WCHAR* character);
    virtual HRESULT TxGetAcceleratorPos(LONG* position);
    virtual HRESULT TxGetExtent(LPSIZEL extent);
    virtual HRESULT OnTxCharFormatChange(const CHARFORMATW* format);
    virtual HRESULT OnTxParaFormatChange(const PARAFORMAT* format);
    virtual HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits);
    virtual HRESULT TxNotify(DWORD notification, void* data);
    virtual HIMC TxImmGetContext();
    virtual void TxImmReleaseContext(HIMC context);
    virtual HRESULT TxGetSelectionBarWidth(LONG* width);

    // Slots 130-131: the ScrollBars' position routines.
    virtual void VerticalScrolled(std::int32_t position);
    virtual void HorizontalScrolled(std::int32_t position);
    // Slots 132-148: properties; a given value is stored and the services told.
    virtual std::int32_t HideSelection(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t Alignment(std::optional<std::int32_t> value = std::nullopt);
    virtual std::int32_t EditStyle(std::optional<std::int32_t> value = std::nullopt);
    virtual ByteArray PasswordChar(std::optional<ByteArray> value = std::nullopt);
    virtual std::int32_t MultiLine(std::optional<std::int32_t> value = std::nullopt);
    virtual void ScrollBars(std::int32_t value);
    virtual std::int32_t MaxLength(std::optional<std::int32_t> value = std::nullopt);
    virtual void CaretColourWidth(std::optional<std::uint32_t> colour,
                                  std::optional<std::int32_t> width);
    virtual std::string Text(std::optional<std::string> value = std::nullopt);
    virtual ByteArray TextWide(std::optional<ByteArray> value = std::nullopt);
    virtual bool Select(std::int32_t start, std::int32_t end = -1);
    virtual std::uint32_t TextColor(std::optional<std::uint32_t> value = std::nullopt);
    virtual std::uint32_t HighlightTextColor(std::optional<std::uint32_t> value = std::nullopt);
    virtual std::uint32_t BackgroundColor(std::optional<std::uint32_t> value = std::nullopt);
    virtual std::uint32_t HighlightColor(std::optional<std::uint32_t> value = std::nullopt);
    virtual std::uint32_t BorderColor(std::optional<std::uint32_t> value = std::nullopt);
    virtual std::int32_t RichText(std::optional<std::int32_t> value = std::nullopt);

    // Slot 149: state 0 normal or 128 hot.
    virtual void PaintEdit(std::uint32_t state);
    // Slot 150.
    virtual void LayoutEdit(std::int32_t width, std::int32_t height);
    // Slot 151. parent: a host window's HWND or a parent element's handle.
    virtual ElementHandle CreateEdit(std::uint32_t parent, std::int32_t left, std::int32_t top,
                                     std::int32_t width, std::int32_t height,
                                     const std::string& text = {},
                                     const EditCreateOptions& options = {});

    // Slots 152-192: text operations, each one or two rich-edit messages.
    virtual LRESULT AppendText(const std::string& text);
    virtual LRESULT AppendTextWide(const std::wstring& text);
    virtual std::int32_t GetTextLength();
    virtual std::string GetSelectedText();
    virtual std::wstring GetSelectedTextWide();
    virtual LRESULT AppendFormattedText(const std::string& text,
                                        std::optional<std::uint32_t> colour,
                                        const std::string& faceName,
                                        std::optional<std::int32_t> size, std::int32_t effects,
                                        std::optional<std::int32_t> offset, bool atEnd = true,
                                        bool canUndo = true);
    virtual LRESULT AppendFormattedTextWide(const std::wstring& text,
                                            std::optional<std::uint32_t> colour,
                                            const std::wstring& faceName,
                                            std::optional<std::int32_t> size, std::int32_t effects,
                                            std::optional<std::int32_t> offset, bool atEnd = true,
                                            bool canUndo = true);
    virtual LRESULT LoadRtf(const ByteArray& rtf);
    virtual std::optional<ByteArray> SaveRtf();
    virtual std::int32_t FindText(const std::wstring& text, std::int32_t start, bool matchCase,
                                  bool wholeWord);
    virtual void SetDefaultCharFormat(const std::wstring& faceName,
                                      std::optional<std::int32_t> size, std::int32_t effects,
                                      std::optional<std::uint32_t> colour,
                                      std::optional<std::int32_t> offset);
    virtual void SetDefaultParaFormat(std::optional<std::int32_t> alignment,
                                      std::optional<std::int32_t> startIndent = std::nullopt,
                                      std::optional<std::int32_t> rightIndent = std::nullopt,
                                      std::optional<std::int32_t> offset = std::nullopt,
                                      std::optional<std::int32_t> numbering = std::nullopt);
    virtual EditCharFormat GetSelectionCharFormat();
    virtual bool SetSelectionCharFormat(const std::wstring& faceName,
                                        std::optional<std::int32_t> size, std::int32_t effects,
                                        std::optional<std::uint32_t> colour,
                                        std::optional<std::int32_t> offset);
    virtual EditParaFormat GetSelectionParaFormat();
    virtual bool SetSelectionParaFormat(std::optional<std::int32_t> alignment,
                                        std::optional<std::int32_t> startIndent,
                                        std::optional<std::int32_t> rightIndent,
                                        std::optional<std::int32_t> offset,
                                        std::optional<std::int32_t> numbering);
    virtual std::string GetTextRange(std::int32_t start, std::int32_t end = -1);
    virtual std::wstring GetTextRangeWide(std::int32_t start, std::int32_t end = -1);
    virtual LRESULT AutoUrlDetect(bool on);
    virtual void Cut();
    virtual void Copy();
    virtual void Paste();
    virtual bool CanPaste();
    virtual void Clear();
    virtual void Undo();
    virtual bool CanUndo();
    virtual void SetUndoLimit(std::int32_t limit);
    virtual void EmptyUndoBuffer();
    virtual void Redo();
    virtual bool ScrollLines(std::int32_t lines);
    virtual bool ScrollPage(bool up, std::int32_t* linesScrolled = nullptr);
    virtual std::int32_t GetLineCount();
    virtual std::string GetLine(std::int32_t line);
    virtual std::int32_t GetLineLength(std::int32_t line);
    virtual bool GetModify();
    virtual std::int32_t GetCaretLineColumn(std::int32_t* line);
    virtual std::int32_t LineFromChar(std::int32_t index = -1);
    virtual void SetModify(bool modified);
    virtual std::int32_t GetFirstVisibleLine();
    virtual void GetSelection(std::int32_t* start, std::int32_t* end);
    virtual LRESULT ReplaceSelection(const std::string& text);

    // Slots 193-194: empty hooks.
    virtual void TextRectHook();
    virtual void PreDrawHook();
    // Slot 195.
    virtual void PropertyBitsChange(DWORD mask, DWORD bits);
    // Slot 196: -1 without text services, else the services' HRESULT.
    virtual HRESULT SendTextMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Slot 197.
    virtual void DrawCaret(bool show, bool restart);
    // Slots 198-200.
    virtual std::uint32_t OnTextChanged(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnLink(std::uint32_t routine, std::uint32_t owner);
    virtual std::uint32_t OnSelectionChanged(std::uint32_t routine, std::uint32_t owner);
    // Slot 201: non-zero ends the handler with that result.
    virtual LRESULT PreHandlerHook(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                   LPARAM lParam);

    // Not slots.
    bool HasTextServices() const { return m_services != nullptr; }
    const RECT& TextRect() const { return m_textRect; }
    ScrollBar& VerticalBar() { return m_vBar; }
    ScrollBar& HorizontalBar() { return m_hBar; }
    std::int32_t CaretBlinkCounter() const { return m_blinkCounter; }
    POINT CaretPosition() const { return {m_caretX, m_caretY}; }
    std::uint32_t WindowColour() const { return m_windowColour; }
    // Sends a message to the services; 0 when they do not answer S_OK.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

private:
    void BuildCharFormat(CHARFORMATW* format, const std::wstring& faceName,
                         std::optional<std::int32_t> size, std::int32_t effects,
                         std::optional<std::uint32_t> colour, std::optional<std::int32_t> offset);
    void BuildParaFormat(PARAFORMAT2* format, std::optional<std::int32_t> alignment,
                         std::optional<std::int32_t> startIndent,
                         std::optional<std::int32_t> rightIndent,
                         std::optional<std::int32_t> offset, std::optional<std::int32_t> numbering);
    void CharFormatFromFont(Gdiplus::GpFont* font);
    void PlaceBar(ScrollBar& bar, bool vertical, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, std::int32_t lineHeight);
    void ChangeBit(std::int32_t& field, std::optional<std::int32_t> value, DWORD bit);
    void OnCreate();
    void OnDestroy();
    void OnRightButtonUp();
    void OnSetFocus();
    void OnKillFocus();
    // Gives the window back the input context a focused password Edit took away.
    void RestoreInputContext();
    void OnTimer();
    void ReleaseCanvases();
    PixelLayer CanvasLayer() const;
    PixelLayer TextLayer() const;
    PixelLayer CaretLayer() const;
    DWORD PasswordBit() const;

public:
    // Called by the stream callback.
    DWORD StreamBytes(BYTE* buffer, LONG count, LONG* done);

private:
    // RTF stream state.
    std::int32_t m_streamMode = 0;
    ByteArray m_streamData;
    std::size_t m_streamPosition = 0;
    std::size_t m_streamLength = 0;
    ScrollBar m_hBar;
    ScrollBar m_vBar;
    HDC m_textDc = nullptr;
    HBITMAP m_textBitmap = nullptr;
    void* m_textBits = nullptr;
    ITextHost* m_host = nullptr;
    ITextServices* m_services = nullptr;
    RECT m_textRect{};
    // Where the services lay the text out: the text rectangle, from the centred line down for a
    // single-line Edit.
    RECT m_layoutRect{};
    RECT m_viewInset{};
    SIZEL m_extent{};
    std::int32_t m_dpiX = 96;
    std::int32_t m_dpiY = 96;
    std::int32_t m_wantReturn = 1;
    std::int32_t m_richText = 0;
    std::int32_t m_disableDrag = 1;
    WCHAR m_password[2] = {0x25CF, 0};
    std::int32_t m_hideSelection = 1;
    std::int32_t m_alignment = 0;
    std::int32_t m_editStyle = kEditPlain;
    std::int32_t m_multiLine = 0;
    std::int32_t m_scrollBars = kEditNoBars;
    std::uint32_t m_windowColour = 0;
    std::uint32_t m_backgroundColour = 0;
    std::uint32_t m_highlightColour = 0;
    std::uint32_t m_textColour = 0;
    std::uint32_t m_highlightTextColour = 0;
    std::uint32_t m_borderColour = 0;
    std::int32_t m_caretHeight = 0;
    std::int32_t m_skipInvalidate = 0;
    HIMC m_savedImc = nullptr;
    CHARFORMATW m_charFormat{};
    PARAFORMAT2 m_paraFormat{};
    std::int32_t m_scrollSync = 0;
    std::int32_t m_blinkCounter = 0;
    std::int32_t m_selectionNotEmpty = 0;
    std::uint32_t m_caretColour = 0;
    std::int32_t m_caretWidth = 1;
    std::int32_t m_caretX = 0;
    std::int32_t m_caretY = 0;
    HDC m_caretDc = nullptr;
    HBITMAP m_caretBitmap = nullptr;
    void* m_caretBits = nullptr;
    // The size both layers were made in, and where the caret was last drawn on its layer.
    SIZE m_layerSize{};
    PixelRect m_caretDrawn{};
};

enum EditSlot : std::uint32_t {
    kSlotEditTxGetDC = 91,
    kSlotEditTxGetSelectionBarWidth = 129,
    kSlotEditVerticalScrolled = 130,
    kSlotEditRichText = 148,
    kSlotEditPaint = 149,
    kSlotEditCreate = 151,
    kSlotEditAppendText = 152,
    kSlotEditReplaceSelection = 192,
    kSlotEditSendMessage = 196,
    kSlotEditPreHandlerHook = 201,
};

}  // namespace toolkit

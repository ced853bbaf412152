// Edit: the ITextHost methods, through which the text services ask the Edit for its DC, its
// rectangles, formats and colours, and tell it of scrolling, caret moves and changes.
#include "controls/Edit.h"

#include "core/ElementEvents.h"
#include "core/ElementTree.h"
#include "foundation/Colour.h"

namespace toolkit {

// ---- ITextHost ----------------------------------------------------------------------------------

HDC Edit::TxGetDC() {
    return m_textDc;
}
INT Edit::TxReleaseDC(HDC dc) {
    return ReleaseDC(nullptr, dc);
}

BOOL Edit::TxShowScrollBar(INT bar, BOOL show) {
    if (!show) {
        ScrollBar& target = bar == SB_VERT ? m_vBar : m_hBar;
        if (target.m_handle != 0) {
            target.MaxValue(0);
        }
    }
    return TRUE;
}

BOOL Edit::TxEnableScrollBar(INT bars, INT arrows) {
    if (arrows != ESB_DISABLE_BOTH) {
        return TRUE;
    }
    const bool horizontal =
        (bars == SB_HORZ && (m_scrollBars & kEditHorizontalBar) != 0) || bars == SB_BOTH;
    const bool vertical =
        (bars == SB_VERT && (m_scrollBars & kEditVerticalBar) != 0) || bars == SB_BOTH;
    if (horizontal && m_hBar.m_handle != 0) {
        m_hBar.MaxValue(0);
    }
    if (vertical && m_vBar.m_handle != 0) {
        m_vBar.MaxValue(0);
    }
    return TRUE;
}

BOOL Edit::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) {
    ScrollBar& target = bar == SB_VERT ? m_vBar : m_hBar;
    if (target.m_handle != 0) {
        target.MinValue(minPos);
        target.MaxValue(maxPos, redraw != 0);
    }
    return TRUE;
}

BOOL Edit::TxSetScrollPos(INT bar, INT pos, BOOL redraw) {
    ScrollBar& target = bar == SB_VERT ? m_vBar : m_hBar;
    if (m_scrollSync == 0 && target.m_handle != 0) {
        m_scrollSync = 1;
        target.Position(pos, redraw != 0);
        m_scrollSync = 0;
    }
    return TRUE;
}

void Edit::TxInvalidateRect(LPCRECT rect, BOOL) {
    if (m_skipInvalidate != 0) {
        m_skipInvalidate = 0;
        return;
    }
    if (rect != nullptr) {
        // The services name rectangles in their own view, which may reach past the Edit.
        const PixelRect area =
            ClipToCanvas({rect->left, rect->top, rect->right, rect->bottom}, m_width, m_height);
        if (area.Empty()) {
            return;
        }
        m_dirty = {static_cast<float>(area.left), static_cast<float>(area.top),
                   static_cast<float>(area.Width()), static_cast<float>(area.Height())};
    }
    CallElementProc(m_handle, WM_PAINT, 0, 0);
}

void Edit::TxViewChange(BOOL update) {
    if (update) {
        CallElementProc(m_handle, WM_PAINT, 1, 0);
    }
}

BOOL Edit::TxCreateCaret(HBITMAP, INT, INT height) {
    // The caret is drawn into the caret layer by DrawCaret; only its height is kept.
    m_caretHeight = height;
    return TRUE;
}

BOOL Edit::TxShowCaret(BOOL show) {
    if (m_selectionNotEmpty == 0) {
        DrawCaret(show != 0, true);
    }
    return TRUE;
}

BOOL Edit::TxSetCaretPos(INT x, INT y) {
    m_caretX = x + m_windowLeft;
    m_caretY = y + m_windowTop;
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin != range.cpMax) {
        ++m_caretX;
    }
    // The system caret is kept at the same place for the input method's composition window.
    if (!SetCaretPos(m_caretX, m_caretY)) {
        CreateCaret(m_hostWindow, nullptr, m_caretWidth, kEditSystemCaretHeight);
        SetCaretPos(m_caretX, m_caretY);
        DestroyCaret();
    }
    return TRUE;
}

BOOL Edit::TxSetTimer(UINT, UINT) {
    return FALSE;
}
void Edit::TxKillTimer(UINT) {}
void Edit::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}
void Edit::TxSetCapture(BOOL) {}
void Edit::TxSetFocus() {}
void Edit::TxSetCursor(HCURSOR, BOOL) {}
BOOL Edit::TxScreenToClient(LPPOINT) {
    return FALSE;
}
BOOL Edit::TxClientToScreen(LPPOINT) {
    return FALSE;
}
HRESULT Edit::TxActivate(LONG*) {
    return E_FAIL;
}
HRESULT Edit::TxDeactivate(LONG) {
    return E_FAIL;
}

HRESULT Edit::TxGetClientRect(LPRECT rect) {
    *rect = m_layoutRect;
    return S_OK;
}

HRESULT Edit::TxGetViewInset(LPRECT rect) {
    *rect = m_viewInset;
    return S_OK;
}

HRESULT Edit::TxGetCharFormat(const CHARFORMATW** format) {
    *format = &m_charFormat;
    return S_OK;
}

HRESULT Edit::TxGetParaFormat(const PARAFORMAT** format) {
    *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
    return S_OK;
}

COLORREF Edit::TxGetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return ArgbToRgb(m_windowColour);
        case COLOR_WINDOWTEXT:
            return ArgbToRgb(m_textColour);
        case COLOR_HIGHLIGHT:
            return ArgbToRgb(m_highlightColour);
        case COLOR_HIGHLIGHTTEXT:
            return ArgbToRgb(m_highlightTextColour);
        default:
            return GetSysColor(index);
    }
}

HRESULT Edit::TxGetBackStyle(TXTBACKSTYLE* style) {
    *style = TXTBACK_TRANSPARENT;
    return S_OK;
}

HRESULT Edit::TxGetMaxLength(DWORD*) {
    return S_OK;
}

HRESULT Edit::TxGetScrollBars(DWORD* bars) {
    DWORD value = ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;
    if ((m_scrollBars & kEditHorizontalBar) != 0) {
        value |= WS_HSCROLL;
    }
    if ((m_scrollBars & kEditVerticalBar) != 0) {
        value |= WS_VSCROLL;
    }
    *bars = value;
    return S_OK;
}

HRESULT Edit::TxGetPasswordChar(WCHAR* character) {
    *character = m_password[0];
    return S_OK;
}

HRESULT Edit::TxGetAcceleratorPos(LONG* position) {
    *position = -1;
    return S_OK;
}

HRESULT Edit::TxGetExtent(LPSIZEL extent) {
    *extent = m_extent;
    return S_OK;
}

HRESULT Edit::OnTxCharFormatChange(const CHARFORMATW*) {
    return E_FAIL;
}
HRESULT Edit::OnTxParaFormatChange(const PARAFORMAT*) {
    return E_FAIL;
}

HRESULT Edit::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    DWORD value = TXTBIT_SAVESELECTION | TXTBIT_ALLOWBEEP;
    if (m_richText != 0) {
        value |= TXTBIT_RICHTEXT;
    }
    if (m_multiLine != 0) {
        value |= TXTBIT_MULTILINE;
        if (m_scrollBars == kEditVerticalBar) {
            value |= TXTBIT_WORDWRAP;
        }
    }
    value |= PasswordBit();
    if (m_hideSelection != 0) {
        value |= TXTBIT_HIDESELECTION;
    }
    if (m_disableDrag != 0) {
        value |= TXTBIT_DISABLEDRAG;
    }
    *bits = value & mask;
    return S_OK;
}

HRESULT Edit::TxNotify(DWORD notification, void* data) {
    switch (notification) {
        case EN_SELCHANGE: {
            const auto* change = static_cast<const SELCHANGE*>(data);
            m_selectionNotEmpty = change != nullptr && change->chrg.cpMin != change->chrg.cpMax;
            if (m_selectionNotEmpty != 0) {
                DrawCaret(false, false);
            }
            RaiseElementEvent(m_handle, kEditSelectionChanged, {m_handle});
            break;
        }
        case EN_CHANGE:
            RaiseElementEvent(m_handle, kEditTextChanged, {m_handle});
            break;
        case EN_LINK:
            if (const auto* link = static_cast<const ENLINK*>(data)) {
                RaiseElementEvent(
                    m_handle, kEditLink,
                    {m_handle, link->msg, link->wParam, static_cast<std::uint32_t>(link->lParam),
                     static_cast<std::uint32_t>(link->chrg.cpMin),
                     static_cast<std::uint32_t>(link->chrg.cpMax)});
            }
            break;
        default:
            break;
    }
    return S_OK;
}

HIMC Edit::TxImmGetContext() {
    return nullptr;
}
void Edit::TxImmReleaseContext(HIMC) {}

HRESULT Edit::TxGetSelectionBarWidth(LONG* width) {
    *width = 0;
    return S_OK;
}

}  // namespace toolkit

// Edit: properties, text operations, RTF streaming and the event binders. Every operation is
// one or two rich-edit messages through SendTextMessage, which answers -1 without services.
#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/Edit.h"
#include "core/ElementEvents.h"
#include "foundation/CallAddress.h"
#include "foundation/Colour.h"
#include "foundation/TextCodec.h"

namespace toolkit {

namespace {

constexpr LONG kTwipsPerPixel = 15;
constexpr UINT kUtf16CodePage = 1200;
constexpr std::size_t kStreamOutBlock = 4096;
constexpr LONG kDefaultTab = 720;
constexpr DWORD kCharEffectBits = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
constexpr DWORD kAllCharBits =
    kCharEffectBits | CFM_SIZE | CFM_OFFSET | CFM_COLOR | CFM_FACE | CFM_CHARSET;
constexpr DWORD kParaBits =
    PFM_NUMBERING | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT;
constexpr std::int32_t kAlignCentre = 1;
constexpr std::int32_t kAlignRight = 2;

std::wstring WideFromBytes(const ByteArray& bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    text.erase(std::find(text.begin(), text.end(), L'\0'), text.end());
    return text;
}

ByteArray BytesFromWide(const std::wstring& text) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return ByteArray(begin, begin + (text.size() + 1) * sizeof(wchar_t));
}

DWORD CALLBACK StreamRoutine(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    Element* element = ElementFromHandle(static_cast<ElementHandle>(cookie));
    if (element == nullptr) {
        *done = 0;
        return 1;
    }
    return static_cast<Edit*>(element)->StreamBytes(buffer, count, done);
}

}  // namespace

// ---- Properties ---------------------------------------------------------------------------------

void Edit::VerticalScrolled(std::int32_t position) {
    if (m_scrollSync == 0) {
        m_scrollSync = 1;
        Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
        m_scrollSync = 0;
    }
}

void Edit::HorizontalScrolled(std::int32_t position) {
    if (m_scrollSync == 0) {
        m_scrollSync = 1;
        Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
        m_scrollSync = 0;
    }
}

void Edit::ChangeBit(std::int32_t& field, std::optional<std::int32_t> value, DWORD bit) {
    if (value && *value != field) {
        field = *value;
        PropertyBitsChange(bit, field != 0 ? bit : 0);
    }
}

std::int32_t Edit::HideSelection(std::optional<std::int32_t> value) {
    ChangeBit(m_hideSelection, value, TXTBIT_HIDESELECTION);
    return m_hideSelection;
}

std::int32_t Edit::Alignment(std::optional<std::int32_t> value) {
    if (value && *value != m_alignment) {
        m_alignment = *value;
        SetDefaultParaFormat(m_alignment);
    }
    return m_alignment;
}

std::int32_t Edit::EditStyle(std::optional<std::int32_t> value) {
    if (value && *value != m_editStyle) {
        m_editStyle = *value;
        PropertyBitsChange(TXTBIT_READONLY | TXTBIT_USEPASSWORD, PasswordBit());
    }
    return m_editStyle;
}

ByteArray Edit::PasswordChar(std::optional<ByteArray> value) {
    if (value && m_editStyle == kEditPassword) {
        const std::wstring text = WideFromBytes(*value);
        if (!text.empty()) {
            m_password[0] = text[0];
        }
        PropertyBitsChange(TXTBIT_USEPASSWORD, text.empty() ? 0 : TXTBIT_USEPASSWORD);
    }
    return BytesFromWide(std::wstring(1, m_password[0]));
}

std::int32_t Edit::MultiLine(std::optional<std::int32_t> value) {
    ChangeBit(m_multiLine, value, TXTBIT_MULTILINE);
    return m_multiLine;
}

void Edit::ScrollBars(std::int32_t value) {
    m_scrollBars = value;
}

std::int32_t Edit::MaxLength(std::optional<std::int32_t> value) {
    if (value) {
        Send(EM_LIMITTEXT, static_cast<WPARAM>(*value), 0);
    }
    return static_cast<std::int32_t>(Send(EM_GETLIMITTEXT));
}

void Edit::CaretColourWidth(std::optional<std::uint32_t> colour,
                            std::optional<std::int32_t> width) {
    m_caretColour = colour.value_or(RgbToArgb(0));
    m_caretWidth = std::max(1, width.value_or(1));
}

std::string Edit::Text(std::optional<std::string> value) {
    if (value) {
        TextWide(TextToWide(*value));
    }
    return WideToText(TextWide());
}

ByteArray Edit::TextWide(std::optional<ByteArray> value) {
    if (value) {
        std::wstring text = WideFromBytes(*value);
        Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // WM_GETTEXT hands out every paragraph break as CR LF, one character more than the
    // services count for it, and its size argument counts characters, not bytes: a byte count
    // let the services write lines of text past the buffer.
    GETTEXTLENGTHEX request{GTL_PRECISE | GTL_NUMCHARS | GTL_USECRLF, kUtf16CodePage};
    const auto length =
        std::max<LRESULT>(0, Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    Send(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = L'\0';
    return BytesFromWide(buffer.data());
}

bool Edit::Select(std::int32_t start, std::int32_t end) {
    CHARRANGE range{start, end};
    return Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range)) != 0;
}

std::uint32_t Edit::TextColor(std::optional<std::uint32_t> value) {
    if (value) {
        m_textColour = *value;
        const std::uint32_t rgb = ArgbToRgb(m_textColour);
        if (rgb == ArgbToRgb(m_windowColour)) {
            m_windowColour = RgbToArgb(~rgb & 0xFFFFFFu);
        }
        InvalidateElement();
    }
    return m_textColour;
}

std::uint32_t Edit::HighlightTextColor(std::optional<std::uint32_t> value) {
    m_highlightTextColour = value.value_or(m_highlightTextColour);
    return m_highlightTextColour;
}

std::uint32_t Edit::BackgroundColor(std::optional<std::uint32_t> value) {
    if (value) {
        m_backgroundColour = *value;
        InvalidateElement();
    }
    return m_backgroundColour;
}

std::uint32_t Edit::HighlightColor(std::optional<std::uint32_t> value) {
    m_highlightColour = value.value_or(m_highlightColour);
    return m_highlightColour;
}

std::uint32_t Edit::BorderColor(std::optional<std::uint32_t> value) {
    if (value) {
        m_borderColour = *value;
        InvalidateElement();
    }
    return m_borderColour;
}

std::int32_t Edit::RichText(std::optional<std::int32_t> value) {
    ChangeBit(m_richText, value, TXTBIT_RICHTEXT);
    return m_richText;
}

// ---- Formats ------------------------------------------------------------------------------------

void Edit::BuildCharFormat(CHARFORMATW* format, const std::wstring& faceName,
                           std::optional<std::int32_t> size, std::int32_t effects,
                           std::optional<std::uint32_t> colour,
                           std::optional<std::int32_t> offset) {
    *format = CHARFORMATW{};
    format->cbSize = sizeof(CHARFORMATW);
    format->dwMask = kCharEffectBits;
    format->dwEffects = static_cast<DWORD>(effects);
    if (size) {
        format->dwMask |= CFM_SIZE;
        format->yHeight = *size * kTwipsPerPixel;
    }
    if (offset) {
        format->dwMask |= CFM_OFFSET;
        format->yOffset = *offset;
    }
    if (colour) {
        format->dwMask |= CFM_COLOR;
        format->crTextColor = ArgbToRgb(*colour);
    }
    if (!faceName.empty()) {
        format->dwMask |= CFM_FACE;
        // The face name is cut to the field, which keeps its terminator.
        const std::size_t count = std::min(faceName.size(), std::size(format->szFaceName) - 1);
        std::copy_n(faceName.c_str(), count, format->szFaceName);
    }
}

void Edit::BuildParaFormat(PARAFORMAT2* format, std::optional<std::int32_t> alignment,
                           std::optional<std::int32_t> startIndent,
                           std::optional<std::int32_t> rightIndent,
                           std::optional<std::int32_t> offset,
                           std::optional<std::int32_t> numbering) {
    *format = PARAFORMAT2{};
    format->cbSize = sizeof(PARAFORMAT2);
    if (numbering) {
        format->dwMask |= PFM_NUMBERING;
        format->wNumbering = static_cast<WORD>(*numbering);
    }
    if (startIndent) {
        format->dwMask |= PFM_STARTINDENT;
        format->dxStartIndent = *startIndent;
    }
    if (rightIndent) {
        format->dwMask |= PFM_RIGHTINDENT;
        format->dxRightIndent = *rightIndent;
    }
    if (offset) {
        format->dwMask |= PFM_OFFSET;
        format->dxOffset = *offset;
    }
    if (alignment) {
        format->dwMask |= PFM_ALIGNMENT;
        format->wAlignment = *alignment == kAlignCentre  ? PFA_CENTER
                             : *alignment == kAlignRight ? PFA_RIGHT
                                                         : PFA_LEFT;
    }
    format->cTabCount = 1;
    format->rgxTabs[0] = kDefaultTab;
}

void Edit::SetDefaultCharFormat(const std::wstring& faceName, std::optional<std::int32_t> size,
                                std::int32_t effects, std::optional<std::uint32_t> colour,
                                std::optional<std::int32_t> offset) {
    BuildCharFormat(&m_charFormat, faceName, size, effects, colour, offset);
    PropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void Edit::SetDefaultParaFormat(std::optional<std::int32_t> alignment,
                                std::optional<std::int32_t> startIndent,
                                std::optional<std::int32_t> rightIndent,
                                std::optional<std::int32_t> offset,
                                std::optional<std::int32_t> numbering) {
    BuildParaFormat(&m_paraFormat, alignment, startIndent, rightIndent, offset, numbering);
    PropertyBitsChange(TXTBIT_PARAFORMATCHANGE, TXTBIT_PARAFORMATCHANGE);
}

EditCharFormat Edit::GetSelectionCharFormat() {
    CHARFORMATW format{};
    format.cbSize = sizeof format;
    format.dwMask = kAllCharBits;
    Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EditCharFormat result;
    result.effects = static_cast<std::int32_t>(format.dwEffects);
    result.size = format.yHeight / kTwipsPerPixel;
    result.offset = format.yOffset;
    result.colour = RgbToArgb(format.crTextColor);
    result.faceName = format.szFaceName;
    return result;
}

bool Edit::SetSelectionCharFormat(const std::wstring& faceName, std::optional<std::int32_t> size,
                                  std::int32_t effects, std::optional<std::uint32_t> colour,
                                  std::optional<std::int32_t> offset) {
    CHARFORMATW format{};
    BuildCharFormat(&format, faceName, size, effects, colour, offset);
    return format.dwMask != 0 &&
           Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)) != 0;
}

EditParaFormat Edit::GetSelectionParaFormat() {
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = kParaBits;
    Send(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    EditParaFormat result;
    result.alignment = format.wAlignment == PFA_RIGHT    ? kAlignRight
                       : format.wAlignment == PFA_CENTER ? kAlignCentre
                                                         : 0;
    result.startIndent = format.dxStartIndent;
    result.rightIndent = format.dxRightIndent;
    result.offset = format.dxOffset;
    result.numbering = format.wNumbering;
    return result;
}

bool Edit::SetSelectionParaFormat(std::optional<std::int32_t> alignment,
                                  std::optional<std::int32_t> startIndent,
                                  std::optional<std::int32_t> rightIndent,
                                  std::optional<std::int32_t> offset,
                                  std::optional<std::int32_t> numbering) {
    PARAFORMAT2 format{};
    BuildParaFormat(&format, alignment, startIndent, rightIndent, offset, numbering);
    return Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format)) != 0;
}

// ---- Text operations ----------------------------------------------------------------------------

LRESULT Edit::AppendText(const std::string& text) {
    return AppendTextWide(ToWideString(text));
}

LRESULT Edit::AppendTextWide(const std::wstring& text) {
    Select(-2, -1);
    return Send(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

std::int32_t Edit::GetTextLength() {
    // Counted in UTF-16 characters: with code page 0 the services count bytes (under Wine two
    // per character), which callers then took for a character count.
    GETTEXTLENGTHEX request{GTL_PRECISE | GTL_NUMCHARS, kUtf16CodePage};
    return static_cast<std::int32_t>(
        Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

std::string Edit::GetSelectedText() {
    return FromWideString(GetSelectedTextWide());
}

std::wstring Edit::GetSelectedTextWide() {
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const LONG count = range.cpMax - range.cpMin;
    if (count < 1) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(count) + 1, L'\0');
    if (Send(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data())) == 0) {
        return {};
    }
    buffer.back() = L'\0';
    return buffer.data();
}

LRESULT Edit::AppendFormattedText(const std::string& text, std::optional<std::uint32_t> colour,
                                  const std::string& faceName, std::optional<std::int32_t> size,
                                  std::int32_t effects, std::optional<std::int32_t> offset,
                                  bool atEnd, bool canUndo) {
    return AppendFormattedTextWide(ToWideString(text), colour, ToWideString(faceName), size,
                                   effects, offset, atEnd, canUndo);
}

LRESULT Edit::AppendFormattedTextWide(const std::wstring& text, std::optional<std::uint32_t> colour,
                                      const std::wstring& faceName,
                                      std::optional<std::int32_t> size, std::int32_t effects,
                                      std::optional<std::int32_t> offset, bool atEnd,
                                      bool canUndo) {
    if (atEnd) {
        Select(-2, -1);
    }
    SetSelectionCharFormat(faceName, size, effects, colour, offset);
    return Send(EM_REPLACESEL, canUndo ? 1 : 0, reinterpret_cast<LPARAM>(text.c_str()));
}

DWORD Edit::StreamBytes(BYTE* buffer, LONG count, LONG* done) {
    if (count < 0) {
        *done = 0;
        return 1;
    }
    if (m_streamMode == 1) {
        const std::size_t left =
            m_streamLength > m_streamPosition ? m_streamLength - m_streamPosition : 0;
        const std::size_t taken = std::min<std::size_t>(static_cast<std::size_t>(count), left);
        if (taken > 0) {
            std::memcpy(buffer, m_streamData.data() + m_streamPosition, taken);
            m_streamPosition += taken;
        }
        *done = static_cast<LONG>(taken);
        return 0;
    }
    m_streamLength += static_cast<std::size_t>(count);
    if (m_streamData.size() < m_streamLength) {
        m_streamData.resize(m_streamLength * 2);
    }
    std::memcpy(m_streamData.data() + m_streamPosition, buffer, static_cast<std::size_t>(count));
    m_streamPosition += static_cast<std::size_t>(count);
    // The services must hear that every byte was taken, or they stop streaming.
    *done = count;
    return 0;
}

LRESULT Edit::LoadRtf(const ByteArray& rtf) {
    m_streamMode = 1;
    m_streamData = rtf;
    m_streamPosition = 0;
    m_streamLength = rtf.size();
    EDITSTREAM stream{static_cast<DWORD_PTR>(m_handle), 0, &StreamRoutine};
    const LRESULT result = Send(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    ByteArray().swap(m_streamData);
    return result;
}

std::optional<ByteArray> Edit::SaveRtf() {
    m_streamMode = 0;
    m_streamData.assign(kStreamOutBlock, 0);
    m_streamPosition = 0;
    m_streamLength = 0;
    EDITSTREAM stream{static_cast<DWORD_PTR>(m_handle), 0, &StreamRoutine};
    LRESULT result = 0;
    const HRESULT sent =
        SendTextMessage(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream), &result);
    std::optional<ByteArray> bytes;
    // Without services nothing was written: that is no document, not an empty one.
    if (sent == S_OK && stream.dwError == 0) {
        bytes = ByteArray(m_streamData.begin(), m_streamData.begin() + m_streamLength);
    }
    ByteArray().swap(m_streamData);
    return bytes;
}

std::int32_t Edit::FindText(const std::wstring& text, std::int32_t start, bool matchCase,
                            bool wholeWord) {
    // The wide message, because the text is UTF-16 and EM_FINDTEXT reads its text as code-page
    // bytes. FR_DOWN, because without it rich edit from 2.0 on searches backwards from the
    // start and would find only text before it.
    FINDTEXTW find{{start, -1}, text.c_str()};
    WPARAM flags = FR_DOWN;
    if (matchCase) {
        flags |= FR_MATCHCASE;
    }
    if (wholeWord) {
        flags |= FR_WHOLEWORD;
    }
    LRESULT result = -1;
    if (SendTextMessage(EM_FINDTEXTW, flags, reinterpret_cast<LPARAM>(&find), &result) != S_OK) {
        return -1;
    }
    return static_cast<std::int32_t>(result);
}

std::string Edit::GetTextRange(std::int32_t start, std::int32_t end) {
    return FromWideString(GetTextRangeWide(start, end));
}

std::wstring Edit::GetTextRangeWide(std::int32_t start, std::int32_t end) {
    if (end == -1) {
        end = GetTextLength();
    }
    if (start < 0 || end <= start) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(end - start) + 1, L'\0');
    TEXTRANGEW range{{start, end}, buffer.data()};
    Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    buffer.back() = L'\0';
    return buffer.data();
}

LRESULT Edit::AutoUrlDetect(bool on) {
    return Send(EM_AUTOURLDETECT, on ? 1 : 0, 0);
}
void Edit::Cut() {
    Send(WM_CUT);
}
void Edit::Copy() {
    Send(WM_COPY);
}
void Edit::Paste() {
    Send(WM_PASTE);
}
bool Edit::CanPaste() {
    return Send(EM_CANPASTE) != 0;
}
void Edit::Clear() {
    Send(WM_CLEAR);
}
void Edit::Undo() {
    Send(EM_UNDO);
}
bool Edit::CanUndo() {
    return Send(EM_CANUNDO) != 0;
}
void Edit::SetUndoLimit(std::int32_t limit) {
    Send(EM_SETUNDOLIMIT, limit);
}
void Edit::EmptyUndoBuffer() {
    Send(EM_EMPTYUNDOBUFFER);
}
void Edit::Redo() {
    Send(EM_REDO);
}

bool Edit::ScrollLines(std::int32_t lines) {
    return Send(EM_LINESCROLL, 0, lines == 0 ? 1 : lines) != 0;
}

bool Edit::ScrollPage(bool up, std::int32_t* linesScrolled) {
    const LRESULT result = Send(EM_SCROLL, up ? SB_PAGEUP : SB_PAGEDOWN);
    if (linesScrolled != nullptr) {
        *linesScrolled = static_cast<std::int16_t>(LOWORD(result));
    }
    return HIWORD(result) != 0;
}

std::int32_t Edit::GetLineCount() {
    return static_cast<std::int32_t>(Send(EM_GETLINECOUNT));
}

std::string Edit::GetLine(std::int32_t line) {
    const std::int32_t length = GetLineLength(line);
    // The first word tells the services the buffer's size, so it is never less than one word.
    std::vector<wchar_t> buffer(static_cast<std::size_t>(std::max(length, 1)) + 1, L'\0');
    buffer[0] = static_cast<wchar_t>(buffer.size());
    const LRESULT copied = Send(EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer.data()));
    const std::size_t kept = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<LRESULT>(copied, 0)), buffer.size() - 1);
    return FromWideString(std::wstring_view(buffer.data(), kept));
}

std::int32_t Edit::GetLineLength(std::int32_t line) {
    const LRESULT index = Send(EM_LINEINDEX, line);
    return static_cast<std::int32_t>(Send(EM_LINELENGTH, index));
}

bool Edit::GetModify() {
    return Send(EM_GETMODIFY) != 0;
}

std::int32_t Edit::GetCaretLineColumn(std::int32_t* line) {
    DWORD start = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const LRESULT row = Send(EM_LINEFROMCHAR, start);
    if (line != nullptr) {
        *line = static_cast<std::int32_t>(row);
    }
    return static_cast<std::int32_t>(start - Send(EM_LINEINDEX, row));
}

std::int32_t Edit::LineFromChar(std::int32_t index) {
    return static_cast<std::int32_t>(Send(EM_LINEFROMCHAR, static_cast<WPARAM>(index)));
}

void Edit::SetModify(bool modified) {
    Send(EM_SETMODIFY, modified ? 1 : 0);
}

std::int32_t Edit::GetFirstVisibleLine() {
    return static_cast<std::int32_t>(Send(EM_GETFIRSTVISIBLELINE));
}

void Edit::GetSelection(std::int32_t* start, std::int32_t* end) {
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (start != nullptr) {
        *start = range.cpMin;
    }
    if (end != nullptr) {
        *end = range.cpMax;
    }
}

LRESULT Edit::ReplaceSelection(const std::string& text) {
    SETTEXTEX options{ST_SELECTION, CP_ACP};
    return Send(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&options),
                reinterpret_cast<LPARAM>(text.c_str()));
}

// ---- Hooks, services and events -----------------------------------------------------------------

void Edit::TextRectHook() {}
void Edit::PreDrawHook() {}

void Edit::PropertyBitsChange(DWORD mask, DWORD bits) {
    if (m_services != nullptr) {
        m_services->OnTxPropertyBitsChange(mask, bits);
    }
}

HRESULT Edit::SendTextMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (m_services == nullptr) {
        return -1;
    }
    return m_services->TxSendMessage(message, wParam, lParam, result);
}

std::uint32_t Edit::OnTextChanged(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kEditTextChanged, routine, owner);
}

std::uint32_t Edit::OnLink(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kEditLink, routine, owner);
}

std::uint32_t Edit::OnSelectionChanged(std::uint32_t routine, std::uint32_t owner) {
    return BindElementEvent(m_handle, kEditSelectionChanged, routine, owner);
}

LRESULT Edit::PreHandlerHook(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

}  // namespace toolkit

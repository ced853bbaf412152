// Ordinals 11 and 12: the platform's windowless text services over the engine's host adapter,
// which reaches the Edit's operations in slots 91 to 129.
#include "../support/CpuEmulation.h"
#include "EngineTestSupport.h"

#include <richedit.h>
#include <textserv.h>

#include <set>

namespace engine_test {
namespace {

using namespace engine_abi;

constexpr Word kRecordFields = 68;
constexpr Word kGetPropertyBitsSlot = kSlotEditHostFirst + 34;
constexpr Word kNotifySlot = kSlotEditHostFirst + 35;
constexpr LONG kWidth = 120, kHeight = 24;
std::set<Word> g_slotsCalled;
std::vector<DWORD> g_notifications;

#define UNUSED_SLOT(n) \
    virtual void Unused##n() {}
#define SLOT(n) g_slotsCalled.insert(kSlotEditHostFirst + (n))

// An Edit-like element: the base slots 0-90 (unused here), then the ITextHost methods in
// interface order as plain members (thiscall), and no virtual destructor.
class TestEdit {
public:
    UNUSED_SLOT(0)
    UNUSED_SLOT(1)
    UNUSED_SLOT(2) UNUSED_SLOT(3) UNUSED_SLOT(4) UNUSED_SLOT(5) UNUSED_SLOT(6) UNUSED_SLOT(
        7) UNUSED_SLOT(8) UNUSED_SLOT(9) UNUSED_SLOT(10) UNUSED_SLOT(11) UNUSED_SLOT(12)
        UNUSED_SLOT(13) UNUSED_SLOT(14) UNUSED_SLOT(15) UNUSED_SLOT(16) UNUSED_SLOT(17) UNUSED_SLOT(
            18) UNUSED_SLOT(19) UNUSED_SLOT(20) UNUSED_SLOT(21) UNUSED_SLOT(22) UNUSED_SLOT(23)
            UNUSED_SLOT(24) UNUSED_SLOT(25) UNUSED_SLOT(26) UNUSED_SLOT(27) UNUSED_SLOT(
                28) UNUSED_SLOT(29) UNUSED_SLOT(30) UNUSED_SLOT(31) UNUSED_SLOT(32) UNUSED_SLOT(33)
                UNUSED_SLOT(34) UNUSED_SLOT(35) UNUSED_SLOT(36) UNUSED_SLOT(37) UNUSED_SLOT(
                    38) UNUSED_SLOT(39) UNUSED_SLOT(40) UNUSED_SLOT(41) UNUSED_SLOT(42)
                    UNUSED_SLOT(43) UNUSED_SLOT(44) UNUSED_SLOT(45) UNUSED_SLOT(46) UNUSED_SLOT(
                        47) UNUSED_SLOT(48) UNUSED_SLOT(49) UNUSED_SLOT(50) UNUSED_SLOT(51)
                        UNUSED_SLOT(52) UNUSED_SLOT(53) UNUSED_SLOT(54) UNUSED_SLOT(55) UNUSED_SLOT(
                            56) UNUSED_SLOT(57) UNUSED_SLOT(58) UNUSED_SLOT(59) UNUSED_SLOT(60)
                            UNUSED_SLOT(61) UNUSED_SLOT(62) UNUSED_SLOT(63) UNUSED_SLOT(64)
                                UNUSED_SLOT(65) UNUSED_SLOT(66) UNUSED_SLOT(67) UNUSED_SLOT(68)
                                    UNUSED_SLOT(69) UNUSED_SLOT(70) UNUSED_SLOT(71) UNUSED_SLOT(72)
                                        UNUSED_SLOT(73) UNUSED_SLOT(74) UNUSED_SLOT(75)
                                            UNUSED_SLOT(76) UNUSED_SLOT(77) UNUSED_SLOT(78)
                                                UNUSED_SLOT(79) UNUSED_SLOT(80) UNUSED_SLOT(81)
                                                    UNUSED_SLOT(82) UNUSED_SLOT(83) UNUSED_SLOT(84)
                                                        UNUSED_SLOT(85) UNUSED_SLOT(86)
                                                            UNUSED_SLOT(87) UNUSED_SLOT(88)
                                                                UNUSED_SLOT(89)
                                                                    UNUSED_SLOT(90) virtual HDC
        TxGetDC() {
        SLOT(0);
        return m_dc;
    }
    virtual INT TxReleaseDC(HDC) {
        SLOT(1);
        return 1;
    }
    virtual BOOL TxShowScrollBar(INT, BOOL) {
        SLOT(2);
        return TRUE;
    }
    virtual BOOL TxEnableScrollBar(INT, INT) {
        SLOT(3);
        return TRUE;
    }
    virtual BOOL TxSetScrollRange(INT, LONG, INT, BOOL) {
        SLOT(4);
        return TRUE;
    }
    virtual BOOL TxSetScrollPos(INT, INT, BOOL) {
        SLOT(5);
        return TRUE;
    }
    virtual void TxInvalidateRect(LPCRECT, BOOL) { SLOT(6); }
    virtual void TxViewChange(BOOL) { SLOT(7); }
    virtual BOOL TxCreateCaret(HBITMAP, INT, INT) {
        SLOT(8);
        return TRUE;
    }
    virtual BOOL TxShowCaret(BOOL) {
        SLOT(9);
        return TRUE;
    }
    virtual BOOL TxSetCaretPos(INT, INT) {
        SLOT(10);
        return TRUE;
    }
    virtual BOOL TxSetTimer(UINT, UINT) {
        SLOT(11);
        return FALSE;
    }
    virtual void TxKillTimer(UINT) { SLOT(12); }
    virtual void TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) { SLOT(13); }
    virtual void TxSetCapture(BOOL) { SLOT(14); }
    virtual void TxSetFocus() { SLOT(15); }
    virtual void TxSetCursor(HCURSOR, BOOL) { SLOT(16); }
    virtual BOOL TxScreenToClient(LPPOINT) {
        SLOT(17);
        return FALSE;
    }
    virtual BOOL TxClientToScreen(LPPOINT) {
        SLOT(18);
        return FALSE;
    }
    virtual HRESULT TxActivate(LONG*) {
        SLOT(19);
        return E_FAIL;
    }
    virtual HRESULT TxDeactivate(LONG) {
        SLOT(20);
        return E_FAIL;
    }
    virtual HRESULT TxGetClientRect(LPRECT rect) {
        SLOT(21);
        *rect = {0, 0, kWidth, kHeight};
        return S_OK;
    }
    virtual HRESULT TxGetViewInset(LPRECT rect) {
        SLOT(22);
        *rect = {0, 0, 0, 0};
        return S_OK;
    }
    virtual HRESULT TxGetCharFormat(const CHARFORMATW** format) {
        SLOT(23);
        *format = &m_charFormat;
        return S_OK;
    }
    virtual HRESULT TxGetParaFormat(const PARAFORMAT** format) {
        SLOT(24);
        *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
        return S_OK;
    }
    virtual COLORREF TxGetSysColor(int index) {
        SLOT(25);
        return GetSysColor(index);
    }
    virtual HRESULT TxGetBackStyle(TXTBACKSTYLE* style) {
        SLOT(26);
        *style = TXTBACK_TRANSPARENT;
        return S_OK;
    }
    virtual HRESULT TxGetMaxLength(DWORD* length) {
        SLOT(27);
        *length = INFINITE;
        return S_OK;
    }
    virtual HRESULT TxGetScrollBars(DWORD* bars) {
        SLOT(28);
        *bars = 0;
        return S_OK;
    }
    virtual HRESULT TxGetPasswordChar(TCHAR* character) {
        SLOT(29);
        *character = L'*';
        return S_OK;
    }
    virtual HRESULT TxGetAcceleratorPos(LONG* position) {
        SLOT(30);
        *position = -1;
        return S_OK;
    }
    virtual HRESULT TxGetExtent(LPSIZEL) {
        SLOT(31);
        return E_NOTIMPL;
    }
    virtual HRESULT OnTxCharFormatChange(const CHARFORMATW*) {
        SLOT(32);
        return E_FAIL;
    }
    virtual HRESULT OnTxParaFormatChange(const PARAFORMAT*) {
        SLOT(33);
        return E_FAIL;
    }
    virtual HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) {
        SLOT(34);
        *bits = 0;
        return S_OK;
    }
    virtual HRESULT TxNotify(DWORD notification, void*) {
        SLOT(35);
        g_notifications.push_back(notification);
        return S_OK;
    }
    virtual HIMC TxImmGetContext() {
        SLOT(36);
        return nullptr;
    }
    virtual void TxImmReleaseContext(HIMC) { SLOT(37); }
    virtual HRESULT TxGetSelectionBarWidth(LONG* width) {
        SLOT(38);
        *width = 0;
        return S_OK;
    }

    TestEdit() {
        m_fields[kFieldSelfCell - 1] = W(this);
        m_dc = CreateCompatibleDC(nullptr);
        m_charFormat.cbSize = sizeof m_charFormat;
        m_charFormat.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_BOLD;
        m_charFormat.yHeight = 180;
        m_charFormat.bCharSet = DEFAULT_CHARSET;
        lstrcpyW(m_charFormat.szFaceName, L"Tahoma");
        m_paraFormat.cbSize = sizeof m_paraFormat;
        m_paraFormat.dwMask = PFM_ALIGNMENT;
        m_paraFormat.wAlignment = PFA_LEFT;
    }
    void Release() { DeleteDC(m_dc); }
    Word Handle() { return W(&m_fields[kFieldSelfCell - 1]); }

private:
    Word m_fields[kRecordFields] = {};
    HDC m_dc = nullptr;
    CHARFORMATW m_charFormat{};
    PARAFORMAT2 m_paraFormat{};
};
#undef SLOT
#undef UNUSED_SLOT

TEST(EngineTextHost, TextServicesRunOverTheElementsSlots) {
    TestEdit edit;
    g_slotsCalled.clear();
    Word host = 0, services = 0;
    ASSERT_EQ(Call(kOrdCreateTextHost, edit.Handle(), W(&host), W(&services)), 1u);
    ASSERT_NE(host, 0u);
    ASSERT_NE(services, 0u);
    EXPECT_TRUE(g_slotsCalled.count(kGetPropertyBitsSlot)) << "creation asks the host";

    auto* text = reinterpret_cast<ITextServices*>(services);
    LRESULT result = 0;
    EXPECT_EQ(text->TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE, &result), S_OK);
    g_notifications.clear();
    EXPECT_EQ(text->TxSendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"), &result),
              S_OK);
    wchar_t back[16] = {};
    text->TxSendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(back), &result);
    EXPECT_STREQ(back, L"hello");
    EXPECT_TRUE(g_slotsCalled.count(kNotifySlot));

    EXPECT_EQ(Call(kOrdReleaseTextHost, host, services), 1u);
    EXPECT_EQ(Call(kOrdReleaseTextHost, host, services), 0u) << "released once";
    edit.Release();
}

TEST(EngineTextHost, RefusesWhatIsNotAnEdit) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    TestEdit edit;
    Word host = 0, services = 0;
    EXPECT_EQ(Call(kOrdCreateTextHost, W(&edit), W(&host), W(&services)), 0u)
        << "the object is not its handle";
    EXPECT_EQ(Call(kOrdCreateTextHost, edit.Handle(), kUnreadable, W(&services)), 0u);
    EXPECT_EQ(host, 0u);
    EXPECT_EQ(services, 0u);
    ASSERT_EQ(Call(kOrdCreateTextHost, edit.Handle(), W(&host), W(&services)), 1u);
    EXPECT_EQ(Call(kOrdReleaseTextHost, host, 0), 0u) << "services of another host";
    EXPECT_EQ(Call(kOrdReleaseTextHost, host, services), 1u);
    edit.Release();
}

}  // namespace
}  // namespace engine_test

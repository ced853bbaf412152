// Windowless rich edit (ordinals 11 and 12): the platform's text services over a host adapter
// that hands each ITextHost call to the Edit element's own operation in slots 91 to 129.
#include "Engine.h"

#include "Memory.h"
#include "foundation/EngineAbi.h"

#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include <memory>
#include <unordered_map>

namespace engine {
namespace {

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}; riched20 has no import library to take it from.
const IID kTextServicesIid = {
    0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {13E670F4-1A5A-11CF-ABEB-00AA00B65EA1}
const IID kTextHostIid = {
    0x13E670F4, 0x1A5A, 0x11CF, {0xAB, 0xEB, 0x00, 0xAA, 0x00, 0xB6, 0x5E, 0xA1}};

// Order of the methods in ITextHost, the same as the Edit's slots from kSlotEditHostFirst.
enum HostMethod : Word32 {
    kTxGetDC,
    kTxReleaseDC,
    kTxShowScrollBar,
    kTxEnableScrollBar,
    kTxSetScrollRange,
    kTxSetScrollPos,
    kTxInvalidateRect,
    kTxViewChange,
    kTxCreateCaret,
    kTxShowCaret,
    kTxSetCaretPos,
    kTxSetTimer,
    kTxKillTimer,
    kTxScrollWindowEx,
    kTxSetCapture,
    kTxSetFocus,
    kTxSetCursor,
    kTxScreenToClient,
    kTxClientToScreen,
    kTxActivate,
    kTxDeactivate,
    kTxGetClientRect,
    kTxGetViewInset,
    kTxGetCharFormat,
    kTxGetParaFormat,
    kTxGetSysColor,
    kTxGetBackStyle,
    kTxGetMaxLength,
    kTxGetScrollBars,
    kTxGetPasswordChar,
    kTxGetAcceleratorPos,
    kTxGetExtent,
    kOnTxCharFormatChange,
    kOnTxParaFormatChange,
    kTxGetPropertyBits,
    kTxNotify,
    kTxImmGetContext,
    kTxImmReleaseContext,
    kTxGetSelectionBarWidth,
    kHostMethodCount
};
static_assert(engine_abi::kSlotEditHostFirst + kHostMethodCount - 1 ==
                  engine_abi::kSlotEditHostLast,
              "one Edit slot per ITextHost method");

template <typename T>
Word32 Arg(T value) {
    return static_cast<Word32>((std::uintptr_t)(value));
}

class HostAdapter : public ITextHost {
public:
    explicit HostAdapter(Word32 element) : m_element(element) {}
    virtual ~HostAdapter() = default;

    ITextServices* services = nullptr;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kTextHostIid)) {
            *out = static_cast<ITextHost*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The adapter lives until ordinal 12, whatever the services count.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return m_references > 1 ? --m_references : 1; }

    HDC TxGetDC() override { return reinterpret_cast<HDC>(Forward(kTxGetDC, 0)); }
    INT TxReleaseDC(HDC dc) override { return INT(Forward(kTxReleaseDC, 0, Arg(dc))); }
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override {
        return WINBOOL(Forward(kTxShowScrollBar, 0, Arg(bar), Arg(show)));
    }
    WINBOOL TxEnableScrollBar(INT flags, INT arrows) override {
        return WINBOOL(Forward(kTxEnableScrollBar, 0, Arg(flags), Arg(arrows)));
    }
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override {
        return WINBOOL(
            Forward(kTxSetScrollRange, 0, Arg(bar), Arg(minPos), Arg(maxPos), Arg(redraw)));
    }
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override {
        return WINBOOL(Forward(kTxSetScrollPos, 0, Arg(bar), Arg(pos), Arg(redraw)));
    }
    void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override {
        Forward(kTxInvalidateRect, 0, Arg(rect), Arg(mode));
    }
    void TxViewChange(WINBOOL update) override { Forward(kTxViewChange, 0, Arg(update)); }
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override {
        return WINBOOL(Forward(kTxCreateCaret, 0, Arg(bitmap), Arg(width), Arg(height)));
    }
    WINBOOL TxShowCaret(WINBOOL show) override {
        return WINBOOL(Forward(kTxShowCaret, 0, Arg(show)));
    }
    WINBOOL TxSetCaretPos(INT x, INT y) override {
        return WINBOOL(Forward(kTxSetCaretPos, 0, Arg(x), Arg(y)));
    }
    WINBOOL TxSetTimer(UINT id, UINT timeout) override {
        return WINBOOL(Forward(kTxSetTimer, 0, Arg(id), Arg(timeout)));
    }
    void TxKillTimer(UINT id) override { Forward(kTxKillTimer, 0, Arg(id)); }
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                          LPRECT updateRect, UINT flags) override {
        Forward(kTxScrollWindowEx, 0, Arg(dx), Arg(dy), Arg(scroll), Arg(clip), Arg(update),
                Arg(updateRect), Arg(flags));
    }
    void TxSetCapture(WINBOOL capture) override { Forward(kTxSetCapture, 0, Arg(capture)); }
    void TxSetFocus() override { Forward(kTxSetFocus, 0); }
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override {
        Forward(kTxSetCursor, 0, Arg(cursor), Arg(text));
    }
    WINBOOL TxScreenToClient(LPPOINT point) override {
        return WINBOOL(Forward(kTxScreenToClient, 0, Arg(point)));
    }
    WINBOOL TxClientToScreen(LPPOINT point) override {
        return WINBOOL(Forward(kTxClientToScreen, 0, Arg(point)));
    }
    HRESULT TxActivate(LONG* oldState) override {
        return HRESULT(Forward(kTxActivate, Word32(E_FAIL), Arg(oldState)));
    }
    HRESULT TxDeactivate(LONG newState) override {
        return HRESULT(Forward(kTxDeactivate, Word32(E_FAIL), Arg(newState)));
    }
    HRESULT TxGetClientRect(LPRECT rect) override {
        return HRESULT(Forward(kTxGetClientRect, Word32(E_FAIL), Arg(rect)));
    }
    HRESULT TxGetViewInset(LPRECT rect) override {
        return HRESULT(Forward(kTxGetViewInset, Word32(E_FAIL), Arg(rect)));
    }
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override {
        return HRESULT(Forward(kTxGetCharFormat, Word32(E_FAIL), Arg(format)));
    }
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override {
        return HRESULT(Forward(kTxGetParaFormat, Word32(E_FAIL), Arg(format)));
    }
    COLORREF TxGetSysColor(int index) override {
        return COLORREF(Forward(kTxGetSysColor, GetSysColor(index), Arg(index)));
    }
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override {
        return HRESULT(Forward(kTxGetBackStyle, Word32(E_FAIL), Arg(style)));
    }
    HRESULT TxGetMaxLength(DWORD* length) override {
        return HRESULT(Forward(kTxGetMaxLength, Word32(E_FAIL), Arg(length)));
    }
    HRESULT TxGetScrollBars(DWORD* bars) override {
        return HRESULT(Forward(kTxGetScrollBars, Word32(E_FAIL), Arg(bars)));
    }
    HRESULT TxGetPasswordChar(TCHAR* character) override {
        return HRESULT(Forward(kTxGetPasswordChar, Word32(E_FAIL), Arg(character)));
    }
    HRESULT TxGetAcceleratorPos(LONG* position) override {
        return HRESULT(Forward(kTxGetAcceleratorPos, Word32(E_FAIL), Arg(position)));
    }
    HRESULT TxGetExtent(LPSIZEL extent) override {
        return HRESULT(Forward(kTxGetExtent, Word32(E_FAIL), Arg(extent)));
    }
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override {
        return HRESULT(Forward(kOnTxCharFormatChange, Word32(E_FAIL), Arg(format)));
    }
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override {
        return HRESULT(Forward(kOnTxParaFormatChange, Word32(E_FAIL), Arg(format)));
    }
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override {
        return HRESULT(Forward(kTxGetPropertyBits, Word32(E_FAIL), Arg(mask), Arg(bits)));
    }
    HRESULT TxNotify(DWORD notification, void* data) override {
        return HRESULT(Forward(kTxNotify, Word32(S_OK), Arg(notification), Arg(data)));
    }
    HIMC TxImmGetContext() override { return reinterpret_cast<HIMC>(Forward(kTxImmGetContext, 0)); }
    void TxImmReleaseContext(HIMC context) override {
        Forward(kTxImmReleaseContext, 0, Arg(context));
    }
    HRESULT TxGetSelectionBarWidth(LONG* width) override {
        return HRESULT(Forward(kTxGetSelectionBarWidth, Word32(E_FAIL), Arg(width)));
    }

private:
    // The element is looked up anew on every call: once it is gone, every call gets `fallback`.
    template <typename... Args>
    Word32 Forward(Word32 method, Word32 fallback, Args... args) {
        using Method = Word32(__thiscall*)(void*, decltype(args)...);
        Word32 object = ElementObject(m_element);
        Word32 address =
            object == 0 ? 0 : MethodAddress(object, engine_abi::kSlotEditHostFirst + method);
        if (address == 0) {
            return fallback;
        }
        return reinterpret_cast<Method>(address)(Pointer<void>(object), args...);
    }

    Word32 m_element;
    ULONG m_references = 1;
};

std::unordered_map<Word32, std::unique_ptr<HostAdapter>> g_hosts;

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

CreateTextServicesProc TextServicesFactory() {
    static HMODULE module = LoadLibraryW(L"riched20.dll");
    return module == nullptr ? nullptr
                             : reinterpret_cast<CreateTextServicesProc>(reinterpret_cast<void*>(
                                   GetProcAddress(module, "CreateTextServices")));
}

}  // namespace

Word32 CreateTextHost(Word32 element, Word32 hostField, Word32 servicesField) {
    Word32 object = ElementObject(element);
    if (object == 0 || MethodAddress(object, engine_abi::kSlotEditHostLast) == 0 ||
        !Writable(hostField, 4) || !Writable(servicesField, 4)) {
        return 0;
    }
    CreateTextServicesProc create = TextServicesFactory();
    if (create == nullptr) {
        return 0;
    }
    auto adapter = std::make_unique<HostAdapter>(element);
    IUnknown* unknown = nullptr;
    if (FAILED(create(nullptr, adapter.get(), &unknown)) || unknown == nullptr) {
        return 0;
    }
    void* services = nullptr;
    HRESULT hr = unknown->QueryInterface(kTextServicesIid, &services);
    unknown->Release();
    if (FAILED(hr) || services == nullptr) {
        return 0;
    }
    adapter->services = static_cast<ITextServices*>(services);
    const Word32 host = Word(static_cast<ITextHost*>(adapter.get()));
    StoreWord(hostField, host);
    StoreWord(servicesField, Word(services));
    g_hosts[host] = std::move(adapter);
    return 1;
}

Word32 ReleaseTextHost(Word32 host, Word32 services) {
    auto it = g_hosts.find(host);
    if (it == g_hosts.end() || Word(it->second->services) != services) {
        return 0;
    }
    std::unique_ptr<HostAdapter> adapter = std::move(it->second);
    g_hosts.erase(it);
    adapter->services->Release();
    return 1;
}

}  // namespace engine

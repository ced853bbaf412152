// Owning wrappers for Win32 handles: GDI objects, device contexts, icons and cursors, modules,
// kernel handles, heap and global blocks, COM interface pointers.
//
// Each wrapper is move-only and releases what it holds exactly once, on every path. The types
// follow the owning/borrowed split of classic Win32 C++: a wrapper owns, a raw handle borrows.
// The member names match the GDI+ wrappers in GdiPlusHandles.h (get, release, reset, put).
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace toolkit {

// Owns one handle described by Traits: Traits::Handle is the handle type, Traits::Invalid()
// the value that owns nothing, Traits::Release(handle) gives a valid handle back.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }

    // Gives up ownership, e.g. when the handle is stored in a field that another owner frees.
    Handle release() { return std::exchange(m_handle, Traits::Invalid()); }

    void reset(Handle handle = Traits::Invalid()) {
        Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid()) {
            Traits::Release(old);
        }
    }

    // Releases what is held and returns the slot for a creation call to fill.
    Handle* put() {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

template <typename H>
struct GdiObjectTraits {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { DeleteObject(handle); }
};

// A GDI object (HBITMAP, HFONT, HBRUSH, HPEN, HRGN) released with DeleteObject. It must not be
// selected into a DC when released: pair it with SelectedObject.
template <typename H>
using GdiObject = UniqueHandle<GdiObjectTraits<H>>;

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { DeleteDC(handle); }
};
// A DC from CreateCompatibleDC or CreateDCW, released with DeleteDC.
using MemoryDc = UniqueHandle<MemoryDcTraits>;

struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { DestroyIcon(handle); }
};
using IconHandle = UniqueHandle<IconTraits>;

struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { DestroyCursor(handle); }
};
// Only for cursors the program made itself; shared system cursors (LoadCursorW with no module)
// must never be destroyed.
using CursorHandle = UniqueHandle<CursorTraits>;

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { FreeLibrary(handle); }
};
// A module from LoadLibrary, released with FreeLibrary.
using ModuleHandle = UniqueHandle<ModuleTraits>;

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { CloseHandle(handle); }
};
// Events, timers, threads, processes: handles whose failure value is null.
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { CloseHandle(handle); }
};
// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
using FileHandle = UniqueHandle<FileHandleTraits>;

struct HeapBlockTraits {
    using Handle = void*;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle block) { HeapFree(GetProcessHeap(), 0, block); }
};
// A block on the process heap, the heap the engine and the program hand blocks over on.
using HeapBlock = UniqueHandle<HeapBlockTraits>;

struct GlobalBlockTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle block) { GlobalFree(block); }
};
using GlobalBlock = UniqueHandle<GlobalBlockTraits>;

// A DC borrowed from a window with GetDC and given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (m_dc != nullptr) {
            ReleaseDC(m_window, m_dc);
        }
    }

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a DC for the lifetime of the scope and puts the previous one back, so
// the object can be released afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (m_previous != nullptr && m_previous != HGDI_ERROR) {
            SelectObject(m_dc, m_previous);
        }
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Owns one reference to a COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Adopts a reference the caller already holds (e.g. from a creation call).
    explicit ComPtr(T* pointer) : m_pointer(pointer) {}
    ComPtr(const ComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer != nullptr) {
            m_pointer->AddRef();
        }
    }
    ComPtr& operator=(const ComPtr& other) {
        if (this != &other) {
            if (other.m_pointer != nullptr) {
                other.m_pointer->AddRef();
            }
            reset(other.m_pointer);
        }
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    T* release() { return std::exchange(m_pointer, nullptr); }

    void reset(T* pointer = nullptr) {
        T* old = std::exchange(m_pointer, pointer);
        if (old != nullptr) {
            old->Release();
        }
    }

    T** put() {
        reset();
        return &m_pointer;
    }

    // For creation calls that take a void** out-parameter (QueryInterface, OleLoadPicture).
    void** putVoid() { return reinterpret_cast<void**>(put()); }

private:
    T* m_pointer = nullptr;
};

}  // namespace toolkit

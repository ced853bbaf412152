// Loads exdui.dll from the program folder (the tests' working folder) and calls its exports by
// ordinal with exactly the argument count the contract gives, as the program does.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include "foundation/EngineAbi.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace engine_test {

using Word = std::uint32_t;

template <typename T>
Word W(T* pointer) {
    return static_cast<Word>(reinterpret_cast<std::uintptr_t>(pointer));
}

inline HMODULE EngineModule() {
    static HMODULE module = [] {
        wchar_t folder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        return LoadLibraryW((std::wstring(folder) + L"\\exdui.dll").c_str());
    }();
    return module;
}

inline FARPROC Export(Word ordinal) {
    return GetProcAddress(EngineModule(), MAKEINTRESOURCEA(ordinal));
}

// Calls an export through a stdcall pointer of exactly as many words as the call passes; a
// mismatch with what the export pops would unbalance the stack and fail the test.
template <typename... Args>
Word Call(Word ordinal, Args... args) {
    using Proc = Word(__stdcall*)(decltype(static_cast<Word>(args))...);
    static_assert(sizeof...(Args) <= 12, "no export takes more than twelve words");
    EXPECT_EQ(engine_abi::OrdinalArgumentCount(ordinal), sizeof...(Args)) << "ordinal " << ordinal;
    FARPROC proc = Export(ordinal);
    if (proc == nullptr) {
        ADD_FAILURE() << "ordinal " << ordinal << " is not exported";
        return 0;
    }
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(proc))(static_cast<Word>(args)...);
}

inline std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

// GDI+ for the whole test program; the engine makes its images with it.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

// Owns a GDI+ image handed over by the engine.
class Image {
public:
    explicit Image(Word handle) : m_image(reinterpret_cast<Gdiplus::GpImage*>(handle)) {}
    ~Image() {
        if (m_image != nullptr) {
            Gdiplus::DllExports::GdipDisposeImage(m_image);
        }
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    bool Valid() const { return m_image != nullptr; }
    Gdiplus::GpImage* Get() const { return m_image; }
    UINT Width() const {
        UINT w = 0;
        Gdiplus::DllExports::GdipGetImageWidth(m_image, &w);
        return w;
    }
    UINT Height() const {
        UINT h = 0;
        Gdiplus::DllExports::GdipGetImageHeight(m_image, &h);
        return h;
    }
    Gdiplus::ARGB Pixel(int x, int y) const {
        Gdiplus::ARGB argb = 0;
        Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(m_image), x, y,
                                                &argb);
        return argb;
    }

private:
    Gdiplus::GpImage* m_image;
};

constexpr Word kUnreadable = 0x10;        // inside the never-mapped first page
// A value that looks like an issued handle but is in no table the engine keeps, nor readable
// memory: it lies inside address space reserved for the test's whole run and never made
// accessible. A fixed number would do only until the process's heap happened to grow over it.
inline Word NotAHandle() {
    constexpr SIZE_T kReserved = 64 * 1024;
    constexpr Word kOddOffset = 0xFFFF;
    static void* const reserved = VirtualAlloc(nullptr, kReserved, MEM_RESERVE, PAGE_NOACCESS);
    return W(reserved) + kOddOffset;
}

}  // namespace engine_test

#include "LargeAllocations.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace app_test {
namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

// Each block starts with a header holding its size, as wide as the strictest alignment operator
// new must keep, so that the block after it stays aligned.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) noexcept {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        return nullptr;
    }
    *static_cast<std::size_t*>(block) = size;
    if (size >= kLargeBlockBytes) {
        const std::size_t live = g_live += size;
        std::size_t peak = g_peak.load();
        while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
        }
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - kHeader;
    const std::size_t size = *static_cast<std::size_t*>(block);
    if (size >= kLargeBlockBytes) {
        g_live -= size;
    }
    std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
    void* pointer = Allocate(size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

}  // namespace

std::size_t LiveLargeBytes() {
    return g_live.load();
}

std::size_t PeakLargeBytes() {
    return g_peak.load();
}

void ResetLargePeak() {
    g_peak = g_live.load();
}

}  // namespace app_test

void* operator new(std::size_t size) {
    return app_test::AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return app_test::AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return app_test::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return app_test::Allocate(size);
}
void operator delete(void* pointer) noexcept {
    app_test::Release(pointer);
}
void operator delete[](void* pointer) noexcept {
    app_test::Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    app_test::Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    app_test::Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    app_test::Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    app_test::Release(pointer);
}

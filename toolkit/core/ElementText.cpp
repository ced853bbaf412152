#include "core/ElementText.h"

#include <windows.h>

#include <cstring>

namespace toolkit {

char* DuplicateText(const char* text) {
    if (text == nullptr || *text == '\0') {
        return nullptr;
    }
    const std::size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, length + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text, length);
    }
    return copy;
}

char* DuplicateUpperText(const char* text) {
    char* copy = DuplicateText(text);
    if (copy == nullptr) {
        return nullptr;
    }
    for (char* p = copy; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x80) {
            if (p[1] == '\0') {
                break;
            }
            ++p;  // the trail byte of a double-byte character stays as it is
        } else if (byte >= 'a' && byte <= 'z') {
            *p = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return copy;
}

void FreeText(char** text) {
    if (*text != nullptr) {
        HeapFree(GetProcessHeap(), 0, *text);
        *text = nullptr;
    }
}

}  // namespace toolkit

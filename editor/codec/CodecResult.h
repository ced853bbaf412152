// The byte array the codec works on, and the result every decode and encode hands back.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using ByteArray = std::vector<uint8_t>;

// Errors are values: a refused decode or save carries a sentence the editor can show after its
// own message text, and names the level (its place in the level list, as the level list shows
// it) and the screen at fault when there is one.
struct CodecResult {
    bool ok = true;
    std::string message;
    int level = 0;   // 1-based place in the level list, 0 when no level is at fault
    int screen = 0;  // screen number, 0 when no screen is at fault

    static CodecResult Success() { return CodecResult{}; }
    static CodecResult Failure(std::string message, int level = 0, int screen = 0) {
        return CodecResult{false, std::move(message), level, screen};
    }
    explicit operator bool() const { return ok; }
};

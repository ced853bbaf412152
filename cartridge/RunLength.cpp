#include "cartridge/RunLength.h"

namespace {

constexpr uint8_t kRunFlag = 0x80;
constexpr uint8_t kFirstRunHeader = 0x81;
constexpr uint8_t kRunOfTwoHeader = 0x82;
constexpr uint8_t kFullRunHeader = 0xFF;

}  // namespace

ByteArray RleDecode(const uint8_t* bytes, size_t length, size_t target, bool stop,
                    size_t* consumed) {
    ByteArray cells;
    size_t at = 0;
    while (at < length && !(stop && cells.size() >= target)) {
        const uint8_t byte = bytes[at];
        if (byte < kRunFlag || at + 1 == length) {
            cells.push_back(byte);
            ++at;
            continue;
        }
        const int copies = (byte ^ kRunFlag) - 1;
        if (copies > 0) {
            cells.insert(cells.end(), static_cast<size_t>(copies), bytes[at + 1]);
        }
        ++at;
        if (stop && cells.size() >= target) {
            ++at;  // the run's value byte belongs to the run even when its copies fill the screen
        }
    }
    if (stop && cells.size() > target) {
        cells.resize(target);
    }
    if (consumed != nullptr) {
        *consumed = at;
    }
    return cells;
}

ByteArray RleDecode(const ByteArray& bytes, size_t target, bool stop) {
    return RleDecode(bytes.data(), bytes.size(), target, stop);
}

ByteArray RleEncode(const ByteArray& cells) {
    ByteArray out;
    // No previous value at the start: a first cell of any value is a literal.
    bool havePrevious = false;
    uint8_t previous = 0;
    bool runOpen = false;
    size_t runAt = 0;  // index of the open run's header in out
    for (uint8_t value : cells) {
        if (havePrevious && value == previous) {
            if (!runOpen) {
                out.back() = kFirstRunHeader;  // the previous literal becomes the run's header
                out.push_back(value);
                runAt = out.size() - 2;
                runOpen = true;
            }
            if (out[runAt] == kFullRunHeader) {
                out.push_back(kRunFlag);
                out.push_back(value);
                runAt = out.size() - 2;
            }
            ++out[runAt];
        } else {
            if (runOpen && out[runAt] == kRunOfTwoHeader) {
                out[runAt] = previous;  // a run of two is shorter as two literals
            }
            runOpen = false;
            out.push_back(value);
        }
        previous = value;
        havePrevious = true;
    }
    return out;
}

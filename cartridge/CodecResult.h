// The byte array the codec works on, and the result every decode and encode hands back.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using ByteArray = std::vector<uint8_t>;

// Why an open or a save was refused, so that the editor can say it in the user's language.
enum class CodecProblem {
    None,
    Other,  // the message says it (levels of another image, no layout)
    // Open: data of a level (its header, screen table, object table or lists) or of one of its
    // screens lies outside the image or the level bank, or never ends.
    LevelUnreadable,
    ScreenUnreadable,
    TooManyObjects,  // the object lists together hold more than kMaxDecodedObjects
    // Save:
    ScreenTooLong,     // overruns lists every edited screen whose form needs more than its room
    SharedBytes,       // an edited screen, header or boss room shares bytes with other data
    AliasesDiffer,     // screens that are one stored screen were given different cells
    CellsNotStorable,  // cells of 0x80 and above have no run-length form
    ReadBack,          // the written image would not read back as the same levels
};

// An edited screen whose new form does not fit its room.
struct ScreenOverrun {
    int level = 0;  // place in the level list
    int screen = 0;
    int64_t needed = 0;
    int64_t room = 0;
};

// Errors are values: a refused decode or save carries a sentence the editor can show after its
// own message text, and names the level (its place in the level list, as the level list shows
// it) and the screen at fault when there is one.
struct CodecResult {
    bool ok = true;
    std::string message;
    int level = 0;   // 1-based place in the level list, 0 when no level is at fault
    int screen = 0;  // screen number, 0 when no screen is at fault
    CodecProblem problem = CodecProblem::None;
    std::vector<ScreenOverrun> overruns;

    static CodecResult Success() { return CodecResult{}; }
    static CodecResult Failure(std::string message, int level = 0, int screen = 0,
                               CodecProblem problem = CodecProblem::Other) {
        return CodecResult{false, std::move(message), level, screen, problem, {}};
    }
    explicit operator bool() const { return ok; }
};

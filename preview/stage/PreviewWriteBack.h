// The preview's in-place write-back of edited screens into the cartridge image. A write may only
// change the stored bytes of the screens that were painted and of the screens that are exactly
// the same stored screen; every other structure the image holds (other screens of any stage,
// boss rooms, level headers, screen and object tables, object lists) keeps each of its bytes.
//
// What is written must read as painted the way the game reads it, which is the editor's
// decoder's reading, and the way the preview reads it. The preview shows 56 cells a screen; a
// screen of a vertical stage is 64 cells to the game, and its last row, which the preview never
// shows, is written back as it is stored.
#pragma once

#include <cstdint>
#include <vector>

#include "cartridge/LevelModel.h"
#include "stage/PreviewStage.h"

namespace preview {

enum class RefusalReason {
    DoesNotFit,      // the new form is longer than the screen's room
    PastImageEnd,    // the new form would run past the end of the image
    NoRoomKnown,     // the editor's decoder read no stored screen there, so it has no room
    ReadingsDiffer,  // the preview shows other cells than the game reads there
    NotStorable,     // a cell has no run-length form the reader takes back
    SharersDiffer,   // screens on the same stored bytes were painted differently
    TouchesOther,    // the new form would change bytes of another structure
    NotShown,        // the screen's pointer or bytes lie outside the level bank's window
    NothingKnown,    // the editor's decoder refused the image: no byte is known to be free
};

// Another structure of the image, as the user knows it: a screen of a stage, the boss room after
// a stage, one stage's table, or one of the image's own tables (stage 0).
struct OtherStructure {
    UsedRangeKind kind = UsedRangeKind::Screen;
    int stage = 0;
    int index = 0;  // screen or object list number; 0 when there is none
};
bool operator==(const OtherStructure& a, const OtherStructure& b);

struct RefusedScreen {
    int screen = 0;  // 1-based, in the stage
    RefusalReason reason = RefusalReason::DoesNotFit;
    std::vector<int> sharers;            // SharersDiffer: every other painted screen on its bytes
    std::vector<OtherStructure> others;  // TouchesOther: what the write would have changed
    int64_t needed = 0;                  // DoesNotFit: the new form's length
    int64_t room = 0;                    // DoesNotFit: the screen's room
};

struct CommitResult {
    int written = 0;  // screens whose cells are now stored
    std::vector<RefusedScreen> refused;
};

// Writes back the screens whose cells differ from the cells the stage was read with (read.cells);
// every other screen is left as it is stored. Screens on one screen pointer share their stored
// bytes: when more than one of them changed and their new cells differ, that stored screen is
// refused; otherwise the changed cells are written once, and every screen on those bytes shows
// them. A screen is refused too when the preview and the editor read its stored bytes as other
// cells, when its new form does not fit its room or does not read back as painted in both
// readings, when it is not shown, when the image's structures are not known, or when the form
// would change a byte of any structure but the screen itself and the screens that are exactly the
// same stored screen (same bytes, same cell count). A refused screen changes no byte. The bytes a
// shorter form no longer needs are erased (0xFF) where nothing else holds them, so that the room
// is the same when the image is opened again.
CommitResult CommitPreviewStage(PreviewCartridge& cartridge, const PreviewStage& read,
                                const Bytes& cells);

}  // namespace preview

#include "cartridge/ReadBack.h"

#include "cartridge/LevelDecoder.h"

ReadBackMismatch FindReadBackMismatch(const ByteArray& written, const LevelList& levels, bool large,
                                      const std::vector<int32_t>& table, LevelList& check) {
    if (!DecodeLevels(written, large, table, levels.source.objectTableAddress, check)) {
        return ReadBackMismatch{kReadBackUnreadable, 0};
    }
    for (size_t i = 0; i < levels.records.size(); ++i) {
        const int place = static_cast<int>(i) + 1;
        if (i >= check.records.size()) {
            return ReadBackMismatch{place, 0};
        }
        const LevelRecord& saved = levels.records[i];
        const LevelRecord& read = check.records[i];
        if (!SameHeader(saved, read) || saved.objectLists != read.objectLists ||
            saved.screens.size() != read.screens.size()) {
            return ReadBackMismatch{place, 0};
        }
        for (size_t j = 0; j < saved.screens.size(); ++j) {
            if (!(saved.screens[j] == read.screens[j])) {
                return ReadBackMismatch{place, saved.screens[j].number};
            }
        }
    }
    if (check.records.size() != levels.records.size()) {
        return ReadBackMismatch{static_cast<int>(levels.records.size()) + 1, 0};
    }
    return ReadBackMismatch{};
}

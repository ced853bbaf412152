#include "cartridge/LevelModel.h"

#include <cstring>

int32_t LevelColumns(const LevelRecord&) {
    return kLevelColumns;
}

int32_t LevelRows(const LevelRecord& level) {
    return level.vertical != 0 ? kVerticalRows : kHorizontalRows;
}

int32_t LevelScreenCount(const LevelRecord& level) {
    const int32_t n = level.baseScreenCount;
    switch (level.kind) {
        case kOutdoorKind:
            return n + 2;
        case kIndoorKind:
            return n * 4;
        case kBossRoomKind:
            return 1;
        default:
            return n;
    }
}

int32_t LevelCellCount(const LevelRecord& level) {
    return LevelRows(level) * LevelColumns(level);
}

int32_t TestBit(int32_t value, int32_t b) {
    if (b < 0 || b > 31) {
        return 0;
    }
    return (static_cast<uint32_t>(value) >> b) & 1u;
}

namespace {

// Types 16 and above mean different things per level; only these levels give them attributes.
void DecodeLevelDependentAttributes(int32_t type, int32_t a, int32_t level, LevelObject& o) {
    switch (level) {
        case 1:
            if (type == 16) {
                o.attr1 = TestBit(a, 0);
            }
            break;
        case 2:
        case 4:
            switch (type) {
                case 19:
                    o.attr1 = a & 3;
                    break;
                case 20:
                    o.attr8 = TestBit(a, 3);
                    o.attr9 = TestBit(a, 2);
                    o.attr7 = a & 3;
                    break;
                case 21:
                    o.attr10 = (a & 6) >> 1;
                    o.attr3 = TestBit(a, 0);
                    break;
                case 22:
                    o.attr2 = (a & 28) >> 2;
                    o.attr6 = TestBit(a, 1);
                    o.attr3 = TestBit(a, 0);
                    break;
                case 23:
                    o.attr11 = (a & 6) >> 1;
                    o.attr3 = TestBit(a, 0);
                    break;
                case 24:
                    o.attr3 = TestBit(a, 0);
                    break;
                case 26:
                    o.attr1 = TestBit(a, 0);
                    break;
                default:
                    break;
            }
            break;
        case 3:
            if (type == 16) {
                o.attr1 = TestBit(a, 0);
            } else if (type == 21) {
                o.attr3 = TestBit(a, 0);
            }
            break;
        case 6:
            if (type >= 16 && type <= 18) {
                o.attr11 = a & 3;
                o.attr7 = (a & 12) >> 2;
            }
            break;
        case 7:
            switch (type) {
                case 16:
                    o.attr11 = a & 3;
                    o.attr7 = (a & 12) >> 2;
                    break;
                case 17:
                    o.attr11 = (a & 12) >> 2;
                    o.attr7 = a & 3;
                    break;
                case 18:
                    o.attr12 = a & 3;
                    break;
                case 23:
                    o.attr7 = TestBit(a, 1);
                    break;
                default:
                    break;
            }
            break;
        default:
            break;  // levels 5 and 8 give no attributes to types 16 and above
    }
}

}  // namespace

void DecodeObjectAttributes(int32_t type, int32_t a, int32_t level, LevelObject& o) {
    constexpr int32_t kFirstLevelDependentType = 16;
    if (type >= kFirstLevelDependentType) {
        DecodeLevelDependentAttributes(type, a, level, o);
        return;
    }
    switch (type) {
        case 0:
        case 2:
        case 3:
            o.attr2 = a;
            break;
        case 4:
            o.attr7 = a;
            break;
        case 5:
            o.attr3 = TestBit(a, 0);
            o.attr4 = TestBit(a, 1);
            o.attr5 = TestBit(a, 3);
            break;
        case 6:
        case 11:
        case 14:
            o.attr1 = a;
            break;
        case 7:
            o.attr12 = TestBit(a, 0);
            break;
        case 10:
            o.attr1 = TestBit(a, 0);
            break;
        default:
            break;
    }
}

bool operator==(const LevelObject& a, const LevelObject& b) {
    // Nineteen int32 fields and no padding (pinned in the header), so the bytes compare.
    return std::memcmp(&a, &b, sizeof(LevelObject)) == 0;
}

bool operator==(const ObjectListRecord& a, const ObjectListRecord& b) {
    return a.number == b.number && a.objects == b.objects;
}

bool operator==(const ScreenRecord& a, const ScreenRecord& b) {
    return a.number == b.number && a.cells == b.cells;
}

bool SameHeader(const LevelRecord& a, const LevelRecord& b) {
    return a.number == b.number && a.kind == b.kind && a.vertical == b.vertical &&
           a.screenTable == b.screenTable && a.header4 == b.header4 && a.header6 == b.header6 &&
           a.header8 == b.header8 && a.header9 == b.header9 && a.header12 == b.header12 &&
           a.header16 == b.header16 && a.header20 == b.header20 &&
           a.baseScreenCount == b.baseScreenCount && a.header25 == b.header25 &&
           a.header26 == b.header26 && a.objectTable == b.objectTable;
}

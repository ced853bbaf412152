// Decoding images A and B and the variants of tools/make_sample_roms.py into levels.
#include "CodecTestData.h"

#include "cartridge/LevelDecoder.h"
#include "cartridge/RomLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

constexpr int kLevelsOfA = 10;  // eight levels and the boss rooms of indoor levels 2 and 4
constexpr int kFirstBossPlace = 9;
constexpr int kSecondBossPlace = 10;
constexpr int32_t kFirstBossScreen = 0x9100;
constexpr int32_t kSecondBossScreen = 0x9140;
constexpr int64_t kLargeLayoutShift = 5 * 16384;

TEST(RomLayout, InitKeepsTheValuesOfTheFirstOpen) {
    std::vector<int32_t> table;
    int32_t objectTable = 0;
    EXPECT_EQ(InitRomLayout(table, objectTable), 1);
    EXPECT_EQ(table, (std::vector<int32_t>{kLevelHeaderTableAddress, kBossListFilePos}));
    EXPECT_EQ(objectTable, kObjectPointerTableAddress);

    const std::vector<int32_t> kept{0x1234, 0x5678};
    constexpr int32_t kKeptObjectTable = 0x4321;
    table = kept;
    objectTable = kKeptObjectTable;
    EXPECT_EQ(InitRomLayout(table, objectTable), 1);
    EXPECT_EQ(table, kept);
    EXPECT_EQ(objectTable, kKeptObjectTable);
}

TEST(RomLayout, BankAddressToFilePosShiftsOnlyBankedAddresses) {
    constexpr int32_t kScreenAddress = 0x8200;
    constexpr int32_t kHeaderAddress = 0xB319;
    constexpr int32_t kPastHeader = kInesHeaderSize + 1;  // 1-based positions
    EXPECT_EQ(BankAddressToFilePos(kScreenAddress, kSmallLayoutLevelBank, true),
              kScreenAddress + kPastHeader);
    EXPECT_EQ(BankAddressToFilePos(kScreenAddress, kLargeLayoutLevelBank, true),
              kScreenAddress + kLargeLayoutShift + kPastHeader);
    EXPECT_EQ(BankAddressToFilePos(kHeaderAddress, kLargeLayoutLevelBank, false),
              kHeaderAddress + kPastHeader);
    EXPECT_TRUE(IsLargeRomImage(kLargeRomImageSize));
    EXPECT_FALSE(IsLargeRomImage(kLargeRomImageSize + 1));
    EXPECT_FALSE(IsLargeRomImage(kLargeRomImageSize - 1));
}

TEST(LevelGeometry, RowsAndScreenCountsFollowTheHeader) {
    struct Case {
        int32_t kind, vertical, base, rows, screens;
    };
    constexpr int32_t kOddKind = 2;
    constexpr int32_t kOddVertical = 2;
    const Case cases[] = {
        {kOutdoorKind, 0, 3, 7, 5},  {kIndoorKind, 0, 2, 7, 8},
        {kBossRoomKind, 0, 9, 7, 1}, {kOddKind, 0, 3, 7, 3},
        {kOutdoorKind, 1, 1, 8, 3},  {kOutdoorKind, kOddVertical, 1, 8, 3},
    };
    for (const Case& c : cases) {
        LevelRecord level;
        level.kind = c.kind;
        level.vertical = c.vertical;
        level.baseScreenCount = c.base;
        EXPECT_EQ(LevelColumns(level), kLevelColumns);
        EXPECT_EQ(LevelRows(level), c.rows) << c.kind << "/" << c.vertical;
        EXPECT_EQ(LevelScreenCount(level), c.screens) << c.kind << "/" << c.vertical;
    }
    EXPECT_EQ(TestBit(0x08, 3), 1);
    EXPECT_EQ(TestBit(0x08, 2), 0);
    EXPECT_EQ(TestBit(-1, 31), 1);
}

TEST(LevelRecordModel, AFreshRecordHoldsOneEmptyScreenAndOneZeroObject) {
    const LevelRecord fresh;
    ASSERT_EQ(fresh.screens.size(), 1u);
    EXPECT_EQ(fresh.screens[0].number, 0);
    EXPECT_TRUE(fresh.screens[0].cells.empty());
    ASSERT_EQ(fresh.objectLists.size(), 1u);
    ASSERT_EQ(fresh.objectLists[0].objects.size(), 1u);
    EXPECT_TRUE(fresh.objectLists[0].objects[0] == LevelObject{});
}

// Every screen of an image against the manifest, with where it was stored.
void ExpectScreens(const LevelList& levels, const std::string& image, uint8_t cellXor,
                   bool checkStored) {
    const SampleManifest& manifest = SampleManifest::Get();
    for (size_t i = 0; i < levels.records.size(); ++i) {
        const int place = static_cast<int>(i) + 1;
        for (const ScreenRecord& screen : levels.records[i].screens) {
            ByteArray expected = manifest.Cells(image, place, screen.number);
            ASSERT_FALSE(expected.empty())
                << "no manifest cells for " << place << "/" << screen.number;
            for (uint8_t& cell : expected) {
                cell ^= cellXor;
            }
            EXPECT_EQ(screen.cells, expected)
                << image << " level " << place << " screen " << screen.number;
            if (checkStored && manifest.HasStored(image, place, screen.number)) {
                const StoredPlace at = manifest.Stored(image, place, screen.number);
                EXPECT_EQ(screen.storedOffset, at.offset) << place << "/" << screen.number;
                EXPECT_EQ(screen.storedLength, at.length) << place << "/" << screen.number;
            }
        }
    }
}

TEST(DecodeLevels, ImageAGivesTheLevelsAndScreensOfTheRecipe) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kImageA));
    ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA);
    ASSERT_EQ(SampleManifest::Get().LevelCount(kImageA), kLevelsOfA);

    struct Expected {
        int32_t kind, vertical, base, screens;
    };
    const Expected expected[] = {{0, 0, 3, 5}, {1, 0, 1, 4}, {0, 1, 2, 4}, {1, 0, 2, 8},
                                 {0, 0, 2, 4}, {0, 1, 1, 3}, {0, 0, 3, 5}, {0, 0, 10, 12}};
    for (int n = 1; n <= kLevelCount; ++n) {
        const LevelRecord& level = levels.records[n - 1];
        EXPECT_EQ(level.number, n);
        EXPECT_EQ(level.kind, expected[n - 1].kind) << n;
        EXPECT_EQ(level.vertical, expected[n - 1].vertical) << n;
        EXPECT_EQ(level.baseScreenCount, expected[n - 1].base) << n;
        EXPECT_EQ(static_cast<int>(level.screens.size()), expected[n - 1].screens) << n;
        EXPECT_EQ(static_cast<int>(level.objectLists.size()), level.baseScreenCount + 2) << n;
    }
    ExpectScreens(levels, kImageA, 0, true);
}

TEST(DecodeLevels, HeaderFieldsAreCarriedThrough) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kImageA));
    ASSERT_GE(levels.records.size(), 1u);
    // Level 1's header: byte k is 0x11 + k except the kind, vertical, screen table and count.
    const LevelRecord& level = levels.records[0];
    EXPECT_EQ(level.screenTable, 0x8100);
    EXPECT_EQ(level.header4, 0x1615);
    EXPECT_EQ(level.header6, 0x1817);
    EXPECT_EQ(level.header8, 0x19);
    EXPECT_EQ(level.header9, (std::array<uint8_t, 3>{0x1A, 0x1B, 0x1C}));
    EXPECT_EQ(level.header12, (std::array<uint8_t, 4>{0x1D, 0x1E, 0x1F, 0x20}));
    EXPECT_EQ(level.header16, (std::array<uint8_t, 4>{0x21, 0x22, 0x23, 0x24}));
    EXPECT_EQ(level.header20, (std::array<uint8_t, 4>{0x25, 0x26, 0x27, 0x28}));
    EXPECT_EQ(level.header25, 0x2A);
    EXPECT_EQ(level.header26, (std::array<uint8_t, 6>{0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x30}));
    EXPECT_EQ(level.objectTable, 0xB530);
}

TEST(DecodeLevels, BossRoomsFollowTheIndoorLevels) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kImageA));
    ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA);
    const std::pair<int, int32_t> bosses[] = {{kFirstBossPlace, kFirstBossScreen},
                                              {kSecondBossPlace, kSecondBossScreen}};
    const int32_t indoorLevels[] = {2, 4};
    for (int b = 0; b < 2; ++b) {
        const LevelRecord& boss = levels.records[bosses[b].first - 1];
        EXPECT_EQ(boss.number, indoorLevels[b]);
        EXPECT_EQ(boss.kind, kBossRoomKind);
        EXPECT_EQ(boss.vertical, 0);
        EXPECT_EQ(boss.screenTable, bosses[b].second);
        ASSERT_EQ(boss.screens.size(), 1u);
        EXPECT_EQ(boss.screens[0].number, bosses[b].first);
        // The object part stays as a fresh record has it.
        EXPECT_EQ(boss.objectLists, LevelRecord{}.objectLists);
    }
}

TEST(DecodeLevels, ImageBReadsBank7) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kImageB));
    ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA);
    ExpectScreens(levels, kImageB, 0, true);
    EXPECT_EQ(levels.records[0].objectLists,
              DecodeOrFail(LoadTestImage(kImageA)).records[0].objectLists);
}

// One byte more or less switches image B to the small layout, whose bank-2 copy holds every
// cell XOR 0x40.
TEST(DecodeLevels, AnyOtherLengthThanLargeReadsBank2) {
    const ByteArray b = LoadTestImage(kImageB);
    ByteArray longer = b;
    longer.push_back(0);
    ByteArray shorter(b.begin(), b.end() - 1);
    for (const ByteArray* image : {&longer, &shorter}) {
        const LevelList levels = DecodeOrFail(*image);
        ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA);
        ExpectScreens(levels, kImageA, kShadowXor, false);
    }
}

using Attribute = std::pair<int32_t LevelObject::*, int32_t>;

struct ExpectedObject {
    int place;
    int list;  // 1-based list index j (its number is j + 1)
    size_t index;
    int32_t type, x, y;
    std::vector<Attribute> attributes;  // every attribute field not named here is 0
};

constexpr int32_t LevelObject::*kAttributeFields[] = {
    &LevelObject::attr1, &LevelObject::attr2,  &LevelObject::attr3,  &LevelObject::attr4,
    &LevelObject::attr5, &LevelObject::attr6,  &LevelObject::attr7,  &LevelObject::attr8,
    &LevelObject::attr9, &LevelObject::attr10, &LevelObject::attr11, &LevelObject::attr12};

const std::vector<ExpectedObject>& ExpectedObjects() {
    using L = LevelObject;
    static const std::vector<ExpectedObject> objects = {
        // Level 1: an entry with two extra bytes (b1 = 0x85) gives three type-5 objects.
        {1, 1, 0, 0, 0x10, 0x60, {{&L::attr2, 3}}},
        {1, 1, 1, 2, 0x30, 0x40, {{&L::attr2, 5}}},
        {1, 1, 2, 5, 0x50, 0x28, {{&L::attr3, 1}}},
        {1, 1, 3, 5, 0x50, 0x40, {{&L::attr3, 1}}},
        {1, 1, 4, 5, 0x50, 0x58, {{&L::attr4, 1}}},
        {1, 2, 0, 16, 0x20, 0x30, {{&L::attr1, 1}}},
        {1, 2, 1, 4, 0x80, 0x78, {{&L::attr7, 4}}},
        {1, 3, 0, 3, 0x40, 0x90, {{&L::attr2, 6}}},
        {1, 3, 1, 1, 0xC0, 0x20, {}},
        {1, 3, 2, 1, 0xC0, 0x38, {}},
        {1, 5, 0, 8, 0xF8, 0x18, {}},
        // Level 2, indoor: both half-step bits, and the 4-byte first entry skipped.
        {2, 1, 0, 19, 80, 768, {{&L::attr1, 3}}},
        {2, 1, 1, 20, 34, 1792, {{&L::attr8, 1}, {&L::attr9, 1}, {&L::attr7, 1}}},
        {2, 1, 2, 21, 160, 1026, {{&L::attr10, 2}, {&L::attr3, 1}}},
        {2, 2, 0, 22, 130, 258, {{&L::attr2, 7}, {&L::attr6, 1}}},
        {2, 2, 1, 23, 96, 1536, {{&L::attr11, 2}, {&L::attr3, 1}}},
        // Level 3: one and three extra bytes.
        {3, 1, 0, 16, 0x48, 0x70, {{&L::attr1, 1}}},
        {3, 1, 1, 21, 0x90, 0x30, {{&L::attr3, 1}}},
        {3, 1, 2, 21, 0x90, 0x40, {}},
        {3, 2, 0, 6, 0x20, 0x08, {{&L::attr1, 2}}},
        {3, 4, 0, 7, 0xA0, 0x10, {{&L::attr12, 1}}},
        {3, 4, 1, 7, 0xA0, 0x20, {}},
        {3, 4, 2, 7, 0xA0, 0x30, {{&L::attr12, 1}}},
        {3, 4, 3, 7, 0xA0, 0x40, {}},
        // Level 4, indoor.
        {4, 1, 0, 24, 48, 512, {{&L::attr3, 1}}},
        {4, 1, 1, 26, 16, 2304, {{&L::attr1, 1}}},
        {4, 1, 2, 25, 192, 1280, {}},
        {4, 2, 0, 16, 64, 1024, {}},
        // Level 5 gives no attributes to types 16 and above.
        {5, 2, 0, 16, 0x30, 0x08, {}},
        // Level 6.
        {6, 1, 0, 16, 0x18, 0x00, {{&L::attr11, 3}, {&L::attr7, 1}}},
        {6, 1, 1, 17, 0x38, 0x08, {{&L::attr11, 1}, {&L::attr7, 1}}},
        {6, 2, 0, 18, 0x58, 0x00, {{&L::attr11, 2}, {&L::attr7, 1}}},
        {6, 2, 1, 18, 0x58, 0x08, {{&L::attr11, 2}}},
        {6, 2, 2, 18, 0x58, 0x18, {{&L::attr11, 3}}},
        // Level 7: type 16 keeps four attribute bits.
        {7, 1, 0, 16, 0x28, 0x58, {{&L::attr11, 3}, {&L::attr7, 2}}},
        {7, 1, 1, 16, 0x48, 0x28, {{&L::attr11, 2}, {&L::attr7, 3}}},
        {7, 1, 2, 16, 0x48, 0x38, {{&L::attr11, 1}, {&L::attr7, 3}}},
        {7, 2, 0, 17, 0x68, 0x58, {{&L::attr7, 3}}},
        {7, 3, 0, 18, 0x88, 0x40, {{&L::attr12, 2}}},
        {7, 3, 1, 23, 0xA8, 0x10, {{&L::attr7, 1}}},
        {7, 3, 2, 23, 0xA8, 0x20, {{&L::attr7, 1}}},
        {7, 3, 3, 23, 0xA8, 0x30, {}},
        {7, 3, 4, 23, 0xA8, 0x40, {}},
        {7, 5, 0, 15, 0xE0, 0x08, {}},
        // Level 8: types below 16 keep their attributes at every level.
        {8, 1, 0, 9, 0x0E, 0x00, {}},
        {8, 1, 1, 10, 0x1C, 0x10, {{&L::attr1, 1}}},
        {8, 1, 2, 11, 0x2A, 0x20, {{&L::attr1, 2}}},
        {8, 1, 16, 13, 0xEE, 0x00, {}},
        {8, 2, 0, 63, 0x40, 0x20, {}},
        {8, 2, 1, 6, 0x60, 0x20, {{&L::attr1, 1}}},
        {8, 3, 0, 32, 0x80, 0x40, {}},
        {8, 12, 0, 0, 0x10, 0x00, {{&L::attr2, 2}}},
    };
    return objects;
}

TEST(DecodeLevels, ObjectListsHoldTheRecipesObjects) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kImageA));
    ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA);
    for (const ExpectedObject& e : ExpectedObjects()) {
        const auto& lists = levels.records[e.place - 1].objectLists;
        ASSERT_LE(static_cast<size_t>(e.list), lists.size()) << e.place << "/" << e.list;
        const ObjectListRecord& list = lists[e.list - 1];
        EXPECT_EQ(list.number, e.list + 1);
        ASSERT_LT(e.index, list.objects.size()) << e.place << "/" << e.list << "/" << e.index;
        const LevelObject& o = list.objects[e.index];
        SCOPED_TRACE(testing::Message()
                     << "level " << e.place << " list " << e.list << " object " << e.index);
        EXPECT_EQ(o.entryNumber, list.number);
        EXPECT_EQ(o.type, e.type);
        EXPECT_EQ(o.x, e.x);
        EXPECT_EQ(o.y, e.y);
        EXPECT_EQ(o.reserved1 | o.reserved2 | o.reserved3, 0);
        for (auto field : kAttributeFields) {
            int32_t want = 0;
            for (const Attribute& a : e.attributes) {
                if (a.first == field) {
                    want = a.second;
                }
            }
            EXPECT_EQ(o.*field, want);
        }
    }
}

TEST(DecodeLevels, ObjectListLengths) {
    const LevelList levels = DecodeOrFail(LoadTestImage(kImageA));
    ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA);
    constexpr size_t kLongList = 17;
    const std::vector<std::vector<size_t>> counts = {
        {5, 2, 3, 0, 1},                // list 4 starts with 0xFF
        {3, 2, 0},                      // list 3's 4-byte first entry starts with 0xFF
        {3, 1, 0, 4},    {3, 1, 0, 0},  // list 3 ends right after its 4-byte first entry
        {0, 1, 0, 0},    {2, 3, 0},
        {3, 1, 5, 0, 1}, {kLongList, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1},
    };
    for (int n = 1; n <= kLevelCount; ++n) {
        std::vector<size_t> got;
        for (const ObjectListRecord& list : levels.records[n - 1].objectLists) {
            got.push_back(list.objects.size());
        }
        EXPECT_EQ(got, counts[n - 1]) << "level " << n;
    }
}

// Stored forms that are not the editor's, and headers the recipe does not use.
TEST(DecodeLevels, VariantsDecodeToTheirManifestCells) {
    const SampleManifest& manifest = SampleManifest::Get();
    for (const char* name : {"OddForms.nes", "SharedScreens.nes", "Vertical2.nes", "HighCells.nes",
                             "ScreenOverObjectTable.nes", "ShortA.nes", "EndsAtLastByte.nes"}) {
        const LevelList levels = DecodeOrFail(LoadTestImage(name));
        ASSERT_EQ(static_cast<int>(levels.records.size()), kLevelsOfA) << name;
        ExpectScreens(levels, name, 0, false);
        for (size_t i = 0; i < levels.records.size(); ++i) {
            for (const ScreenRecord& screen : levels.records[i].screens) {
                const int place = static_cast<int>(i) + 1;
                if (manifest.HasStored(name, place, screen.number)) {
                    const StoredPlace at = manifest.Stored(name, place, screen.number);
                    EXPECT_EQ(screen.storedOffset, at.offset) << name << " " << screen.number;
                    EXPECT_EQ(screen.storedLength, at.length) << name << " " << screen.number;
                }
            }
        }
    }
}

TEST(DecodeLevels, AScreenIsReadUntilItHoldsItsCellCount) {
    // OddForms stores level 1 screen 5 as 56 pairs "81 v": 112 bytes for 56 cells.
    constexpr int64_t kPairsLength = 112;
    const LevelList levels = DecodeOrFail(LoadTestImage("OddForms.nes"));
    ASSERT_GE(levels.records.size(), 1u);
    ASSERT_EQ(levels.records[0].screens.size(), 5u);
    EXPECT_EQ(levels.records[0].screens[4].storedLength, kPairsLength);
    EXPECT_EQ(levels.records[0].screens[4].cells, SampleManifest::Get().Cells(kImageA, 1, 5));
}

TEST(DecodeLevels, VerticalByteTwoMeansEightRows) {
    const LevelList levels = DecodeOrFail(LoadTestImage("Vertical2.nes"));
    ASSERT_GE(levels.records.size(), 1u);
    const LevelRecord& level = levels.records[0];
    EXPECT_EQ(level.vertical, 2);
    EXPECT_EQ(LevelRows(level), kVerticalRows);
    for (const ScreenRecord& screen : level.screens) {
        EXPECT_EQ(static_cast<int>(screen.cells.size()), kVerticalRows * kLevelColumns);
    }
}

TEST(DecodeLevels, KindTwoHasBaseCountScreensOutdoorListsAndNoBossRoom) {
    const LevelList a = DecodeOrFail(LoadTestImage(kImageA));
    const LevelList levels = DecodeOrFail(LoadTestImage("Kind2.nes"));
    ASSERT_EQ(levels.records.size(), a.records.size());
    EXPECT_EQ(static_cast<int>(levels.records.size()),
              SampleManifest::Get().LevelCount("Kind2.nes"));
    const LevelRecord& level = levels.records[0];
    constexpr int32_t kKindTwo = 2;
    EXPECT_EQ(level.kind, kKindTwo);
    EXPECT_EQ(static_cast<int32_t>(level.screens.size()), level.baseScreenCount);
    EXPECT_EQ(level.objectLists, a.records[0].objectLists);
    EXPECT_EQ(levels.records[kFirstBossPlace - 1].number, 2);
}

struct BadImage {
    const char* name;
    int level;
    int screen;
};

// Each bad image is refused as a whole, names where it lies, and leaves the old levels alone.
TEST(DecodeLevels, BadImagesAreRefusedAndKeepTheOldLevels) {
    const BadImage cases[] = {
        {"Nes3Bytes.nes", 1, 0},
        {"CutB400.nes", 1, 0},  // level 1's object table lies past the cut
        {"LieScreenPastEnd.nes", 8, 1},
        {"LieRunPastEnd.nes", 8, 12},
        {"LieScreenTablePastEnd.nes", 8, 1},
        {"LieObjectTablePastEnd.nes", 8, 0},
        {"LieListPastEnd.nes", 8, 0},
        {"LieUnterminatedList.nes", 8, 0},
        {"LieBossPastEnd.nes", kSecondBossPlace, kSecondBossPlace},
    };
    const LevelList before = DecodeOrFail(LoadTestImage(kImageA));
    for (const BadImage& bad : cases) {
        LevelList levels = before;
        const CodecResult result = DecodeImage(LoadTestImage(bad.name), levels);
        EXPECT_FALSE(result.ok) << bad.name;
        EXPECT_FALSE(result.message.empty()) << bad.name;
        EXPECT_EQ(result.level, bad.level) << bad.name << ": " << result.message;
        EXPECT_EQ(result.screen, bad.screen) << bad.name << ": " << result.message;
        EXPECT_EQ(result.problem,
                  bad.screen > 0 ? CodecProblem::ScreenUnreadable : CodecProblem::LevelUnreadable)
            << bad.name;
        EXPECT_EQ(levels.records.size(), before.records.size()) << bad.name;
        EXPECT_EQ(levels.source.imageChecksum, before.source.imageChecksum) << bad.name;
    }
    LevelList levels;
    EXPECT_FALSE(DecodeImage({}, levels).ok);
}

// The last-place rule of a run header belongs to a cut input, not to the end of the image: a
// screen whose final byte is a run header at the image's very end needs a value byte that is not
// there, so the image is refused rather than given a cell of the header's own value.
TEST(DecodeLevels, ARunHeaderEndingTheImageIsRefused) {
    constexpr int kLevel = 8;
    constexpr int kLastScreen = 12;
    constexpr uint8_t kCell = 0x0A;
    constexpr uint8_t kRunOf55 = 0x80 + 55;  // 55 of the screen's 56 cells
    constexpr uint8_t kRunHeader = 0x85;
    const ByteArray shortA = LoadTestImage("ShortA.nes");
    const LevelList decoded = DecodeOrFail(shortA);
    ASSERT_GE(decoded.records.size(), static_cast<size_t>(kLevel));
    const int64_t pointerAt =
        FileOffset(decoded.records[kLevel - 1].screenTable + int64_t{kLastScreen - 1} * 2,
                   kSmallLayoutLevelBank, true);
    const struct {
        uint8_t lastByte;
        bool accepted;
    } cases[] = {{kCell, true}, {kRunHeader, false}};
    for (const auto& c : cases) {
        // The screen is appended, so that it ends the image.
        ByteArray image = shortA;
        const int32_t address = static_cast<int32_t>(image.size()) - kInesHeaderSize;
        image[pointerAt] = static_cast<uint8_t>(address & 0xFF);
        image[pointerAt + 1] = static_cast<uint8_t>(address >> 8);
        image.insert(image.end(), {kRunOf55, kCell, c.lastByte});
        LevelList levels;
        const CodecResult result = DecodeImage(image, levels);
        EXPECT_EQ(result.ok, c.accepted) << int{c.lastByte} << ": " << result.message;
        if (!c.accepted) {
            EXPECT_EQ(result.level, kLevel);
            EXPECT_EQ(result.screen, kLastScreen);
        }
    }
}

// Image A with level 8's twelve object lists pointing into one long list of its own, so that the
// image holds `total` objects: eleven lists start at the long list, the twelfth a few entries
// before it.
ByteArray ImageWithObjects(size_t total) {
    constexpr int kListLevel = 8;
    constexpr int kListCount = 12;         // n + 2, n = 10
    constexpr int32_t kLongList = 0x9200;  // free bytes of image A's bank 2
    constexpr size_t kMostPerEntry = 4;    // the entry and three extra bytes
    constexpr uint8_t kX = 0x10;
    constexpr uint8_t kExtraShift = 6;
    constexpr uint8_t kListEnd = 0xFF;
    ByteArray image = LoadTestImage(kImageA);
    const LevelList sample = DecodeOrFail(image);
    size_t before = 0;  // the objects of levels 1 to 7, which are read first
    for (int place = 1; place < kListLevel; ++place) {
        for (const ObjectListRecord& list : sample.records[place - 1].objectLists) {
            before += list.objects.size();
        }
    }
    const size_t rest = total - before;
    const size_t each = rest / kListCount;
    const size_t extra = rest - each * kListCount;
    const auto entries = [&](size_t objects) {
        ByteArray bytes;
        for (size_t left = objects; left > 0;) {
            const size_t n = std::min(left, kMostPerEntry);
            bytes.push_back(kX);
            bytes.push_back(static_cast<uint8_t>((n - 1) << kExtraShift));
            bytes.insert(bytes.end(), n, 0);  // y of the entry's object and of each extra one
            left -= n;
        }
        return bytes;
    };
    ByteArray lists = entries(extra);
    const int32_t longList = kLongList + static_cast<int32_t>(lists.size());
    const ByteArray longBytes = entries(each);
    lists.insert(lists.end(), longBytes.begin(), longBytes.end());
    lists.push_back(kListEnd);
    PutBytes(image, UnbankedOffset(kLongList), lists);
    const int32_t table = kObjectTables + (kListLevel - 1) * kObjectTableStride;
    for (int j = 0; j < kListCount; ++j) {
        PutWord(image, UnbankedOffset(table + j * 2), j == 0 ? kLongList : longList);
    }
    return image;
}

size_t ObjectCount(const LevelList& levels) {
    size_t count = 0;
    for (size_t i = 0; i < kLevelCount && i < levels.records.size(); ++i) {
        for (const ObjectListRecord& list : levels.records[i].objectLists) {
            count += list.objects.size();
        }
    }
    return count;
}

// Lists that end but hold more objects together than the editor reads are refused for that
// reason; as many as it reads are read.
TEST(DecodeLevels, ObjectsPastTheirBoundAreRefusedForTheirCount) {
    constexpr int kListLevel = 8;
    const LevelList all = DecodeOrFail(ImageWithObjects(kMaxDecodedObjects));
    EXPECT_EQ(ObjectCount(all), kMaxDecodedObjects);

    LevelList levels;
    const CodecResult result = DecodeImage(ImageWithObjects(kMaxDecodedObjects + 1), levels);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problem, CodecProblem::TooManyObjects);
    EXPECT_EQ(result.level, kListLevel);
    EXPECT_NE(result.message.find(std::to_string(kMaxDecodedObjects)), std::string::npos)
        << result.message;
    EXPECT_EQ(result.message.find("never ends"), std::string::npos) << result.message;
}

TEST(DecodeLevels, RefusesAnUnsetLayoutTable) {
    LevelList levels;
    EXPECT_FALSE(
        DecodeLevels(LoadTestImage(kImageA), false, {}, kObjectPointerTableAddress, levels));
    EXPECT_TRUE(levels.records.empty());
}

}  // namespace

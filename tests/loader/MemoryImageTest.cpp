// The in-memory loader on a real library built beside the test, on damaged copies of it, and
// on the engine library bound through the image flag.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "../support/GuardedBytes.h"
#include "LoaderProbe.h"
#include "foundation/CheckedMemory.h"
#include "foundation/EngineBinding.h"
#include "foundation/EngineInit.h"
#include "foundation/MemoryImage.h"
#include "../support/CpuEmulation.h"

namespace {

using namespace toolkit;
using namespace loader_probe;

using AddRoutine = int (*)(int);
using SecretRoutine = int (*)();

constexpr char kProbePath[] = LOADER_PROBE_PATH;
constexpr char kEnginePath[] = ".\\exdui.dll";
constexpr std::uint32_t kMissingOrdinal = 99;
constexpr std::uint32_t kFarRva = 0x7FFFFFF0;
constexpr std::uint32_t kEventTableBuckets = 12;
constexpr std::uint32_t kProbeMessage = 20108;
constexpr std::size_t kTooShort = 63;
constexpr std::size_t kCutInsideNtHeaders = 100;
constexpr std::uint32_t kTinyBlockSize = 4;
// An import of the probe and a name of the same length that no library exports.
constexpr char kImportName[] = "SetEnvironmentVariableA";
constexpr char kUnknownName[] = "VennmarkUnknownRoutine1";
static_assert(sizeof(kImportName) == sizeof(kUnknownName), "overwritten in place");

ByteArray ReadFileBytes(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return ByteArray(std::istreambuf_iterator<char>(file), {});
}

std::string TakeEvents() {
    char events[64] = {};
    GetEnvironmentVariableA(kEventsVariable, events, sizeof(events));
    SetEnvironmentVariableA(kEventsVariable, nullptr);
    return events;
}

// The image ends where readable memory ends, so a read past it faults in the test.
std::uint32_t Load(const ByteArray& bytes, std::uintptr_t resolver = 0, std::uint32_t user = 0) {
    const test_support::GuardedBytes guarded(bytes, true);
    EXPECT_NE(guarded.data(), nullptr);
    return LoadImageFromMemory(guarded.address(), resolver, user);
}

// Where the probe's headers lie in its file, to damage them on purpose.
struct FileLayout {
    std::uint32_t ntOffset = 0;
    IMAGE_NT_HEADERS32 nt{};
    std::uint32_t sectionTable = 0;

    explicit FileLayout(const ByteArray& bytes) {
        std::memcpy(&ntOffset, &bytes[offsetof(IMAGE_DOS_HEADER, e_lfanew)], sizeof(ntOffset));
        std::memcpy(&nt, &bytes[ntOffset], sizeof(nt));
        sectionTable = ntOffset + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                       nt.FileHeader.SizeOfOptionalHeader;
    }
    IMAGE_SECTION_HEADER Section(const ByteArray& bytes, std::uint32_t index) const {
        IMAGE_SECTION_HEADER section{};
        std::memcpy(&section, &bytes[sectionTable + index * sizeof(section)], sizeof(section));
        return section;
    }
    std::uint32_t SectionEnd() const {
        return sectionTable + nt.FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER);
    }
    std::uint32_t FileOffset(const ByteArray& bytes, std::uint32_t rva) const {
        for (std::uint32_t i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER s = Section(bytes, i);
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return 0;
    }
    std::uint32_t DirectoryField(std::uint32_t index) const {
        return ntOffset + offsetof(IMAGE_NT_HEADERS32, OptionalHeader.DataDirectory) +
               index * sizeof(IMAGE_DATA_DIRECTORY);
    }
};

void Put32(ByteArray& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(&bytes[offset], &value, sizeof(value));
}

class MemoryImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_probe = ReadFileBytes(kProbePath);
        ASSERT_FALSE(m_probe.empty()) << kProbePath;
        SetEnvironmentVariableA(kRefuseVariable, nullptr);
        TakeEvents();
    }
    ByteArray m_probe;
};

TEST_F(MemoryImageTest, MapsRelocatesCallsExportsAndDetaches) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    const std::uint32_t module = Load(m_probe);
    ASSERT_NE(module, 0u);
    EXPECT_NE(module, FileLayout(m_probe).nt.OptionalHeader.ImageBase) << "relocations unused";
    EXPECT_EQ(TakeEvents(), std::string(1, kAttachMark));

    const auto add = reinterpret_cast<AddRoutine>(GetImageExport(module, AddressOf("ProbeAdd")));
    const auto twice =
        reinterpret_cast<AddRoutine>(GetImageExport(module, AddressOf("ProbeAddTwice")));
    const auto secret = reinterpret_cast<SecretRoutine>(GetImageExport(module, kSecretOrdinal));
    ASSERT_NE(add, nullptr);
    ASSERT_NE(twice, nullptr);
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(add(1), kBaseValue + 1);
    EXPECT_EQ(twice(1), kBaseValue + 2);
    EXPECT_EQ(secret(), kSecretValue);
    EXPECT_EQ(GetImageExport(module, kAddOrdinal), AddressOf(add));
    EXPECT_EQ(GetImageExport(module, kMissingOrdinal), 0u);
    EXPECT_EQ(GetImageExport(module, AddressOf("ProbeAd")), 0u);
    EXPECT_EQ(GetImageExport(module, AddressOf("ProbeAddTwiceMore")), 0u);

    EXPECT_TRUE(FreeMemoryImage(module));
    EXPECT_EQ(TakeEvents(), std::string(1, kDetachMark));
    EXPECT_FALSE(FreeMemoryImage(module)) << "a released image is not freed twice";
}

TEST_F(MemoryImageTest, RefusedAttachIsDetachedAndFails) {
    SetEnvironmentVariableA(kRefuseVariable, "1");
    EXPECT_EQ(Load(m_probe), 0u);
    EXPECT_EQ(TakeEvents(), (std::string{kAttachMark, kDetachMark}));
}

std::uint32_t g_resolverUser = 0;
std::string g_resolverLibrary;

std::uint32_t __stdcall KnowsUnknownName(std::uint32_t library, std::uint32_t name,
                                         std::uint32_t user) {
    if (std::strcmp(reinterpret_cast<const char*>(name), kUnknownName) != 0) {
        return 0;
    }
    g_resolverUser = user;
    g_resolverLibrary = reinterpret_cast<const char*>(library);
    return AddressOf(&SetEnvironmentVariableA);
}

TEST_F(MemoryImageTest, UnresolvedImportFailsUnlessTheResolverKnowsIt) {
    constexpr std::uint32_t kUserValue = 77;
    const auto at =
        std::search(m_probe.begin(), m_probe.end(), std::begin(kImportName), std::end(kImportName));
    ASSERT_NE(at, m_probe.end());
    std::copy(std::begin(kUnknownName), std::end(kUnknownName), at);

    EXPECT_EQ(Load(m_probe), 0u);
    EXPECT_EQ(TakeEvents(), "") << "no entry point runs for an image that failed to map";

    const std::uint32_t module = Load(m_probe, AddressOf(&KnowsUnknownName), kUserValue);
    ASSERT_NE(module, 0u);
    EXPECT_EQ(g_resolverUser, kUserValue);
    EXPECT_EQ(CharUpperA(g_resolverLibrary.data()), std::string("KERNEL32.DLL"));
    EXPECT_EQ(TakeEvents(), std::string(1, kAttachMark));
    EXPECT_TRUE(FreeMemoryImage(module));
}

TEST_F(MemoryImageTest, DamagedImagesAreRejected) {
    const FileLayout layout(m_probe);
    const std::uint32_t relocRva =
        layout.nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].VirtualAddress;
    const std::uint32_t relocBlockSize =
        layout.FileOffset(m_probe, relocRva) + offsetof(IMAGE_BASE_RELOCATION, SizeOfBlock);
    const std::uint32_t firstRawPointer =
        layout.sectionTable + offsetof(IMAGE_SECTION_HEADER, PointerToRawData);
    ASSERT_NE(relocRva, 0u);
    ASSERT_NE(layout.FileOffset(m_probe, relocRva), 0u);

    const struct {
        const char* name;
        std::function<void(ByteArray&)> damage;
    } cases[] = {
        {"63 bytes", [](ByteArray& b) { b.resize(kTooShort); }},
        {"headers cut", [&](ByteArray& b) { b.resize(layout.ntOffset + kCutInsideNtHeaders); }},
        {"section table cut", [&](ByteArray& b) { b.resize(layout.SectionEnd() - 1); }},
        {"last section cut", [](ByteArray& b) { b.resize(b.size() / 2); }},
        {"e_lfanew far away",
         [](ByteArray& b) { Put32(b, offsetof(IMAGE_DOS_HEADER, e_lfanew), kFarRva); }},
        {"e_lfanew at the end",
         [](ByteArray& b) {
             Put32(b, offsetof(IMAGE_DOS_HEADER, e_lfanew),
                   static_cast<std::uint32_t>(b.size() - sizeof(DWORD)));
         }},
        {"section past the end",
         [&](ByteArray& b) { Put32(b, firstRawPointer, static_cast<std::uint32_t>(b.size())); }},
        {"relocation block too small",
         [&](ByteArray& b) { Put32(b, relocBlockSize, kTinyBlockSize); }},
        {"relocation block too large", [&](ByteArray& b) { Put32(b, relocBlockSize, kFarRva); }},
        {"relocations outside the image",
         [&](ByteArray& b) {
             Put32(b, layout.DirectoryField(IMAGE_DIRECTORY_ENTRY_BASERELOC), kFarRva);
         }},
        {"imports outside the image",
         [&](ByteArray& b) {
             Put32(b, layout.DirectoryField(IMAGE_DIRECTORY_ENTRY_IMPORT), kFarRva);
         }},
    };
    for (const auto& test : cases) {
        ByteArray damaged = m_probe;
        test.damage(damaged);
        EXPECT_EQ(Load(damaged), 0u) << test.name;
        EXPECT_EQ(TakeEvents(), "") << test.name;
    }
    EXPECT_EQ(LoadImageFromMemory(0, 0, 0), 0u);
}

TEST_F(MemoryImageTest, ExportsOutsideTheImageAreMissing) {
    Put32(m_probe, FileLayout(m_probe).DirectoryField(IMAGE_DIRECTORY_ENTRY_EXPORT), kFarRva);
    const std::uint32_t module = Load(m_probe);
    ASSERT_NE(module, 0u);
    EXPECT_EQ(GetImageExport(module, AddressOf("ProbeAdd")), 0u);
    EXPECT_EQ(GetImageExport(module, kSecretOrdinal), 0u);
    EXPECT_TRUE(FreeMemoryImage(module));
}

TEST_F(MemoryImageTest, ForeignModulesAreReadButNeverFreed) {
    HMODULE library = LoadLibraryA(kProbePath);
    ASSERT_NE(library, nullptr);
    const auto module = reinterpret_cast<std::uintptr_t>(library);
    EXPECT_EQ(GetImageExport(module, AddressOf("ProbeAdd")),
              AddressOf(GetProcAddress(library, "ProbeAdd")));
    EXPECT_FALSE(FreeMemoryImage(module));
    EXPECT_FALSE(FreeMemoryImage(0));
    FreeLibrary(library);
}

TEST_F(MemoryImageTest, EngineCallbacksReachTheLoader) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    const CountedBytes counted(m_probe);
    const std::uint32_t module = OnEngineLoadImage(AddressOf(counted.data()), 0, 0);
    ASSERT_NE(module, 0u);
    const auto secret =
        reinterpret_cast<SecretRoutine>(OnEngineGetImageExport(module, kSecretOrdinal));
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(secret(), kSecretValue);
    EXPECT_EQ(OnEngineFreeImage(module), 1u);
    EXPECT_EQ(OnEngineFreeImage(module), 0u);
}

TEST(MemoryImageEngineTest, ImageFlagBindingCallsTheMappedEngine) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    const ByteArray engine = ReadFileBytes(kEnginePath);
    ASSERT_FALSE(engine.empty());
    const std::uint32_t module = Load(engine);
    ASSERT_NE(module, 0u);
    BindEngine(module, true);
    const std::uint32_t table = EngineCreateEventTable(kEventTableBuckets);
    ASSERT_NE(table, 0u);
    engine_abi::EventEntry entry{};
    EXPECT_TRUE(EngineStoreEvent(table, kProbeMessage, AddressOf(&entry)));
    EXPECT_EQ(EngineLookupEvent(table, kProbeMessage), AddressOf(&entry));
    // The table frees the entries it still holds, and this one is not a heap block.
    EXPECT_TRUE(EngineStoreEvent(table, kProbeMessage, 0));
    EXPECT_TRUE(EngineFreeEventTable(table));
    EXPECT_TRUE(FreeEngine()) << "the mapped engine is released through the loader";
    EXPECT_FALSE(FreeMemoryImage(module));
}

}  // namespace

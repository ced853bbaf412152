// ConfigFile on real files under Wine: what it writes, what it reads back, and what a refused
// write does.
#include "settings/ConfigFile.h"
#include "fileio/FileBytes.h"
#include "settings/SettingsNames.h"

#include "TempFolder.h"
#include "../support/CpuEmulation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

const std::string kTag = settings::kStringEndTag;

class ConfigFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_folder.Path().empty());
        m_config.SetFile(m_folder.File("test.ini"));
    }

    std::string FileText() const {
        std::string bytes;
        ReadFileBytes(m_config.GetFile(), bytes);
        return bytes;
    }

    TempFolder m_folder;
    ConfigFile m_config;
};

struct StringCase {
    const char* name;
    std::string value;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const StringCase& c, std::ostream* os) {
    *os << c.name;
}

class StringRoundTrip : public ConfigFileTest, public testing::WithParamInterface<StringCase> {};

TEST_P(StringRoundTrip, ReadsBackWhatWasWritten) {
    const std::string key = "Some.Key";
    ASSERT_TRUE(m_config.WriteString(key, GetParam().value));
    EXPECT_EQ(m_config.ReadString(key, "<default>"), GetParam().value);
    // A second key after it must not bleed into the first value.
    ASSERT_TRUE(m_config.WriteString("Next.Key", "next"));
    EXPECT_EQ(m_config.ReadString(key, "<default>"), GetParam().value);
    EXPECT_EQ(m_config.ReadString("Next.Key", "<default>"), "next");
}

INSTANTIATE_TEST_SUITE_P(
    Values, StringRoundTrip,
    testing::Values(StringCase{"Ascii", "plain text"},
                    StringCase{"Chinese", "\xB9\xD8\xBF\xA8\xB1\xE0\xBC\xAD"},  // 关卡编辑
                    // Trail bytes 0x5C (a backslash), N and a.
                    StringCase{"TrailBackslash", "\x81\x5C\x81\x5C"},
                    StringCase{"TrailLetters",
                               "\x81\x4E"
                               "ame=\x81\x61"},
                    StringCase{"EqualsSigns", "a=b=c"}, StringCase{"Empty", ""},
                    StringCase{"SpansLines", "line one\r\nline two"}),
    [](const testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

TEST_F(ConfigFileTest, WritesTheStoredFormat) {
    ASSERT_TRUE(m_config.WriteString("Location.Language", "Chinese"));
    ASSERT_TRUE(m_config.WriteInteger("UI.Mapping.Color.GirdLine", settings::kDefaultGridColour));
    ASSERT_TRUE(m_config.WriteBoolean("Flag.On", true));
    ASSERT_TRUE(m_config.WriteBoolean("Flag.Off", false));
    const std::string text = FileText();
    EXPECT_NE(text.find("[String]\r\nLocation.Language=Chinese" + kTag + "\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("[Integer]\r\nUI.Mapping.Color.GirdLine=-22273\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("[Boolean]\r\nFlag.On=true\r\nFlag.Off=false\r\n"), std::string::npos)
        << text;
}

TEST_F(ConfigFileTest, StringLineWithoutEndTagReadsEmpty) {
    ASSERT_TRUE(WriteFileBytes(m_config.GetFile(), "[String]\r\nName=no tag here\r\n"));
    EXPECT_EQ(m_config.ReadString("Name", "<default>"), "");
}

TEST_F(ConfigFileTest, KeyInTwoSectionsReadsTheFirst) {
    ASSERT_TRUE(m_config.WriteItem("Other", "Name", "first" + kTag));
    ASSERT_TRUE(m_config.WriteString("Name", "second"));
    EXPECT_EQ(m_config.ReadString("name", "<default>"), "first");
}

TEST_F(ConfigFileTest, MissingFileGivesDefaults) {
    EXPECT_EQ(m_config.ReadString("Name", "dflt"), "dflt");
    EXPECT_EQ(m_config.ReadItem("Integer", "Name", "dflt"), "dflt");
    EXPECT_EQ(m_config.ReadInteger("Name", settings::kDefaultSectionColour),
              settings::kDefaultSectionColour);
    EXPECT_TRUE(m_config.ReadBoolean("Name", true));
    EXPECT_FALSE(m_config.ReadBoolean("Name", false));
}

TEST_F(ConfigFileTest, IntegerRoundTrip) {
    const std::int32_t values[] = {settings::kDefaultGridColour, settings::kDefaultSectionColour,
                                   settings::kDefaultSeparation, 0, -1};
    for (std::int32_t value : values) {
        ASSERT_TRUE(m_config.WriteInteger("Value", value));
        EXPECT_EQ(m_config.ReadInteger("Value", 0), value);
    }
    // Stored by hand: an unsigned colour, and a text without digits.
    ASSERT_TRUE(m_config.WriteItem(settings::kSectionInteger, "Value", "4294945023"));
    EXPECT_EQ(m_config.ReadInteger("Value", 0), settings::kDefaultGridColour);
    ASSERT_TRUE(m_config.WriteItem(settings::kSectionInteger, "Value", "no digits"));
    EXPECT_EQ(m_config.ReadInteger("Value", settings::kDefaultSeparation), 0);
}

TEST_F(ConfigFileTest, BooleanIsTrueOnlyForExactTrue) {
    const struct {
        const char* stored;
        bool expected;
    } cases[] = {{"true", true},   {"TRUE", false}, {"True", false},
                 {"false", false}, {"1", false},    {"", false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(m_config.WriteItem(settings::kSectionBoolean, "Flag", c.stored));
        EXPECT_EQ(m_config.ReadBoolean("Flag", true), c.expected) << c.stored;
    }
    ASSERT_TRUE(m_config.WriteBoolean("Flag", false));
    EXPECT_FALSE(m_config.ReadBoolean("Flag", true));
    ASSERT_TRUE(m_config.WriteBoolean("Flag", true));
    EXPECT_TRUE(m_config.ReadBoolean("Flag", false));
}

TEST_F(ConfigFileTest, ReadItemHoldsLongValues) {
    constexpr std::size_t kLongerThanThreeSteps = 3 * 1024 + 17;
    std::string value;
    for (std::size_t i = 0; i < kLongerThanThreeSteps; ++i) {
        value += static_cast<char>('a' + i % 26);
    }
    ASSERT_TRUE(m_config.WriteItem("Long", "Value", value));
    EXPECT_EQ(m_config.ReadItem("Long", "Value", ""), value);
    // A value of exactly one step less its terminator must not be taken as cut off.
    const std::string exact(1023, 'x');
    ASSERT_TRUE(m_config.WriteItem("Long", "Exact", exact));
    EXPECT_EQ(m_config.ReadItem("Long", "Exact", ""), exact);
}

struct RaisedError {
    std::string section, key, value;
};
std::vector<RaisedError> g_raised;

void RecordError(const char* section, const char* key, const char* value) {
    g_raised.push_back({section, key, value});
}

TEST_F(ConfigFileTest, WriteIntoMissingFolderFailsAndRaisesTheError) {
    g_raised.clear();
    const std::string path = m_folder.File("missing\\test.ini");
    m_config.SetFile(path);
    m_config.SetErrorHandler(&RecordError);
    EXPECT_FALSE(m_config.WriteString("Location.Language", "Chinese"));
    EXPECT_FALSE(m_config.WriteInteger("UI.Mapping.Separation", settings::kDefaultSeparation));
    ASSERT_EQ(g_raised.size(), 2u);
    EXPECT_EQ(g_raised[0].section, "String");
    EXPECT_EQ(g_raised[0].key, "Location.Language");
    EXPECT_EQ(g_raised[0].value, "Chinese" + kTag);
    EXPECT_EQ(g_raised[1].section, "Integer");
    EXPECT_EQ(g_raised[1].key, "UI.Mapping.Separation");
    EXPECT_EQ(g_raised[1].value, "5");
    EXPECT_FALSE(FolderExists(m_folder.File("missing")));
}

TEST_F(ConfigFileTest, FailedWriteWithoutCallableHandlerIsQuiet) {
    SKIP_WHERE_UNREADABLE_PROBES_CRASH();
    m_config.SetFile(m_folder.File("missing\\test.ini"));
    EXPECT_FALSE(m_config.WriteBoolean("Flag", true));
    // An address that holds no code is never called.
    const auto notCode = reinterpret_cast<ConfigFile::ErrorHandler>(std::uintptr_t{0x10});
    m_config.SetErrorHandler(notCode);
    EXPECT_EQ(m_config.GetErrorHandler(), notCode);
    EXPECT_FALSE(m_config.WriteBoolean("Flag", true));
}

TEST_F(ConfigFileTest, CloneIsDeep) {
    m_config.SetErrorHandler(&RecordError);
    ConfigFile clone(m_config);
    EXPECT_EQ(clone.GetFile(), m_config.GetFile());
    EXPECT_EQ(clone.GetErrorHandler(), &RecordError);
    clone.SetFile(m_folder.File("other.ini"));
    EXPECT_EQ(m_config.GetFile(), m_folder.File("test.ini"));
}

}  // namespace

#include "IniFile.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>

using segmora::IniFile;

namespace {

// Reading: section, key and the value that comes back (nullopt: missing).
struct ReadCase {
    const char *Name;
    std::string Text;
    const char *Section;
    const char *Key;
    std::optional<std::string> Value;
};

void PrintTo(const ReadCase &c, std::ostream *out) {
    *out << c.Name;
}

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValue) {
    const ReadCase &c = GetParam();
    EXPECT_EQ(IniFile(c.Text).Read(c.Section, c.Key), c.Value);
}

const std::string Basic = "[Main]\r\nDirPath=/a\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRead,
    testing::Values(
        ReadCase{"Plain", Basic, "Main", "DirPath", "/a"},
        ReadCase{"NamesIgnoreCase", "[main]\r\ndirpath=/a\r\n", "Main", "DirPath", "/a"},
        ReadCase{"BlanksAroundEqualsAndValue", "[Main]\r\n  DirPath \t=  /a b \t\r\n", "Main",
                 "DirPath", "/a b"},
        ReadCase{"BlanksAroundHeader", "  [ Main ]  \r\nDirPath=/a\r\n", "Main", "DirPath", "/a"},
        ReadCase{"PresentButEmpty", "[Main]\r\nDirPath=\r\n", "Main", "DirPath", ""},
        ReadCase{"MissingKey", Basic, "Main", "ChgPath", std::nullopt},
        ReadCase{"MissingSection", Basic, "View", "DirPath", std::nullopt},
        ReadCase{"KeyInOtherSection", "[View]\r\nDirPath=/a\r\n[Main]\r\n", "Main", "DirPath",
                 std::nullopt},
        ReadCase{"LineFeedsOnly", "[Main]\nDirPath=/a\n", "Main", "DirPath", "/a"},
        ReadCase{"NoFinalLineEnd", "[Main]\r\nDirPath=/a", "Main", "DirPath", "/a"},
        ReadCase{"ValueHoldsEquals", "[Main]\r\nDirPath=a=b\r\n", "Main", "DirPath", "a=b"},
        ReadCase{"FirstOfDuplicateKeys", "[Main]\r\nOP1=1\r\nOP1=2\r\n", "Main", "OP1", "1"},
        ReadCase{"FirstOfDuplicateSections", "[Main]\r\n[View]\r\n[Main]\r\nOP1=1\r\n", "Main",
                 "OP1", std::nullopt},
        ReadCase{"BeforeFirstSectionIsNoSection", "DirPath=/a\r\n[Main]\r\n", "Main", "DirPath",
                 std::nullopt},
        ReadCase{"HeaderWithoutBracketIsNoHeader", "[Main]\r\n[View\r\nWidth=3\r\n", "Main",
                 "Width", "3"},
        ReadCase{"CommentIsNoKey", "[Main]\r\n;DirPath=/a\r\n#DirPath=/b\r\n", "Main", "DirPath",
                 std::nullopt},
        ReadCase{"KeyWithoutEqualsIsNoKey", "[Main]\r\nDirPath\r\n", "Main", "DirPath",
                 std::nullopt},
        ReadCase{"NulBytesStayInTheValue", std::string("[Main]\r\nDirPath=a\0b\r\n", 21), "Main",
                 "DirPath", std::string("a\0b", 3)},
        ReadCase{"Cp932BytesAsTheyAre",
                 "[Setting]\r\nUser1_Name=\xD5\xB0\xBB\xDE"
                 "1\r\n",
                 "Setting", "User1_Name",
                 "\xD5\xB0\xBB\xDE"
                 "1"}),
    [](const testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.Name); });

// Writing one key into a text gives the expected text.
struct WriteCase {
    const char *Name;
    std::string Before;
    const char *Section;
    const char *Key;
    const char *Value;
    std::string After;
};

void PrintTo(const WriteCase &c, std::ostream *out) {
    *out << c.Name;
}

class IniWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyThatKey) {
    const WriteCase &c = GetParam();
    IniFile ini(c.Before);
    ini.Write(c.Section, c.Key, c.Value);
    EXPECT_EQ(ini.Text(), c.After);
    EXPECT_EQ(ini.Read(c.Section, c.Key), c.Value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWrite,
    testing::Values(WriteCase{"NewFile", "", "Main", "Top", "10", "[Main]\r\nTop=10\r\n"},
                    WriteCase{"ReplacedInPlaceKeepingSpelling",
                              "; top\r\n[main]\r\na=1\r\n dirpath = /old \r\nb=2\r\n", "Main",
                              "DirPath", "/new",
                              "; top\r\n[main]\r\na=1\r\ndirpath=/new\r\nb=2\r\n"},
                    WriteCase{"NewKeyAfterLastLineOfItsSection",
                              "[Main]\r\na=1\r\njunk\r\n\r\n[View]\r\nb=2\r\n", "Main", "OP1", "0",
                              "[Main]\r\na=1\r\njunk\r\nOP1=0\r\n\r\n[View]\r\nb=2\r\n"},
                    WriteCase{"NewSectionAtTheEnd", "[Main]\nTop=1\n[Other]\nx=y", "View", "Left",
                              "10", "[Main]\r\nTop=1\r\n[Other]\r\nx=y\r\n[View]\r\nLeft=10\r\n"},
                    WriteCase{"NewKeyInAnEmptyFirstSection", "[Main]\r\n[View]\r\n", "Main", "Top",
                              "1", "[Main]\r\nTop=1\r\n[View]\r\n"},
                    WriteCase{"OnlyFirstDuplicateReplaced", "[Main]\r\nOP1=2\r\nOP1=3\r\n", "Main",
                              "OP1", "1", "[Main]\r\nOP1=1\r\nOP1=3\r\n"}),
    [](const testing::TestParamInfo<WriteCase> &info) { return std::string(info.param.Name); });

TEST(IniWrite, LineBreaksInAValueCannotSplitTheLine) {
    IniFile ini("[Main]\r\n");
    ini.Write("Main", "DirPath", "/a\r\n[View]\nLeft=1");
    EXPECT_EQ(ini.Text(), "[Main]\r\nDirPath=/a\r?[View]?Left=1\r\n");
    EXPECT_EQ(IniFile(ini.Text()).Read("View", "Left"), std::nullopt);
}

TEST(IniWrite, RemoveTakesOutOnlyThatKey) {
    IniFile ini("[Main]\r\na=1\r\nb=2\r\nB=4\r\n[View]\r\nb=3\r\n");
    ini.Remove("main", "B");
    ini.Remove("Main", "missing");
    ini.Remove("Missing", "a");
    EXPECT_EQ(ini.Text(), "[Main]\r\na=1\r\n[View]\r\nb=3\r\n");
}

// Any bytes parse, and writing them back changes nothing but line ends.
TEST(IniAnyInput, UnknownLinesSurviveByteForByte) {
    std::string binary;
    for (int i = 0; i < 256; ++i)
        if (i != '\n' && i != '\r')
            binary += static_cast<char>(i);
    const std::string longLine(10 * 1024 * 1024, 'x');
    const std::string head = "\xEF\xBB\xBFstray\r\n[Main\r\n" + binary + "\r\n" + longLine +
                             "\r\n=nokey\r\n[Main]\r\n\x81\r\n";
    const std::string tail = "[]\r\nTop=5\r\n";
    IniFile ini(head + tail);
    EXPECT_EQ(ini.Text(), head + tail);
    ini.Write("Main", "Top", "1");
    EXPECT_EQ(ini.Text(), head + "Top=1\r\n" + tail);
}

} // namespace

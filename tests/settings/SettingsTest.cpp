#include "Settings.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "Cp932.h"
#include "SettingsTexts.h"

using namespace segmora;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// UTF-8 text with "\n" line ends as the settings file holds it: CP932, CR LF.
std::string FileText(const std::string &utf8) {
    std::string text;
    for (char c : ToCp932(utf8)) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return text;
}

std::string CannotWrite(const std::string &path) {
    std::string message = settingstexts::CannotWrite;
    return message.replace(message.find("%s"), 2, path);
}

// A fresh folder per test and a fixed home folder, so the defaults of
// DirPath and ChgPath are known.
class SettingsFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "segmora-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        Folder = pattern;
        Ini = (Folder / "segmora.INI").string();
        Keep("HOME");
        Keep("XDG_CONFIG_HOME");
        ::setenv("HOME", "/home/tester", 1);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        for (const auto &[name, value] : Saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        fs::remove_all(Folder);
    }
    void Keep(const std::string &name) {
        const char *value = std::getenv(name.c_str());
        Saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    // Loads the file at Ini.
    SettingsFields Load(WindowPosition *position = nullptr) {
        SettingsFields fields;
        WindowPosition where;
        LoadSettings(Ini, fields, where);
        if (position)
            *position = where;
        return fields;
    }
    // Writes the text, loads it, saves what was loaded, and gives the file.
    std::string LoadAndSave(const std::string &text) {
        WriteBytes(Ini, text);
        WindowPosition position;
        const SettingsFields fields = Load(&position);
        SaveSettings(Ini, fields, position);
        return ReadBytes(Ini);
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(Folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path Folder;
    std::string Ini;
    std::vector<std::pair<std::string, std::optional<std::string>>> Saved;
};

TEST_F(SettingsFile, NoFileGivesDefaultsAndTheFirstSaveWritesAllKeysInOrder) {
    WindowPosition position{1, 2};
    const SettingsFields fields = Load(&position);
    EXPECT_EQ(position, WindowPosition{});
    EXPECT_EQ(fields, DefaultSettings());
    EXPECT_EQ(fields.DirPath, "/home/tester");
    EXPECT_EQ(fields.ChgPath, "/home/tester");
    EXPECT_EQ(fields.oChg, "O");
    EXPECT_EQ(fields.User1_Mask, "*.*");

    SaveSettings(Ini, fields, position);
    EXPECT_EQ(ReadBytes(Ini), ReadBytes(SEGMORA_SETTINGS_TEST_DATA "/new.INI"));
}

TEST_F(SettingsFile, ReadsLooseSpellingAndRewritesInPlaceKeepingUnknownLines) {
    WriteBytes(Ini, FileText("; kept comment\n"
                             "[main]\n"
                             "dirpath = /from/file\n"
                             "Top=-20\n"
                             "InvTime=abc\n"
                             "OP1=2\n"
                             "ChgPath=\n"
                             "[Extra]\n"
                             "Foo=bar\n"
                             "[SETTING]\n"
                             "mask_no = 0x0A\n"
                             "Unknown=1\n"));
    WindowPosition position;
    const SettingsFields fields = Load(&position);
    EXPECT_EQ(fields.DirPath, "/from/file");
    EXPECT_EQ(fields.ChgPath, "");
    EXPECT_EQ(fields.InvTime, 0);
    EXPECT_TRUE(fields.OP1);
    EXPECT_EQ(fields.Mask_No, 10);
    EXPECT_EQ(position, (WindowPosition{10, -20}));

    SaveSettings(Ini, fields, position);
    const std::string user = std::string("User1_Name=") + settingstexts::DefaultUser1Name +
                             "\nUser1_Mask=*.*\nUser2_Name=" + settingstexts::DefaultUser2Name +
                             "\nUser2_Mask=*.*\n";
    EXPECT_EQ(ReadBytes(Ini), FileText("; kept comment\n"
                                       "[main]\n"
                                       "dirpath=/from/file\n"
                                       "Top=-20\n"
                                       "InvTime=0\n"
                                       "OP1=1\n"
                                       "ChgPath=\n"
                                       "Left=10\n"
                                       "oChg=O\n"
                                       "OP2=0\n"
                                       "OP3=0\n"
                                       "OP4=0\n"
                                       "[Extra]\n"
                                       "Foo=bar\n"
                                       "[SETTING]\n"
                                       "mask_no=10\n"
                                       "Unknown=1\n" +
                                       user +
                                       "[View]\n"
                                       "Left=10\n"
                                       "Top=10\n"
                                       "Width=500\n"
                                       "Height=500\n"
                                       "FontSize=10\n"));
}

struct IntegerCase {
    const char *Name;
    const char *Stored;
    int Read; // View/Width, whose default is 500
};

void PrintTo(const IntegerCase &c, std::ostream *out) {
    *out << c.Name;
}

class IntegerValues : public SettingsFile, public testing::WithParamInterface<IntegerCase> {};

TEST_P(IntegerValues, ReadAsNumberOrDefault) {
    WriteBytes(Ini, std::string("[View]\r\nWidth=") + GetParam().Stored + "\r\n");
    EXPECT_EQ(Load().ViewWidth, GetParam().Read);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerValues,
    testing::Values(
        IntegerCase{"Decimal", "42", 42}, IntegerCase{"Negative", "-5", -5},
        IntegerCase{"Plus", "+7", 7}, IntegerCase{"HexDollar", "$1F", 31},
        IntegerCase{"Hex0x", "0x0A", 10}, IntegerCase{"Hex0X", "0X0a", 10},
        IntegerCase{"NegativeHex", "-$10", -16}, IntegerCase{"Largest", "2147483647", INT_MAX},
        IntegerCase{"Smallest", "-2147483648", INT_MIN}, IntegerCase{"TooLarge", "2147483648", 500},
        IntegerCase{"HexTooLarge", "$100000000", 500}, IntegerCase{"Letters", "abc", 500},
        IntegerCase{"Empty", "", 500}, IntegerCase{"TrailingJunk", "12abc", 500},
        IntegerCase{"InnerBlank", "1 2", 500}, IntegerCase{"PrefixOnly", "0x", 500},
        IntegerCase{"SignOnly", "-", 500}, IntegerCase{"BadHexDigit", "$FG", 500},
        IntegerCase{"Fraction", "1.5", 500}),
    [](const testing::TestParamInfo<IntegerCase> &info) { return std::string(info.param.Name); });

TEST_F(SettingsFile, BooleansReadAsIntegersAndWriteAsOneOrZero) {
    const std::string text = LoadAndSave("[Main]\r\nOP1=2\r\nOP2=-1\r\nOP3=x\r\nOP4=0x0\r\n");
    const SettingsFields fields = Load();
    EXPECT_TRUE(fields.OP1);
    EXPECT_TRUE(fields.OP2);
    EXPECT_FALSE(fields.OP3);
    EXPECT_FALSE(fields.OP4);
    EXPECT_NE(text.find("OP1=1\r\nOP2=1\r\nOP3=0\r\nOP4=0\r\n"), std::string::npos) << text;
}

TEST_F(SettingsFile, EveryKeyRoundTrips) {
    SettingsFields fields;
    fields.DirPath = "/data/入力";
    fields.ChgPath = "";
    fields.oChg = "N";
    fields.InvTime = -3;
    fields.OP1 = true;
    fields.OP3 = true;
    fields.ViewLeft = -100;
    fields.ViewTop = 2000;
    fields.ViewWidth = 0;
    fields.ViewHeight = 123456;
    fields.ViewFontSize = 14;
    fields.Mask_No = 7;
    fields.User1_Name = "ﾃｷｽﾄ 定義";
    fields.User1_Mask = "*.nc2";
    fields.User2_Name = "x|y(z)";
    fields.User2_Mask = "*.a;*.b";
    const WindowPosition position{-5, 99999};
    WriteBytes(Ini, FileText("[Other]\nKeep=this\n"));

    SaveSettings(Ini, fields, position);
    WindowPosition loadedPosition;
    EXPECT_EQ(Load(&loadedPosition), fields);
    EXPECT_EQ(loadedPosition, position);
    EXPECT_EQ(ReadBytes(Ini).rfind(FileText("[Other]\nKeep=this\n[Main]\n"), 0), 0u);
    // A second save of the same fields changes nothing.
    const std::string first = ReadBytes(Ini);
    SaveSettings(Ini, fields, position);
    EXPECT_EQ(ReadBytes(Ini), first);
}

// Strings the plain line cannot carry back exactly come back exactly all the
// same, and the plain key holds their nearest CP932 form.
struct ExactCase {
    const char *Name;
    std::string Text;
    std::string PlainLine; // the DirPath line as written
};

void PrintTo(const ExactCase &c, std::ostream *out) {
    *out << c.Name;
}

class UnplainStrings : public SettingsFile, public testing::WithParamInterface<ExactCase> {};

TEST_P(UnplainStrings, SurviveASaveUnchanged) {
    SettingsFields fields = DefaultSettings();
    fields.DirPath = GetParam().Text;
    fields.User2_Name = GetParam().Text;
    SaveSettings(Ini, fields, {});
    EXPECT_EQ(Load(), fields);
    const std::string text = ReadBytes(Ini);
    EXPECT_NE(text.find("\r\n" + GetParam().PlainLine + "\r\nDirPath.UTF-8="), std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nUser2_Name.UTF-8="), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnplainStrings,
    testing::Values(ExactCase{"NotInCp932", "/home/é/x", "DirPath=/home/?/x"},
                    ExactCase{"Emoji", "/\xF0\x9F\x98\x80", "DirPath=/?"},
                    ExactCase{"NotUtf8", "/tmp/\xFF\xFE", "DirPath=/tmp/??"},
                    ExactCase{"LineBreaks", "/tmp/a\nb\r", "DirPath=/tmp/a?b?"},
                    ExactCase{"TrailingBlank", "/tmp/dir ", "DirPath=/tmp/dir "},
                    ExactCase{"LeadingTab", "\tx", "DirPath=\tx"},
                    ExactCase{"Nul", std::string("/a\0b", 4), "DirPath=/a?b"},
                    ExactCase{"Longer", "/" + std::string(2100, 'p'),
                              "DirPath=/" + std::string(2100, 'p')}),
    [](const testing::TestParamInfo<ExactCase> &info) { return std::string(info.param.Name); });

TEST_F(SettingsFile, AHandEditOfThePlainKeyWinsOverTheExactForm) {
    SettingsFields fields = DefaultSettings();
    fields.DirPath = "/home/é";
    SaveSettings(Ini, fields, {});
    std::string text = ReadBytes(Ini);
    text.replace(text.find("DirPath=/home/?"), 15, "DirPath=/srv");
    WriteBytes(Ini, text);
    EXPECT_EQ(Load().DirPath, "/srv");
    EXPECT_EQ(LoadAndSave(text).find("DirPath.UTF-8"), std::string::npos);
}

TEST_F(SettingsFile, APlainValueDropsAnEarlierExactForm) {
    SettingsFields fields = DefaultSettings();
    fields.DirPath = "/home/é";
    SaveSettings(Ini, fields, {});
    fields.DirPath = "/home/?"; // the nearest form of the earlier value
    SaveSettings(Ini, fields, {});
    EXPECT_EQ(Load().DirPath, "/home/?");
    EXPECT_EQ(ReadBytes(Ini).find("DirPath.UTF-8"), std::string::npos);
}

TEST_F(SettingsFile, UnchangedStringsKeepTheirBytes) {
    // 0xED40 and 0xFA5C are two codes of one character; 0x80 is no CP932.
    const std::string text = LoadAndSave("[Main]\r\nDirPath=/\x80\xA0x\r\n"
                                         "[Setting]\r\nUser1_Name=\xED\x40\r\n");
    EXPECT_NE(text.find("DirPath=/\x80\xA0x\r\n"), std::string::npos);
    EXPECT_NE(text.find("User1_Name=\xED\x40\r\n"), std::string::npos);
    EXPECT_EQ(text.find(".UTF-8"), std::string::npos);
}

TEST_F(SettingsFile, StringsAreReadUpTo2047BytesAndNeverHalfACharacter) {
    const std::string longValue(3000, 'a');
    const std::string straddling = std::string(2046, 'b') + "\x82\xA0" + "c"; // あ at 2047
    WriteBytes(Ini, "[Main]\r\nDirPath=" + longValue + "\r\nChgPath=" + straddling + "\r\n");
    const SettingsFields fields = Load();
    EXPECT_EQ(fields.DirPath, std::string(2047, 'a'));
    EXPECT_EQ(fields.ChgPath, std::string(2046, 'b'));
    // A save of the cut value loses nothing of what is in the file.
    SaveSettings(Ini, fields, {});
    EXPECT_NE(ReadBytes(Ini).find("DirPath=" + longValue + "\r\n"), std::string::npos);
}

TEST_F(SettingsFile, ValuesStopAtANulByte) {
    WriteBytes(Ini, std::string("[Main]\r\noChg=O\0P\r\n", 18));
    EXPECT_EQ(Load().oChg, "O");
}

TEST_F(SettingsFile, AFailedRenameLeavesTheOldFileAndNoTemporaryFile) {
    const std::string old = FileText("[Main]\nTop=77\n[Mine]\nx=1\n");
    WriteBytes(Ini, old);
    try {
        SaveSettings(Ini, DefaultSettings(), {}, [](const char *, const char *) {
            errno = EIO;
            return -1;
        });
        FAIL() << "no error";
    } catch (const SettingsWriteError &error) {
        EXPECT_EQ(error.what(), CannotWrite(Ini));
    }
    EXPECT_EQ(ReadBytes(Ini), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"segmora.INI"});
}

TEST_F(SettingsFile, AnUnwritableFolderIsReported) {
    WriteBytes(Folder / "plain", "x");
    const std::string path = (Folder / "plain" / "segmora.INI").string();
    try {
        SaveSettings(path, DefaultSettings(), {});
        FAIL() << "no error";
    } catch (const SettingsWriteError &error) {
        EXPECT_EQ(error.what(), CannotWrite(path));
    }
    EXPECT_EQ(ReadBytes(Folder / "plain"), "x");
}

TEST_F(SettingsFile, AReadOnlyFileStaysAsItIs) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    WriteBytes(Ini, "[Main]\r\nTop=1\r\n");
    fs::permissions(Ini, fs::perms::owner_read);
    EXPECT_THROW(SaveSettings(Ini, DefaultSettings(), {}), SettingsWriteError);
    EXPECT_EQ(ReadBytes(Ini), "[Main]\r\nTop=1\r\n");
}

TEST_F(SettingsFile, SpecialFilesReadAsNoFileAndAreNotReplaced) {
    ASSERT_EQ(::mkfifo(Ini.c_str(), 0600), 0);
    EXPECT_EQ(Load(), DefaultSettings()); // and does not hang
    EXPECT_THROW(SaveSettings(Ini, DefaultSettings(), {}), SettingsWriteError);
    EXPECT_TRUE(fs::is_fifo(Ini));
    fs::remove(Ini);
    fs::create_directory(Ini);
    EXPECT_EQ(Load(), DefaultSettings());
    EXPECT_THROW(SaveSettings(Ini, DefaultSettings(), {}), SettingsWriteError);
    EXPECT_TRUE(fs::is_directory(Ini));
}

TEST_F(SettingsFile, GarbageReadsAsDefaultsAroundTheKeysItHolds) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    WriteBytes(Ini, garbage + "\n[View]\nFontSize=12\n" + garbage);
    SettingsFields expected = DefaultSettings();
    expected.ViewFontSize = 12;
    EXPECT_EQ(Load(), expected);
}

TEST_F(SettingsFile, SaveFollowsALinkKeepsPermissionsAndMakesMissingFolders) {
    const fs::path real = Folder / "real.INI";
    WriteBytes(real, "[Main]\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, Ini);
    SaveSettings(Ini, DefaultSettings(), {});
    EXPECT_TRUE(fs::is_symlink(Ini));
    EXPECT_EQ(ReadBytes(real), ReadBytes(SEGMORA_SETTINGS_TEST_DATA "/new.INI"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const std::string nested = (Folder / "config" / "segmora" / "segmora.INI").string();
    SaveSettings(nested, DefaultSettings(), {});
    EXPECT_EQ(ReadBytes(nested), ReadBytes(SEGMORA_SETTINGS_TEST_DATA "/new.INI"));
}

TEST_F(SettingsFile, PathBesideTheExecutableWhenItsFolderIsWritable) {
    const std::string folder = Folder.string();
    EXPECT_EQ(SettingsPath(folder + "/segmora"), folder + "/segmora.INI");
    EXPECT_EQ(SettingsPath(folder + "/Seg.bin"), folder + "/Seg.INI");
    EXPECT_EQ(SettingsPath(folder + "/seg.ini"), folder + "/seg.INI");
    fs::create_directory(Folder / "a.b");
    EXPECT_EQ(SettingsPath(folder + "/a.b/seg"), folder + "/a.b/seg.INI");
}

TEST_F(SettingsFile, PathInTheConfigFolderOtherwise) {
    const std::string exe = (Folder / "missing" / "segmora.bin").string();
    EXPECT_EQ(SettingsPath(exe), "/home/tester/.config/segmora/segmora.INI");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(SettingsPath(exe), "/home/tester/.config/segmora/segmora.INI");
    ::setenv("XDG_CONFIG_HOME", "/xdg/", 1);
    EXPECT_EQ(SettingsPath(exe), "/xdg/segmora/segmora.INI");
}

TEST_F(SettingsFile, HomeFolderWithoutTrailingSlash) {
    ::setenv("HOME", "/home/u/", 1);
    EXPECT_EQ(HomeFolder(), "/home/u");
    ::setenv("HOME", "/", 1);
    EXPECT_EQ(HomeFolder(), "/");
}

} // namespace

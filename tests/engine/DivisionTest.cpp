#include "Division.h"

#include "Cp932.h"
#include "FakeHost.h"
#include "Texts.h"

#include <climits>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace segmora {
namespace {

namespace fs = std::filesystem;
using test::FakeHost;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Files = std::map<std::string, std::string>; // file name -> bytes
using namespace std::string_literals;

std::string CrLf(std::initializer_list<const char *> lines) {
    std::string text;
    for (const char *line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

Files FilesIn(const fs::path &folder, const std::string &except = "JOB.NC") {
    Files files;
    for (const auto &entry : fs::directory_iterator(folder))
        if (entry.path().filename() != except)
            files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

class DivisionTest : public ::testing::Test {
protected:
    DivisionTest() {
        Input = Folder.Path / "JOB.NC";
        Host.Fields[Control::LabeledEdit1] = Input.string();
        Host.Fields[Control::LabeledEdit2] = (Folder.Path / "out").string() + "/";
        Host.Fields[Control::LabeledEdit5] = "O";
        fs::create_directory(Folder.Path / "out");
    }

    RunEnd RunOn(const std::string &bytes) {
        WriteBytes(Input, bytes);
        return Run.Run();
    }
    Files Output() { return FilesIn(Folder.Path / "out"); }

    TempFolder Folder;
    fs::path Input;
    FakeHost Host;
    Division Run{Host};
};

const std::string Example = CrLf({"%", "O1000", "G00 X0", "M30", "O2000", "M30", "%"});

TEST_F(DivisionTest, SplitsTheExampleIntoTwoFiles) {
    EXPECT_EQ(RunOn(Example), RunEnd::Completed);
    EXPECT_EQ(Output(), (Files{{"O1000.NC", CrLf({"O1000", "G00 X0", "M30"})},
                               {"O2000.NC", CrLf({"O2000", "M30"})}}));

    const std::vector<std::string> log = {ToCp932(texts::LogHeader), "O1000", "O2000",
                                          ToCp932(texts::LogCompleted)};
    EXPECT_EQ(Run.Memo1, log);
    EXPECT_EQ(Host.Log, log);
    ASSERT_EQ(Host.Viewed.size(), 1u);
    EXPECT_EQ(Host.Viewed[0], log);
    EXPECT_EQ(LogEntries(log), (std::vector<std::string>{"O1000", "O2000"}));
    EXPECT_TRUE(Run.RichEdit1.Empty()) << "a completed run empties the input view";
    EXPECT_EQ(Host.ProgressMaximum, 7);
    EXPECT_EQ(Host.LastLine, 7);
    EXPECT_TRUE(Host.Enabled[Control::Button3]);
    EXPECT_FALSE(Host.Enabled[Control::Button4]);
    EXPECT_TRUE(Host.Enabled[Control::Button5]);
    EXPECT_EQ(Host.ScreenSaver.front(), false);
    EXPECT_EQ(Host.ScreenSaver.back(), true);
    EXPECT_EQ(Run.OutputFolder, (Folder.Path / "out").string()) << "one trailing / goes";
    EXPECT_TRUE(Host.Pauses.empty());
}

TEST_F(DivisionTest, PercentOptionsFrameEveryFile) {
    Host.Options[0] = Host.Options[1] = true;
    RunOn(Example);
    EXPECT_EQ(Output(), (Files{{"O1000.NC", CrLf({"%", "O1000", "G00 X0", "M30", "%"})},
                               {"O2000.NC", CrLf({"%", "O2000", "M30", "%"})}}));
}

struct ScanCase {
    const char *Name;
    std::string Input;
    bool Op3;
    bool Op4;
    std::string Lead;
    Files Expected;
    std::vector<std::string> Entries; // the log between header and closing line
};

void PrintTo(const ScanCase &c, std::ostream *os) {
    *os << c.Name;
}

class ScanTest : public DivisionTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanTest, WritesTheExpectedFiles) {
    const ScanCase &c = GetParam();
    Host.Options[2] = c.Op3;
    Host.Options[3] = c.Op4;
    Host.Fields[Control::LabeledEdit5] = c.Lead;
    EXPECT_EQ(RunOn(c.Input), RunEnd::Completed);
    EXPECT_EQ(Output(), c.Expected);
    EXPECT_EQ(LogEntries(Run.Memo1), c.Entries);
    EXPECT_EQ(Run.Memo1.back(), ToCp932(texts::LogCompleted));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanTest,
    ::testing::Values(
        ScanCase{"NoProgramLine", CrLf({"G00", "M30"}), false, false, "O", {}, {}},
        ScanCase{"LinesBeforeFirstProgramGoToFirstFile",
                 CrLf({"(HEAD)", "", "O1", "A", "O2", "B"}),
                 false,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"(HEAD)", "", "O1", "A"})}, {"O2.NC", CrLf({"O2", "B"})}},
                 {"O1", "O2"}},
        ScanCase{"LeadingBlanksAndTabsGo",
                 "  \tO1\r\n \t G01 X1  \r\n",
                 false,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"O1", "G01 X1  "})}},
                 {"O1"}},
        ScanCase{"LowerCaseIsNotAProgramLine",
                 CrLf({"O1", "o1000", "A"}),
                 false,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"O1", "o1000", "A"})}},
                 {"O1"}},
        ScanCase{"FullWidthBlankIsKept",
                 CrLf({"O1", "\x81\x40O2"}),
                 false,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"O1", "\x81\x40O2"})}},
                 {"O1"}},
        ScanCase{"BlankLinesKeptWithOp3Off",
                 CrLf({"O1", " \t ", "A", "", "O2", "B"}),
                 false,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"O1", "", "A", ""})}, {"O2.NC", CrLf({"O2", "B"})}},
                 {"O1", "O2"}},
        ScanCase{"BlankLinesDroppedWithOp3On",
                 CrLf({"O1", " \t ", "A", "", "O2", "B"}),
                 true,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"O1", "A"})}, {"O2.NC", CrLf({"O2", "B"})}},
                 {"O1", "O2"}},
        ScanCase{"CommentCutFromName",
                 CrLf({"O10 (PART A)", "O20(PART B)"}),
                 false,
                 false,
                 "O",
                 {{"O10 .NC", CrLf({"O10 (PART A)"})}, {"O20.NC", CrLf({"O20(PART B)"})}},
                 {"O10 (PART A)", "O20(PART B)"}},
        ScanCase{"ColonLeadBecomesO",
                 CrLf({":1234", "A"}),
                 false,
                 false,
                 ":",
                 {{"O1234.NC", CrLf({":1234", "A"})}},
                 {":1234"}},
        ScanCase{"RepeatedNumberKeepsLaterProgram",
                 CrLf({"O1", "A", "O1", "B"}),
                 false,
                 false,
                 "O",
                 {{"O1.NC", CrLf({"O1", "B"})}},
                 {"O1", "O1"}},
        ScanCase{"NumberedNamesKeepBoth",
                 CrLf({"O1", "A", "O2", "O1", "B"}),
                 false,
                 true,
                 "O",
                 {{"O1_001.NC", CrLf({"O1", "A"})},
                  {"O2_002.NC", CrLf({"O2"})},
                  {"O1_003.NC", CrLf({"O1", "B"})}},
                 {"O1", "O2", "O1"}},
        ScanCase{"TwoByteLeadMatchesNothing", CrLf({"OO1", "A"}), false, false, "OO", {}, {}},
        ScanCase{"PercentLeadNamesButIsNotCopied",
                 CrLf({"%1", "A", "%2", "B"}),
                 false,
                 false,
                 "%",
                 {{"%1.NC", CrLf({"A"})}, {"%2.NC", CrLf({"B"})}},
                 {"%1", "%2"}},
        ScanCase{"EmptyNameWithParenLead",
                 CrLf({"(A)", "X"}),
                 false,
                 false,
                 "(",
                 {{"_.NC", CrLf({"(A)", "X"})}},
                 {"(A)"}},
        ScanCase{"SlashesCannotLeaveTheFolder",
                 CrLf({"O../../x", "A"}),
                 false,
                 false,
                 "O",
                 {{"O.._.._x.NC", CrLf({"O../../x", "A"})}},
                 {"O../../x"}}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST_F(DivisionTest, StatusTextHasAtLeastFourDigits) {
    EXPECT_EQ(StatusLineText(1), "0001" + std::string(texts::StatusSuffix));
    EXPECT_EQ(StatusLineText(12345), "12345" + std::string(texts::StatusSuffix));
}

TEST(ProgramFileNameTest, MakesSafeNames) {
    const std::pair<const char *, const char *> cases[] = {
        {"O1234(FLANGE)", "O1234"},
        {":1234", "O1234"},
        {"O1/2", "O1_2"},
        {"(X)", "_"},
        {".", "_"},
        {"..", "_"},
        {"..(X)", "_"},
        {"O\xB6\xDE", "Oｶﾞ"},
        {"O\x95\x5C", "O表"},
    };
    for (const auto &[line, name] : cases)
        EXPECT_EQ(ProgramFileName(line), name) << line;
}

TEST_F(DivisionTest, RepeatedNamesAreReportedOnce) {
    RunOn(CrLf({"O1", "O2", "O1", "O1", "O2"}));
    ASSERT_EQ(Host.CreatedAgain.size(), 1u);
    const std::string out = Run.OutputFolder + "/";
    EXPECT_EQ(Host.CreatedAgain[0], (std::vector<std::string>{out + "O1.NC", out + "O2.NC"}));
}

TEST_F(DivisionTest, ExtensionFollowsTheInputFieldAtEachProgram) {
    Host.OnLine = [&](int line) {
        if (line == 2)
            Host.Fields[Control::LabeledEdit1] = (Folder.Path / "other.txt").string();
    };
    RunOn(CrLf({"O1", "A", "O2", "B"}));
    EXPECT_EQ(Output(), (Files{{"O1.NC", CrLf({"O1", "A"})}, {"O2.txt", CrLf({"O2", "B"})}}));
}

TEST_F(DivisionTest, InputWithoutExtensionGivesNamesWithoutOne) {
    const fs::path bare = Folder.Path / "JOB";
    WriteBytes(bare, CrLf({"O1", "A"}));
    Host.Fields[Control::LabeledEdit1] = bare.string();
    Run.Run();
    EXPECT_EQ(FilesIn(Folder.Path / "out"), (Files{{"O1", CrLf({"O1", "A"})}}));
}

TEST_F(DivisionTest, OptionsAreReadAtEachUse) {
    // OP3 switched on after line 3 and OP4 after line 4 apply from there on.
    Host.OnLine = [&](int line) {
        if (line == 3)
            Host.Options[2] = true;
        if (line == 4)
            Host.Options[3] = true;
    };
    RunOn(CrLf({"O1", "", "A", "", "O2", "B"}));
    EXPECT_EQ(Output(),
              (Files{{"O1.NC", CrLf({"O1", "", "A"})}, {"O2_002.NC", CrLf({"O2", "B"})}}));
}

TEST_F(DivisionTest, EmptyFieldsTakeTheFocusInOrder) {
    Host.Fields[Control::LabeledEdit1] = "";
    Host.Fields[Control::LabeledEdit5] = "";
    EXPECT_EQ(RunOn(Example), RunEnd::FieldEmpty);
    EXPECT_EQ(Host.Focused, (std::vector<Control>{Control::LabeledEdit1, Control::LabeledEdit5}));
    EXPECT_TRUE(Host.Log.empty());
    EXPECT_TRUE(Host.Enabled[Control::Button3]);
    EXPECT_FALSE(Host.Enabled[Control::Button4]);
    EXPECT_TRUE(Output().empty());

    Host.Fields[Control::LabeledEdit1] = " ";
    Host.Fields[Control::LabeledEdit5] = "O";
    EXPECT_NE(Run.Run(), RunEnd::FieldEmpty) << "a text of blanks is not empty";
}

TEST_F(DivisionTest, MissingFolderCreatedOnYes) {
    const fs::path nested = Folder.Path / "new" / "a" / "b";
    Host.Fields[Control::LabeledEdit2] = nested.string();
    Host.Answers[Question::CreateFolder] = Answer::Yes;
    EXPECT_EQ(RunOn(Example), RunEnd::Completed);
    EXPECT_EQ(Host.Asked, std::vector<Question>{Question::CreateFolder});
    EXPECT_EQ(FilesIn(nested).size(), 2u);
}

TEST_F(DivisionTest, MissingFolderDeclinedRestoresChgPath) {
    Host.Fields[Control::LabeledEdit2] = (Folder.Path / "new").string();
    Host.Answers[Question::CreateFolder] = Answer::No;
    EXPECT_EQ(RunOn(Example), RunEnd::FolderDeclined);
    EXPECT_EQ(Host.Fields[Control::LabeledEdit2], "chg");
    EXPECT_FALSE(fs::exists(Folder.Path / "new"));
    EXPECT_TRUE(Host.Enabled[Control::Button3]);
}

TEST_F(DivisionTest, RootFolderIsTakenAsExistingWithoutAQuestion) {
    Host.Fields[Control::LabeledEdit2] = "/";
    Host.Fields[Control::LabeledEdit5] = "Z"; // no program line: nothing is written to /
    EXPECT_EQ(RunOn(Example), RunEnd::Completed);
    EXPECT_TRUE(Host.Asked.empty());
    EXPECT_EQ(Run.OutputFolder, "");
}

TEST_F(DivisionTest, UncreatableFileEndsTheRunWithItsPath) {
    const std::string missing = (Folder.Path / "missing").string();
    Host.Fields[Control::LabeledEdit2] = missing;
    Host.Answers[Question::CreateFolder] = Answer::Other; // go on without creating
    WriteBytes(Input, Example);
    try {
        Run.Run();
        FAIL() << "the run must fail";
    } catch (const FileError &error) {
        EXPECT_EQ(error.Path, missing + "/O1000.NC");
        std::string expected = texts::CannotCreate;
        expected.replace(expected.find("%s"), 2, missing + "/O1000.NC");
        EXPECT_EQ(error.what(), expected);
    }
    EXPECT_FALSE(Run.Running());
    EXPECT_EQ(Run.Memo1.back(), "O1000") << "no closing line after a failure";
    EXPECT_TRUE(Host.Viewed.empty());
}

TEST_F(DivisionTest, NeverReplacesTheInputFile) {
    // The input sits in the output folder and its first program bears its name.
    const fs::path input = Folder.Path / "out" / "O2.NC";
    const std::string bytes = CrLf({"O1", "A", "O2", "B"});
    WriteBytes(input, bytes);
    Host.Fields[Control::LabeledEdit1] = input.string();
    EXPECT_THROW(Run.Run(), FileError);
    EXPECT_EQ(ReadBytes(input), bytes);
    EXPECT_EQ(ReadBytes(Folder.Path / "out" / "O1.NC"), CrLf({"O1", "A"})) << "earlier files stay";
}

TEST_F(DivisionTest, PausesAfterEveryFileButTheLast) {
    const std::pair<int, std::vector<int>> cases[] = {
        {2, {2000, 2000}}, {-1, {}}, {0, {}}, {INT_MAX, {INT_MAX, INT_MAX}}};
    for (const auto &[seconds, pauses] : cases) {
        Host.Seconds = seconds;
        Host.Pauses.clear();
        RunOn(CrLf({"O1", "O2", "O3"}));
        EXPECT_EQ(Host.Pauses, pauses) << seconds;
    }
}

TEST_F(DivisionTest, AbortDuringFirstProgramStopsAtTheNextProgram) {
    Host.OnLine = [&](int line) {
        if (line == 2)
            Run.RequestAbort();
    };
    EXPECT_EQ(RunOn(CrLf({"O1", "A", "B", "O2", "C", "O3"})), RunEnd::Aborted);
    EXPECT_EQ(Output(), (Files{{"O1.NC", CrLf({"O1", "A", "B"})}}));
    EXPECT_EQ(LogEntries(Run.Memo1), (std::vector<std::string>{"O1", "O2"}));
    EXPECT_EQ(Run.Memo1.back(), ToCp932(texts::LogAborted));
    ASSERT_EQ(Host.Told.size(), 1u);
    EXPECT_EQ(Host.Told[0],
              std::make_pair(std::string(texts::AbortMessage), std::string(texts::AbortCaption)));
    EXPECT_EQ(Host.Status.back(), "");
    EXPECT_TRUE(Host.Enabled[Control::Button3]);
    EXPECT_TRUE(Host.Enabled[Control::Button5]);
    EXPECT_TRUE(Host.Viewed.empty());
    EXPECT_FALSE(Run.RichEdit1.Empty()) << "an aborted run keeps the input view";
}

TEST_F(DivisionTest, AbortDuringLastProgramHasNoEffect) {
    Host.OnLine = [&](int line) {
        if (line == 3)
            Run.RequestAbort();
    };
    EXPECT_EQ(RunOn(CrLf({"O1", "O2", "A"})), RunEnd::Completed);
    EXPECT_EQ(Host.Viewed.size(), 1u);
    EXPECT_TRUE(Host.Told.empty());
}

TEST_F(DivisionTest, AbortWhileLoadingIsCheckedBeforeTheScan) {
    Host.Answers[Question::ReadNonText] = Answer::Yes;
    Host.OnAsk = [&] { Run.RequestAbort(); };
    EXPECT_EQ(RunOn("\0O1\nA\n"s), RunEnd::Aborted);
}

TEST_F(DivisionTest, StopEndsQuietlyWithCompleteFilesAndNoViewer) {
    Host.OnLine = [&](int line) {
        if (line == 1)
            Run.RequestStop();
    };
    EXPECT_EQ(RunOn(CrLf({"O1", "A", "O2", "B"})), RunEnd::Stopped);
    EXPECT_EQ(Output(), (Files{{"O1.NC", CrLf({"O1", "A"})}}));
    EXPECT_TRUE(Host.Told.empty());
    EXPECT_TRUE(Host.Viewed.empty());

    // During the last program the run writes it whole, then skips the viewer.
    Host.OnLine = [&](int line) {
        if (line == 3)
            Run.RequestStop();
    };
    EXPECT_EQ(RunOn(CrLf({"O1", "A", "O2", "B"})), RunEnd::Stopped);
    EXPECT_EQ(Output().size(), 2u);
    EXPECT_TRUE(Host.Viewed.empty());
}

TEST_F(DivisionTest, NonTextFileIsReadLineByLineOnYes) {
    Host.Answers[Question::ReadNonText] = Answer::Yes;
    EXPECT_EQ(RunOn("\0junk\nO1\r\n\r\nA\x1A"
                    "O2\n"s),
              RunEnd::Completed);
    EXPECT_EQ(Host.Asked, std::vector<Question>{Question::ReadNonText});
    EXPECT_EQ(Output(), (Files{{"O1.NC", CrLf({"O1", "A"})}}));
}

TEST_F(DivisionTest, EmptyOrMissingInputAsksThenCompletesWithoutFiles) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        Host.Answers[Question::ReadNonText] = answer;
        Host.Asked.clear();
        EXPECT_EQ(RunOn(""), RunEnd::Completed);
        EXPECT_EQ(Host.Asked, std::vector<Question>{Question::ReadNonText});
        EXPECT_EQ(Run.Memo1.size(), 2u);
    }
    Host.Fields[Control::LabeledEdit1] = (Folder.Path / "nothing.nc").string();
    Host.Asked.clear();
    EXPECT_EQ(Run.Run(), RunEnd::Completed);
    EXPECT_EQ(Host.Asked, std::vector<Question>{Question::ReadNonText});
    EXPECT_TRUE(Output().empty());
}

TEST_F(DivisionTest, SecondRunHandsOverOnlyItsOwnEntries) {
    RunOn(Example);
    RunOn(CrLf({"O7"}));
    ASSERT_EQ(Host.Viewed.size(), 2u);
    EXPECT_EQ(LogEntries(Host.Viewed[1]), std::vector<std::string>{"O7"});
}

TEST_F(DivisionTest, DryRunNamesFilesButWritesNothing) {
    Run.DryRun = true;
    Host.Fields[Control::LabeledEdit2] = (Folder.Path / "new").string();
    Host.Answers[Question::CreateFolder] = Answer::Yes;
    EXPECT_EQ(RunOn(Example), RunEnd::Completed);
    EXPECT_EQ(Host.Created, (std::vector<std::string>{(Folder.Path / "new/O1000.NC").string(),
                                                      (Folder.Path / "new/O2000.NC").string()}));
    EXPECT_FALSE(fs::exists(Folder.Path / "new"));
}

} // namespace
} // namespace segmora

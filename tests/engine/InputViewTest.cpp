#include "InputView.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

namespace segmora {
namespace {

using test::TempFolder;
using test::WriteBytes;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

Lines ViewLines(const InputView &view) {
    return Lines(view.AllLines().begin(), view.AllLines().end());
}

struct LoadCase {
    const char *Name;
    std::string Bytes;
    Lines Whole;      // the first way
    Lines LineByLine; // the second way
};

void PrintTo(const LoadCase &c, std::ostream *os) { *os << c.Name; }

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, BothWaysGiveTheLines) {
    TempFolder folder;
    const auto path = folder.Path / "in.nc";
    WriteBytes(path, GetParam().Bytes);
    InputView view;
    LoadWhole(path.string(), view);
    EXPECT_EQ(ViewLines(view), GetParam().Whole);
    LoadLineByLine(path.string(), view);
    EXPECT_EQ(ViewLines(view), GetParam().LineByLine);
}

const std::string Long600(600, 'x');
const std::string Exact499(499, 'y');

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadTest,
    ::testing::Values(
        LoadCase{"CrLf", "A\r\nB\r\n", {"A", "B"}, {"A", "B"}},
        LoadCase{"FinalBreakBeginsNoLine", "A\r\n\r\n", {"A", ""}, {"A"}},
        LoadCase{"LoneLfAndNoFinalBreak", "A\nB", {"A", "B"}, {"A", "B"}},
        LoadCase{"LoneCrEndsALineFirstWayOnly", "A\rB\r", {"A", "B"}, {"AB"}},
        LoadCase{"CrCrLf", "A\r\r\nB", {"A", "", "B"}, {"A", "B"}},
        LoadCase{"EmptyLinesKeptFirstWayOnly", "A\r\n\r\n\r\nB\r\n", {"A", "", "", "B"}, {"A", "B"}},
        LoadCase{"NulInThirdLineEndsTheText",
                 "L1\r\nL2\r\nL3a\0L3b\r\nL4\r\n"s,
                 {"L1", "L2", "L3a"},
                 {"L1", "L2", "L3a", "L4"}},
        LoadCase{"LeadingNul", "\0abc\ndef\n\0x\n"s, {}, {"def"}},
        LoadCase{"EmptyFile", "", {}, {}},
        LoadCase{"CtrlZEndsTheStream", "A\nB\x1A" "C\n", {"A", "B\x1A" "C"}, {"A", "B"}},
        LoadCase{"LongLineInPieces", Long600 + "\n", {Long600}, {Long600.substr(0, 499), Long600.substr(499)}},
        LoadCase{"Exactly499StaysOneLine", Exact499 + "\r\nz\r\n", {Exact499, "z"}, {Exact499, "z"}},
        LoadCase{"OnlyLineBreak", "\r\n", {""}, {}}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(LoadTest, MissingFileGivesNoLinesEitherWay) {
    InputView view;
    LoadWhole("/nonexistent/segmora/in.nc", view);
    EXPECT_TRUE(view.Empty());
    LoadLineByLine("/nonexistent/segmora/in.nc", view);
    EXPECT_TRUE(view.Empty());
}

} // namespace
} // namespace segmora

#include "InputView.h"

#include "FakeHost.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace segmora {
namespace {

using test::TempFolder;
using test::WriteBytes;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

Lines ViewLines(const InputView &view) {
    Lines lines;
    LineCursor cursor(view);
    for (std::string_view line; cursor.Next(line);)
        lines.emplace_back(line);
    EXPECT_EQ(lines.size(), view.LineCount());
    return lines;
}

struct LoadCase {
    const char *Name;
    std::string Bytes;
    Lines Whole;      // the first way
    Lines LineByLine; // the second way
};

void PrintTo(const LoadCase &c, std::ostream *os) {
    *os << c.Name;
}

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
        LoadCase{
            "EmptyLinesKeptFirstWayOnly", "A\r\n\r\n\r\nB\r\n", {"A", "", "", "B"}, {"A", "B"}},
        LoadCase{"NulInThirdLineEndsTheText",
                 "L1\r\nL2\r\nL3a\0L3b\r\nL4\r\n"s,
                 {"L1", "L2", "L3a"},
                 {"L1", "L2", "L3a", "L4"}},
        LoadCase{"LeadingNul", "\0abc\ndef\n\0x\n"s, {}, {"def"}},
        LoadCase{"EmptyFile", "", {}, {}},
        LoadCase{"CtrlZEndsTheStream",
                 "A\nB\x1A"
                 "C\n",
                 {"A", "B\x1A"
                       "C"},
                 {"A", "B"}},
        LoadCase{"LongLineInPieces",
                 Long600 + "\n",
                 {Long600},
                 {Long600.substr(0, 499), Long600.substr(499)}},
        LoadCase{
            "Exactly499StaysOneLine", Exact499 + "\r\nz\r\n", {Exact499, "z"}, {Exact499, "z"}},
        LoadCase{"OnlyLineBreak", "\r\n", {""}, {}},
        LoadCase{"MixedBreaks", "A\r\nB\rC\nD", {"A", "B", "C", "D"}, {"A", "BC", "D"}}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(LineBreakCounterTest, CrLfSplitAcrossPiecesIsOneBreak) {
    LineBreakCounter counter;
    for (const char *piece : {"A\r", "\nB\r", "\n", "C"})
        counter.Add(piece, std::strlen(piece));
    EXPECT_EQ(counter.LineCount(), 3u);
    EXPECT_FALSE(counter.HasLoneCr());
    counter.Add("\rD\0E\r", 6);
    EXPECT_EQ(counter.LineCount(), 4u) << "the text ends at its first 0 byte";
    EXPECT_TRUE(counter.HasLoneCr());
    EXPECT_EQ(counter.TextLength(), 9u);
}

TEST(LineBreakCounterTest, LongTextsCountAsLineByLine) {
    // Long random texts of CR, LF and letters, fed in uneven pieces, against
    // a plain walk through the bytes.
    uint32_t seed = 1;
    for (int round = 0; round < 20; ++round) {
        std::string text(5000 + round * 997, 'a');
        for (char &c : text) {
            seed = seed * 1103515245 + 12345;
            const uint32_t pick = (seed >> 16) % (round % 2 ? 4 : 40);
            c = pick == 0 ? '\r' : pick == 1 ? '\n' : 'a';
        }
        size_t expected = 0;
        for (size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n')
                ++k;
            if (text[k] == '\r' || text[k] == '\n')
                ++expected;
        }
        if (text.back() != '\r' && text.back() != '\n')
            ++expected;

        LineBreakCounter counter;
        for (size_t at = 0, piece = 1; at < text.size(); at += piece, piece = piece * 3 % 4099 + 1)
            counter.Add(text.data() + at, std::min(piece, text.size() - at));
        EXPECT_EQ(counter.LineCount(), expected) << round;
    }
}

TEST(LoadTest, MissingFilesAndSpecialFilesGiveNoLinesEitherWay) {
    TempFolder folder;
    const std::string fifo = (folder.Path / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open for ever.
    for (const std::string &path :
         {std::string("/nonexistent/segmora/in.nc"), fifo, folder.Path.string()}) {
        InputView view;
        LoadWhole(path, view);
        EXPECT_TRUE(view.Empty()) << path;
        LoadLineByLine(path, view);
        EXPECT_TRUE(view.Empty()) << path;
    }
}

} // namespace
} // namespace segmora

#include "OpenFilter.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "ExpectedTexts.h"
#include "SettingsTexts.h"

using namespace segmora;

namespace {

struct MaskCase {
    const char *Name;
    std::string Typed;
    std::string Mask;
};

void PrintTo(const MaskCase &c, std::ostream *out) {
    *out << c.Name;
}

class NormalizeMaskCases : public testing::TestWithParam<MaskCase> {};

TEST_P(NormalizeMaskCases, CompletesTheHead) {
    EXPECT_EQ(NormalizeMask(GetParam().Typed), GetParam().Mask);
}

INSTANTIATE_TEST_SUITE_P(Cases, NormalizeMaskCases,
                         testing::Values(MaskCase{"BareExtension", "nc2", "*.nc2"},
                                         MaskCase{"LeadingDot", ".nc2", "*.nc2"},
                                         MaskCase{"DotInside", "a.nc2", "*a.nc2"},
                                         MaskCase{"AlreadyAMask", "*.nc2", "*.nc2"},
                                         MaskCase{"StarDotAnywhere", "x*.y", "x*.y"},
                                         MaskCase{"TrailingBlankKept", "nc2 ", "*.nc2 "},
                                         MaskCase{"LeadingBlankKept", " nc2", "*. nc2"},
                                         MaskCase{"StarWithoutDot", "*", "*.*"},
                                         MaskCase{"DotStarIsNotStarDot", "a.*", "*a.*"},
                                         MaskCase{"Katakana", "\xEF\xBD\xBA", "*.\xEF\xBD\xBA"}),
                         [](const testing::TestParamInfo<MaskCase> &info) {
                             return std::string(info.param.Name);
                         });

TEST(BuildOpenFilter, DefaultUserTypes) {
    EXPECT_EQ(BuildOpenFilter(settingstexts::DefaultUser1Name, settingstexts::DefaultMask,
                              settingstexts::DefaultUser2Name, settingstexts::DefaultMask),
              expected::DefaultFilter);
}

TEST(BuildOpenFilter, UserValuesGoInAsTheyStand) {
    const std::string filter =
        BuildOpenFilter(expected::User1Name, expected::User1Mask, " b |", "*.x;*.y ");
    const std::string entries12 = std::string(settingstexts::FilterNc) + settingstexts::FilterText;
    EXPECT_EQ(filter.substr(0, entries12.size()), entries12);
    EXPECT_EQ(filter.substr(entries12.size(), std::string(expected::User1Entry).size()),
              expected::User1Entry);
    EXPECT_NE(filter.find(std::string(expected::User1Entry) + " b |(*.x;*.y )|*.x;*.y |" +
                          settingstexts::FilterAll),
              std::string::npos);
}

TEST(ToNameFilters, DefaultFilterGivesSixEntriesInOrder) {
    const std::vector<std::string> names = ToNameFilters(expected::DefaultFilter);
    ASSERT_EQ(names.size(), 6u);
    const std::vector<FilterEntry> entries = ParseOpenFilter(expected::DefaultFilter);
    EXPECT_EQ(names[0], entries[0].Display + " (*.NC *.NC1 *.NC0)");
    EXPECT_EQ(names[1], entries[1].Display + " (*.TXT)");
    EXPECT_EQ(names[2], std::string(settingstexts::DefaultUser1Name) + "(*.*) (*.*)");
    EXPECT_EQ(names[4], entries[4].Display + " (*.*)");
    EXPECT_EQ(names[5], expected::NoExtensionName);
    EXPECT_TRUE(entries[5].Patterns.empty());
}

TEST(ParseOpenFilter, OddShapes) {
    EXPECT_TRUE(ParseOpenFilter("").empty());
    const std::vector<FilterEntry> entries = ParseOpenFilter("A|*.a;;*.b;|B");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Display, "A");
    EXPECT_EQ(entries[0].Patterns, (std::vector<std::string>{"*.a", "*.b"}));
    EXPECT_EQ(entries[1].Display, "B");
    EXPECT_TRUE(entries[1].Patterns.empty());
    EXPECT_EQ(ToNameFilters("A|*.a;;*.b;|B"), (std::vector<std::string>{"A (*.a *.b)", "B ()"}));
}

} // namespace

#include "Cp932.h"
#include "Texts.h"

#include <gtest/gtest.h>

namespace segmora {
namespace {

TEST(Cp932Test, FixedTextsBecomeTheirShiftJisBytes) {
    EXPECT_EQ(ToCp932(texts::LogHeader),
              "----- \xDB\xB8\xDE \x95W\x8F\x80\x81i\x95\xAA\x8A\x84\x8F\x87\x81j-----");
    EXPECT_EQ(ToCp932(texts::LogCompleted), "--- \x95\xAA\x8A\x84 \x8A\xAE\x97\xB9 ---");
    EXPECT_EQ(ToCp932(texts::LogAborted), " -- \x92\x86\x8E~ --");
}

TEST(Cp932Test, InvalidBytesPassThroughToUtf8) {
    EXPECT_EQ(FromCp932("O1(\xB6\xDE)"), "O1(ｶﾞ)");
    EXPECT_EQ(FromCp932("A\x80\xFF"
                        "B"),
              "A\x80\xFF"
              "B");
    EXPECT_EQ(FromCp932("cut\x82"), "cut\x82");
}

TEST(Cp932Test, CharactersOutsideCp932AreCountedAndReplaced) {
    int unmapped = -1;
    EXPECT_EQ(ToCp932("a\xF0\x9F\x98\x80"
                      "b",
                      &unmapped),
              "a?b");
    EXPECT_EQ(unmapped, 1);
    EXPECT_EQ(ToCp932("ﾕｰｻﾞ", &unmapped), "\xD5\xB0\xBB\xDE");
    EXPECT_EQ(unmapped, 0);
}

} // namespace
} // namespace segmora

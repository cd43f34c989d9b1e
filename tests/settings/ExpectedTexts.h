#pragma once

// Expected texts of the open-dialog filter, UTF-8.
namespace expected {

// The whole filter with the user types as they are when nothing is stored.
inline constexpr const char *DefaultFilter =
    "ＮＣ文章(*.nc;*.nc1;*.nc0)|*.NC;*.NC1;*.NC0|テキスト(*.txt)|*.TXT|ﾕｰｻﾞ1(*.*)|*.*|ﾕｰｻﾞ2(*.*)|*."
    "*|すべて表示(*.*)|*.*|拡張子無し    |";
// The name filter of the last entry, which has no pattern.
inline constexpr const char *NoExtensionName = "拡張子無し     ()";
// User type 1 named and masked as here gives this third entry.
inline constexpr const char *User1Name = "ABC";
inline constexpr const char *User1Mask = "*.abc";
inline constexpr const char *User1Entry = "ABC(*.abc)|*.abc|";

} // namespace expected

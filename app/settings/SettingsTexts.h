#pragma once

// The settings unit's fixed texts, UTF-8. Where they reach the settings file
// they are converted to CP932.
namespace segmora::settingstexts {

// A failed save; "%s" stands for the settings file's path.
inline constexpr const char *CannotWrite = "%s に書き込めません";

// Display names and mask of the two user file types when the file has none.
inline constexpr const char *DefaultUser1Name = "ﾕｰｻﾞ1";
inline constexpr const char *DefaultUser2Name = "ﾕｰｻﾞ2";
inline constexpr const char *DefaultMask = "*.*";

// The lead letter when the file has none.
inline constexpr const char *DefaultLeadLetter = "O";

// The fixed entries of the open-dialog filter, each "display|patterns|".
inline constexpr const char *FilterNc = "ＮＣ文章(*.nc;*.nc1;*.nc0)|*.NC;*.NC1;*.NC0|";
inline constexpr const char *FilterText = "テキスト(*.txt)|*.TXT|";
inline constexpr const char *FilterAll = "すべて表示(*.*)|*.*|";
inline constexpr const char *FilterNoExtension = "拡張子無し    |";

} // namespace segmora::settingstexts

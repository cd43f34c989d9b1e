#pragma once

// Texts shared by every window: the Yes/No button captions and the font
// families the windows ask for first.
namespace segmora::uitexts {

inline constexpr const char *YesButton = "はい(&Y)";
inline constexpr const char *NoButton = "いいえ(&N)";
inline constexpr const char *GothicFixed = "ＭＳ ゴシック";
inline constexpr const char *GothicProportional = "ＭＳ Ｐゴシック";
inline constexpr const char *ApplicationTitle = "Segmora";

} // namespace segmora::uitexts

#pragma once

// The fixed texts of the desktop launcher and the About box.
namespace segmora::shelltexts {

// The launcher's Name and the base of its file name (".desktop" is added).
inline constexpr const char *LauncherName = "ｾｸﾞﾓﾗ";
// The About box's application text; the version follows it with no blank.
inline constexpr const char *AboutPrefix = "Segmora Ver";

} // namespace segmora::shelltexts

#pragma once

// The viewer's and the print window's fixed texts, UTF-8. Where they reach a
// file (List.log) they are converted to CP932.
namespace segmora::viewtexts {

inline constexpr const char *Caption = "ViewForm";
inline constexpr const char *TabSheet1Caption = "分割データ";
inline constexpr const char *TabSheet2Caption = "ログデータ";
inline constexpr const char *SpeedButton1Caption = "昇順";
inline constexpr const char *SpeedButton2Caption = "標準";
inline constexpr const char *SpeedButton3Caption = "降順";
inline constexpr const char *Button1Caption = "保存";
inline constexpr const char *Button2Caption = "印刷";
inline constexpr const char *Button3Caption = "ﾌﾟﾘﾝﾀ設定";
inline constexpr const char *Button4Caption = "戻る";
inline constexpr const char *EditCopyCaption = "コピー";
inline constexpr const char *Label1Design = "List.log";
inline constexpr const char *HeaderAscending = "----- ﾛｸﾞ 昇順-----";
inline constexpr const char *HeaderDescending = "----- ﾛｸﾞ 降順-----";
inline constexpr const char *Footer = "---- 分割 完了 ----";
inline constexpr const char *PrintFormCaption = "PrintForm";

inline constexpr const char *WarningCaption = "警告";

// Asked before a save that would turn characters CP932 lacks into "?": %1 is
// how many there are, %2 the first line that holds one (counted from 1).
inline constexpr const char *AskUnmapped =
    "シフトJISで書けない文字が %1 個あります（最初は %2 行目）。\n"
    "「?」に置き換えて保存しますか？";

// Shown in the standard error box when the printer cannot be opened: %1 is
// the printer's name or the file printed to.
inline constexpr const char *PrintFailed = "%1 に印刷できません";

// The log file's name, appended to the output folder with a "/".
inline constexpr const char *LogFileName = "List.log";

} // namespace segmora::viewtexts

#pragma once

// The program's fixed texts, UTF-8. Where they reach a file they are converted
// to CP932 (see Cp932.h); messages are shown as they stand.

namespace segmora::texts {

inline constexpr const char *LogHeader = "----- ﾛｸﾞ 標準（分割順）-----";
inline constexpr const char *LogCompleted = "--- 分割 完了 ---";
inline constexpr const char *LogAborted = " -- 中止 --";
inline constexpr const char *AbortMessage = "分割を中止します。";
inline constexpr const char *AbortCaption = "中止";
inline constexpr const char *AskCreateFolder =
    "ディレクトリが見つかりません。ディレクトリを作成しますか？";
inline constexpr const char *AskReadNonText =
    "ファイル形式が違います。\nそのまま読み込みは可能ですが、データの一部読み込めない可能性が有ります。\n読み込み開始は「はい(Y)」";
inline constexpr const char *CannotCreate = "ファイル %s を作成できません";
inline constexpr const char *CannotOpen = "ファイル %s は開けません";
inline constexpr const char *WriteError = "ストリームへの書き込みエラー";
inline constexpr const char *StatusSuffix = "行目 :ﾃﾞｰﾀ読み込み中";
inline constexpr const char *NameLabel = "名前:";
inline constexpr const char *WarningCaption = "警告";

// Added to the cannot-create message when an output file would replace the
// input file.
inline constexpr const char *IsInputFile = "\n(入力ファイルと同じファイルです。)";

} // namespace segmora::texts

#pragma once

// The main window's fixed texts, UTF-8.

namespace segmora::mainTexts {

inline constexpr const char *LabelFileName = "ﾌｧｲﾙ名";
inline constexpr const char *LabelOutputFolder = "分割ﾌｧｲﾙ保存先ﾌｫﾙﾀﾞ";
inline constexpr const char *LabelLeadLetter = "文字（通常ｏ）";
inline constexpr const char *BrowseButton = "...";
inline constexpr const char *StartButton = "開始";
inline constexpr const char *AbortButton = "中止";
inline constexpr const char *ExitButton = "終了";
inline constexpr const char *Memo1FirstLine = "----- ﾛｸﾞ -----";
inline constexpr const char *OpMenu = "ｵﾌﾟｼｮﾝ";
inline constexpr const char *Op1 = "先頭％付加";
inline constexpr const char *Op2 = "末尾％付加";
inline constexpr const char *Op4 = "分割名に連番付加";
inline constexpr const char *Op3 = "ﾃﾞｰﾀ無し行は無効";
inline constexpr const char *SettingMenu = "設定";
inline constexpr const char *User_op = "ﾕｰｻﾞ定義(拡張子)";
inline constexpr const char *DeskTop_set = "ﾃﾞｨｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ作成";
inline constexpr const char *HelpMenu = "ﾍﾙﾌﾟ";
inline constexpr const char *Menu_hp = "ﾎｰﾑﾍﾟｰｼﾞ";
inline constexpr const char *Menu_add = "ﾒｰﾙ";
inline constexpr const char *Menu_ver = "ﾊﾞｰｼﾞｮﾝ";
inline constexpr const char *CaptionPrefix = "セグモラ Ver";
inline constexpr const char *Version = "1.14";
inline constexpr const char *MultipleDropped = "複数は不可です。";
inline constexpr const char *ConfirmCaption = "確認";
inline constexpr const char *OpenDialogTitle = "ﾌｧｲﾙ選択";
inline constexpr const char *DefaultExtension = "nc";
inline constexpr const char *BrowseFolderCaption = "現ﾃﾞｨﾚｸﾄﾘ ";
inline constexpr const char *RefusedInFolder = "\\,;*?<>|.";
inline constexpr const char *RefusedCharMessage = "この文字は拡張子に使えません。\n\\,;*?<>|.";

} // namespace segmora::mainTexts

// The program's own texts for what it adds to the window.
namespace segmora::mainTexts {

// Why the screen saver is held off (shown by the desktop).
inline constexpr const char *ScreenSaverReason = "NCﾌｧｲﾙ分割中";

// The warning before the viewer when a run created a file name twice; %1 is
// the list of files, one a line, %2 the option's menu caption.
inline constexpr const char *RecreatedFilesMessage =
    "次のﾌｧｲﾙは同じ名前で作り直されたため、先に分割したﾌﾟﾛｸﾞﾗﾑは残っていません。\n%1\n"
    "全てのﾌﾟﾛｸﾞﾗﾑを残すには、ｵﾌﾟｼｮﾝの「%2」を使ってください。";
// The end of that list when it is longer than shown; %1 is the rest's count.
inline constexpr const char *RecreatedFilesMore = "ほか %1 件";

// The last line of the input view when only the start of the input is shown;
// %1 is the count of lines shown, %2 of all lines.
inline constexpr const char *InputViewCut = "（表示は先頭 %1 行までです。全 %2 行を分割します。）";

} // namespace segmora::mainTexts

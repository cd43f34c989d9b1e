#pragma once

// The fixed texts of the user-types dialog and the open dialog, UTF-8.
namespace segmora::dialogtexts {

// The user-types dialog (TUser).
inline constexpr const char *UserCaption = "ﾕｰｻﾞ定義";
inline constexpr const char *Label1 = "ﾕｰｻﾞ定義１(表示名)";
inline constexpr const char *Label2 = "拡張子";
inline constexpr const char *Label3 = "ﾕｰｻﾞ定義２(表示名)";
inline constexpr const char *Label4 = "拡張子";
inline constexpr const char *Button1 = "変更";
inline constexpr const char *Button2 = "中止";
inline constexpr const char *Button3 = "戻る";
inline constexpr const char *EmptyMask = "*.*";
inline constexpr const char *EmptyName1 = "ﾕｰｻﾞ定義1";
inline constexpr const char *EmptyName2 = "ﾕｰｻﾞ定義2";

// Characters an extension field refuses, and the box that says so.
inline constexpr const char *RefusedInMask = "/:,;?<>|";
inline constexpr const char *RefusedMaskMessage = "この文字は拡張子に使えません。\n/:,;?<>|";
inline constexpr const char *RefusedMaskCaption = "確認";

// The open dialog with text preview (COpenTextDialog).
inline constexpr const char *OpenTitle = "ﾌｧｲﾙ選択";
inline constexpr const char *DefaultExtension = "nc";
inline constexpr const char *PreviewCheckCaption = "内容をﾌﾟﾚﾋﾞｭｰする。";
inline constexpr const char *NotTextMessage =
    "ファイルのプレビューが出来ません。\n(ファイルタイプが違います。)";
inline constexpr const char *NotTextCaption = "警告";
inline constexpr const char *NoPreview = "ﾌﾟﾚﾋﾞｭｰ不可";

} // namespace segmora::dialogtexts

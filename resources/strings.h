// The string table and the fixed texts the main window shows.
#pragma once

#include <string_view>

namespace prismview {

inline constexpr std::string_view kWindowTitle = "プリズムビュー";
inline constexpr std::string_view kWindowClassName = "PRISMVIEW";  // the X window class

inline constexpr std::string_view kStartImageFile = "start.bmp";
inline constexpr std::string_view kLoadingText = "画像の読み出しをしてます。";
// The label of a derived slot that a mode leaves blank (white).
inline constexpr std::string_view kBlankLabel = "－";
// The status bar while the compare key is held.
inline constexpr std::string_view kComparingText = "ベース画像を表示中（\\ を離すと戻る）";
// The status bar while the browser of every mode is shown.
inline constexpr std::string_view kBrowserText = "全加工の一覧（Tab・Esc で戻る、クリックでその画像を表示）";
inline constexpr std::string_view kRegenerateText =
    "加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m";
inline constexpr std::string_view kOpenRequestText = "ＢＭＰを開いてください。";
// The caption of the base image, which never changes.
inline constexpr std::string_view kBaseImageLabel = "ベース画像";
inline constexpr std::string_view kHueSwatchText = "←→で指定";
inline constexpr std::string_view kLevelSwatchText = "↑↓で指定";

// Message boxes: text and caption.
inline constexpr std::string_view kRequestCaption = "要求";
inline constexpr std::string_view kNoImageText =
    "画像情報が有りません。\n画像を取り込み、保存対象の画像を選択してから、実行してください。";
inline constexpr std::string_view kChooseImageText = "四つの画像のうち、いずれかを選択してから実行してください。";
inline constexpr std::string_view kFailureCaption = "鰓阿";
inline constexpr std::string_view kOpenFailedText = "ＢＭＰ読み出し失敗しました。";
inline constexpr std::string_view kSaveFailedText = "ＢＭＰ保存に失敗しました。";
inline constexpr std::string_view kSweepProgressText = "変化を書き出しています…";
inline constexpr std::string_view kSweepFailedText = "書き出しに失敗しました。";
inline constexpr std::string_view kOverwriteCaption = "君に問う";
inline constexpr std::string_view kOverwriteQuestionSuffix = "\n同じファイルがありますが、上書きしますか？";  // after the file name
inline constexpr std::string_view kErrorCaption = "エラー";
inline constexpr std::string_view kInvalidNameText = "ファイル名が不正の模様です。";
// Followed by the extensions that can be saved.
inline constexpr std::string_view kUnknownExtensionText = "この拡張子では保存できません。使える拡張子：";
inline constexpr std::string_view kClipboardCaption = "失敗";
inline constexpr std::string_view kClipboardText = "エラー";
// The status bar's notice for a picture the decoder could read only in part,
// followed by ": " and the decoder's reason.
// The status bar's word when a fifth probe would be pinned.
inline constexpr std::string_view kPinsFullText = "ピンは４つまでです（プローブ一覧で外せます）";
inline constexpr std::string_view kDamagedNotice = "画像の一部が壊れています";
// Where a picture that was not a file's came from, in the read failure message.
inline constexpr std::string_view kClipboardSource = "クリップボード";
inline constexpr std::string_view kDroppedSource = "ドロップされたデータ";
// The built-in colour chart: its name in the title bar and in the names the
// save dialog proposes, and why it could not be made.
inline constexpr std::string_view kChartName = "色見本";
// すべて保存's dialog, and the question of 一覧画像として保存.
inline constexpr std::string_view kSaveAllTitle = "すべて保存";
inline constexpr std::string_view kSaveAllFolderLabel = "保存先のフォルダ";
inline constexpr std::string_view kBrowseText = "参照...";
inline constexpr std::string_view kSaveAllTypeLabel = "ファイルの種類";
inline constexpr std::string_view kSaveAllWithBaseText = "ベース画像も保存する";
inline constexpr std::string_view kSaveGalleryTitle = "一覧画像として保存";
inline constexpr std::string_view kSaveGalleryQuestion = "どの大きさで保存しますか？";
inline constexpr std::string_view kGalleryOwnSizeText = "画像の大きさ";
inline constexpr std::string_view kGalleryShownSizeText = "表示の大きさ";
// The first line of the copied command when the base is no file's picture,
// before the placeholder's name.
inline constexpr std::string_view kPlaceholderComment =
    "ベース画像はファイルから読んだものではありません。ベース画像を保存したファイルの名前で置き換えてください: ";
inline constexpr std::string_view kChartFailedReason = "メモリが足りません";
// The parameter panel: its title, the caption of a key step's box, and how
// else the centre is set.
inline constexpr std::string_view kParameterPanelTitle = "パラメータ";
inline constexpr std::string_view kKeyStepCaption = "キーでの変化";
inline constexpr std::string_view kCentreClickNote = "ベース画像を右クリックでも指定";

// The file dialogs' filters: "<name> (<patterns>)".
inline constexpr std::string_view kPictureFilterName = "画像ファイル";
inline constexpr std::string_view kBmpFilterName = "ビットマップ";
inline constexpr std::string_view kBmpFilterPattern = "*.bmp";
inline constexpr std::string_view kAllFilesFilter = "すべてのファイル (*)";

}  // namespace prismview

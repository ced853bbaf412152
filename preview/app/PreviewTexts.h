// The preview program's own texts, file names and window layout. It reads no language file:
// every caption and message stands here once, shown exactly as written (GBK where it is not
// ASCII; the source is compiled to code page 936).
#pragma once

#include <cstdint>

#include "stage/PreviewStage.h"

namespace preview_app {

inline constexpr char kWindowClass[] = "Vennmark";
inline constexpr char kWindowTitle[] = "Vennmark";
inline constexpr char kMessageTitle[] = "Vennmark";
inline constexpr int kWindowWidth = 318;
inline constexpr int kWindowHeight = 420;
// The window as the editor's: theme, background, caption (icon, title, close, minimise and the
// "Menu" button) and layered alpha.
inline constexpr char kWindowThemeFile[] = ".\\thunder.ext";
inline constexpr char kEngineThemeFile[] = ".\\ex_directui.ext";
inline constexpr char kEngineMapDataFile[] = ".\\mapdata.xml";
inline constexpr std::uint32_t kWindowBackground = 0xECECEC;
inline constexpr std::uint32_t kWindowCaptionFlags = 55;
inline constexpr std::int32_t kWindowAlpha = 200;
// The caption-button kind of the "Menu" button.
inline constexpr std::uint32_t kMenuButtonKind = 32;

inline constexpr char kDefaultRomPath[] = ".\\Brakka.nes";
inline constexpr char kMapPictureFolder[] = "\\MapPic\\";
inline constexpr char kEnemyPictureFolder[] = "\\Enemy\\";

struct Place {
    int x;
    int y;
    int width;
    int height;
};
inline constexpr Place kMapViewPlace = {8, 28, 268, 236};
inline constexpr Place kStageListPlace = {8, 268, 100, 24};
inline constexpr Place kVerticalCheckPlace = {108, 268, 80, 24};
inline constexpr Place kSaveMapLinkPlace = {186, 268, 80, 24};
inline constexpr Place kEnemyStripPlace = {8, 296, 268, 44};
inline constexpr Place kTileStripPlace = {8, 340, 268, 44};
inline constexpr int kStripRows = 1;

inline constexpr char kVerticalCheckCaption[] = "地图纵向";
// The trailing blank is part of the text.
inline constexpr char kVerticalCheckTip[] =
    "此功能最好用于预览, 不用于编辑, 可能会出错(因为对纵向编辑本人没进行对应处理, 时间问题). ";
inline constexpr char kSaveMapLinkCaption[] = "保存地图...";
// A Windows colour (red in the low byte): RgbToArgb makes the link blue.
inline constexpr std::uint32_t kSaveMapLinkRgb = 0xFF0000;

inline constexpr const char* kStageTitles[preview::kStageCount] = {
    "FOREST", "BUNKER", "CLIFFS", "VAULT", "TUNDRA", "FOUNDRY", "DEPOT", "CORE"};

// The popup menu, items numbered from 1 with the separators.
inline constexpr char kMenuOpenRom[] = "打开ROM";
inline constexpr char kMenuSaveRom[] = "保存ROM";
inline constexpr char kMenuRefresh[] = "刷新地图";
inline constexpr char kMenuSaveMap[] = "保存地图";
inline constexpr char kMenuAbout[] = "关于";
inline constexpr std::size_t kAboutMenuItem = 7;
inline constexpr std::int32_t kMenuItemChecked = 16;

// The file dialogs. The common dialogs take the default extension without its point.
inline constexpr char kRomFilter[] = "NES Rom|*.nes";
inline constexpr char kRomExtension[] = "nes";
inline constexpr char kOpenRomTitle[] = "打开ROM";
inline constexpr char kSaveRomTitle[] = "保存ROM";
inline constexpr char kPngFilter[] = "PNG图片|*.png";
inline constexpr char kPngExtension[] = "png";
inline constexpr char kSaveMapTitle[] = "保存地图";

// Messages.
inline constexpr char kAskSaveChanges[] = "当前ROM已被更改，是否保存？";
inline constexpr char kRomSaved[] = "ROM已保存到：";
inline constexpr char kRomNotSaved[] = "ROM保存失败！";
inline constexpr char kNoRomToSave[] = "没有可保存的ROM：请先打开一个完整的ROM。";
inline constexpr char kMapPictureSaved[] = "地图图片成功保存到：";
inline constexpr char kMapPictureNotSaved[] = "地图图片保存失败！";
// Why a file was not written; shown on the line after the failure.
inline constexpr char kTargetReadOnly[] = "目标文件是只读的。";
inline constexpr char kTargetNoFolder[] = "目标文件夹不存在。";
inline constexpr char kTargetDiskFull[] = "磁盘空间不足。";
inline constexpr char kTargetNotWritten[] = "无法写入这个文件。";
inline constexpr char kRomTooShort[] = "这个ROM不完整，读不出关卡数据，地图将保持空白。";
// Followed by the path of a missing or unreadable file, then kMapStaysEmpty on the next line.
inline constexpr char kRomNotRead[] = "无法读取文件：";
inline constexpr char kMapStaysEmpty[] = "地图将保持空白。";
// printf patterns of the screens that are not shown: stage, screen (and the address).
inline constexpr char kScreenOutsideWindow[] =
    "第%d关第%d屏的地址%04X不在关卡数据的地址8000-BFFF之内，这一屏不显示，也不能画。";
inline constexpr char kScreenPastWindowEnd[] =
    "第%d关第%d屏的数据超出了关卡数据的地址8000-BFFF，这一屏不显示，也不能画。";
// Followed by one of the reasons below.
inline constexpr char kRomViewOnly[] =
    "编辑器读不懂这个ROM的关卡数据，无法确认写入是否安全，地图只能查看，不能画：";
// Why the editor cannot read the image (printf patterns: stage, screen; the object bound).
inline constexpr char kWhyLevelUnreadable[] =
    "第%d关的关卡头、屏幕表或敌人列表超出了ROM或关卡数据的地址范围。";
inline constexpr char kWhyBossRoomUnreadable[] = "Boss房间的数据超出了ROM或关卡数据的地址范围。";
inline constexpr char kWhyScreenUnreadable[] =
    "第%d关第%d屏的数据超出了ROM或关卡数据的地址范围，或者读不完。";
inline constexpr char kWhyTooManyObjects[] = "各关的敌人列表加起来超过了%d个敌人。";
inline constexpr char kWhyUnknown[] = "关卡数据读不出来。";
// The large layout keeps the levels where the preview does not read them.
inline constexpr char kRomLargeViewOnly[] =
    "这个ROM是大容量版本，关卡数据在第7个存储体里，预览版只读写第2个存储体：地图只能查看，不能画。";
// printf patterns of refused screens: stage, screen, then what is named (the bytes needed and the
// room for one that does not fit).
inline constexpr char kScreenDoesNotFit[] =
    "第%d关第%d屏改后的数据需要%d字节，这一屏只有%d字节的空间，放不下，没有写入ROM。";
inline constexpr char kScreenPastImageEnd[] =
    "第%d关第%d屏改后的数据会超出ROM的末尾，没有写入ROM。";
inline constexpr char kScreenNoRoomKnown[] =
    "第%d关第%d屏没有写入ROM：编辑器读不出这一屏存放的数据，不知道它有多少空间。";
inline constexpr char kScreenReadsOtherwise[] =
    "第%d关第%d屏在预览里显示的格子和游戏读出来的不一样，改了会写坏，没有写入ROM。";
inline constexpr char kScreenNotStorable[] = "第%d关第%d屏里有无法保存的格子值，没有写入ROM。";
inline constexpr char kScreensShareBytes[] =
    "第%d关第%d屏和第%s屏共用同一段数据，几屏改得不一样，没有写入ROM。";
inline constexpr char kScreenTouchesOther[] = "第%d关第%d屏改后的数据会改动%s，没有写入ROM。";
inline constexpr char kScreenNotShown[] = "第%d关第%d屏不在关卡数据的地址范围内，没有写入ROM。";
inline constexpr char kNothingKnown[] =
    "第%d关第%d屏没有写入ROM：编辑器读不懂这个ROM的关卡数据，无法确认写入是否安全。";
inline constexpr char kListSeparator[] = "、";
// The structures a refused write would have changed (printf patterns: stage, index).
inline constexpr char kNameScreen[] = "第%d关第%d屏";
inline constexpr char kNameBossRoom[] = "第%d关之后的Boss房间";
inline constexpr char kNameScreenTable[] = "第%d关的屏幕表";
inline constexpr char kNameObjectTable[] = "第%d关的敌人列表表";
inline constexpr char kNameObjectList[] = "第%d关的第%d个敌人列表";
inline constexpr char kNameLevelHeaders[] = "关卡头";
inline constexpr char kNameBossList[] = "Boss房间地址表";
inline constexpr char kNameObjectPointerTable[] = "各关敌人列表表的地址表";
inline constexpr char kScreensKeptAsStored[] = "地图已恢复为ROM中的内容。";

// The about view.
inline constexpr int kAboutPictureResource = 130;
inline constexpr int kAboutPictureKeptRows = 283;
inline constexpr float kAboutPictureLeft = 32.0f;
inline constexpr float kAboutPictureTop = 16.0f;
inline constexpr float kAboutTextHeight = 200.0f;
inline constexpr char kAboutFont[] = "微软雅黑";
inline constexpr float kAboutFontSize = 12.0f;
inline constexpr std::uint32_t kAboutTextRgb = 0xFFFFFF;
inline constexpr std::uint32_t kAboutEffectRgb = 0xFF8800;
inline constexpr std::int32_t kAboutEffectAlpha = 200;
inline constexpr char kAboutText[] =
    "Vennmark 预览版（开发中，功能尚未完成）\n"
    "看关卡地图（横向或纵向）、画地图格子、看敌人图片\n"
    "保存ROM、把地图导出为PNG图片\n"
    "感谢所有试用并提出意见的朋友！";

}  // namespace preview_app

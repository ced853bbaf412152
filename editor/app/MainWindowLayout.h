// Where the main window and its seventeen controls lie: the window's size and look, and each
// control's rectangle in the window's client area, in creation order. The end-to-end test
// clicks at these places too.
#pragma once

#include <cstdint>

namespace app {

inline constexpr int kMainWindowWidth = 746;
inline constexpr int kMainWindowHeight = 375;
inline constexpr std::uint32_t kMainWindowBackground = 0xECECEC;  // 0x00BBGGRR
inline constexpr std::int32_t kMainWindowAlpha = 200;
// Icon, title, minimise, close and the "Menu" caption button.
inline constexpr std::uint32_t kMainWindowCaptionFlags = 1 | 2 | 16 | 4 | 32;

struct ControlPlace {
    int x;
    int y;
    int width;
    int height;
};

inline constexpr ControlPlace kLogoBoxPlace = {7, 28, 49, 49};
inline constexpr ControlPlace kNameLabelPlace = {57, 28, 120, 18};
inline constexpr ControlPlace kEditionLabelPlace = {57, 44, 120, 18};
inline constexpr ControlPlace kVersionLabelPlace = {57, 60, 120, 18};
inline constexpr ControlPlace kFileCommandsPlace = {179, 28, 120, 18};
inline constexpr ControlPlace kPaletteButtonPlace = {179, 44, 120, 18};
inline constexpr ControlPlace kAlternateGraphicsCheckPlace = {179, 60, 120, 18};
inline constexpr ControlPlace kMapViewPlace = {7, 79, 443, 240};
inline constexpr ControlPlace kLevelListPlace = {300, 28, 150, 18};
inline constexpr ControlPlace kOrientationListPlace = {300, 44, 150, 18};
inline constexpr ControlPlace kLevelKindListPlace = {300, 60, 150, 18};
inline constexpr ControlPlace kTilePickerPlace = {452, 28, 258, 277};
inline constexpr ControlPlace kTilePreviewPlace = {676, 307, 32, 32};
inline constexpr ControlPlace kEditModeCheckPlace = {452, 307, 224, 18};
inline constexpr ControlPlace kLockMappingCheckPlace = {452, 323, 224, 18};
inline constexpr ControlPlace kInfoLabelPlace = {7, 321, 323, 18};
inline constexpr ControlPlace kStatusLabelPlace = {331, 321, 120, 18};

// The frame colour of both image boxes, as the box's frame style (a plain 1-pixel frame).
inline constexpr std::uint32_t kImageBoxFrameRgb = 0xFF8800;

}  // namespace app

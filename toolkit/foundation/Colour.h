// Conversions between the toolkit's two colour forms.
//
// Settings, control fields and literals hold Windows colours, 0x00BBGGRR (red in the low byte);
// GDI+ draws with 0xAARRGGBB. Window-free, so the native build tests it too.
#pragma once

#include <cstdint>

namespace toolkit {

constexpr int kOpaqueAlpha = 255;

// Windows colour to GDI+ colour: red and blue exchange places and alpha fills the top byte.
// The top byte of the Windows colour is ignored.
constexpr std::uint32_t RgbToArgb(std::uint32_t rgb, std::uint32_t alpha = kOpaqueAlpha) {
    const std::uint32_t red = rgb & 0xFFu;
    const std::uint32_t green = (rgb >> 8) & 0xFFu;
    const std::uint32_t blue = (rgb >> 16) & 0xFFu;
    return ((alpha & 0xFFu) << 24) | (red << 16) | (green << 8) | blue;
}

// GDI+ colour back to a Windows colour; the alpha byte goes to *alpha when one is asked for.
constexpr std::uint32_t ArgbToRgb(std::uint32_t argb, std::uint32_t* alpha = nullptr) {
    if (alpha != nullptr) {
        *alpha = argb >> 24;
    }
    const std::uint32_t red = (argb >> 16) & 0xFFu;
    const std::uint32_t green = (argb >> 8) & 0xFFu;
    const std::uint32_t blue = argb & 0xFFu;
    return (blue << 16) | (green << 8) | red;
}

}  // namespace toolkit

#include "LayeredTestWindow.h"

#include <algorithm>
#include <functional>
#include <string>

#include "core/LayeredPush.h"
#include "foundation/Drawing.h"
#include "foundation/ImageHelpers.h"

namespace host_test {

namespace {

constexpr int kPictureWidth = 120;
constexpr int kPictureHeight = 90;
constexpr std::uint32_t kPictureLeft = 0xFFC04020;
constexpr std::uint32_t kPictureRight = 0xFF2040C0;
constexpr COLORREF kOuterBorder = RGB(200, 40, 40);
constexpr COLORREF kInnerBorder = RGB(250, 220, 60);

// The theme package: a 24-byte header holding the text length at byte 8 and the CRC-32 of the
// body at byte 20; the body, from byte 24, starts with the text.
constexpr char kDefaultThemeFile[] = "ex_directui.ext";
constexpr std::size_t kThemeHeaderSize = 24;
constexpr std::size_t kThemeTextLengthAt = 8;
constexpr std::size_t kThemeCrcAt = 20;
// The sub-window shadow's part, and one of the same text length that looks otherwise (the menu
// panel's).
constexpr char kSubWindowShadowPart[] = "rect=128,0,30,30,1";
constexpr char kOtherShadowPart[] = "rect=160,0,32,32,1";
static_assert(sizeof kSubWindowShadowPart == sizeof kOtherShadowPart);

std::uint32_t ReadU32(const toolkit::ByteArray& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < sizeof value; ++i) {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint32_t kPolynomial = 0xEDB88320;
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1) != 0 ? kPolynomial : 0);
        }
    }
    return ~crc;
}

bool InTransition(toolkit::ElementHandle first) {
    for (const Element* e = toolkit::ElementFromHandle(first); e != nullptr;
         e = toolkit::ElementFromHandle(e->m_nextSibling)) {
        if ((e->m_state & toolkit::kStateTransition) != 0 || InTransition(e->m_firstChild)) {
            return true;
        }
    }
    return false;
}

}  // namespace

toolkit::ByteArray HalvesPicture(bool swapped) {
    toolkit::GpBitmapPtr picture = toolkit::CreateBitmap(kPictureWidth, kPictureHeight);
    if (!picture) {
        return {};
    }
    {
        toolkit::GpGraphicsPtr graphics = toolkit::GetImageGraphics(picture.get());
        const float half = kPictureWidth / 2.0f;
        toolkit::FillRect(graphics.get(), toolkit::MakeRectF(0.0f, 0.0f, half, kPictureHeight),
                          swapped ? kPictureRight : kPictureLeft);
        toolkit::FillRect(graphics.get(), toolkit::MakeRectF(half, 0.0f, half, kPictureHeight),
                          swapped ? kPictureLeft : kPictureRight);
    }
    return toolkit::EncodeImageToBytes(picture.get(), toolkit::kPngFormat);
}

toolkit::HostAttachOptions LayeredOptions() {
    toolkit::HostAttachOptions options;
    options.layeredAlpha = kOpaqueLayered;
    options.backgroundImage = HalvesPicture(false);
    options.backgroundColour = kLayeredBackground;
    options.borderColours = std::vector<COLORREF>{kOuterBorder, kInnerBorder};
    return options;
}

toolkit::ByteArray ThemeWithOwnSubWindowShadow() {
    toolkit::ByteArray package = ReadProgramFile(kDefaultThemeFile);
    if (package.size() < kThemeHeaderSize) {
        return {};
    }
    const std::size_t textEnd = kThemeHeaderSize + ReadU32(package, kThemeTextLengthAt);
    const std::string text(package.begin() + kThemeHeaderSize,
                           package.begin() + std::min(textEnd, package.size()));
    const std::size_t at = text.find(kSubWindowShadowPart);
    if (at == std::string::npos) {
        return {};
    }
    std::copy(std::begin(kOtherShadowPart), std::end(kOtherShadowPart) - 1,
              package.begin() + kThemeHeaderSize + at);
    const std::uint32_t crc =
        Crc32(package.data() + kThemeHeaderSize, package.size() - kThemeHeaderSize);
    for (std::size_t i = 0; i < sizeof crc; ++i) {
        package[kThemeCrcAt + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    }
    return package;
}

LayeredWindow::LayeredWindow(const toolkit::HostAttachOptions& options)
    : test(options), first(kRed, &log), second(kBlue, &log) {
    first.Create(test.Parent(), kFirstProbeLeft, kProbeTop, kProbeSize, kProbeSize);
    second.Create(test.Parent(), kSecondProbeLeft, kProbeTop, kProbeSize, kProbeSize);
    test.Show();
    // Shown after its first push, the window goes whole once more; from then on the toolkit
    // knows what its screen shows.
    test.Host().PresentWindow();
}

bool Settle(const HostWindow& host) {
    return PumpUntil([&] {
        return QueueIdle() && !InTransition(host.firstChild) && !toolkit::LayeredPushPending(&host);
    });
}

}  // namespace host_test

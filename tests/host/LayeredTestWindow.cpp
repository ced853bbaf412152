#include "LayeredTestWindow.h"

#include <functional>

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
        return HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE | QS_INPUT)) == 0 &&
               !InTransition(host.firstChild) && !toolkit::LayeredPushPending(&host);
    });
}

}  // namespace host_test

#include "ButtonsTestSupport.h"

#include "core/ElementEvents.h"
#include "core/ElementMessages.h"
#include "foundation/ImageHelpers.h"

namespace buttons_test {

namespace gp = Gdiplus::DllExports;

toolkit::ByteArray MakeStripPng(const std::vector<std::uint32_t>& colours, int cellWidth,
                                int cellHeight) {
    const int width = static_cast<int>(colours.size()) * cellWidth;
    toolkit::GpBitmapPtr bitmap = toolkit::CreateBitmap(width, cellHeight);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < cellHeight; ++y) {
            gp::GdipBitmapSetPixel(bitmap.get(), x, y, colours[x / cellWidth]);
        }
    }
    return toolkit::EncodeImageToBytes(bitmap.get(), toolkit::kPngFormat);
}

std::uint32_t CanvasPixel(const toolkit::Element& element, int x, int y) {
    GdiFlush();
    return static_cast<const std::uint32_t*>(element.m_canvasBits)[y * element.m_width + x];
}

std::uint32_t CanvasCentre(const toolkit::Element& element) {
    return CanvasPixel(element, element.m_width / 2, element.m_height / 2);
}

void Enter(toolkit::ElementHandle handle) {
    toolkit::CallElementProc(handle, toolkit::kMsgMouseEnter, 0, 0);
}

void Leave(toolkit::ElementHandle handle) {
    toolkit::CallElementProc(handle, toolkit::kMsgMouseLeave, 0, 0);
}

void Press(toolkit::ElementHandle handle) {
    toolkit::CallElementProc(handle, WM_LBUTTONDOWN, MK_LBUTTON, 0);
}

void Release(toolkit::ElementHandle handle) {
    toolkit::CallElementProc(handle, WM_LBUTTONUP, 0, 0);
}

void Click(toolkit::ElementHandle handle) {
    Press(handle);
    Release(handle);
    toolkit::CallElementProc(handle, toolkit::kMsgClick, 0, 0);
}

}  // namespace buttons_test

#include "foundation/ImageList.h"

#include "foundation/Drawing.h"
#include "foundation/EngineBinding.h"
#include "foundation/ImageHelpers.h"

namespace toolkit {
namespace {

using namespace Gdiplus::DllExports;

std::uint32_t Word(const void* address) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
}

// Takes over an image that an engine call handed back as a word.
GpImagePtr AdoptEngineImage(std::uint32_t image) {
    return GpImagePtr(reinterpret_cast<Gdiplus::GpImage*>(static_cast<std::uintptr_t>(image)));
}

}  // namespace

ImageList::ImageList(const ImageList& other)
    : m_linkedControl(other.m_linkedControl),
      m_cellWidth(other.m_cellWidth),
      m_cellHeight(other.m_cellHeight),
      m_images(other.m_images),
      m_canvas(other.m_canvas),
      m_graphics(other.m_graphics) {
    // The copy's own self cell, so its handle leads to the copy and not to the source.
    if (other.m_self != nullptr) {
        m_self = this;
    }
}

void ImageList::Dispose() {
    Clear();
    // The graphics draws into the canvas, so it goes first.
    m_graphics.reset();
    m_canvas.reset();
}

void ImageList::Clear() {
    m_images.clear();
}

std::uint32_t ImageList::SetCellSize(std::int32_t width, std::int32_t height) {
    m_cellWidth = width;
    m_cellHeight = height;
    m_self = this;
    // A second call replaces the canvas; the old one is released, not leaked.
    m_graphics.reset();
    m_canvas.reset();
    if (width < 1 || height < 1) {
        return 0;
    }
    GpBitmapPtr canvas = CreateBitmap(width, height);
    if (!canvas) {
        return 0;
    }
    GpGraphicsPtr graphics = GetImageGraphics(canvas.get());
    if (!graphics) {
        return 0;
    }
    m_canvas = SharedImage(canvas.release(), GdipDisposeImage);
    m_graphics = SharedGraphics(graphics.release(), GdipDeleteGraphics);
    return Handle();
}

std::uint32_t ImageList::Handle() const {
    return m_self != nullptr ? Word(&m_self) : 0;
}

Gdiplus::GpImage* ImageList::Get(std::int32_t index) const {
    if (!IsValidIndex(index)) {
        return nullptr;
    }
    return m_images[static_cast<std::size_t>(index - 1)].get();
}

std::int32_t ImageList::AddFromFile(const char* path) {
    if (path == nullptr) {
        return 0;
    }
    GpImagePtr image = AdoptEngineImage(EngineImageFromFile(Word(path)));
    return image ? Add(image.get()) : 0;
}

std::int32_t ImageList::AddFromBytes(const ByteArray& bytes) {
    GpImagePtr image = LoadImageFromBytes(bytes);
    return image ? Add(image.get()) : 0;
}

std::int32_t ImageList::AddFromSource(std::uint32_t source) {
    GpImagePtr image = AdoptEngineImage(EngineImageFromHandle(source));
    return image ? Add(image.get()) : 0;
}

std::int32_t ImageList::Add(Gdiplus::GpImage* image) {
    if (image == nullptr) {
        return 0;
    }
    SharedImage cell;
    if (m_graphics && m_canvas) {
        ClearGraphics(m_graphics.get(), 0);
        const Gdiplus::RectF rect(0.0f, 0.0f, static_cast<float>(m_cellWidth),
                                  static_cast<float>(m_cellHeight));
        DrawImageAlpha(m_graphics.get(), image, rect);
        GdipFlush(m_graphics.get(), Gdiplus::FlushIntentionSync);
        GpBitmapPtr copy = CloneImageArea(m_canvas.get(), 0, 0, m_cellWidth, m_cellHeight);
        cell = SharedImage(copy.release(), GdipDisposeImage);
    }
    m_images.push_back(std::move(cell));
    return Count();
}

std::int32_t ImageList::LinkControl(std::uint32_t control, std::uint32_t* reference) {
    if (control == 0) {
        return 0;
    }
    m_linkedControl = control;
    if (reference != nullptr) {
        *reference = control;
    }
    return 1;
}

std::int32_t ImageList::GetLinkedControl(std::uint32_t& reference) const {
    if (m_linkedControl == 0) {
        return 0;
    }
    reference = m_linkedControl;
    return 1;
}

bool ImageList::IsValidIndex(std::int32_t index) const {
    return index >= 1 && index <= Count();
}

ImageList* ImageList::FromHandle(std::uint32_t handle) {
    return reinterpret_cast<ImageList*>(static_cast<std::uintptr_t>(ReadInt32Checked(handle)));
}

}  // namespace toolkit

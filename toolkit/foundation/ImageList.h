// ImageList: pictures of one cell size for controls that show an icon per item (the combo box's
// drop-down list, the list box's header and cells).
//
// Every picture added is drawn stretched into a private canvas of the cell size and a copy of
// that canvas is stored, so all stored images have exactly the cell size. Indexes are 1-based;
// an index out of range gives 0. The operations are declared in slot order.
//
// Images, canvas and graphics are shared-owned: a copy of a list (its clone) has its own array
// but the same GDI+ objects, and each object is disposed once, when the last list holding it lets
// go. Every list must be gone before GdiplusShutdown.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CheckedMemory.h"

namespace toolkit {

class ImageList {
public:
    ImageList() = default;
    // The clone: the array is copied, its images, the canvas and its graphics are shared.
    ImageList(const ImageList& other);
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList() = default;

    // Clear, then drops the canvas and its graphics; SetCellSize makes new ones.
    void Dispose();
    // Disposes every image; the canvas stays, so adding again needs no new SetCellSize.
    void Clear();
    // Makes the canvas of the cell size. Returns Handle(), or 0 when no canvas could be made
    // (a size below one pixel).
    std::uint32_t SetCellSize(std::int32_t width, std::int32_t height);
    // The address of the list's self cell, which controls store to reach the list (FromHandle);
    // 0 before the cell size is set.
    std::uint32_t Handle() const;
    std::int32_t CellWidth() const { return m_cellWidth; }
    std::int32_t CellHeight() const { return m_cellHeight; }
    // Image i, still owned by the list; 0 for an invalid index or an image that was empty.
    Gdiplus::GpImage* Get(std::int32_t index) const;
    // Each loads a picture, adds it and disposes the loaded picture: the result of Add, or 0
    // when the picture could not be loaded. A file name is GBK text read by the engine.
    std::int32_t AddFromFile(const char* path);
    std::int32_t AddFromBytes(const ByteArray& bytes);
    std::int32_t AddFromSource(std::uint32_t source);
    // Appends the cell-size copy of the image and returns the new image count; a null image
    // returns 0 and adds nothing. Before SetCellSize an empty image is appended. The caller
    // keeps the image it passed.
    std::int32_t Add(Gdiplus::GpImage* image);
    // Remembers the control that shows the list and hands it back through `reference` when one
    // is given; returns 1, or 0 for no control. The link is kept in the list's own record only:
    // field 1 of a control's record is its alive word, and CreateElement's first step, like
    // every other test of aliveness, takes any non-zero value there for an element that is
    // already alive, so the list's address written there would pass the control off as alive.
    std::int32_t LinkControl(std::uint32_t control, std::uint32_t* reference = nullptr);
    // Writes the linked control into `reference` and returns 1; 0, with `reference` untouched,
    // while no control is linked.
    std::int32_t GetLinkedControl(std::uint32_t& reference) const;
    bool IsValidIndex(std::int32_t index) const;

    std::int32_t Count() const { return static_cast<std::int32_t>(m_images.size()); }

    // The list a Handle() value names; null for 0 or an unreadable address.
    static ImageList* FromHandle(std::uint32_t handle);

private:
    using SharedImage = std::shared_ptr<Gdiplus::GpImage>;
    using SharedGraphics = std::shared_ptr<Gdiplus::GpGraphics>;

    std::uint32_t m_linkedControl = 0;
    ImageList* m_self = nullptr;  // set with the cell size; Handle() is its address
    std::int32_t m_cellWidth = 0;
    std::int32_t m_cellHeight = 0;
    std::vector<SharedImage> m_images;
    SharedImage m_canvas;
    SharedGraphics m_graphics;
};

}  // namespace toolkit

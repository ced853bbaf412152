#include "mapex/MapEx.h"

#include "foundation/CallAddress.h"

namespace preview {

using toolkit::ElementHandle;

// A first stand-in: the interface links, the control does nothing yet.

void Map_Ex::FreeMembers() {}

std::uint32_t Map_Ex::Clone() {
    return toolkit::AddressOf(toolkit::CloneOnProcessHeap(*this));
}

LRESULT Map_Ex::PreFilterMessage(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Map_Ex::ClassMessageHandler(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

void Map_Ex::MapExOnScroll(ElementHandle, std::int32_t) {}
void Map_Ex::MapExPaint() {}
void Map_Ex::MapExSetGrid(std::int32_t, std::int32_t) {}
void Map_Ex::MapExHitTest(LPARAM) {}

ElementHandle Map_Ex::MapExCreate(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height, std::int32_t rows,
                                  std::int32_t columns) {
    m_rowsGiven = rows;
    m_columnsGiven = columns;
    return CreateElement(parent, x, y, width, height, kMapExTypeId, kMapExClassName, {});
}

void Map_Ex::MapExSetFolder(const std::string&) {}
void Map_Ex::MapExSetCells(const MapExCells& cells) {
    m_cells = cells;
}
void Map_Ex::MapExSetObjects(const MapExObjects& objects) {
    m_objects = objects;
}
void Map_Ex::MapExSetCell(std::int32_t, std::int32_t, std::int32_t) {}
void Map_Ex::MapExDrawCell(std::int32_t, std::int32_t) {}
std::int32_t Map_Ex::MapExLoadPictures(const std::string&) {
    return 0;
}
void Map_Ex::MapExClearPictures() {}
void Map_Ex::MapExRenderCells() {}
void Map_Ex::MapExRenderObjects() {}
void Map_Ex::MapExSetVertical(std::int32_t value) {
    m_grid.vertical = value != 0;
}
Gdiplus::GpBitmap* Map_Ex::MapExGetPicture() {
    return m_cellsPicture.get();
}
void Map_Ex::MapExSetClickHandler(std::uint32_t routine) {
    m_clickRoutine = routine;
}
void Map_Ex::MapExSetDragHandler(std::uint32_t routine) {
    m_dragRoutine = routine;
}
MapExCells Map_Ex::MapExGetCells() {
    return m_cells;
}

std::int32_t Map_Ex::ScreenCount() const {
    return ScreenCountOf(m_grid, CellCount());
}

}  // namespace preview

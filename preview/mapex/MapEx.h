// Map_Ex: the preview program's grid control. It shows a byte array of cells as one picture
// composed from numbered 32 x 32 tile pictures, screen after screen, laid out side by side
// (horizontal) or stacked with the first screen at the bottom (vertical), draws packed object
// marks over it, scrolls it with two owned ScrollBars and hands clicks and drags, as cell
// coordinates, to routines the program sets. The stage map and the two picture strips of the
// preview window are Map_Ex elements.
//
// Method slots: the element base, 18 the pre-filter (MapExPreFilter), 19 a class handler that
// handles nothing (Page's), then the class's own operations from slot 91 (MapExSlot). It derives
// from Element rather than Page because Page's own slot 91 (CreatePage) would take the place of
// MapExOnScroll and push every later operation one slot on. Like every element class it declares
// no virtual destructor (see core/Element.h).
//
// The grid: rows and columns count the cells of one screen. Either may be given as kWorkOut
// (-1), and is then worked out from the cell count each time new cells are set, so a strip made
// with 1 row and -1 columns always shows all its pictures in one row. A grid with no rows,
// columns or whole screens (an empty picture folder) renders nothing and takes no cell.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/ScrollBar.h"
#include "core/Element.h"
#include "foundation/Colour.h"
#include "mapex/MapExGeometry.h"

namespace preview {

// The class as the element record names it (type id, class-name text).
constexpr std::int32_t kMapExTypeId = 2718406;
constexpr char kMapExClassName[] = "Map_Ex";

// The class's own operations by slot number.
enum MapExSlot : std::uint32_t {
    kSlotMapExOnScroll = 91,
    kSlotMapExPaint = 92,
    kSlotMapExSetGrid = 93,
    kSlotMapExHitTest = 94,
    kSlotMapExCreate = 95,
    kSlotMapExSetFolder = 96,
    kSlotMapExSetCells = 97,
    kSlotMapExSetObjects = 98,
    kSlotMapExSetCell = 99,
    kSlotMapExDrawCell = 100,
    kSlotMapExLoadPictures = 101,
    kSlotMapExClearPictures = 102,
    kSlotMapExRenderCells = 103,
    kSlotMapExRenderObjects = 104,
    kSlotMapExSetVertical = 105,
    kSlotMapExGetPicture = 106,
    kSlotMapExSetClickHandler = 107,
    kSlotMapExSetDragHandler = 108,
    kSlotMapExGetCells = 109,
};

// The two bars run along the bottom and right edges, this thick; the view keeps its full width
// for the map in horizontal layout and loses the bar's strip at the bottom in vertical layout.
constexpr std::int32_t kMapExBarThickness = 12;
// Both bars step by one cell.
constexpr std::int32_t kMapExScrollStep = kCellPixels;
// The ScrollBar orientation value of the vertical bar.
constexpr std::int32_t kMapExVerticalBar = 2;
// Picture names run 00 … FF: a cell value is a byte, so no further picture could be shown.
constexpr std::int32_t kMapExMaxPictures = 256;

// Colours (GDI+ ARGB): screen boundary lines, screen labels, and the object marks' background,
// text and text effect.
constexpr Gdiplus::ARGB kMapExBoundaryColour = toolkit::RgbToArgb(0xFFA8FF);
constexpr Gdiplus::ARGB kMapExLabelColour = toolkit::RgbToArgb(0xFFFFFF);
constexpr Gdiplus::ARGB kMapExMarkFillColour = toolkit::RgbToArgb(0xFFFFFF, 150);
constexpr Gdiplus::ARGB kMapExMarkTextColour = toolkit::RgbToArgb(0xFF0090);
constexpr Gdiplus::ARGB kMapExMarkEffectColour = toolkit::RgbToArgb(0xFF8800, 200);
// A screen label is drawn into this square at the top left corner of its screen.
constexpr std::int32_t kMapExLabelBox = 100;

// The click and drag routines: plain routines taking (element handle, hovered x, hovered y),
// called through CallAddress, so a routine address that is not executable code is not called.
using MapExCellRoutine = std::uint32_t(__stdcall*)(toolkit::ElementHandle element, std::int32_t x,
                                                   std::int32_t y);

using MapExCells = std::vector<std::uint8_t>;
using MapExObjects = std::vector<std::int32_t>;

class Map_Ex : public toolkit::Element {
public:
    Map_Ex() = default;

    // Slot 0: clears the pictures and frees cells, objects, the composed pictures and both bars'
    // members. Slot 1: a deep copy on the process heap; pictures and composed pictures are
    // shared with the original (each lives while any holder keeps it).
    void FreeMembers() override;
    std::uint32_t Clone() override;

    // Slot 18: MapExPreFilter. Always 0, so bound routines and the class handler still run.
    LRESULT PreFilterMessage(HWND window, toolkit::ElementHandle handle, UINT message,
                             WPARAM wParam, LPARAM lParam) override;
    // Slot 19: as Page's class handler, handles nothing.
    LRESULT ClassMessageHandler(HWND window, toolkit::ElementHandle handle, UINT message,
                                WPARAM wParam, LPARAM lParam) override;

    // ---- Slots 91-109, in MapExSlot order ----

    // A bar's position changed: the bar along the layout's axis moves the view; either repaints.
    virtual void MapExOnScroll(toolkit::ElementHandle bar, std::int32_t value);
    virtual void MapExPaint();
    // Stores rows and columns per screen (kWorkOut: worked out from the cells) and works the
    // grid out again for the cells held. Takes effect at the next render.
    virtual void MapExSetGrid(std::int32_t rows, std::int32_t columns);
    // The cell under the pointer position packed as in a mouse message's lParam becomes the
    // hovered cell.
    virtual void MapExHitTest(LPARAM lParam);
    // parent: a host window's HWND or a parent element's handle. rows and columns per screen,
    // either may be kWorkOut. The element handle, or 0.
    virtual toolkit::ElementHandle MapExCreate(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                               std::int32_t width, std::int32_t height,
                                               std::int32_t rows, std::int32_t columns);
    // A picture strip: loads the folder's pictures (MapExLoadPictures), shows each once, in
    // order (cells 0, 1, … n - 1), and renders them. The folder is GBK text ending in "\".
    virtual void MapExSetFolder(const std::string& folder);
    // Cells: one tile number per cell, screen after screen, each screen row by row. A copy is
    // kept, and rows or columns given as kWorkOut are worked out from its length.
    virtual void MapExSetCells(const MapExCells& cells);
    // Packed objects (list number in bits 0-7, then the three record bytes); a copy is kept.
    virtual void MapExSetObjects(const MapExObjects& objects);
    // Paints one cell and repaints. Horizontal: 0 <= y < rows and 0 <= x < screens x columns;
    // vertical: 0 <= x < columns and 0 <= y < screens x rows. Anything else changes nothing.
    // A value outside 0..255 is no cell value and changes nothing either. Both layouts index
    // and draw the cell by the horizontal rules (vertical editing is not supported: the hit
    // test counts rows from the bottom there, this does not).
    virtual void MapExSetCell(std::int32_t x, std::int32_t y, std::int32_t value);
    // Draws the picture of the cell's value at (x × 32, y × 32) of the cells picture.
    virtual void MapExDrawCell(std::int32_t x, std::int32_t y);
    // Replaces the pictures with folder + "00.bmp", "01.bmp", … up to the first missing name
    // (at most kMapExMaxPictures); returns how many there are. A file that exists but cannot be
    // decoded keeps its place as a picture that draws nothing.
    virtual std::int32_t MapExLoadPictures(const std::string& folder);
    virtual void MapExClearPictures();
    // Composes the cells picture anew (with the screen boundary lines), resets the scroll
    // position and sets the bars' ranges. Without a drawable grid the picture is dropped.
    virtual void MapExRenderCells();
    // Composes the objects picture anew (screen labels and object marks), resets the scroll
    // position and sets the bars' ranges.
    virtual void MapExRenderObjects();
    // 0 horizontal layout, anything else vertical. Takes effect at the next render.
    virtual void MapExSetVertical(std::int32_t value);
    // The composed cells picture, or null before the first render or without a drawable grid.
    // It stays the control's.
    virtual Gdiplus::GpBitmap* MapExGetPicture();
    // Routines given as addresses (toolkit::AddressOf(&routine)); 0 removes one.
    virtual void MapExSetClickHandler(std::uint32_t routine);
    virtual void MapExSetDragHandler(std::uint32_t routine);
    // A copy of the cells.
    virtual MapExCells MapExGetCells();

    // ---- Not slots ----

    // Sets cell number index (0-based, as in the cells) and draws it where the layout shows it,
    // in place of what was drawn there: a value without a picture leaves the cell empty, as a
    // render would. A cell outside the whole screens or a value outside 0..255 changes nothing.
    // Unlike MapExSetCell it names the same cell in both layouts.
    void SetCellByIndex(std::int32_t index, std::int32_t value);

    // What the control holds, for the program and tests.

    // The grid per screen as worked out for the cells held (kWorkOut values resolved).
    std::int32_t Rows() const { return m_grid.rows; }
    std::int32_t Columns() const { return m_grid.columns; }
    // Whole screens in the cells; 0 without a drawable grid.
    std::int32_t ScreenCount() const;
    std::int32_t CellCount() const { return static_cast<std::int32_t>(m_cells.size()); }
    bool Vertical() const { return m_grid.vertical; }
    std::int32_t PictureCount() const { return static_cast<std::int32_t>(m_pictures.size()); }
    const MapExObjects& Objects() const { return m_objects; }
    Gdiplus::GpBitmap* ObjectsPicture() const { return m_objectsPicture.get(); }
    PixelPoint HoveredCell() const { return m_hovered; }
    std::int32_t ScrollPosition() const { return m_scroll; }
    bool Pressed() const { return m_pressed; }
    toolkit::ScrollBar& HorizontalBar() { return m_horizontalBar; }
    toolkit::ScrollBar& VerticalBar() { return m_verticalBar; }

private:
    using SharedImage = std::shared_ptr<Gdiplus::GpImage>;
    using SharedBitmap = std::shared_ptr<Gdiplus::GpBitmap>;
    using SharedGraphics = std::shared_ptr<Gdiplus::GpGraphics>;

    LRESULT MapExMessageRoutine(UINT message, LPARAM lParam);
    void OnCreated();
    void CallCellRoutine(std::uint32_t routine);
    void ReleasePictures();
    void ResolveGridForCells();
    // A new transparent picture of the composed size and a graphics on it; false (both empty)
    // when GDI+ refused either or the grid is not drawable.
    bool MakeComposedPicture(SharedBitmap& picture, SharedGraphics& graphics) const;
    void DrawPicture(Gdiplus::GpGraphics* graphics, std::int32_t value, std::int32_t x,
                     std::int32_t y) const;
    void DrawObjectMark(Gdiplus::GpGraphics* graphics, std::int32_t packed) const;
    void ResetScrolling(std::int32_t width, std::int32_t height);
    std::int32_t HeightOf(const SharedBitmap& picture) const;

    MapExCells m_cells;
    // As given: kWorkOut stays kWorkOut here, so each new cell set works it out again.
    std::int32_t m_rowsGiven = 0;
    std::int32_t m_columnsGiven = 0;
    MapExGrid m_grid;
    std::vector<SharedImage> m_pictures;
    SharedBitmap m_cellsPicture;
    SharedGraphics m_cellsGraphics;
    toolkit::ScrollBar m_horizontalBar;
    toolkit::ScrollBar m_verticalBar;
    std::int32_t m_scroll = 0;
    PixelPoint m_hovered;
    SharedBitmap m_objectsPicture;
    SharedGraphics m_objectsGraphics;
    MapExObjects m_objects;
    bool m_pressed = false;
    std::uint32_t m_clickRoutine = 0;
    std::uint32_t m_dragRoutine = 0;
};

}  // namespace preview

// Sections: object slots; messages and routines; the grid, cells and objects; pictures; the
// composed pictures; painting.
#include "mapex/MapEx.h"

#include <algorithm>
#include <utility>

#include "controls/TextDrawing.h"
#include "core/ElementMessages.h"
#include "core/ElementPaint.h"
#include "foundation/CallAddress.h"
#include "foundation/Drawing.h"
#include "foundation/GdiPlusHandles.h"
#include "foundation/ImageHelpers.h"
#include "foundation/Toolkit.h"
#include "foundation/Win32Handles.h"

namespace preview {

namespace gp = Gdiplus::DllExports;
using toolkit::ElementHandle;

namespace {

constexpr char kPictureExtension[] = ".bmp";
constexpr std::int32_t kLargestCellValue = 255;
// Far beyond any tile picture; a larger file is not read into memory.
constexpr LONGLONG kMaxPictureBytes = 16 * 1024 * 1024;
// The boundary lines are one pixel wide.
constexpr float kBoundaryWidth = 1.0f;
constexpr Gdiplus::ARGB kTransparent = 0;

// Pointer positions are signed 16-bit words: a captured pointer left of or above the element
// reports negative coordinates, which the hit test floors to negative cells.
std::int32_t PointerX(LPARAM lParam) {
    return static_cast<std::int16_t>(LOWORD(lParam));
}

std::int32_t PointerY(LPARAM lParam) {
    return static_cast<std::int16_t>(HIWORD(lParam));
}

template <typename T, typename Handle>
std::shared_ptr<T> Share(Handle handle) {
    T* object = handle.release();
    if (object == nullptr) {
        return {};
    }
    return std::shared_ptr<T>(object, [](T* owned) { Handle dropped(owned); });
}

// Composed pictures are copied pixel for pixel: no smoothing between tile pictures, and each
// picture pixel lands on one pixel.
void SetExactDrawing(Gdiplus::GpGraphics* graphics) {
    gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
    gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeNone);
}

// The image at its own pixel size with its top left corner at (x, y).
void DrawAtOwnSize(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image, std::int32_t x,
                   std::int32_t y) {
    const int width = toolkit::GetImageWidth(image);
    const int height = toolkit::GetImageHeight(image);
    if (width > 0 && height > 0) {
        gp::GdipDrawImageRectI(graphics, image, x, y, width, height);
    }
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A picture is decoded from a copy of its bytes: GDI+ keeps a file it loads open for as long as
// the picture lives, which would stop the user from saving the picture while it is shown.
toolkit::GpImagePtr LoadPicture(const std::string& path) {
    toolkit::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > kMaxPictureBytes) {
        return {};
    }
    toolkit::ByteArray bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        return {};
    }
    return toolkit::LoadImageFromBytes(bytes);
}

// Bound to both bars' position notices with the control's handle as owner.
std::uint32_t __stdcall BarMoved(std::uint32_t owner, std::uint32_t bar, std::uint32_t position,
                                 std::uint32_t) {
    auto* map = static_cast<Map_Ex*>(toolkit::ElementFromHandle(owner));
    if (map != nullptr && map->m_classTypeId == kMapExTypeId) {
        map->MapExOnScroll(bar, static_cast<std::int32_t>(position));
    }
    return 0;
}

}  // namespace

// ---- Object slots -------------------------------------------------------------------------------

void Map_Ex::FreeMembers() {
    ReleasePictures();
    MapExCells().swap(m_cells);
    MapExObjects().swap(m_objects);
    m_horizontalBar.FreeMembers();
    m_verticalBar.FreeMembers();
}

std::uint32_t Map_Ex::Clone() {
    // The copy duplicates cells, objects, the picture list and the bars; the pictures and the
    // composed pictures are shared, and live while either object holds them.
    return toolkit::AddressOf(toolkit::CloneOnProcessHeap(*this));
}

void Map_Ex::ReleasePictures() {
    MapExClearPictures();
    // Each graphics before the bitmap it draws on.
    m_cellsGraphics.reset();
    m_cellsPicture.reset();
    m_objectsGraphics.reset();
    m_objectsPicture.reset();
}

LRESULT Map_Ex::PreFilterMessage(HWND, ElementHandle, UINT message, WPARAM, LPARAM lParam) {
    return MapExMessageRoutine(message, lParam);
}

LRESULT Map_Ex::ClassMessageHandler(HWND, ElementHandle, UINT, WPARAM, LPARAM) {
    return 0;
}

// ---- Messages and routines ----------------------------------------------------------------------

LRESULT Map_Ex::MapExMessageRoutine(UINT message, LPARAM lParam) {
    constexpr LRESULT kGoOn = 0;
    switch (message) {
        case WM_CREATE:
            OnCreated();
            break;
        case WM_DESTROY:
            // The pictures are GDI+ objects: they go with the window, not later with the object,
            // which may outlive GDI+ itself.
            ReleasePictures();
            m_pressed = false;
            break;
        case WM_PAINT:
            MapExPaint();
            break;
        case WM_MOUSEMOVE:
            MapExHitTest(lParam);
            if (m_pressed) {
                CallCellRoutine(m_dragRoutine);
            }
            break;
        case WM_LBUTTONDOWN:
            MapExHitTest(lParam);
            m_pressed = true;
            CallCellRoutine(m_dragRoutine);
            break;
        case WM_LBUTTONUP:
            MapExHitTest(lParam);
            CallCellRoutine(m_dragRoutine);
            // The routine may have ended the element (a message box pumps messages).
            if (m_self == this) {
                m_pressed = false;
            }
            break;
        case toolkit::kMsgClick:
            MapExHitTest(lParam);
            CallCellRoutine(m_clickRoutine);
            break;
        default:
            break;
    }
    return kGoOn;
}

void Map_Ex::OnCreated() {
    toolkit::ScrollBarCreateOptions bar;
    bar.pageStep = kMapExScrollStep;
    bar.lineStep = kMapExScrollStep;
    const std::uint32_t owner = m_handle;
    if (m_horizontalBar.CreateScrollBar(owner, 0, m_height - kMapExBarThickness,
                                        m_width - kMapExBarThickness, kMapExBarThickness,
                                        bar) != 0) {
        m_horizontalBar.OnPositionChanged(toolkit::AddressOf(&BarMoved), owner);
    }
    bar.orientation = kMapExVerticalBar;
    if (m_verticalBar.CreateScrollBar(owner, m_width - kMapExBarThickness, 0, kMapExBarThickness,
                                      m_height - kMapExBarThickness, bar) != 0) {
        m_verticalBar.OnPositionChanged(toolkit::AddressOf(&BarMoved), owner);
    }
}

void Map_Ex::CallCellRoutine(std::uint32_t routine) {
    if (routine == 0 || m_self != this) {
        return;
    }
    // A copy: the routine may change the hovered cell through another message.
    const PixelPoint cell = m_hovered;
    toolkit::CallAddress(routine, {m_handle, cell.x, cell.y});
}

void Map_Ex::MapExOnScroll(ElementHandle bar, std::int32_t value) {
    const bool alongLayout =
        m_grid.vertical ? bar == m_verticalBar.m_handle : bar == m_horizontalBar.m_handle;
    if (alongLayout) {
        m_scroll = value;
    }
    InvalidateElement();
}

void Map_Ex::MapExHitTest(LPARAM lParam) {
    m_hovered =
        HitTest(m_grid, HeightOf(m_cellsPicture), m_scroll, PointerX(lParam), PointerY(lParam));
}

ElementHandle Map_Ex::MapExCreate(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height, std::int32_t rows,
                                  std::int32_t columns) {
    MapExSetGrid(rows, columns);
    return CreateElement(parent, x, y, width, height, kMapExTypeId, kMapExClassName, {});
}

void Map_Ex::MapExSetClickHandler(std::uint32_t routine) {
    m_clickRoutine = routine;
}

void Map_Ex::MapExSetDragHandler(std::uint32_t routine) {
    m_dragRoutine = routine;
}

// ---- The grid, cells and objects ----------------------------------------------------------------

void Map_Ex::ResolveGridForCells() {
    const bool vertical = m_grid.vertical;
    m_grid = ResolveGrid({m_rowsGiven, m_columnsGiven, vertical}, CellCount());
}

void Map_Ex::MapExSetGrid(std::int32_t rows, std::int32_t columns) {
    m_rowsGiven = rows;
    m_columnsGiven = columns;
    ResolveGridForCells();
}

void Map_Ex::MapExSetVertical(std::int32_t value) {
    m_grid.vertical = value != 0;
}

std::int32_t Map_Ex::ScreenCount() const {
    return ScreenCountOf(m_grid, CellCount());
}

void Map_Ex::MapExSetCells(const MapExCells& cells) {
    m_cells = cells;
    ResolveGridForCells();
}

MapExCells Map_Ex::MapExGetCells() {
    return m_cells;
}

void Map_Ex::MapExSetObjects(const MapExObjects& objects) {
    m_objects = objects;
}

void Map_Ex::MapExSetCell(std::int32_t x, std::int32_t y, std::int32_t value) {
    const int index = CellIndexAt(m_grid, CellCount(), x, y);
    if (index < 0 || value < 0 || value > kLargestCellValue) {
        return;
    }
    m_cells[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value);
    MapExDrawCell(x, y);
    InvalidateElement();
}

void Map_Ex::MapExDrawCell(std::int32_t x, std::int32_t y) {
    const int index = CellIndexAt(m_grid, CellCount(), x, y);
    if (index < 0 || !m_cellsGraphics) {
        return;
    }
    DrawPicture(m_cellsGraphics.get(), m_cells[static_cast<std::size_t>(index)], x * kCellPixels,
                y * kCellPixels);
}

void Map_Ex::SetCellByIndex(std::int32_t index, std::int32_t value) {
    const std::int32_t shownCells = ScreenCount() * m_grid.rows * m_grid.columns;
    if (index < 0 || index >= shownCells || value < 0 || value > kLargestCellValue) {
        return;
    }
    m_cells[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value);
    if (Gdiplus::GpGraphics* graphics = m_cellsGraphics.get()) {
        const PixelPoint at = CellOrigin(m_grid, CellCount(), index);
        // Copied rather than blended, so the old picture goes even where the new one is
        // transparent or missing.
        gp::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
        toolkit::FillRect(graphics,
                          Gdiplus::RectF(static_cast<float>(at.x), static_cast<float>(at.y),
                                         kCellPixels, kCellPixels),
                          kTransparent);
        gp::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceOver);
        DrawPicture(graphics, value, at.x, at.y);
    }
    InvalidateElement();
}

// ---- Pictures -----------------------------------------------------------------------------------

void Map_Ex::MapExSetFolder(const std::string& folder) {
    const std::int32_t count = MapExLoadPictures(folder);
    MapExCells cells(static_cast<std::size_t>(count));
    for (std::int32_t k = 0; k < count; ++k) {
        cells[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k);
    }
    MapExSetCells(cells);
    MapExRenderCells();
}

std::int32_t Map_Ex::MapExLoadPictures(const std::string& folder) {
    MapExClearPictures();
    for (std::int32_t k = 0; k < kMapExMaxPictures; ++k) {
        const std::string path = folder + PictureName(k) + kPictureExtension;
        if (!FileExists(path)) {
            break;
        }
        // A picture that does not decode still holds its number's place, so that every later
        // cell value keeps naming its own file.
        m_pictures.push_back(Share<Gdiplus::GpImage>(LoadPicture(path)));
    }
    return PictureCount();
}

void Map_Ex::MapExClearPictures() {
    std::vector<SharedImage>().swap(m_pictures);
}

void Map_Ex::DrawPicture(Gdiplus::GpGraphics* graphics, std::int32_t value, std::int32_t x,
                         std::int32_t y) const {
    if (value < 0 || value >= PictureCount()) {
        return;
    }
    if (Gdiplus::GpImage* picture = m_pictures[static_cast<std::size_t>(value)].get()) {
        DrawAtOwnSize(graphics, picture, x, y);
    }
}

// ---- The composed pictures ----------------------------------------------------------------------

std::int32_t Map_Ex::HeightOf(const SharedBitmap& picture) const {
    return picture ? toolkit::GetImageHeight(picture.get()) : 0;
}

bool Map_Ex::MakeComposedPicture(SharedBitmap& picture, SharedGraphics& graphics) const {
    graphics.reset();
    picture.reset();
    if (ScreenCount() == 0) {
        return false;
    }
    const PixelPoint size = PictureSize(m_grid, CellCount());
    toolkit::GpBitmapPtr bitmap = toolkit::CreateBitmap(size.x, size.y);
    if (!bitmap) {
        return false;
    }
    toolkit::GpGraphicsPtr canvas = toolkit::GetImageGraphics(bitmap.get());
    if (!canvas || !toolkit::ClearGraphics(canvas.get(), 0)) {
        return false;
    }
    SetExactDrawing(canvas.get());
    picture = Share<Gdiplus::GpBitmap>(std::move(bitmap));
    graphics = Share<Gdiplus::GpGraphics>(std::move(canvas));
    return true;
}

void Map_Ex::ResetScrolling(std::int32_t width, std::int32_t height) {
    m_scroll = 0;
    if (m_horizontalBar.IsElementAlive()) {
        m_horizontalBar.MaxValue(width);
        // The view starts at the left again, and so does the thumb: left where it was, the
        // next step would move the view on from the old place.
        m_horizontalBar.Position(0);
    }
    if (m_verticalBar.IsElementAlive()) {
        m_verticalBar.MaxValue(height);
        // The vertical layout starts at the bottom, where its first screen lies; the bar's
        // notice moves the view there.
        m_verticalBar.Position(m_verticalBar.MaxValue());
    }
}

void Map_Ex::MapExRenderCells() {
    if (!MakeComposedPicture(m_cellsPicture, m_cellsGraphics)) {
        ResetScrolling(0, 0);
        InvalidateElement();
        return;
    }
    Gdiplus::GpGraphics* graphics = m_cellsGraphics.get();
    const std::int32_t width = toolkit::GetImageWidth(m_cellsPicture.get());
    const std::int32_t height = toolkit::GetImageHeight(m_cellsPicture.get());
    const std::int32_t screens = ScreenCount();
    const std::int32_t perScreen = m_grid.rows * m_grid.columns;
    for (std::int32_t i = 0; i < screens; ++i) {
        for (std::int32_t cell = i * perScreen; cell < (i + 1) * perScreen; ++cell) {
            const PixelPoint at = CellOrigin(m_grid, CellCount(), cell);
            DrawPicture(graphics, m_cells[static_cast<std::size_t>(cell)], at.x, at.y);
        }
        // Each boundary line is drawn after its screen, so the next screen does not cover it.
        // A one-pixel rectangle rather than a pen: it covers exactly its pixels whatever the
        // graphics' pixel offset.
        const Gdiplus::RectF line =
            m_grid.vertical ? Gdiplus::RectF(0, static_cast<float>(i * m_grid.rows * kCellPixels),
                                             static_cast<float>(width), kBoundaryWidth)
                            : Gdiplus::RectF(static_cast<float>(i * m_grid.columns * kCellPixels),
                                             0, kBoundaryWidth, static_cast<float>(height));
        toolkit::FillRect(graphics, line, kMapExBoundaryColour);
    }
    ResetScrolling(width, height);
    InvalidateElement();
}

void Map_Ex::MapExRenderObjects() {
    if (!MakeComposedPicture(m_objectsPicture, m_objectsGraphics)) {
        ResetScrolling(0, 0);
        InvalidateElement();
        return;
    }
    Gdiplus::GpGraphics* graphics = m_objectsGraphics.get();
    const std::int32_t screens = ScreenCount();
    Gdiplus::GpFont* font = toolkit::Toolkit().defaultFont;
    for (std::int32_t i = 1; i <= screens; ++i) {
        // Labels stand at the top of each screen's column of the horizontal layout, in both
        // layouts.
        const Gdiplus::RectF box(static_cast<float>((i - 1) * m_grid.columns * kCellPixels), 0,
                                 kMapExLabelBox, kMapExLabelBox);
        const std::wstring label = Widen(ScreenLabel(i));
        toolkit::DrawTextWithEffect(graphics, box, label.c_str(), font, kMapExLabelColour, nullptr,
                                    toolkit::kTextEffectNone);
    }
    for (const std::int32_t packed : m_objects) {
        DrawObjectMark(graphics, packed);
    }
    ResetScrolling(toolkit::GetImageWidth(m_objectsPicture.get()),
                   toolkit::GetImageHeight(m_objectsPicture.get()));
    InvalidateElement();
}

void Map_Ex::DrawObjectMark(Gdiplus::GpGraphics* graphics, std::int32_t packed) const {
    toolkit::GpBitmapPtr mark = toolkit::CreateBitmap(kCellPixels, kCellPixels);
    if (!mark) {
        return;
    }
    {
        toolkit::GpGraphicsPtr canvas = toolkit::GetImageGraphics(mark.get());
        if (!canvas || !toolkit::ClearGraphics(canvas.get(), kMapExMarkFillColour)) {
            return;
        }
        const Gdiplus::RectF box(0, 0, kCellPixels, kCellPixels);
        const std::wstring text = Widen(ObjectMarkText(packed));
        toolkit::DrawTextWithEffect(canvas.get(), box, text.c_str(), toolkit::Toolkit().defaultFont,
                                    kMapExMarkTextColour, nullptr, toolkit::kTextEffectNone,
                                    kMapExMarkEffectColour);
    }
    const PixelPoint at = ObjectOrigin(m_grid, ScreenCount(), packed);
    DrawAtOwnSize(graphics, mark.get(), at.x, at.y);
}

Gdiplus::GpBitmap* Map_Ex::MapExGetPicture() {
    return m_cellsPicture.get();
}

// ---- Painting -----------------------------------------------------------------------------------

void Map_Ex::MapExPaint() {
    if (!IsElementAlive() || m_width <= 0 || m_height <= 0) {
        return;
    }
    toolkit::DrawContext context{};
    toolkit::BeginElementDraw(m_handle, &context);
    Gdiplus::GpGraphics* graphics = context.graphics;
    if (graphics != nullptr) {
        Gdiplus::GraphicsState saved = 0;
        gp::GdipSaveGraphics(graphics, &saved);
        SetExactDrawing(graphics);
        for (Gdiplus::GpBitmap* picture : {m_cellsPicture.get(), m_objectsPicture.get()}) {
            if (picture == nullptr) {
                continue;
            }
            const std::int32_t pictureWidth = toolkit::GetImageWidth(picture);
            const std::int32_t pictureHeight = toolkit::GetImageHeight(picture);
            // The view shows the picture unscaled, as the hit test reads it: where the picture
            // ends before the view does, the rest of the view stays empty.
            std::int32_t sourceX = 0;
            std::int32_t sourceY = 0;
            std::int32_t width = 0;
            std::int32_t height = 0;
            if (m_grid.vertical) {
                sourceY = m_scroll;
                width = std::min(m_grid.columns * kCellPixels, pictureWidth);
                height = VisibleExtent(m_height - kMapExBarThickness, pictureHeight, m_scroll);
            } else {
                sourceX = m_scroll;
                width = VisibleExtent(m_width, pictureWidth, m_scroll);
                height = std::min(m_grid.rows * kCellPixels, pictureHeight);
            }
            if (width > 0 && height > 0 && sourceX >= 0 && sourceY >= 0) {
                gp::GdipDrawImageRectRectI(graphics, picture, 0, 0, width, height, sourceX, sourceY,
                                           width, height, Gdiplus::UnitPixel, nullptr, nullptr,
                                           nullptr);
            }
        }
        gp::GdipRestoreGraphics(graphics, saved);
    }
    toolkit::EndElementDraw(m_handle, &context);
}

}  // namespace preview

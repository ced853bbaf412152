// Numbers that name parts of the element record from outside the Element class: field numbers
// (field n is the 32-bit word at byte offset 4n), state bits, anchor flags and method slots.
//
// Controls, the host window and the engine read and write element fields by number through
// ReadElementField and WriteElementField, so these numbers must never move; Element.h pins each
// one against the class layout.
#pragma once

#include <cstdint>

#include "foundation/EngineAbi.h"

namespace toolkit {

// The element handle: the address of the element's self cell (field 6). It names the element in
// carrier messages, timer ids (handle, and handle + 1 for the transition timer) and the engine.
using ElementHandle = std::uint32_t;

enum ElementField : std::uint32_t {
    kFieldMethodTable = 0,
    kFieldAlive = 1,
    kFieldHostWindow = 2,
    kFieldHandle = 3,
    kFieldHostRecord = 4,
    kFieldParent = 5,
    kFieldSelf = 6,
    kFieldDisabledLookDrawn = 7,
    kFieldCanvasBits = 8,
    kFieldCanvasGraphics = 9,
    kFieldClassTypeId = 10,
    kFieldId = 11,
    kFieldCursor = 12,
    kFieldState = 13,
    kFieldTabStop = 15,
    kFieldTabStopIndex = 16,
    kFieldPresentEnabled = 18,
    kFieldAlpha = 19,
    kFieldText = 20,
    kFieldTipText = 21,
    kFieldTransitionProgress = 22,  // a double over fields 22 and 23
    kFieldWidth = 24,
    kFieldHeight = 25,
    kFieldPrevSibling = 26,
    kFieldNextSibling = 27,
    kFieldDrawTabStop = 29,
    kFieldTransitionInterval = 30,
    kFieldTransitionFrames = 31,
    kFieldCurrentFrame = 32,
    kFieldEasing = 33,
    kFieldFirstChild = 34,
    kFieldLastChild = 35,
    kFieldHostFlag = 36,
    kFieldAlphaHitTest = 37,
    kFieldPressedCursor = 41,
    kFieldMouseTrack = 42,
    kFieldCanvasDc = 43,
    kFieldCanvasBitmap = 44,
    kFieldAnchors = 45,
    kFieldClassName = 46,
    kFieldFont = 47,
    kFieldSnapshotDc = 48,
    kFieldSnapshotBitmap = 49,
    kFieldNextTab = 50,
    kFieldEngineCreated = 51,
    kFieldEventTable = 52,
    kFieldLeft = 53,
    kFieldTop = 54,
    kFieldRight = 55,
    kFieldBottom = 56,
    kFieldDirtyX = 57,  // fields 57-60 are 32-bit floats
    kFieldDirtyY = 58,
    kFieldDirtyWidth = 59,
    kFieldDirtyHeight = 60,
    kFieldAnchorMarginLeft = 61,
    kFieldAnchorMarginTop = 62,
    kFieldAnchorMarginRight = 63,
    kFieldAnchorMarginBottom = 64,
    kFieldWindowLeft = 65,
    kFieldWindowTop = 66,
    kFieldWindowRight = 67,
    kFieldWindowBottom = 68,
    kElementFieldCount = 69,
};

static_assert(kFieldSelf == engine_abi::kFieldSelfCell,
              "the handle cell is shared with the engine");
static_assert(kFieldAlive == engine_abi::kFieldAlive && kFieldText == engine_abi::kFieldText,
              "the engine reads the alive flag and writes the text");

// State bits (field 13).
enum ElementState : std::uint32_t {
    kStateDisabled = 0x1,
    kStateFocused = 0x4,
    kStatePressed = 0x8,
    kStateHover = 0x80,
    kStateTransition = 0x4000,
    kStateHidden = 0x8000,
    kStateFocusable = 0x100000,
};

// Anchor flags (field 45).
enum ElementAnchor : std::uint32_t {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
};

// Class type ids (field 10) that the core itself tests for.
enum ElementClassType : std::int32_t {
    kClassTypeSysButton = 1,
    kClassTypeLabel = 2,
    kClassTypeImageBox = 3,
    kClassTypePage = 19,  // containers: a 1 x 1 canvas, whatever their size
};

// Method slots of the element base operations that other code calls by number.
enum ElementSlot : std::uint32_t {
    kSlotFreeMembers = 0,
    kSlotClone = 1,
    kSlotGetSelf = 2,
    kSlotBindDestroy = 3,
    kSlotBindChar = 16,
    kSlotElementWndProc = 17,
    kSlotPreFilterMessage = 18,
    kSlotClassMessageHandler = 19,
    kSlotCreateElement = 20,
    kSlotTransitionStep = 21,
    kSlotCreateElementFromLayout = 22,
    kSlotAttachElement = 23,
    kSlotDestroyElement = 32,
    kSlotAdjustFocusRect = 65,
    kSlotGetCallingSlot = 83,
    kSlotBindSetFocus = 85,
    kSlotBindDropFiles = 90,
    kElementBaseSlotCount = 91,  // class operations start here
};

static_assert(static_cast<std::uint32_t>(kSlotFreeMembers) == engine_abi::kSlotFreeMembers,
              "slot shared with the engine");
static_assert(static_cast<std::uint32_t>(kSlotClone) == engine_abi::kSlotClone,
              "slot shared with the engine");
static_assert(static_cast<std::uint32_t>(kSlotGetSelf) == engine_abi::kSlotSelf,
              "slot shared with the engine");
static_assert(static_cast<std::uint32_t>(kSlotElementWndProc) == engine_abi::kSlotElementProc,
              "slot shared with the engine");

// Event-table size of elements and host windows.
constexpr std::uint32_t kEventTableBuckets = 12;

}  // namespace toolkit

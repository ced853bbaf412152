// Event tables and element messages by handle: binding user routines, raising events, and the
// carrier message that takes element messages through their host window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "core/ElementFields.h"

namespace toolkit {

// Calls slot 17 of the element named by the handle; 0 for a null or stale handle.
LRESULT CallElementProc(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam);
// Sends or posts the message through the element's host window (carrier 20103).
LRESULT SendToElement(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostToElement(ElementHandle handle, UINT message, WPARAM wParam, LPARAM lParam);
// The host window's side of the carrier: calls the element and frees the block. A value that
// is not a block the toolkit carries is ignored (0).
LRESULT DeliverCarriedMessage(WPARAM handle, LPARAM block);
// Frees the blocks of the messages still posted to the window, which goes without taking them.
void ReleaseCarriedMessages(HWND window);
// The messages posted to the window and not yet taken.
std::size_t CarriedMessagesPending(HWND window);

// Binds a routine (and the owner it is called on, 0 for none) to a message in the event table
// of an element or host window, named by its handle; 0 when it has no event table.
std::uint32_t BindElementEvent(std::uint32_t handle, std::uint32_t message, std::uint32_t routine,
                               std::uint32_t owner);
// Calls the routine bound to the message with the arguments (owner first when bound with
// one); the routine's result, or 0 when nothing is bound.
std::uint32_t RaiseElementEvent(std::uint32_t handle, std::uint32_t message,
                                std::initializer_list<std::uint32_t> arguments);

// The modifier mask of the keys held down now (kModifierControl, Shift, Alt).
std::uint32_t CurrentModifierMask();

}  // namespace toolkit

// Pushing a layered host window's back buffer to the screen.
//
// A push (UpdateLayeredWindowIndirect) hands the system the changed part of the back buffer.
// While a present batch is open (foundation/PresentBatch.h) the changed parts are gathered per
// window and pushed once when the batch closes, or before a nested loop waits.
#pragma once

#include <windows.h>

#include "core/HostRecord.h"

namespace toolkit {

// Pushes the part `dirty` of the back buffer at once, with whatever of it is still pending.
// Null presents the whole window: what differs from what was pushed before goes. The whole window
// goes when the screen may hold nothing of it (first push, new size, layering or visibility).
void PushLayeredWindow(HostRecordFields* host, const RECT* dirty);
// Pushes the part `dirty` now, or when the open batch closes.
void PushOrQueueLayeredWindow(HostRecordFields* host, const RECT& dirty);
// Pushes every pending part of every window.
void FlushLayeredPushes();
// Forgets the window: called when it goes, so that nothing is pushed for it later.
void ForgetLayeredWindow(HostRecordFields* host);
// True while a part of the window waits for its push.
bool LayeredPushPending(const HostRecordFields* host);

// The routine that hands a push to the system, with UpdateLayeredWindowIndirect's contract.
using LayeredPushRoutine = BOOL(WINAPI*)(HWND window, const UPDATELAYEREDWINDOWINFO* info);
// Replaces the routine that hands pushes to the system; null restores UpdateLayeredWindowIndirect.
// What a layered window shows cannot be read back (its window DC reads black), so this is where
// a test sees what reaches the screen, and makes a push fail.
void SetLayeredPushRoutine(LayeredPushRoutine routine);

// The message a host window posts itself when a part waits for its push while messages are
// dispatched by a loop the toolkit does not know (the system's move and size loops, its
// dialogs): handling it pushes what is pending.
UINT FlushPresentsMessage();

}  // namespace toolkit

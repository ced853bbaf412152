// Batching of the pushes of layered windows to the screen.
//
// Pushing a layered window (UpdateLayeredWindow) costs milliseconds whatever the size of the
// change, so the presents of one window message are gathered and pushed once when the message
// is done: a window procedure or a timer routine opens a PresentBatch, and what the elements
// present meanwhile waits until the outermost batch closes. Outside any batch a push happens at
// once, as before.
//
// A loop nested in a handler (an easing animation, a message box, a menu, a drop-down) would
// otherwise keep the screen waiting until it ends: it opens a NestedLoopScope, which pushes what
// is pending before the loop first waits or pumps, and lets the messages the loop dispatches be
// batches of their own.
//
// The queue of pending pushes belongs to the element core; it hands its flush routine over with
// SetPendingPresentFlusher. There is one UI thread, so nothing here is locked.
#pragma once

namespace toolkit {

using PendingPresentFlusher = void (*)();

// The routine that pushes every pending present; null for none.
void SetPendingPresentFlusher(PendingPresentFlusher flusher);
// Pushes every pending present now.
void FlushPendingPresents();
// True while a batch is open: a present then waits for the batch's end.
bool PresentBatchOpen();

// Opened by whatever starts the handling of one message.
class PresentBatch {
public:
    PresentBatch();
    ~PresentBatch();
    PresentBatch(const PresentBatch&) = delete;
    PresentBatch& operator=(const PresentBatch&) = delete;
};

// Opened by a loop that waits or pumps messages inside a handler.
class NestedLoopScope {
public:
    NestedLoopScope();
    ~NestedLoopScope();
    NestedLoopScope(const NestedLoopScope&) = delete;
    NestedLoopScope& operator=(const NestedLoopScope&) = delete;

private:
    int m_savedDepth;
};

}  // namespace toolkit

#include "foundation/PresentBatch.h"

namespace toolkit {

namespace {

PendingPresentFlusher g_flusher = nullptr;
int g_depth = 0;

}  // namespace

void SetPendingPresentFlusher(PendingPresentFlusher flusher) {
    g_flusher = flusher;
}

void FlushPendingPresents() {
    if (g_flusher != nullptr) {
        g_flusher();
    }
}

bool PresentBatchOpen() {
    return g_depth > 0;
}

PresentBatch::PresentBatch() {
    ++g_depth;
}

PresentBatch::~PresentBatch() {
    // Batches and nested loops open and close strictly inside one another, so the depth a
    // nested loop set to zero is back where it was before the batch around the loop closes.
    if (--g_depth == 0) {
        FlushPendingPresents();
    }
}

NestedLoopScope::NestedLoopScope() : m_savedDepth(g_depth) {
    FlushPendingPresents();
    g_depth = 0;
}

NestedLoopScope::~NestedLoopScope() {
    g_depth = m_savedDepth;
}

}  // namespace toolkit

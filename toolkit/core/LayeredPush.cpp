#include "core/LayeredPush.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "foundation/AllocationMayFail.h"
#include "foundation/PixelRect.h"
#include "foundation/PresentBatch.h"

namespace toolkit {

namespace {

constexpr BYTE kOpaque = 255;
constexpr WORD kBitsPerPixel = 32;
constexpr wchar_t kFlushMessageName[] = L"Vennmark.FlushPresents";

// What is known of one layered window: the part waiting for its push, and what the screen
// shows of it. The screen's copy is known only while the window keeps the size, layering and
// visibility it had at the push that made the copy; otherwise the next push hands over the whole
// window.
struct PushRecord {
    HostRecordFields* host;
    HWND window;
    std::uint32_t ownHandle;
    RECT pending;  // empty: nothing waits
    bool flushPosted;
    bool pushing;  // a push of the window is under way
    int failuresInARow;
    std::uint32_t flushRound;  // the last flush that visited the record
    bool screenKnown;
    SIZE shownSize;
    std::int32_t shownAlpha;
    bool shownVisible;
    std::vector<std::uint32_t> screen;  // the pixels pushed last, row by row
};

// A push sends messages whose handlers may make windows or destroy them, which moves or drops
// records: nothing holds a record across a push; it is looked up again afterwards.
std::vector<PushRecord> g_records;
std::uint32_t g_lastFlushRound = 0;
LayeredPushRoutine g_pushRoutine = &UpdateLayeredWindowIndirect;

PushRecord* FindRecord(const HostRecordFields* host) {
    for (PushRecord& record : g_records) {
        if (record.host == host && record.window == host->window &&
            record.ownHandle == host->ownHandle) {
            return &record;
        }
    }
    return nullptr;
}

// The record of the window, made on first use; null when there is no memory for it.
PushRecord* RecordOf(HostRecordFields* host) {
    if (PushRecord* found = FindRecord(host)) {
        return found;
    }
    // A stale record of an object that once lived at the same address goes first.
    ForgetLayeredWindow(host);
    PushRecord record{};
    record.host = host;
    record.window = host->window;
    record.ownHandle = host->ownHandle;
    try {
        g_records.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return &g_records.back();
}

// True while the record's window is still served by its host: the host's property names it
// and the host has not begun closing.
bool StillServed(const PushRecord& record) {
    return IsWindow(record.window) && GetControlFromWindow(record.window) == record.ownHandle &&
           record.host->window == record.window && record.host->closing == 0;
}

// The back buffer's pixels, when it is the 32-bit canvas of the window's size that the host
// makes (top-down: Wine reports its height without the sign); null otherwise.
const std::uint32_t* BackBufferPixels(const HostRecordFields* host, SIZE size) {
    DIBSECTION section{};
    if (host->frameBitmap == nullptr ||
        GetObjectW(host->frameBitmap, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != kBitsPerPixel ||
        section.dsBm.bmWidth != size.cx || section.dsBm.bmHeight != size.cy) {
        return nullptr;
    }
    GdiFlush();  // GDI may still hold drawing into the section
    return static_cast<const std::uint32_t*>(section.dsBm.bmBits);
}

// The smallest rectangle holding every pixel where the back buffer differs from the screen's
// copy; empty when they are equal.
RECT ChangedBounds(const std::uint32_t* pixels, const std::vector<std::uint32_t>& screen,
                   SIZE size) {
    const PixelRect area = ClipToCanvas(0, 0, size.cx, size.cy, size.cx, size.cy);
    if (area.Empty() || screen.size() != static_cast<std::size_t>(size.cx) * size.cy) {
        return RECT{};
    }
    PixelRect changed{};
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* now = pixels + static_cast<std::size_t>(y) * size.cx;
        const std::uint32_t* was = screen.data() + static_cast<std::size_t>(y) * size.cx;
        if (std::memcmp(now + area.left, was + area.left,
                        static_cast<std::size_t>(area.Width()) * sizeof *now) == 0) {
            continue;
        }
        int left = area.left;
        while (now[left] == was[left]) {
            ++left;
        }
        int right = area.right;
        while (now[right - 1] == was[right - 1]) {
            --right;
        }
        changed = UnionRect(changed, PixelRect{left, y, right, y + 1});
    }
    return RECT{changed.left, changed.top, changed.right, changed.bottom};
}

// Copies the part of the back buffer into the screen's copy; false when there is no memory for
// the copy, which then is not known.
bool KeepShown(PushRecord& record, const std::uint32_t* pixels, SIZE size, const RECT& part) {
    const std::size_t count = static_cast<std::size_t>(size.cx) * size.cy;
    if (record.screen.size() != count) {
        try {
            const AllocationMayFail mayFail;
            record.screen.assign(count, 0);
        } catch (const std::bad_alloc&) {
            std::vector<std::uint32_t>().swap(record.screen);
            return false;
        }
    }
    const PixelRect area =
        ClipToCanvas(PixelRect{part.left, part.top, part.right, part.bottom}, size.cx, size.cy);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * size.cx + area.left;
        std::memcpy(record.screen.data() + row, pixels + row,
                    static_cast<std::size_t>(area.Width()) * sizeof *pixels);
    }
    return true;
}

// Hands the part of the back buffer to the system.
bool HandOver(HostRecordFields* host, SIZE size, RECT part) {
    POINT source = {0, 0};
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, kOpaque, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.psize = &size;
    info.hdcSrc = host->frameDc;
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    // Only the changed part is copied and handed on; the screen keeps the rest.
    info.prcDirty = &part;
    return g_pushRoutine(host->window, &info) != FALSE;
}

void FlushAll();

// Makes sure the record's pending part is pushed: when the open batch closes, else once the
// window's queue is served.
void FlushLater(PushRecord& record) {
    SetPendingPresentFlusher(&FlushAll);
    if (!record.flushPosted) {
        record.flushPosted = PostMessageW(record.window, FlushPresentsMessage(), 0, 0) != FALSE;
    }
}

// A failed push is tried again once the queue is served. One that fails again waits for the
// next batch to close, so that a window whose pushes keep failing does not keep the thread busy.
void RetryLater(PushRecord& record) {
    if (++record.failuresInARow == 1) {
        FlushLater(record);
    } else {
        SetPendingPresentFlusher(&FlushAll);
    }
}

SIZE WindowSize(const HostRecordFields* host) {
    return host->size != nullptr ? SIZE{host->size->width, host->size->height} : SIZE{0, 0};
}

// Pushes the part of the back buffer that changed: `dirty` with what is pending, or, without
// `dirty`, whatever differs from what the screen shows.
void Push(HostRecordFields* host, const RECT* dirty) {
    const SIZE size = WindowSize(host);
    const RECT whole = {0, 0, size.cx, size.cy};
    PushRecord* record = RecordOf(host);
    if (record == nullptr) {
        // Nothing can be known of the screen: the whole window goes.
        if (host->frameDc != nullptr && !IsRectEmpty(&whole)) {
            HandOver(host, size, whole);
        }
        return;
    }
    if (record->pushing) {
        // A handler of a message the push under way sent presents: its part goes afterwards.
        ::UnionRect(&record->pending, &record->pending, dirty != nullptr ? dirty : &whole);
        FlushLater(*record);
        return;
    }
    const bool visible = IsWindowVisible(host->window) != FALSE;
    const bool screenKnown =
        record->screenKnown && record->shownSize.cx == size.cx && record->shownSize.cy == size.cy &&
        record->shownAlpha == host->layeredAlpha && record->shownVisible == visible;
    const std::uint32_t* pixels = BackBufferPixels(host, size);
    RECT part = whole;
    if (screenKnown && dirty != nullptr) {
        ::UnionRect(&part, dirty, &record->pending);
    } else if (screenKnown && pixels != nullptr) {
        const RECT changed = ChangedBounds(pixels, record->screen, size);
        ::UnionRect(&part, &changed, &record->pending);
    }
    IntersectRect(&part, &part, &whole);
    record->pending = RECT{};
    if (IsRectEmpty(&part) || host->frameDc == nullptr) {
        return;
    }
    // What the screen will show is taken before the push: the handlers of the messages it sends
    // may draw into the back buffer before it returns.
    const bool known = pixels != nullptr && KeepShown(*record, pixels, size, part);
    record->screenKnown = false;
    record->shownSize = size;
    record->shownAlpha = host->layeredAlpha;
    record->shownVisible = visible;
    record->pushing = true;
    const bool pushed = HandOver(host, size, part);

    record = FindRecord(host);
    if (record == nullptr) {
        return;  // the window went while the push ran
    }
    record->pushing = false;
    if (!pushed) {
        // Nothing of the part reached the screen: it waits for the next push, which hands over
        // the whole window again.
        ::UnionRect(&record->pending, &record->pending, &part);
        RetryLater(*record);
        return;
    }
    record->failuresInARow = 0;
    record->screenKnown = known;
}

void FlushAll() {
    // A push may add or drop records, so the next record is looked up anew after each. Each
    // flush takes a new round; a record a flush visited carries its round, and one that a flush
    // nested in a push visited counts as visited, so no record is visited twice. A record found
    // stale is dropped.
    const std::uint32_t round = ++g_lastFlushRound;
    for (;;) {
        const auto next =
            std::find_if(g_records.begin(), g_records.end(),
                         [round](const PushRecord& r) { return r.flushRound < round; });
        if (next == g_records.end()) {
            return;
        }
        next->flushRound = round;
        next->flushPosted = false;
        if (!StillServed(*next)) {
            g_records.erase(next);
            continue;
        }
        if (next->pushing || IsRectEmpty(&next->pending)) {
            continue;
        }
        HostRecordFields* host = next->host;
        const RECT pending = next->pending;
        Push(host, &pending);
    }
}

}  // namespace

void PushLayeredWindow(HostRecordFields* host, const RECT* dirty) {
    if (host == nullptr || host->window == nullptr) {
        return;
    }
    Push(host, dirty);
}

void PushOrQueueLayeredWindow(HostRecordFields* host, const RECT& dirty) {
    if (host == nullptr || host->window == nullptr || IsRectEmpty(&dirty)) {
        return;
    }
    if (!PresentBatchOpen()) {
        PushLayeredWindow(host, &dirty);
        return;
    }
    PushRecord* record = RecordOf(host);
    if (record == nullptr) {
        PushLayeredWindow(host, &dirty);
        return;
    }
    ::UnionRect(&record->pending, &record->pending, &dirty);
    // The handler may yet enter a loop the toolkit does not know (a system dialog, the system's
    // move and size loops), which would hold the batch open for as long as it runs: a posted
    // message pushes in the meantime. Usually it arrives after the batch closed and finds
    // nothing to do.
    FlushLater(*record);
}

void FlushLayeredPushes() {
    FlushAll();
}

void ForgetLayeredWindow(HostRecordFields* host) {
    g_records.erase(std::remove_if(g_records.begin(), g_records.end(),
                                   [host](const PushRecord& r) { return r.host == host; }),
                    g_records.end());
}

bool LayeredPushPending(const HostRecordFields* host) {
    return std::any_of(g_records.begin(), g_records.end(), [host](const PushRecord& r) {
        return r.host == host && !IsRectEmpty(&r.pending);
    });
}

void SetLayeredPushRoutine(LayeredPushRoutine routine) {
    g_pushRoutine = routine != nullptr ? routine : &UpdateLayeredWindowIndirect;
}

UINT FlushPresentsMessage() {
    static const UINT message = RegisterWindowMessageW(kFlushMessageName);
    return message;
}

}  // namespace toolkit

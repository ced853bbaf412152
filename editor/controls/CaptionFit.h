// How a caption too wide for its cell is shortened, without a window: the caller says which
// texts fit. A path keeps its file name whole and loses the middle of its folders, with an
// ellipsis where text was left out; the whole text stays the item's, for its tooltip.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace controls {

// How SRect_Ex shows a caption wider than its cell.
enum SRectCaptionFit {
    kSRectCaptionCut,   // centred and cut at the cell's edges
    kSRectCaptionPath,  // shortened as FitPathCaption does
};

// The mark left where text was dropped.
constexpr wchar_t kCaptionEllipsis[] = L"\u2026";

// True when the text fits the cell. The width is taken to grow with the text, as it does for
// any font.
using CaptionFits = std::function<bool(std::wstring_view)>;

// The text itself when it fits. Otherwise, for a path (a text with a "\" or "/"), the longest
// start of its folders, an ellipsis and the file name with the separator before it
// ("Z:\ho…\Sample.nes"); when even "…" and the file name are too wide, or the text names no
// folder, the longest start of the name and an ellipsis after it ("…\Sam…", "Venn…"). A single
// ellipsis when nothing else fits. A pair of UTF-16 surrogates is never split.
std::wstring FitPathCaption(std::wstring_view text, const CaptionFits& fits);

}  // namespace controls

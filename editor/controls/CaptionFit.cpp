#include "controls/CaptionFit.h"

#include <cstddef>

namespace controls {

namespace {

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// The first count characters of text, one fewer when the last would be the first half of a
// surrogate pair.
std::wstring_view Start(std::wstring_view text, std::size_t count) {
    if (count > 0 && count < text.size() && IsHighSurrogate(text[count - 1])) {
        --count;
    }
    return text.substr(0, count);
}

// The largest count in 0..most for which made(count) fits, or -1 when none does. Texts grow with
// the count, so a binary search finds it with a few measurements.
std::ptrdiff_t LongestFitting(std::size_t most,
                              const std::function<std::wstring(std::size_t)>& made,
                              const CaptionFits& fits) {
    if (!fits(made(0))) {
        return -1;
    }
    std::size_t low = 0;  // fits
    std::size_t high = most;
    while (low < high) {
        const std::size_t middle = low + (high - low + 1) / 2;
        if (fits(made(middle))) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return static_cast<std::ptrdiff_t>(low);
}

}  // namespace

std::wstring FitPathCaption(std::wstring_view text, const CaptionFits& fits) {
    if (fits(text)) {
        return std::wstring(text);
    }
    const std::size_t separator = text.find_last_of(L"\\/");
    const bool hasFolder = separator != std::wstring_view::npos;
    const std::wstring_view folders = hasFolder ? text.substr(0, separator) : std::wstring_view();
    const std::wstring_view name = hasFolder ? text.substr(separator) : text;

    if (hasFolder) {
        const auto withFolders = [&](std::size_t count) {
            return std::wstring(Start(folders, count)) + kCaptionEllipsis + std::wstring(name);
        };
        const std::ptrdiff_t kept = LongestFitting(folders.size(), withFolders, fits);
        if (kept >= 0) {
            return withFolders(static_cast<std::size_t>(kept));
        }
    }
    const std::wstring lead = hasFolder ? kCaptionEllipsis : L"";
    const auto withName = [&](std::size_t count) {
        return lead + std::wstring(Start(name, count)) + kCaptionEllipsis;
    };
    const std::ptrdiff_t kept = LongestFitting(name.size(), withName, fits);
    return kept > 0 ? withName(static_cast<std::size_t>(kept)) : std::wstring(kCaptionEllipsis);
}

}  // namespace controls

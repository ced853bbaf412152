// How a caption too wide for its cell is shortened: a path keeps its file name and loses the
// middle of its folders, marked with an ellipsis. Measured here in characters, one unit each.
#include <gtest/gtest.h>

#include <string>

#include "controls/CaptionFit.h"

namespace edctl_test {
namespace {

using controls::FitPathCaption;

constexpr wchar_t kPath[] = L"Z:\\home-new\\run\\SampleSmall.nes";
constexpr std::size_t kPathLength = std::char_traits<wchar_t>::length(kPath);
// "\SampleSmall.nes" and the ellipsis before it.
constexpr std::size_t kNameWithEllipsis = 17;
// "Z:\" of the folders fits beside them in this width.
constexpr std::size_t kRoomForDrive = kNameWithEllipsis + 3;
// Narrower than the file name: its start is kept, between two ellipses.
constexpr std::size_t kNarrow = 10;
// A high and a low surrogate: one character of two UTF-16 units.
constexpr wchar_t kPairedFolder[] = L"ab\xD83D\xDE00x\\c";

TEST(FitPathCaption, KeepsTheFileNameAndMarksWhatWasLeftOut) {
    const struct {
        const wchar_t* text;
        std::size_t width;
        const wchar_t* shown;
    } cases[] = {
        {kPath, kPathLength, kPath},  // fits: as it is
        // One character less takes two: the ellipsis is one itself.
        {kPath, kPathLength - 1, L"Z:\\home-new\\r\u2026\\SampleSmall.nes"},
        {kPath, kRoomForDrive, L"Z:\\\u2026\\SampleSmall.nes"},
        {kPath, kNameWithEllipsis, L"\u2026\\SampleSmall.nes"},
        {kPath, kNarrow, L"\u2026\\SampleS\u2026"},
        {L"Vennmark editor", 6, L"Vennm\u2026"},  // no folder: the start and an ellipsis
        {L"a/b/c.txt", 7, L"\u2026/c.txt"},       // either separator
        {kPath, 1, L"\u2026"},                    // nothing else fits
        {kPath, 0, L"\u2026"},
        // The cut falls inside the pair: the whole character goes.
        {kPairedFolder, 6, L"ab\u2026\\c"},
    };
    for (const auto& c : cases) {
        const auto fits = [&](std::wstring_view text) { return text.size() <= c.width; };
        EXPECT_EQ(FitPathCaption(c.text, fits), c.shown) << "width " << c.width;
    }
}

}  // namespace
}  // namespace edctl_test

// Counts the program's large memory blocks: every operator new of the test program goes through
// a replacement that keeps the live bytes of blocks at least kLargeBlockBytes long, and the most
// there were since the count was last reset. Pictures and map layers are such blocks; the small
// allocations of everything else are left out so that they do not blur the figures.
#pragma once

#include <cstddef>

namespace app_test {

// Smaller than any map layer of a level and than the picker picture.
constexpr std::size_t kLargeBlockBytes = 256 * 1024;

std::size_t LiveLargeBytes();
std::size_t PeakLargeBytes();
// The peak starts again from what is live now.
void ResetLargePeak();

}  // namespace app_test

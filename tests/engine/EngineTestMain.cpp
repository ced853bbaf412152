// Registers GDI+ for the engine tests; GoogleTest's own main runs them.
#include "EngineTestSupport.h"

namespace {

const auto* const kGdiplus =
    ::testing::AddGlobalTestEnvironment(new engine_test::GdiplusEnvironment);

}  // namespace

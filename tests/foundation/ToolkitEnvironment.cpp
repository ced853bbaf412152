// Every foundation test runs with the toolkit started, as the programs do from their entry.
#include <gtest/gtest.h>

#include "foundation/Toolkit.h"

namespace {

class ToolkitEnvironment : public ::testing::Environment {
public:
    void SetUp() override { toolkit::InitToolkit(); }
    void TearDown() override { toolkit::ShutdownToolkit(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace

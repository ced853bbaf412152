#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/Toolkit.h"

namespace {

using toolkit::OsVersionValue;

constexpr unsigned kWorkstation = 1;
constexpr unsigned kServer = 3;
constexpr unsigned kX86 = PROCESSOR_ARCHITECTURE_INTEL;
constexpr unsigned kAmd64 = PROCESSOR_ARCHITECTURE_AMD64;
constexpr unsigned kIa64 = PROCESSOR_ARCHITECTURE_IA64;

TEST(OsVersionValue, Table) {
    struct Case {
        unsigned major, minor, product, architecture;
        float value;
    };
    const Case cases[] = {
        {5, 0, kWorkstation, kX86, 0.0f},    {5, 1, kWorkstation, kX86, 5.0f},
        {5, 1, kServer, kX86, 5.0f},         {5, 2, kWorkstation, kX86, 5.0f},
        {5, 2, kServer, kX86, 5.01f},        {5, 2, kServer, kAmd64, 5.0f},
        {5, 2, kServer, kIa64, 5.0f},        {5, 3, kServer, kX86, 0.0f},
        {6, 0, kWorkstation, kX86, 6.0f},    {6, 0, kServer, kX86, 6.11f},
        {6, 1, kWorkstation, kX86, 6.1f},    {6, 1, kServer, kX86, 6.11f},
        {6, 2, kWorkstation, kX86, 6.2f},    {6, 2, kServer, kX86, 6.31f},
        {6, 3, kWorkstation, kX86, 6.3f},    {6, 3, kServer, kX86, 6.31f},
        {6, 4, kWorkstation, kX86, 6.4f},    {6, 4, kServer, kX86, 6.31f},
        {10, 0, kWorkstation, kAmd64, 6.4f}, {10, 0, kServer, kAmd64, 6.31f},
        {6, 5, kWorkstation, kX86, 6.5f},    {4, 0, kServer, kX86, 4.01f},
        {11, 0, kWorkstation, kX86, 11.0f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(OsVersionValue(c.major, c.minor, c.product, c.architecture), c.value)
            << c.major << "." << c.minor << " product " << c.product;
    }
}

TEST(OsVersionValue, MeasuredAtStartUp) {
    // The test prefix reports Windows 7 or 10, never a value outside the table's range.
    EXPECT_GE(toolkit::Toolkit().osVersion, 6.0f);
}

}  // namespace

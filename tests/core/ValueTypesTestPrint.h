// Readable test failure messages for the framework's string type.
#pragma once

#include "Facet.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace Facet {

inline void PrintTo(const CFacetString& s, std::ostream* os)
{
    *os << ::testing::PrintToString(std::wstring(s.GetData()));
}

} // namespace Facet

#pragma once

#include <source_location>
#include <string>

namespace testing_support {

// Records a failure of the running test, in whichever framework runs it: the helpers here serve
// GoogleTest and Qt Test alike, and each test library links the one that reports to its own.
void recordFailure(const std::string& message, std::source_location where = std::source_location::current());

} // namespace testing_support

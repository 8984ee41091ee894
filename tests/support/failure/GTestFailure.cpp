#include "TestFailure.h"

#include <gtest/gtest.h>

namespace testing_support {

void recordFailure(const std::string& message, std::source_location where) {
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << message;
}

} // namespace testing_support

#include "TestFailure.h"

#include <QTest>

namespace testing_support {

void recordFailure(const std::string& message, std::source_location where) {
    QTest::qFail(message.c_str(), where.file_name(), static_cast<int>(where.line()));
}

} // namespace testing_support

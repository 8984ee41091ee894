#pragma once

#include "Burrowlight/Core/Alert.h"
#include "Burrowlight/Core/ProblemReport.h"

#include <QString>

// The problem report's words.
namespace burrowlight::texts {

// Four lines: the application and its version, the system, ssh's version, whether ssh reads the
// user's configuration.
QString factsText(const ProblemFacts& facts);

// What to send and what the e-mail holds already: "Write Email", "Copy Address", "Cancel".
Alert problemAlert(const QString& factsText);
enum class ProblemAlertChoice { writeEmail, copyAddress, cancel };

QString problemMailSubject(const QString& version);
QString problemMailBody(const QString& factsText);

} // namespace burrowlight::texts

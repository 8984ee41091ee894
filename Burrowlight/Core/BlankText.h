#pragma once

#include <QString>

namespace burrowlight {

// The text without the spaces and tabs around it; line breaks stay, as the fields that use this
// treat them as part of what was typed.
QString trimmedBlanks(const QString& text);

} // namespace burrowlight

#pragma once

class QWidget;

namespace burrowlight {

// What assistive technology finds in a bound field while it hides marks of a character: the whole
// text, its offsets, caret and selection the text's, and edits made there go into it as typing
// would. Otherwise the field is read as Qt reads it. Called as the field starts or stops hiding
// marks: the field is read anew.
void followHiddenMarks(QWidget& field);

} // namespace burrowlight

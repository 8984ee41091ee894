#pragma once

#include <QString>

namespace burrowlight {

// "Show in Files": asks the session's file manager to show the file selected in its folder
// (org.freedesktop.FileManager1.ShowItems); where none answers, opens the containing folder with
// the desktop's handler instead. The file need not exist. Returns at once; the answer is awaited
// from the event loop. Needs the application object.
void revealInFileManager(const QString& path);

} // namespace burrowlight

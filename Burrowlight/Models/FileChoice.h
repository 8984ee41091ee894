#pragma once

#include <QString>
#include <optional>
#include <string>

namespace burrowlight {

// What a file field's "Choose…" asks for: an existing file (the key, the certificate) or a new one
// (the log file), where the dialog starts, and the name it proposes.
struct FileChoice {
    bool savesNewFile = false;
    QString folder;
    QString proposedName;

    // Files in the hidden .ssh folder of the home folder.
    static FileChoice existingKey(const QString& homeDirectory);
    // "tunnel.log" in the application's folder of logs under $XDG_STATE_HOME.
    static FileChoice newLog(const QString& homeDirectory);
};

// The path as the tunnel stores it: a file under the home folder as "~/…", any other as chosen.
QString storedPath(const QString& chosen, const QString& homeDirectory);
// What a file field's text stores: none once the field is empty, anything else exactly as typed.
std::optional<std::string> pathFromText(const QString& text);

} // namespace burrowlight

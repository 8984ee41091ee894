#pragma once

#include <QString>
#include <expected>

namespace burrowlight {

// Why the login item could not be switched: no place for it (no home folder, or the executable is
// unknown), or the file system's refusal to write or remove it, in its own words.
struct AutostartError {
    enum class Operation { locate, write, remove };
    Operation operation = Operation::write;
    QString path;
    QString reason;
};

// The login item: an XDG autostart entry that starts this executable when the user logs in. Its
// state is read back from the file each time, so a change made elsewhere (a desktop's startup
// settings removing or hiding it) shows at once. Nothing of it is stored anywhere else.
class AutostartEntry {
  public:
    // The user's entry (Platform/Folders) of the application named, for the executable found at
    // /proc/self/exe.
    explicit AutostartEntry(const QString& bundleIdentifier);
    // The entry's file name without ".desktop" names the icon, as the application's own desktop
    // entry does.
    AutostartEntry(QString path, QString executable);

    const QString& path() const { return path_; }
    // The file is there and no desktop has turned it off (Hidden, X-GNOME-Autostart-enabled).
    bool isEnabled() const;
    // On writes the entry again; off removes it. Missing folders are made with mode 0700.
    std::expected<void, AutostartError> setEnabled(bool enabled) const;

    // The executable as one argument of an Exec key: quoted as desktop entries ask, "%" doubled, and
    // the key's own escapes applied on top.
    static QString execValue(const QString& executable);

  private:
    std::expected<void, AutostartError> write() const;
    std::expected<void, AutostartError> remove() const;

    QString path_;
    QString executable_;
};

} // namespace burrowlight

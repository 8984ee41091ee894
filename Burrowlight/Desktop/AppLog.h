#pragma once

#include <QString>
#include <QStringList>

namespace burrowlight {

// The application's log, one per category: syslog under the bundle identifier with the category as
// the lines' prefix (Platform/SystemLog). Lines are for whoever reads the journal, never shown in
// the user interface, so they are not translated.
class AppLog {
  public:
    static AppLog app();
    static AppLog updates();

    // Once, before the first line: the identity syslog keeps the lines under (the bundle
    // identifier). A process that names none logs under its program's name.
    static void setIdentity(const char* identity);

    // At the default level.
    void write(const QString& message) const;
    void error(const QString& message) const;

  private:
    explicit AppLog(const char* category) : category_(category) {}
    const char* category_;
};

// While one lives, every line written to the application log is also kept here ("app: …"), so a
// test can read what was logged. One at a time.
class AppLogRecorder {
  public:
    AppLogRecorder();
    ~AppLogRecorder();
    AppLogRecorder(const AppLogRecorder&) = delete;
    AppLogRecorder& operator=(const AppLogRecorder&) = delete;

    QStringList lines() const;
    // How many lines contain `text`.
    qsizetype count(const QString& text) const;
};

} // namespace burrowlight

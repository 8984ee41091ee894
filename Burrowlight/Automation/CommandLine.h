#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

namespace burrowlight {

// The executable's command-line actions: connect, disconnect and status act on the running
// application over the session bus, and --help lists them. They run without any window, and never
// start the application.
class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

  public:
    enum class Action { connect, disconnect, status };
    // Exit statuses.
    static constexpr int succeeded = 0;
    static constexpr int failed = 1;
    static constexpr int misused = 2;

    // Whether the arguments ask for an action or the help, rather than for the application.
    static bool handles(int argc, char** argv);
    // The whole role: answers the exit status.
    static int run(int argc, char** argv);

    static QString help();

  private:
    struct Request {
        Action action;
        QStringList names;
        QString tag;
        bool all = false;
        std::optional<QString> matching;
    };

    static int run(Action action, const QStringList& arguments);
    static int perform(const Request& request);
    static QString misuse(const Request& request);
};

} // namespace burrowlight

#include "Burrowlight/Automation/CommandLine.h"

#include "Burrowlight/Automation/ScriptTunnels.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/EmbeddedText.h"

#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

namespace burrowlight {

namespace {

using Action = CommandLine::Action;

const QString program = QStringLiteral("burrowlight");
// A connect waits 20 seconds at most; the rest is for a busy application.
constexpr int callTimeout = 60'000;

std::optional<Action> actionNamed(const QString& word) {
    if (word == QLatin1String("connect")) {
        return Action::connect;
    }
    if (word == QLatin1String("disconnect")) {
        return Action::disconnect;
    }
    if (word == QLatin1String("status")) {
        return Action::status;
    }
    return std::nullopt;
}

QString wordOf(Action action) {
    switch (action) {
    case Action::connect:
        return QStringLiteral("connect");
    case Action::disconnect:
        return QStringLiteral("disconnect");
    case Action::status:
        return QStringLiteral("status");
    }
    return {};
}

// Names come from users and files: a line shows its controls and line breaks escaped, so that none
// rewrites, reorders or adds to what the terminal shows.
void printLine(std::FILE* stream, const QString& line) {
    std::fputs(qUtf8Printable(escapedControls(line) + QLatin1Char('\n')), stream);
}

// A help or failure text keeps its own lines.
void print(std::FILE* stream, const QString& text) {
    std::fputs(qUtf8Printable(escapedControlsInLines(text) + QLatin1Char('\n')), stream);
}

bool isHelp(std::string_view argument) {
    return argument == "-h" || argument == "--help";
}

} // namespace

bool CommandLine::handles(int argc, char** argv) {
    if (argc < 2) {
        return false;
    }
    return isHelp(argv[1]) || actionNamed(QString::fromLocal8Bit(argv[1])).has_value();
}

int CommandLine::run(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    const AppTranslation translation(startupLocalization());
    const QStringList arguments = QCoreApplication::arguments();
    const auto action = actionNamed(arguments.value(1));
    if (!action) {
        print(stdout, help());
        return succeeded;
    }
    return run(*action, arguments);
}

QString CommandLine::help() {
    const QString name = tr("NAME");
    const QString tag = tr("TAG");
    const QList<std::pair<QString, QString>> uses{
        {QStringLiteral("[%1…]").arg(tr("FILE")),
         tr("Start %1, or open the files in the one running").arg(appDisplayName())},
        {QStringLiteral("connect %1…").arg(name), tr("Connect the tunnels and show their status")},
        {QStringLiteral("connect --tag %1").arg(tag), tr("Connect the tunnels tagged %1").arg(tag)},
        {QStringLiteral("connect --all"), tr("Connect every tunnel")},
        {QStringLiteral("disconnect %1…").arg(name), tr("Disconnect the tunnels")},
        {QStringLiteral("disconnect --tag %1").arg(tag), tr("Disconnect the tunnels tagged %1").arg(tag)},
        {QStringLiteral("disconnect --all"), tr("Disconnect every tunnel")},
        {QStringLiteral("status [%1…]").arg(name), tr("Show the status of the tunnels, or of every tunnel")},
        {QStringLiteral("status --matching %1").arg(tr("TEXT")),
         tr("Show the status of the tunnels whose texts contain %1").arg(tr("TEXT"))},
    };
    qsizetype width = 0;
    for (const auto& use : uses) {
        width = std::max(width, use.first.size());
    }
    QStringList lines{tr("Usage:")};
    for (const auto& [synopsis, description] : uses) {
        lines.append(QStringLiteral("  %1 %2  %3").arg(program, synopsis.leftJustified(width), description));
    }
    lines.append(QString());
    lines.append(
        tr("A %1 is a tunnel's name or ID. Connecting waits up to 20 seconds for the tunnels.").arg(name));
    lines.append(
        tr("The commands act on the running %1 over D-Bus. For a command's options: %2 COMMAND --help")
            .arg(appDisplayName(), program));
    return lines.join(QLatin1Char('\n'));
}

int CommandLine::run(Action action, const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help."));
    const QCommandLineOption tagOption(QStringLiteral("tag"),
                                       tr("Also the tunnels tagged %1.").arg(tr("TAG")), tr("TAG"));
    const QCommandLineOption allOption(QStringLiteral("all"), tr("Every tunnel."));
    const QCommandLineOption matchingOption(
        QStringLiteral("matching"),
        tr("The tunnels whose name, server, user, note, jump hosts, tags or forwards contain %1, letter "
           "case ignored.")
            .arg(tr("TEXT")),
        tr("TEXT"));
    parser.addOption(helpOption);
    if (action == Action::status) {
        parser.addOption(matchingOption);
    } else {
        parser.addOption(tagOption);
        parser.addOption(allOption);
    }
    parser.addPositionalArgument(wordOf(action), [action] {
        switch (action) {
        case Action::connect:
            return tr("Connects the tunnels, waits up to 20 seconds for them and shows their status.");
        case Action::disconnect:
            return tr("Disconnects the tunnels, without waiting for them to stop.");
        case Action::status:
            return tr("Shows the status of the tunnels, or of every tunnel.");
        }
        return QString();
    }());
    parser.addPositionalArgument(tr("NAME"), tr("A tunnel's name or ID."),
                                 QStringLiteral("[%1…]").arg(tr("NAME")));

    if (!parser.parse(arguments)) {
        print(stderr, parser.errorText());
        return misused;
    }
    if (parser.isSet(helpOption)) {
        print(stdout, parser.helpText().trimmed());
        return succeeded;
    }
    Request request{action, parser.positionalArguments().mid(1), {}, false, std::nullopt};
    if (action == Action::status) {
        if (parser.isSet(matchingOption)) {
            request.matching = parser.value(matchingOption);
        }
    } else {
        request.tag = parser.value(tagOption);
        request.all = parser.isSet(allOption);
    }
    if (const QString problem = misuse(request); !problem.isEmpty()) {
        print(stderr, problem);
        print(stderr, tr("See \"%1 %2 --help\".").arg(program, wordOf(action)));
        return misused;
    }
    return perform(request);
}

QString CommandLine::misuse(const Request& request) {
    if (request.action == Action::status) {
        return request.matching && !request.names.isEmpty() ? tr("--matching can't go with names.")
                                                            : QString();
    }
    if (request.all && (!request.names.isEmpty() || !request.tag.isEmpty())) {
        return tr("--all can't go with names or --tag.");
    }
    if (!request.all && request.names.isEmpty() && request.tag.isEmpty()) {
        return tr("Say which tunnels: their names, --tag %1 or --all.").arg(tr("TAG"));
    }
    return {};
}

int CommandLine::perform(const Request& request) {
    const QString service = QString::fromLatin1(bundleIdentifier);
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString notRunning = tr("%1 isn't running.").arg(appDisplayName());
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(service)) {
        print(stderr, notRunning);
        return failed;
    }
    // Plain calls: a proxy object would first read the interface of an object with a child per tunnel.
    const auto call = [&](const QString& interface, const QString& method, const QVariantList& arguments) {
        auto message = QDBusMessage::createMethodCall(service, QString::fromLatin1(scripting::tunnelsPath),
                                                      interface, method);
        message.setArguments(arguments);
        return bus.call(message, QDBus::Block, callTimeout);
    };
    const auto tunnels = [&](const QString& method, const QVariantList& arguments = {}) {
        return call(QString::fromLatin1(scripting::tunnelsInterface), method, arguments);
    };
    // The tunnels' paths the reply carries, as references; a property's value comes in a variant.
    const auto paths = [](const QDBusMessage& reply) {
        QVariant value = reply.arguments().value(0);
        if (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
            value = value.value<QDBusVariant>().variant();
        }
        QStringList references;
        for (const auto& path : qdbus_cast<QList<QDBusObjectPath>>(value)) {
            references.append(path.path());
        }
        return references;
    };

    QDBusMessage reply;
    const bool isConnect = request.action == Action::connect;
    if (request.all) {
        reply = tunnels(isConnect ? QStringLiteral("ConnectAll") : QStringLiteral("DisconnectAll"));
    } else if (!request.tag.isEmpty()) {
        reply = tunnels(isConnect ? QStringLiteral("Connect") : QStringLiteral("Disconnect"),
                        {request.names, request.tag});
    } else if (request.action == Action::status) {
        // Unless named, the tunnels are found in one call, and their status read in one more.
        QDBusMessage found;
        if (request.matching) {
            found = tunnels(QStringLiteral("FindTunnels"), {*request.matching});
        } else if (request.names.isEmpty()) {
            found = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                         {QString::fromLatin1(scripting::tunnelsInterface), QStringLiteral("Tunnels")});
        }
        reply = found.type() == QDBusMessage::ErrorMessage
                    ? found
                    : tunnels(QStringLiteral("GetTunnelStatus"),
                              {found.type() == QDBusMessage::ReplyMessage ? paths(found) : request.names});
    } else {
        reply = tunnels(isConnect ? QStringLiteral("ConnectTunnels") : QStringLiteral("DisconnectTunnels"),
                        {request.names});
    }

    if (reply.type() == QDBusMessage::ErrorMessage) {
        // It may have quit meanwhile, without answering.
        const bool quit = !bus.interface()->isServiceRegistered(service);
        print(stderr, quit ? notRunning : reply.errorMessage());
        return failed;
    }
    // One line per tunnel, whatever its name holds.
    for (const QString& line : reply.arguments().value(0).toStringList()) {
        printLine(stdout, line);
    }
    return succeeded;
}

} // namespace burrowlight

// A launch of its own for the single-instance tests: "single-instance-probe APP_FOLDER [FILE...]"
// claims the instance and prints what happens, one line each: "primary bus" or "primary lock-only",
// then "open PATH|PATH TOKEN" and "reopen TOKEN" as later launches arrive; "handed-over"; or
// "error KIND DETAIL" with exit status 1.
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Desktop/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

using namespace burrowlight;

namespace {

void say(const QString& line) {
    QTextStream out(stdout);
    out << line << Qt::endl;
}

QString kindName(InstanceError::Kind kind) {
    switch (kind) {
    case InstanceError::Kind::lockFailed:
        return QStringLiteral("lockFailed");
    case InstanceError::Kind::alreadyRunning:
        return QStringLiteral("alreadyRunning");
    case InstanceError::Kind::handOverFailed:
        break;
    }
    return QStringLiteral("handOverFailed");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        say(QStringLiteral("usage: single-instance-probe APP_FOLDER [FILE...]"));
        return 2;
    }
    auto claim = SingleInstance::claim(QString::fromLatin1(bundleIdentifier), arguments.first(),
                                       LaunchRequest::fromArguments(arguments.mid(1), QDir::currentPath()));
    if (std::holds_alternative<SingleInstance::HandedOver>(claim)) {
        say(QStringLiteral("handed-over"));
        return 0;
    }
    if (const auto* error = std::get_if<InstanceError>(&claim)) {
        say(QStringLiteral("error %1 %2").arg(kindName(error->kind), error->detail));
        return 1;
    }
    const auto& instance = std::get<std::unique_ptr<SingleInstance>>(claim);
    QObject::connect(instance.get(), &SingleInstance::filesOpened,
                     [](const QStringList& paths, const QString& token) {
                         say(QStringLiteral("open %1 %2").arg(paths.join(QLatin1Char('|')), token));
                     });
    QObject::connect(instance.get(), &SingleInstance::reopenRequested,
                     [](const QString& token) { say(QStringLiteral("reopen %1").arg(token)); });
    say(instance->ownsBusName() ? QStringLiteral("primary bus") : QStringLiteral("primary lock-only"));
    return QCoreApplication::exec();
}

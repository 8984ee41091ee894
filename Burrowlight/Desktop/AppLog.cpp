#include "Burrowlight/Desktop/AppLog.h"

#include "Platform/SystemLog.h"

#include <QMutex>
#include <cerrno>
#include <optional>

namespace burrowlight {

namespace {

const char*& chosenIdentity() {
    static const char* identity = nullptr;
    return identity;
}

// Created on first use and kept for the life of the process, as syslog's identity is.
const platform::SystemLog& systemLog() {
    static const platform::SystemLog log(chosenIdentity() ? chosenIdentity() : program_invocation_short_name);
    return log;
}

struct Recording {
    QMutex mutex;
    std::optional<QStringList> lines;
};

Recording& recording() {
    static Recording shared;
    return shared;
}

void writeLine(const char* category, platform::LogLevel level, const QString& message) {
    systemLog().write(category, level, message.toStdString());
    Recording& shared = recording();
    const QMutexLocker locker(&shared.mutex);
    if (shared.lines) {
        shared.lines->append(QLatin1String(category) + QStringLiteral(": ") + message);
    }
}

} // namespace

AppLog AppLog::app() {
    return AppLog("app");
}

AppLog AppLog::updates() {
    return AppLog("updates");
}

void AppLog::setIdentity(const char* identity) {
    chosenIdentity() = identity;
}

void AppLog::write(const QString& message) const {
    writeLine(category_, platform::LogLevel::standard, message);
}

void AppLog::error(const QString& message) const {
    writeLine(category_, platform::LogLevel::error, message);
}

AppLogRecorder::AppLogRecorder() {
    Recording& shared = recording();
    const QMutexLocker locker(&shared.mutex);
    shared.lines.emplace();
}

AppLogRecorder::~AppLogRecorder() {
    Recording& shared = recording();
    const QMutexLocker locker(&shared.mutex);
    shared.lines.reset();
}

QStringList AppLogRecorder::lines() const {
    Recording& shared = recording();
    const QMutexLocker locker(&shared.mutex);
    return shared.lines.value_or(QStringList());
}

qsizetype AppLogRecorder::count(const QString& text) const {
    qsizetype found = 0;
    for (const QString& line : lines()) {
        found += line.contains(text) ? 1 : 0;
    }
    return found;
}

} // namespace burrowlight

#include "Burrowlight/Core/Texts/SettingsTexts.h"

#include "Burrowlight/Core/Texts/StorageTexts.h"

#include <QCoreApplication>

namespace burrowlight::texts {

namespace {

struct LoginItemWords {
    Q_DECLARE_TR_FUNCTIONS(LoginItem)
};
struct ExportWords {
    Q_DECLARE_TR_FUNCTIONS(Export)
};

} // namespace

QString message(const AutostartError& error) {
    using O = AutostartError::Operation;
    switch (error.operation) {
    case O::locate:
        return LoginItemWords::tr("Neither the home folder nor this program's location is known.");
    case O::write:
        return LoginItemWords::tr("“%1” couldn't be written: %2").arg(error.path, error.reason);
    case O::remove:
        return LoginItemWords::tr("“%1” couldn't be removed: %2").arg(error.path, error.reason);
    }
    return error.reason;
}

Alert exportFailedAlert(const tunnelkit::FileError& error) {
    return Alert{
        .style = Alert::Style::critical,
        .message = ExportWords::tr("The tunnels couldn't be exported"),
        .informativeText = message(error),
        .buttons = {},
        .activatesApplication = true,
    };
}

} // namespace burrowlight::texts

#include "Burrowlight/Core/Texts/MainWindowTexts.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"

#include <QCoreApplication>
#include <chrono>

namespace burrowlight::texts {

namespace {

struct ActionWords {
    Q_DECLARE_TR_FUNCTIONS(TunnelActions)
};
struct TimeWords {
    Q_DECLARE_TR_FUNCTIONS(RelativeTime)
};
struct RowWords {
    Q_DECLARE_TR_FUNCTIONS(TunnelRow)
};

} // namespace

Alert deletePermanentlyAlert(int count, const QString& name) {
    Alert alert;
    alert.style = Alert::Style::warning;
    alert.message = count == 1 ? ActionWords::tr("Delete “%1” permanently?").arg(inSentence(name))
                               : ActionWords::tr("Delete %n tunnels permanently?", nullptr, count);
    alert.informativeText = ActionWords::tr(
        "Their saved passwords are removed from the keyring too. You can't undo this action.");
    alert.buttons = {{ActionWords::tr("Delete"), Alert::Button::Role::destructive},
                     {ActionWords::tr("Cancel"), Alert::Button::Role::cancel}};
    return alert;
}

Alert exportFailedAlert(int count, const tunnelkit::FileError& error) {
    Alert alert;
    alert.style = Alert::Style::warning;
    alert.message = count == 1 ? ActionWords::tr("The tunnel couldn't be exported.")
                               : ActionWords::tr("The tunnels couldn't be exported.");
    alert.informativeText = message(error);
    return alert;
}

// English has no catalogue: one and many are written out, the Italian catalogue gives its forms.
QString relativeTime(tunnelkit::Date then, tunnelkit::Date now) {
    using namespace std::chrono;
    const auto ago = duration_cast<seconds>(now - then).count();
    const auto days = ago / 86'400;
    const auto count = [](long long value) { return static_cast<int>(value); };
    if (ago < 1) {
        return TimeWords::tr("now");
    }
    if (ago < 60) {
        return ago == 1 ? TimeWords::tr("1 second ago")
                        : TimeWords::tr("%n seconds ago", nullptr, count(ago));
    }
    if (ago < 3600) {
        return ago < 120 ? TimeWords::tr("1 minute ago")
                         : TimeWords::tr("%n minutes ago", nullptr, count(ago / 60));
    }
    if (ago < 86'400) {
        return ago < 7200 ? TimeWords::tr("1 hour ago")
                          : TimeWords::tr("%n hours ago", nullptr, count(ago / 3600));
    }
    if (days == 1) {
        return TimeWords::tr("yesterday");
    }
    if (days < 7) {
        return TimeWords::tr("%n days ago", nullptr, count(days));
    }
    if (days < 14) {
        return TimeWords::tr("last week");
    }
    if (days < 30) {
        return TimeWords::tr("%n weeks ago", nullptr, count(days / 7));
    }
    if (days < 60) {
        return TimeWords::tr("last month");
    }
    if (days < 365) {
        return TimeWords::tr("%n months ago", nullptr, count(days / 30));
    }
    if (days < 730) {
        return TimeWords::tr("last year");
    }
    return TimeWords::tr("%n years ago", nullptr, count(days / 365));
}

QString deletedLine(tunnelkit::Date deletedAt, tunnelkit::Date now) {
    return RowWords::tr("Deleted %1").arg(relativeTime(deletedAt, now));
}

} // namespace burrowlight::texts

#include "Burrowlight/Widgets/Detail/DetailHeader.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Widgets/Detail/DetailParts.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QEvent>
#include <QFocusEvent>
#include <pwd.h>
#include <unistd.h>

namespace burrowlight {

using tunnelkit::TunnelState;

namespace {

QString loginName() {
    if (const passwd* entry = getpwuid(getuid())) {
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QWidget& captioned(QLabel& caption, const QString& text, QWidget& field, QVBoxLayout& layout) {
    layout.setContentsMargins(0, 0, 0, 0);
    layout.setSpacing(sizes::scaled(3));
    caption.setText(text);
    QFont small = caption.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    caption.setFont(small);
    makeSecondary(caption);
    layout.addWidget(&caption);
    layout.addWidget(&field);
    return *layout.parentWidget();
}

} // namespace

DetailHeader::DetailHeader(DetailContext& context, std::unique_ptr<QWidget> serverField, QWidget* parent)
    : QWidget(parent), context_(context), serverField_(std::move(serverField)) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(sizes::scaled(10));

    name_.setPlaceholderText(tr("Tunnel Name"));
    name_.setAccessibleName(tr("Name"));
    name_.setFrame(false);
    QFont title = name_.font();
    title.setPointSizeF(title.pointSizeF() * 1.55);
    title.setWeight(QFont::DemiBold);
    name_.setFont(title);
    name_.setAttribute(Qt::WA_Hover);
    name_.installEventFilter(this);
    name_.setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; padding: 3px 6px; margin: 0 -6px; }"));
    fieldText::bind(name_, [this](const QString& text) {
        context_.draft().editTunnel([&](tunnelkit::Tunnel& tunnel) { tunnel.name = text.toStdString(); });
    });
    connect(&connect_, &QPushButton::clicked, this, [this] { context_.connectOrDisconnect(); });
    nameLayout_.setContentsMargins(0, 0, 0, 0);
    nameLayout_.setSpacing(sizes::scaled(16));
    nameLayout_.addWidget(&name_, 1);
    nameLayout_.addWidget(&connect_);
    layout_.addWidget(&nameRow_);

    const QFont mono = editorLook::monospaced(font());
    user_.setAccessibleName(tr("User"));
    user_.setFont(mono);
    user_.setMinimumWidth(sizes::scaled(80));
    user_.setMaximumWidth(sizes::scaled(150));
    fieldText::bind(user_, [this](const QString& text) {
        context_.draft().editTunnel([&](tunnelkit::Tunnel& tunnel) { tunnel.user = text.toStdString(); });
    });
    QWidget* server = serverField_.get();
    if (!server) {
        plainServer_.setAccessibleName(tr("Server"));
        fieldText::bind(plainServer_, [this](const QString& text) {
            context_.draft().editTunnel([&](tunnelkit::Tunnel& tunnel) { tunnel.host = text.toStdString(); });
        });
        serverFocus_ = std::make_unique<FocusBinding>(plainServer_, context_.focus(), editorFocus::Host{});
        showProblemsOnReturn(plainServer_, context_);
        server = &plainServer_;
    } else {
        plainServer_.hide();
    }
    server->setFont(mono);
    server->setMinimumWidth(sizes::scaled(140));
    serverColumn_.setMaximumWidth(sizes::scaled(340));
    port_.setAccessibleName(tr("Port"));
    port_.setFont(mono);
    sizes::setNumberFieldWidth(port_, 56, QStringLiteral("65535"));
    port_.setAlignment(Qt::AlignRight);
    fieldText::bind(port_, [this](const QString& text) { context_.draft().setPort(text); });
    for (QLabel* separator : {&at_, &colon_}) {
        separator->setFont(mono);
        separator->setContentsMargins(sizes::scaled(QMargins(0, 0, 0, 4)));
        makeSecondary(*separator);
    }
    at_.setText(QStringLiteral("@"));
    colon_.setText(QStringLiteral(":"));
    serverLayout_.setContentsMargins(0, 0, 0, 0);
    serverLayout_.setSpacing(sizes::scaled(6));
    serverLayout_.addWidget(&captioned(userCaption_, tr("User"), user_, userColumnLayout_), 0,
                            Qt::AlignBottom);
    serverLayout_.addWidget(&at_, 0, Qt::AlignBottom);
    serverLayout_.addWidget(&captioned(serverCaption_, tr("Server"), *server, serverColumnLayout_), 1,
                            Qt::AlignBottom);
    serverLayout_.addWidget(&colon_, 0, Qt::AlignBottom);
    serverLayout_.addWidget(&captioned(portCaption_, tr("Port"), port_, portColumnLayout_), 0,
                            Qt::AlignBottom);
    serverLayout_.addStretch();
    serverRow_.setToolTip(DetailModel::serverRowHelp());
    layout_.addWidget(&serverRow_);

    showSymbol(hostWarningIcon_, QStringLiteral("exclamationmark.triangle"),
               look::tint(StatusDotLook::Tint::red), 12);
    hostWarningText_.setText(DetailModel::hostWarning());
    QPalette red = hostWarningText_.palette();
    red.setColor(QPalette::WindowText, look::tint(StatusDotLook::Tint::red));
    hostWarningText_.setPalette(red);
    QFont caption = hostWarningText_.font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    hostWarningText_.setFont(caption);
    hostWarningLayout_.setContentsMargins(0, 0, 0, 0);
    hostWarningLayout_.setSpacing(sizes::scaled(4));
    hostWarningLayout_.addWidget(&hostWarningIcon_);
    hostWarningLayout_.addWidget(&hostWarningText_, 1);
    layout_.addWidget(&hostWarning_);

    status_.setTextFormat(Qt::PlainText);
    statusLayout_.setContentsMargins(0, 0, 0, 0);
    statusLayout_.setSpacing(sizes::scaled(6));
    statusLayout_.addWidget(&dot_);
    statusLayout_.addWidget(&status_, 1);
    layout_.addWidget(&statusRow_);
    tick_.setSingleShot(true);
    connect(&tick_, &QTimer::timeout, this, &DetailHeader::refreshStatus);

    nameFocus_ = std::make_unique<FocusBinding>(name_, context_.focus(), editorFocus::Name{});
    userFocus_ = std::make_unique<FocusBinding>(user_, context_.focus(), editorFocus::User{});
    portFocus_ = std::make_unique<FocusBinding>(port_, context_.focus(), editorFocus::Port{});
    for (QLineEdit* field : {&name_, &user_, &port_}) {
        showProblemsOnReturn(*field, context_);
    }
    connect(&context_, &DetailContext::draftChanged, this, &DetailHeader::refreshDraft);
    connect(&context_, &DetailContext::connectionChanged, this, &DetailHeader::refreshConnection);
    connect(&context_, &DetailContext::savedTunnelChanged, this, &DetailHeader::refreshConnection);
    connect(&context_.app().configHosts(), &ConfigHosts::hostsChanged, this, &DetailHeader::refreshPrompts);
    refreshDraft();
    refreshConnection();
}

DetailHeader::~DetailHeader() {
    // The name's look follows its focus, which it loses as it goes.
    name_.removeEventFilter(this);
}

void DetailHeader::pressConnect() {
    if (connect_.isVisible() && connect_.isEnabled()) {
        connect_.click();
    }
}

bool DetailHeader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &name_) {
        const auto type = event->type();
        // Shown from its start while the user is elsewhere; asked to edit it, they continue it.
        if (type == QEvent::FocusIn && static_cast<QFocusEvent*>(event)->reason() == Qt::OtherFocusReason) {
            name_.end(false);
        }
        if (type == QEvent::HoverEnter || type == QEvent::HoverLeave || type == QEvent::FocusIn ||
            type == QEvent::FocusOut) {
            hoversName_ = type == QEvent::HoverEnter || (type != QEvent::HoverLeave && hoversName_);
            const bool lit = hoversName_ || name_.hasFocus() || type == QEvent::FocusIn;
            name_.setStyleSheet(
                QStringLiteral(
                    "QLineEdit { background: %1; border-radius: 6px; padding: 3px 6px; margin: 0 -6px; }")
                    .arg(lit ? QStringLiteral("rgba(128,128,128,0.12)") : QStringLiteral("transparent")));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DetailHeader::refreshDraft() {
    const auto& draft = context_.draft();
    const auto& tunnel = draft.tunnel();
    fieldText::show(name_, QString::fromStdString(tunnel.name));
    fieldText::show(user_, QString::fromStdString(tunnel.user));
    if (!serverField_) {
        fieldText::show(plainServer_, QString::fromStdString(tunnel.host));
    }
    fieldText::show(port_, draft.port());
    hostWarning_.setVisible(DetailModel::showsHostWarning(draft));
    refreshPrompts();
    refreshConnection();
}

void DetailHeader::refreshPrompts() {
    const auto host = DetailModel::draftConfigHost(context_.draft(), context_.app().configHosts());
    user_.setPlaceholderText(DetailModel::userPrompt(host, loginName()));
    port_.setPlaceholderText(DetailModel::portPrompt(host));
}

void DetailHeader::refreshConnection() {
    const auto state = context_.state();
    // Hidden, it still has a name for whoever reads the window's controls.
    const auto button =
        DetailModel::connectButton(state.value_or(TunnelState::disconnected()), context_.draft());
    connect_.setVisible(state.has_value());
    if (button) {
        connect_.setText(button->title);
        connect_.setEnabled(button->enabled);
        connect_.setToolTip(button->help);
        if (button->disconnects) {
            connect_.setPalette(QPalette());
        } else {
            makeProminent(connect_);
        }
    }
    statusRow_.setVisible(state.has_value());
    refreshStatus();
}

void DetailHeader::refreshStatus() {
    tick_.stop();
    const auto state = context_.state();
    if (!state) {
        return;
    }
    const auto now = context_.sources().now();
    dot_.setState(*state);
    status_.setText(DetailModel::statusText(*state, now));
    // The countdown moves only while someone can see it.
    if (const auto wait = DetailModel::nextStatusChange(*state, now); wait && isVisible()) {
        tick_.start(*wait);
    }
}

void DetailHeader::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshStatus();
}

void DetailHeader::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    tick_.stop();
}

} // namespace burrowlight

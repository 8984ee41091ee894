#include "Burrowlight/AskPassHelper.h"

#include "Burrowlight/AppIdentity.h"
#include "Platform/LibsecretBackend.h"
#include "Platform/ProcessTable.h"
#include "TunnelKit/Text.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

namespace burrowlight {

using tunnelkit::AskPassEnvironment;
using tunnelkit::AskPassRequest;

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

AskPassDialogModel AskPassDialogModel::make(const AskPassQuestion& question) {
    using Kind = AskPassRequest::Kind;
    const QString prompt = fromUtf8(question.request.prompt);
    const QString& name = question.tunnelName;

    AskPassDialogModel model;
    model.kind = question.request.kind;
    switch (question.request.kind) {
    case Kind::hostKey:
        model.message = AskPassHelper::tr("Trust the server of “%1”?").arg(name);
        model.informativeText =
            AskPassHelper::tr(
                "This is the first connection to this server, or its address changed. Check that "
                "the fingerprint matches the server's before trusting it.") +
            QStringLiteral("\n\n") + AskPassHelper::fingerprintLines(prompt);
        model.acceptTitle = AskPassHelper::tr("Trust and Connect");
        model.rejectTitle = AskPassHelper::tr("Cancel");
        return model;
    case Kind::confirmation:
        model.message = name;
        model.informativeText = prompt;
        model.acceptTitle = AskPassHelper::tr("Allow");
        model.rejectTitle = AskPassHelper::tr("Deny");
        return model;
    case Kind::passphrase:
        model.message = AskPassHelper::tr("Key passphrase for “%1”").arg(name);
        break;
    case Kind::password:
        model.message = AskPassHelper::tr("Password for “%1”").arg(name);
        break;
    case Kind::text:
        model.message = name;
        break;
    }
    model.informativeText =
        fromUtf8(tunnelkit::text::trim(question.request.prompt, tunnelkit::text::isWhitespace));
    if (question.savedWasRefused) {
        model.informativeText += QStringLiteral("\n\n") + AskPassHelper::tr("The saved one wasn't accepted.");
    }
    model.acceptTitle = AskPassHelper::tr("Connect");
    model.rejectTitle = AskPassHelper::tr("Cancel");
    model.entry = question.request.secretKey() ? Entry::secretWithRemember : Entry::secret;
    return model;
}

AskPassOutcome AskPassDialogModel::accepted(const QString& text, bool rememberTicked) const {
    switch (kind) {
    case AskPassRequest::Kind::hostKey:
    case AskPassRequest::Kind::confirmation:
        return AskPassOutcome::yes();
    case AskPassRequest::Kind::passphrase:
    case AskPassRequest::Kind::password:
    case AskPassRequest::Kind::text:
        break;
    }
    return AskPassOutcome::answer(text, showsRememberBox() && rememberTicked);
}

AskPassOutcome AskPassDialogModel::refused() const {
    // A refused host key still needs an answer, or ssh would ask again; ssh then fails on the key.
    return kind == AskPassRequest::Kind::hostKey ? AskPassOutcome::no() : AskPassOutcome::cancelled();
}

AskPassDialog::AskPassDialog(AskPassDialogModel model, QWidget* parent)
    : QDialog(parent), model_(std::move(model)), layout_(this) {
    setWindowTitle(appDisplayName());
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(true);

    const int iconSize = 64;
    icon_.setPixmap(QApplication::windowIcon().pixmap(iconSize, iconSize));
    icon_.setAlignment(Qt::AlignTop);

    // Everything shown comes from ssh, the server or the user: never read as markup.
    message_.setTextFormat(Qt::PlainText);
    message_.setWordWrap(true);
    QFont bold = message_.font();
    bold.setBold(true);
    message_.setFont(bold);
    message_.setText(model_.message);

    informative_.setTextFormat(Qt::PlainText);
    informative_.setWordWrap(true);
    informative_.setTextInteractionFlags(Qt::TextSelectableByMouse);
    informative_.setText(model_.informativeText);

    accept_ = buttons_.addButton(model_.acceptTitle, QDialogButtonBox::AcceptRole);
    reject_ = buttons_.addButton(model_.rejectTitle, QDialogButtonBox::RejectRole);
    accept_->setDefault(true);
    connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout_.setSizeConstraint(QLayout::SetFixedSize);
    layout_.addWidget(&icon_, 0, 0, 3, 1);
    layout_.addWidget(&message_, 0, 1);
    layout_.addWidget(&informative_, 1, 1);
    buildAccessory();
    layout_.addWidget(&buttons_, 3, 0, 1, 2);
}

void AskPassDialog::buildAccessory() {
    if (!model_.showsSecretField()) {
        return;
    }
    accessory_ = std::make_unique<QWidget>();
    const int height = model_.showsRememberBox() ? accessoryHeightWithBox : fieldHeight;
    accessory_->setFixedSize(accessoryWidth, height);

    secretField_ = std::make_unique<QLineEdit>(accessory_.get());
    secretField_->setEchoMode(QLineEdit::Password);
    secretField_->setGeometry(0, 0, accessoryWidth, fieldHeight);

    if (model_.showsRememberBox()) {
        rememberBox_ =
            std::make_unique<QCheckBox>(AskPassHelper::tr("Remember in keyring"), accessory_.get());
        rememberBox_->setChecked(true);
        rememberBox_->setGeometry(0, height - rememberBoxHeight, accessoryWidth, rememberBoxHeight);
    }
    layout_.addWidget(accessory_.get(), 2, 1);
    secretField_->setFocus();
}

AskPassOutcome AskPassDialog::outcome() const {
    if (result() != QDialog::Accepted) {
        return model_.refused();
    }
    return model_.accepted(secretField_ ? secretField_->text() : QString(),
                           rememberBox_ && rememberBox_->isChecked());
}

AskPassContext AskPassContext::read(int argc, char** argv, const Lookup& variable) {
    const std::string prompt = argc > 1 && argv[1] ? argv[1] : "";
    const auto hint = variable(AskPassEnvironment::promptHintKey);
    AskPassContext context{
        AskPassRequest(prompt, hint ? std::optional<std::string_view>(*hint) : std::nullopt), std::nullopt,
        std::nullopt, std::nullopt, appDisplayName()};

    if (const auto tunnel = variable(AskPassEnvironment::tunnelIDKey)) {
        context.tunnel = tunnelkit::Uuid::parse(*tunnel);
    }
    if (const auto attempt = variable(AskPassEnvironment::attemptKey)) {
        context.attempt = tunnelkit::Uuid::parse(*attempt);
    }
    if (const auto directory = variable(AskPassEnvironment::stateDirectoryKey);
        directory && !directory->empty()) {
        context.ledger.emplace(*directory);
    }
    if (const auto name = variable(AskPassEnvironment::tunnelNameKey); name && !name->empty()) {
        context.tunnelName = fromUtf8(*name);
    }
    return context;
}

std::optional<std::string> AskPassContext::processVariable(const char* name) {
    if (const char* value = std::getenv(name)) {
        return std::string(value);
    }
    return std::nullopt;
}

void AskPassHelper::run(int argc, char** argv) {
    // Everything the helper made is gone by now; only the status is left to give.
    std::exit(answerOneQuestion(argc, argv));
}

int AskPassHelper::answerOneQuestion(int argc, char** argv) {
    if (!tunnelkit::AskPassOrigin::isStartedByApp(platform::LinuxProcessTable())) {
        const auto line = refusalLine();
        std::fwrite(line.data(), 1, line.size(), stderr);
        return 1;
    }
    const auto context = AskPassContext::read(argc, argv, AskPassContext::processVariable);
    const tunnelkit::SecretStore store(
        bundleIdentifier, std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier));
    const auto decision = decide(context, store);
    if (const auto* answer = decision.asAnswer()) {
        return reply(answer->secret);
    }

    restoreDisplay();
    // Qt would read options out of the command line, and ssh's prompt is no option.
    char programName[] = "burrowlight";
    char* qtArguments[] = {programName, nullptr};
    int qtArgumentCount = 1;
    QApplication application(qtArgumentCount, qtArguments);
    QApplication::setApplicationName(QStringLiteral("burrowlight"));
    QApplication::setDesktopFileName(QString::fromLatin1(bundleIdentifier));
    QApplication::setWindowIcon(appIcon());

    const auto outcome = ask({context.request, context.tunnelName, decision.asAsk()->savedWasRefused});
    const auto settled = settle(outcome, context, store);
    return settled.answer ? reply(*settled.answer) : settled.exitStatus;
}

std::optional<std::string> AskPassHelper::savedSecret(std::optional<tunnelkit::Uuid> tunnel,
                                                      const tunnelkit::SecretKey& key,
                                                      const tunnelkit::SecretStore& store) {
    if (!tunnel) {
        return std::nullopt;
    }
    return store.secret(*tunnel, key);
}

tunnelkit::AskPassDecision AskPassHelper::decide(const AskPassContext& context,
                                                 const tunnelkit::SecretStore& store) {
    return tunnelkit::AskPassDecision::decide(
        context.request, context.attempt, context.ledger,
        [&](const tunnelkit::SecretKey& key) { return savedSecret(context.tunnel, key, store); });
}

std::unique_ptr<AskPassDialog> AskPassHelper::makeAlert(const AskPassQuestion& question) {
    return std::make_unique<AskPassDialog>(AskPassDialogModel::make(question));
}

AskPassOutcome AskPassHelper::ask(const AskPassQuestion& question) {
    const auto dialog = makeAlert(question);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->exec();
    return dialog->outcome();
}

AskPassReply AskPassHelper::settle(const AskPassOutcome& outcome, const AskPassContext& context,
                                   const tunnelkit::SecretStore& store) {
    if (std::holds_alternative<AskPassOutcome::Yes>(outcome.value)) {
        return {"yes", 0};
    }
    if (std::holds_alternative<AskPassOutcome::No>(outcome.value)) {
        return {"no", 0};
    }
    if (const auto* answer = outcome.asAnswer()) {
        const std::string text = answer->text.toStdString();
        const auto key = context.request.secretKey();
        if (answer->remember && key && context.tunnel) {
            // ssh gets its answer whether or not the keyring took it.
            (void)store.save(text, *context.tunnel, *key, secretLabel(context.tunnelName).toStdString());
        }
        return {text, 0};
    }
    if (context.attempt && context.ledger) {
        context.ledger->markCancelled(*context.attempt);
    }
    return {std::nullopt, 1};
}

QString AskPassHelper::fingerprintLines(const QString& prompt) {
    QStringList kept;
    for (const auto& line : prompt.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto lower = tunnelkit::text::lowercased(line.toStdString());
        if (lower.find("fingerprint is") != std::string::npos ||
            lower.find("key fingerprint") != std::string::npos) {
            kept.push_back(line);
        }
    }
    return kept.join(QLatin1Char('\n'));
}

QString AskPassHelper::secretLabel(const QString& tunnelName) {
    return appDisplayName() + QStringLiteral(": ") + tunnelName;
}

std::string AskPassHelper::refusalLine() {
    const auto name = appDisplayName().toStdString();
    return name + ": askpass refused, not started by " + name + " through ssh\n";
}

int AskPassHelper::reply(const std::string& text) {
    const std::string line = text + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return 0;
}

void AskPassHelper::restoreDisplay() {
    const char* display = std::getenv(AskPassEnvironment::displayKey);
    if (display && *display) {
        ::setenv("DISPLAY", display, 1);
    }
}

} // namespace burrowlight

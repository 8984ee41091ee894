#include "Burrowlight/Widgets/Shell/OnboardingWindow.h"

#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

namespace burrowlight {

namespace {

constexpr int stepIconSize = 20;

QPixmap symbolPixmap(const QString& symbol, const QColor& color, int size) {
    return tintedIcon(symbolIcon(symbol), color, {size, size}).pixmap(size, size);
}

// The system's green for "done", readable on either surface.
QColor allowedColor() {
    return makeDynamicColor(0x2E7D32, 0x7BC67E);
}

} // namespace

OnboardingWindow::OnboardingWindow(std::unique_ptr<OnboardingModel> model) : model_(std::move(model)) {
    setWindowTitle(tr("Welcome to Burrowlight"));

    title_.setText(tr("Welcome to Burrowlight"));
    scaleFont(title_, 1.6, QFont::DemiBold);
    introLayout_.setContentsMargins(0, 0, 0, 0);
    introLayout_.setSpacing(sizes::scaled(6));
    introLayout_.addWidget(&title_);
    introLayout_.addWidget(&introduction_);

    steps_.content().setContentsMargins(sizes::scaled(QMargins(16, 0, 16, 0)));
    if (model_->hasSSHConfig()) {
        import_ = std::make_unique<QPushButton>(tr("Import from SSH Config…"));
        addStep(QStringLiteral("doc.text"), tr("Bring Your Hosts"),
                tr("Add the hosts of ~/.ssh/config as tunnels, with their forwards."), *import_);
        connect(import_.get(), &QPushButton::clicked, model_.get(), &OnboardingModel::importFromSSHConfig);
    }
    newTunnel_.setText(tr("New Tunnel…"));
    addStep(QStringLiteral("plus.circle"), tr("Create a Tunnel"),
            tr("Choose a server and the ports to forward."), newTunnel_);
    allowNotifications_.setText(tr("Allow…"));
    allowed_.setText(tr("Allowed"));
    notificationsLayout_.setContentsMargins(0, 0, 0, 0);
    notificationsLayout_.setSpacing(sizes::scaled(4));
    notificationsLayout_.addWidget(&allowNotifications_);
    notificationsLayout_.addWidget(&allowedIcon_);
    notificationsLayout_.addWidget(&allowed_);
    addStep(QStringLiteral("bell"), tr("Notifications"), tr("Know when a tunnel connects, drops or fails."),
            notificationsControl_);
    openAtLogin_.setAccessibleName(tr("Open at login"));
    addStep(QStringLiteral("power"), tr("Open at Login"),
            tr("Tunnels set to connect at launch come up when you sign in."), openAtLogin_);

    showTrayTexts();
    footerText_.setWordWrap(true);
    scaleFont(footerText_, 0.92);
    continue_.setText(tr("Continue"));
    continue_.setDefault(true);
    footerLayout_.setContentsMargins(0, 0, 0, 0);
    footerLayout_.setSpacing(sizes::scaled(8));
    footerLayout_.addWidget(&footerIcon_);
    footerLayout_.addWidget(&footerText_, 1);
    footerLayout_.addWidget(&continue_);

    layout_.setContentsMargins(sizes::scaled(QMargins(28, 28, 28, 28)));
    layout_.setSpacing(sizes::scaled(20));
    layout_.addWidget(&headerRow_);
    layout_.addWidget(&introColumn_);
    layout_.addWidget(&steps_);
    layout_.addWidget(&footerRow_);

    for (QPushButton* button : {import_.get(), &newTunnel_, &allowNotifications_}) {
        if (button) {
            button->setAutoDefault(false);
        }
    }
    // Down the steps, then Continue.
    QWidget* previous = import_ ? static_cast<QWidget*>(import_.get()) : &newTunnel_;
    for (QWidget* next :
         std::initializer_list<QWidget*>{&newTunnel_, &allowNotifications_, &openAtLogin_, &continue_}) {
        if (next != previous) {
            setTabOrder(previous, next);
            previous = next;
        }
    }
    connect(&newTunnel_, &QPushButton::clicked, model_.get(), &OnboardingModel::newTunnel);
    connect(&allowNotifications_, &QPushButton::clicked, model_.get(),
            &OnboardingModel::requestNotifications);
    connect(&openAtLogin_, &QCheckBox::toggled, model_.get(), &OnboardingModel::setOpensAtLogin);
    connect(&continue_, &QPushButton::clicked, model_.get(), &OnboardingModel::finish);
    connect(model_.get(), &OnboardingModel::changed, this, &OnboardingWindow::refresh);
    refresh();
    applyTheme();
    sizes::fixToWidth(*this, width);
    sizes::keepOnScreen(*this);
}

OnboardingWindow::~OnboardingWindow() = default;

void OnboardingWindow::addStep(const QString& symbol, const QString& title, const QString& detail,
                               QWidget& control) {
    if (!stepRows_.empty()) {
        auto& divider = *dividers_.emplace_back(std::make_unique<QFrame>());
        steps_.content().addWidget(&divider);
        makeSeparator(divider, Qt::Horizontal);
    }
    auto& step = *stepRows_.emplace_back(std::make_unique<Step>());
    step.symbol = symbol;
    step.icon.setFixedWidth(sizes::scaled(28));
    step.icon.setAlignment(Qt::AlignCenter);
    step.title.setText(title);
    scaleFont(step.title, 1.0, QFont::Medium);
    setWrappedPlainText(step.detail, detail);
    scaleFont(step.detail, 0.92);
    step.textsLayout.setContentsMargins(0, 0, 0, 0);
    step.textsLayout.setSpacing(sizes::scaled(2));
    step.textsLayout.addWidget(&step.title);
    step.textsLayout.addWidget(&step.detail);
    step.layout.setContentsMargins(sizes::scaled(QMargins(0, 12, 0, 12)));
    step.layout.setSpacing(sizes::scaled(14));
    step.layout.addWidget(&step.icon);
    step.layout.addWidget(&step.texts, 1);
    step.layout.addSpacing(12 - step.layout.spacing());
    step.layout.addWidget(&control, 0, Qt::AlignVCenter);
    step.title.setBuddy(&control);
    steps_.content().addWidget(&step.row);
}

QStringList OnboardingWindow::stepTitles() const {
    QStringList titles;
    for (const auto& step : stepRows_) {
        titles.append(step->title.text());
    }
    return titles;
}

// A tray that comes while the window is open changes what it promises, and the height that takes.
void OnboardingWindow::showTrayTexts() {
    const bool hasTray = model_->hasTray();
    if (shownWithTray_ == hasTray) {
        return;
    }
    const bool fitted = shownWithTray_.has_value();
    shownWithTray_ = hasTray;
    setWrappedPlainText(
        introduction_, hasTray ? tr("Your SSH tunnels, one click away in the tray. Burrowlight runs the "
                                    "system's ssh and keeps the tunnels up when the network changes.")
                               : tr("Your SSH tunnels, one click away. Burrowlight runs the system's ssh and "
                                    "keeps the tunnels up when the network changes."));
    footerText_.setText(hasTray ? tr("Burrowlight stays in the tray, also when this window is closed.")
                                : tr("Burrowlight keeps the tunnels up while its window is closed. Opening "
                                     "Burrowlight again shows the window."));
    if (fitted) {
        sizes::fixToWidth(*this, width);
    }
}

void OnboardingWindow::refresh() {
    showTrayTexts();
    const bool allowed = model_->notifications() == OnboardingModel::Notifications::allowed;
    allowNotifications_.setVisible(!allowed);
    allowedIcon_.setVisible(allowed);
    allowed_.setVisible(allowed);
    const QSignalBlocker quiet(openAtLogin_);
    openAtLogin_.setChecked(model_->opensAtLogin());
}

void OnboardingWindow::applyTheme() {
    applyTolvanSurface(*this);
    const QColor accent = tolvanAccent();
    headerRow_.applyTheme();
    makeSecondary(introduction_);
    makeSecondary(footerText_);
    for (const auto& divider : dividers_) {
        makeSeparator(*divider, Qt::Horizontal);
    }
    for (const auto& step : stepRows_) {
        step->icon.setPixmap(symbolPixmap(step->symbol, accent, stepIconSize));
        makeSecondary(step->detail);
    }
    footerIcon_.setPixmap(
        tintedIcon(trayIcon(), footerText_.palette().color(QPalette::WindowText), {16, 16}).pixmap(16, 16));
    QPalette green = allowed_.palette();
    green.setColor(QPalette::WindowText, allowedColor());
    allowed_.setPalette(green);
    allowedIcon_.setPixmap(symbolPixmap(QStringLiteral("checkmark.circle.fill"), allowedColor(), 16));
    makeProminent(continue_);
}

void OnboardingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_->refreshNotifications();
    raise();
    activateWindow();
}

} // namespace burrowlight

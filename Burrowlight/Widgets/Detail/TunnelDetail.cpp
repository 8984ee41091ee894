#include "Burrowlight/Widgets/Detail/TunnelDetail.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Models/DetailRules.h"
#include "Burrowlight/Widgets/Detail/TrashedTunnelPage.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QPointer>
#include <QTimer>

namespace burrowlight {

using tunnelkit::Uuid;

namespace {

// A section the detail is made with shows with the detail: shown on its own before, it would lay
// itself out for a width it never has, which for a long SSH command takes a while.
void showIf(QWidget& section, bool shown) {
    if (section.isHidden() == shown) {
        section.setVisible(shown);
    }
}

} // namespace

TunnelDetail::TunnelDetail(MainWindowModel& window, TunnelDrafts::Draft draft, DetailSections& sections,
                           QWidget* parent)
    : QWidget(parent), window_(window),
      context_(window.app(), window.actions(), std::move(draft), window.sources()),
      // Cancelling a new tunnel closes this detail: not while its button is still being clicked.
      bar_(
          [this] { QMetaObject::invokeMethod(&context_, &DetailContext::cancelDraft, Qt::QueuedConnection); },
          [this](bool reconnect) { context_.saveDraft(reconnect); }),
      header_(context_, sections.serverField(context_)), banner_([this] {
          if (const auto connection = context_.connection()) {
              connection->retryNow();
          }
      }) {
    context_.setCloseNew([&window] { window.state().setSelection({}); });
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    layout_.addWidget(&bar_);
    storageProblem_.setTextFormat(Qt::PlainText);
    storageProblem_.setWordWrap(true);
    storageProblem_.setContentsMargins(sizes::scaled(QMargins(24, 8, 24, 8)));
    QPalette red = storageProblem_.palette();
    red.setColor(QPalette::WindowText, look::tint(StatusDotLook::Tint::red));
    storageProblem_.setPalette(red);
    layout_.addWidget(&storageProblem_);
    layout_.addWidget(&scroll_, 1);
    scroll_.setColumn(column_);
    scroll_.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    column_.setMaximumWidth(sizes::scaled(820 + 48));
    columnLayout_.setContentsMargins(sizes::scaled(QMargins(24, 24, 24, 24)));
    columnLayout_.setSpacing(sizes::scaled(18));
    columnLayout_.addWidget(&header_);
    columnLayout_.addWidget(&banner_);
    forwards_ = sections.forwardsSection(context_);
    config_ = sections.configSection(context_);
    session_ = sections.sessionSection(context_);
    advanced_ = sections.advancedSection(context_);
    sshCommand_ = sections.sshCommandSection(context_);
    for (const auto* section : {&forwards_, &config_, &session_, &advanced_, &sshCommand_}) {
        placeSection(*section);
    }
    columnLayout_.addStretch();
    look::onSurface(*this);

    for (QShortcut* shortcut : {&cancel_, &save_, &saveEnter_, &connect_}) {
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    }
    connect(&cancel_, &QShortcut::activated, this, [this] {
        if (bar_.isVisible()) {
            bar_.cancelButton().click();
        }
    });
    connect(&save_, &QShortcut::activated, this, &TunnelDetail::pressSave);
    connect(&saveEnter_, &QShortcut::activated, this, &TunnelDetail::pressSave);
    connect(&connect_, &QShortcut::activated, &header_, &DetailHeader::pressConnect);
    const auto followKeys = [this] {
        const bool active = window_.state().keysActive();
        cancel_.setEnabled(active);
        save_.setEnabled(active);
        saveEnter_.setEnabled(active);
    };
    connect(&window.state(), &MainWindowState::searchFocusedChanged, this, followKeys);
    followKeys();

    connect(&context_, &DetailContext::draftChanged, this, &TunnelDetail::refresh);
    connect(&context_, &DetailContext::connectionChanged, this, &TunnelDetail::refresh);
    connect(&context_, &DetailContext::savedTunnelChanged, this, &TunnelDetail::refresh);
    connect(&context_, &DetailContext::storageProblemChanged, this, &TunnelDetail::refresh);
    connect(&context_.app().configHosts(), &ConfigHosts::hostsChanged, this, &TunnelDetail::refreshSections);
    connect(&context_.app().settings(), &AppSettings::usesSSHConfigChanged, this,
            &TunnelDetail::refreshSections);
    refresh();
    connect(&window.app().drafts(), &TunnelDrafts::focusRequestChanged, this,
            &TunnelDetail::takeFocusRequest);
    takeFocusRequest();
}

TunnelDetail::~TunnelDetail() {
    context_.detachViews();
}

void TunnelDetail::placeSection(const std::unique_ptr<QWidget>& section) {
    if (section) {
        columnLayout_.addWidget(section.get());
    }
}

void TunnelDetail::takeFocusRequest() {
    auto& drafts = window_.app().drafts();
    if (drafts.focusRequest() != context_.id()) {
        return;
    }
    drafts.setFocusRequest(std::nullopt);
    // Not tied to the detail: another selection may replace it before the delay is over.
    QTimer::singleShot(focusDelay, [detail = QPointer(this)] {
        if (detail) {
            detail->context_.focus().set(editorFocus::Name{});
        }
    });
}

void TunnelDetail::pressSave() {
    if (!bar_.isVisible()) {
        return;
    }
    QPushButton& save = bar_.prominentSaveButton();
    if (save.isEnabled()) {
        save.click();
    } else {
        context_.showProblems();
    }
}

void TunnelDetail::refresh() {
    refreshBar();
    scroll_.setAccessibleName(DetailModel::title(context_.draft().isNew(), context_.savedTunnel()));
    const auto state = context_.state();
    const auto problem = context_.problem();
    banner_.setVisible(DetailModel::showsProblemBanner(state, problem));
    if (banner_.isVisibleTo(this)) {
        banner_.show(DetailModel::banner(*state, *problem));
    }
    const auto& storage = context_.storageProblem();
    storageProblem_.setVisible(storage.has_value());
    storageProblem_.setText(storage.value_or(QString()));
    showLogCard();
    refreshSections();
}

void TunnelDetail::refreshBar() {
    const auto& draft = context_.draft();
    bar_.setVisible(DetailModel::showsUnsavedBar(draft));
    // Filled in also while hidden, so that its buttons have names for whoever reads the window.
    const bool shown = bar_.isVisibleTo(this);
    bar_.show(DetailModel::unsavedBar(draft, context_.state(),
                                      shown && draft.changesConnection(context_.app().makeBuilder())));
}

void TunnelDetail::refreshSections() {
    const auto saved = context_.savedTunnel();
    if (config_) {
        const auto host = saved ? context_.app().configHosts().host(saved->host) : std::nullopt;
        showIf(*config_, detail::showsConfigSection(saved, host));
    }
    if (session_) {
        const auto connection = context_.connection();
        showIf(*session_, connection && detail::showsSessionSection(context_.state(), connection->session()));
    }
    if (sshCommand_) {
        showIf(*sshCommand_,
               detail::sshCommandText(context_.draft(), saved, context_.app().makeBuilder()).has_value());
    }
}

void TunnelDetail::showLogCard() {
    const auto connection = context_.connection();
    if (logCard_) {
        logCard_->setVisible(connection != nullptr);
        return;
    }
    if (!connection) {
        return;
    }
    logModel_ =
        std::make_unique<LogCardModel>(context_.app().engine(), connection, context_.app().settings());
    logCard_ = std::make_unique<LogCard>(*logModel_);
    // Below the sections, above the stretch that closes the column.
    columnLayout_.insertWidget(columnLayout_.count() - 1, logCard_.get());
}

TunnelDetails::TunnelDetails(DetailSections* sections) : sections_(sections ? *sections : standIns_) {}

TunnelDetails::TunnelDetails(std::unique_ptr<DetailSections> sections)
    : ownSections_(std::move(sections)), sections_(*ownSections_) {}

std::unique_ptr<QWidget> TunnelDetails::makeEditor(MainWindowModel& window, const Uuid& id) {
    auto& app = window.app();
    auto draft = app.drafts().draft(id, app.controller().tunnel(id));
    if (!draft) {
        return placeholders_.makeEditor(window, id);
    }
    return std::make_unique<TunnelDetail>(window, std::move(draft), sections_);
}

std::unique_ptr<QWidget> TunnelDetails::makeTrashedPage(MainWindowModel& window, const Uuid& id) {
    const auto tunnel = window.app().controller().tunnel(id);
    if (!tunnel) {
        return placeholders_.makeTrashedPage(window, id);
    }
    return std::make_unique<TrashedTunnelPage>(window, *tunnel);
}

} // namespace burrowlight

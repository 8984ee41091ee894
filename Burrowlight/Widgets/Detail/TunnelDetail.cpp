#include "Burrowlight/Widgets/Detail/TunnelDetail.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Widgets/MainWindow/Look.h"

#include <QPointer>
#include <QTimer>

namespace burrowlight {

using tunnelkit::Uuid;

TunnelDetail::TunnelDetail(MainWindowModel& window, TunnelDrafts::Draft draft, DetailSections& sections,
                           QWidget* parent)
    : QWidget(parent), window_(window),
      context_(window.app(), window.actions(), std::move(draft), window.sources()) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    layout_.addWidget(&scroll_);
    scroll_.setWidgetResizable(true);
    scroll_.setFrameShape(QFrame::NoFrame);
    scroll_.setWidget(&column_);
    columnLayout_.setContentsMargins(24, 24, 24, 24);
    columnLayout_.setSpacing(18);
    forwards_ = sections.forwardsSection(context_);
    config_ = sections.configSection(context_);
    session_ = sections.sessionSection(context_);
    advanced_ = sections.advancedSection(context_);
    sshCommand_ = sections.sshCommandSection(context_);
    for (auto* section : {&forwards_, &config_, &session_, &advanced_, &sshCommand_}) {
        placeSection(*section);
    }
    columnLayout_.addStretch();
    look::onSurface(*this);
    connect(&window.app().drafts(), &TunnelDrafts::focusRequestChanged, this,
            &TunnelDetail::takeFocusRequest);
    takeFocusRequest();
}

void TunnelDetail::takeFocusRequest() {
    auto& drafts = window_.app().drafts();
    if (drafts.focusRequest() != context_.id()) {
        return;
    }
    drafts.setFocusRequest(std::nullopt);
    // The detail may be gone by then: another selection replaces it at once.
    QTimer::singleShot(focusDelay, [detail = QPointer(this)] {
        if (detail) {
            detail->context_.focus().set(editorFocus::Name{});
        }
    });
}

TunnelDetail::~TunnelDetail() = default;

void TunnelDetail::placeSection(std::unique_ptr<QWidget>& section) {
    if (section) {
        columnLayout_.addWidget(section.get());
    }
}

TunnelDetails::TunnelDetails(DetailSections* sections) : sections_(sections ? *sections : standIns_) {}

std::unique_ptr<QWidget> TunnelDetails::makeEditor(MainWindowModel& window, const Uuid& id) {
    auto& app = window.app();
    auto draft = app.drafts().draft(id, app.manager().tunnel(id));
    if (!draft) {
        return placeholders_.makeEditor(window, id);
    }
    return std::make_unique<TunnelDetail>(window, std::move(draft), sections_);
}

std::unique_ptr<QWidget> TunnelDetails::makeTrashedPage(MainWindowModel& window, const Uuid& id) {
    return placeholders_.makeTrashedPage(window, id);
}

} // namespace burrowlight

#include "Burrowlight/Widgets/MainWindow/DetailSlot.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Widgets/MainWindow/StatusDot.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QHBoxLayout>
#include <QLabel>

namespace burrowlight {

using tunnelkit::TunnelState;
using tunnelkit::Uuid;

namespace {

// Names the tunnel in the detail's title font, with its state or what it is beneath.
class TunnelPlaceholder : public QWidget {
  public:
    TunnelPlaceholder(MainWindowModel& window, const Uuid& id, bool trashed) : window_(window), id_(id) {
        QFont font = name_.font();
        font.setPointSizeF(font.pointSizeF() * 1.5);
        font.setWeight(QFont::DemiBold);
        name_.setFont(font);
        status_.setTextFormat(Qt::PlainText);
        statusLayout_.setContentsMargins(0, 0, 0, 0);
        statusLayout_.setSpacing(sizes::scaled(6));
        statusLayout_.addWidget(&dot_);
        statusLayout_.addWidget(&status_);
        statusLayout_.addStretch();
        layout_.setContentsMargins(sizes::scaled(QMargins(24, 24, 24, 24)));
        layout_.setSpacing(sizes::scaled(10));
        layout_.addWidget(&name_);
        layout_.addWidget(&statusRow_);
        layout_.addStretch();
        look::onSurface(*this);
        dot_.setVisible(!trashed);
        auto& app = window_.app();
        connect(&app.engine(), &EngineBridge::tunnelsChanged, this, &TunnelPlaceholder::refresh);
        connect(&app.engine(), &EngineBridge::stateChanged, this, [this](const Uuid& changed) {
            if (changed == id_) {
                refresh();
            }
        });
        if (const auto& draft = app.drafts().newTunnel(); draft && draft->id() == id_) {
            connect(draft.get(), &TunnelDraft::changed, this, &TunnelPlaceholder::refresh);
        }
        // The detail takes the request to show this tunnel up.
        if (app.drafts().focusRequest() == id_) {
            app.drafts().setFocusRequest(std::nullopt);
        }
        refresh();
    }

  private:
    void refresh() {
        auto& app = window_.app();
        if (const auto& draft = app.drafts().newTunnel(); draft && draft->id() == id_) {
            name_.setText(TunnelRowTexts::newTunnelTitle(QString::fromStdString(draft->tunnel().name)));
            status_.setText(TunnelRowTexts::notSavedYet());
            dot_.hide();
            return;
        }
        const auto tunnel = app.controller().tunnel(id_);
        if (!tunnel) {
            return;
        }
        name_.setText(texts::shownName(*tunnel));
        if (tunnel->isTrashed()) {
            status_.setText(tunnel->deletedAt
                                ? texts::deletedLine(*tunnel->deletedAt, window_.sources().now())
                                : QString());
        } else {
            const TunnelState state = window_.sources().states(id_);
            dot_.setState(state);
            status_.setText(texts::text(state));
        }
    }

    MainWindowModel& window_;
    Uuid id_;
    // A name longer than the line breaks between its letters rather than widen the window.
    VerbatimText name_;
    // Before what it holds, which goes first.
    QWidget statusRow_;
    StatusDot dot_;
    QLabel status_;
    QHBoxLayout statusLayout_{&statusRow_};
    QVBoxLayout layout_{this};
};

} // namespace

std::unique_ptr<QWidget> PlaceholderDetails::makeEditor(MainWindowModel& window, const Uuid& id) {
    return std::make_unique<TunnelPlaceholder>(window, id, false);
}

std::unique_ptr<QWidget> PlaceholderDetails::makeTrashedPage(MainWindowModel& window, const Uuid& id) {
    return std::make_unique<TunnelPlaceholder>(window, id, true);
}

DetailSlot::DetailSlot(MainWindowModel& model, DetailFactory& factory, QWidget* parent)
    : QWidget(parent), model_(model), factory_(factory) {
    layout_.setContentsMargins(0, 0, 0, 0);
    look::onSurface(*this);
    connect(&model_, &MainWindowModel::detailPaneChanged, this, &DetailSlot::showPane);
    page_ = makePage(shown_);
    layout_.addWidget(page_.get());
    showPane();
}

void DetailSlot::setLeastWidth(int designPixels) {
    leastWidth_ = designPixels;
    updateGeometry();
}

QSize DetailSlot::minimumSizeHint() const {
    return QWidget::minimumSizeHint().expandedTo({sizes::scaled(leastWidth_), 0});
}

void DetailSlot::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        look::onSurface(*this);
    }
}

void DetailSlot::showPane() {
    const DetailPane& pane = model_.detailPane();
    if (pane == shown_ && page_) {
        return;
    }
    shown_ = pane;
    // The new page is in place before the old one goes, so the focus has somewhere to be.
    auto page = makePage(pane);
    layout_.addWidget(page.get());
    page->show();
    page_ = std::move(page);
}

std::unique_ptr<QWidget> DetailSlot::makePage(const DetailPane& pane) {
    switch (pane.kind) {
    case DetailPane::Kind::editor:
        return factory_.makeEditor(model_, pane.id);
    case DetailPane::Kind::trashed:
        return factory_.makeTrashedPage(model_, pane.id);
    case DetailPane::Kind::several:
        return makeSeveral(pane);
    case DetailPane::Kind::empty:
        break;
    }
    return makeEmpty();
}

std::unique_ptr<QWidget> DetailSlot::makeEmpty() {
    auto view = std::make_unique<EmptyStateView>();
    view->show(QStringLiteral("point.3.connected.trianglepath.dotted"), MainWindowTexts::noTunnelSelected(),
               MainWindowTexts::noTunnelSelectedHint());
    QPushButton& newTunnel = view->addButton(MainWindowTexts::newTunnel());
    makeProminent(newTunnel);
    connect(&newTunnel, &QPushButton::clicked, &model_, &MainWindowModel::createNewTunnel);
    look::onSurface(*view);
    return view;
}

std::unique_ptr<QWidget> DetailSlot::makeSeveral(const DetailPane& pane) {
    auto view = std::make_unique<EmptyStateView>();
    view->show(QStringLiteral("rectangle.stack"), MainWindowTexts::tunnelsSelected(pane.count));
    if (pane.offersConnect) {
        view->setButtonsInRow(true);
        connect(&view->addButton(MainWindowTexts::connect()), &QPushButton::clicked, &model_,
                &MainWindowModel::connectSelection);
        connect(&view->addButton(MainWindowTexts::disconnect()), &QPushButton::clicked, &model_,
                &MainWindowModel::disconnectSelection);
    }
    look::onSurface(*view);
    return view;
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Detail/DetailSections.h"

#include "Burrowlight/Widgets/Detail/AddForwardButtons.h"
#include "Burrowlight/Widgets/Detail/ForwardRow.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace burrowlight {

FocusBinding::FocusBinding(QWidget& field, EditorFocusState& focus, EditorFocus value)
    : field_(field), focus_(&focus), value_(std::move(value)) {
    field.installEventFilter(this);
    connect(&focus, &EditorFocusState::changed, this, [this] {
        if (focus_->is(value_) && !field_.hasFocus()) {
            field_.setFocus(Qt::OtherFocusReason);
        }
    });
}

bool FocusBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &field_ || !focus_) {
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        focus_->set(value_);
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // The keyboard went to another window or a popup: the field keeps its place.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && focus_->is(value_)) {
            focus_->set(std::nullopt);
        }
    }
    return false;
}

void showProblemsOnReturn(QWidget& lineEdit, DetailContext& context) {
    if (auto* edit = qobject_cast<QLineEdit*>(&lineEdit)) {
        QObject::connect(edit, &QLineEdit::returnPressed, &context, &DetailContext::showProblems);
    }
}

namespace {

// The forwards listed read-only, with the add buttons above.
class StandInForwards : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(StandInForwards)

  public:
    explicit StandInForwards(DetailContext& context) : context_(context) {
        layout_.setContentsMargins(0, 0, 0, 0);
        layout_.setSpacing(sizes::scaled(8));
        heading_.setText(tr("Forwards"));
        QFont font = heading_.font();
        font.setWeight(QFont::DemiBold);
        heading_.setFont(font);
        headingLayout_.setContentsMargins(0, 0, 0, 0);
        headingLayout_.addWidget(&heading_);
        headingLayout_.addStretch();
        headingLayout_.addWidget(&addButtons_);
        layout_.addWidget(&headingRow_);
        layout_.addWidget(&card_);
        none_.setText(tr("No forwards. The tunnel only keeps the connection open."));
        none_.setContentsMargins(sizes::scaled(QMargins(14, 12, 14, 12)));
        makeSecondary(none_);
        card_.content().setSpacing(0);
        card_.content().addWidget(&none_);
        connect(&context, &DetailContext::draftChanged, this, &StandInForwards::fill);
        connect(&context, &DetailContext::connectionChanged, this, &StandInForwards::fill);
        fill();
    }

  private:
    void fill() {
        rows_.clear();
        const auto forwards = context_.draft().makeTunnel().forwards;
        none_.setVisible(forwards.empty());
        for (const auto& forward : forwards) {
            rows_.push_back(std::make_unique<ForwardRow>(forward, context_.isConnected()));
            card_.content().addWidget(rows_.back().get());
        }
    }

    DetailContext& context_;
    QWidget headingRow_;
    QLabel heading_;
    AddForwardButtons addButtons_{
        [this](tunnelkit::Forward::Kind kind) { context_.addForwardAndFocus(kind); }};
    QHBoxLayout headingLayout_{&headingRow_};
    TolvanCard card_;
    QLabel none_;
    std::vector<std::unique_ptr<ForwardRow>> rows_;
    QVBoxLayout layout_{this};
};

} // namespace

std::unique_ptr<QWidget> StandInSections::serverField(DetailContext&) {
    return nullptr;
}

std::unique_ptr<QWidget> StandInSections::forwardsSection(DetailContext& context) {
    return std::make_unique<StandInForwards>(context);
}

std::unique_ptr<QWidget> StandInSections::configSection(DetailContext&) {
    return nullptr;
}
std::unique_ptr<QWidget> StandInSections::sessionSection(DetailContext&) {
    return nullptr;
}
std::unique_ptr<QWidget> StandInSections::advancedSection(DetailContext&) {
    return nullptr;
}
std::unique_ptr<QWidget> StandInSections::sshCommandSection(DetailContext&) {
    return nullptr;
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Detail/AddForwardButtons.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/DetailRules.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>

namespace burrowlight {

using tunnelkit::Forward;

namespace {

int symbolSize() {
    return sizes::scaled(16);
}
int padding() {
    return sizes::scaled(8);
}
int lineSpacing() {
    return sizes::scaled(2);
}
constexpr qreal explanationScale = 0.88;

// A kind in the "Other" menu: its symbol and title, and under the title its explanation, smaller
// and fainter. The menu itself picks and triggers it, by mouse and by keys, as any item; it only
// leaves the drawing to the item, the highlight included.
class KindItem : public QWidget {
  public:
    KindItem(Forward::Kind kind, QAction& action, QMenu& menu)
        : QWidget(&menu), kind_(kind), action_(action), menu_(menu) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAccessibleName(texts::title(kind) + QLatin1Char('\n') + texts::explanation(kind));
        connect(&menu, &QMenu::hovered, this, [this] { update(); });
    }

    QSize sizeHint() const override {
        const QFontMetrics title(font());
        const QFontMetrics explanation(explanationFont());
        const int textWidth = std::max(title.horizontalAdvance(texts::title(kind_)),
                                       explanation.horizontalAdvance(texts::explanation(kind_)));
        return {padding() + symbolSize() + padding() + textWidth + padding(),
                padding() / 2 + std::max(symbolSize(), title.height()) + lineSpacing() +
                    explanation.height() + padding() / 2};
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const bool highlighted = menu_.activeAction() == &action_;
        if (highlighted) {
            QStyleOptionMenuItem option;
            option.initFrom(&menu_);
            option.rect = rect();
            option.state = QStyle::State_Enabled | QStyle::State_Selected;
            option.menuItemType = QStyleOptionMenuItem::Normal;
            option.checkType = QStyleOptionMenuItem::NotCheckable;
            menu_.style()->drawControl(QStyle::CE_MenuItem, &option, &painter, &menu_);
        }
        const QColor text = palette().color(highlighted ? QPalette::HighlightedText : QPalette::Text);
        const QColor faint = highlighted ? faded(text, 0.8) : look::secondary(palette());
        const QFontMetrics titleMetrics(font());
        const int titleHeight = std::max(symbolSize(), titleMetrics.height());
        const int textLeft = padding() + symbolSize() + padding();
        const int top = padding() / 2;
        painter.drawPixmap(padding(), top + (titleHeight - symbolSize()) / 2,
                           look::symbol(detail::symbolName(kind_), text, symbolSize(), devicePixelRatioF()));
        painter.setPen(text);
        painter.drawText(QRect(textLeft, top, width() - textLeft - padding(), titleHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, texts::title(kind_));
        painter.setFont(explanationFont());
        painter.setPen(faint);
        painter.drawText(QRect(textLeft, top + titleHeight + lineSpacing(), width() - textLeft - padding(),
                               height() - top - titleHeight - lineSpacing()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, texts::explanation(kind_));
    }

    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            updateGeometry();
        }
    }

  private:
    QFont explanationFont() const {
        QFont smaller = font();
        smaller.setPointSizeF(smaller.pointSizeF() * explanationScale);
        return smaller;
    }

    Forward::Kind kind_;
    QAction& action_;
    QMenu& menu_;
};

} // namespace

AddForwardButtons::AddForwardButtons(std::function<void(Forward::Kind)> add, QWidget* parent)
    : QWidget(parent), add_(std::move(add)) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(sizes::scaled(6));
    local_.setText(texts::title(Forward::Kind::local));
    local_.setIcon(symbolIcon(QStringLiteral("plus")));
    local_.setToolTip(tr("Add Local Forward"));
    local_.setAccessibleName(tr("Add Local Forward"));
    connect(&local_, &QPushButton::clicked, this, [this] { add_(Forward::Kind::local); });

    for (const auto kind : {Forward::Kind::remote, Forward::Kind::dynamic, Forward::Kind::remoteDynamic}) {
        // Read out as shown: the title, then the explanation.
        auto* item = new QWidgetAction(&menu_); // owned by the menu
        item->setText(look::menuText(texts::title(kind) + QLatin1Char('\n') + texts::explanation(kind)));
        item->setDefaultWidget(new KindItem(kind, *item, menu_));
        menu_.addAction(item);
        connect(item, &QAction::triggered, this, [this, kind] { add_(kind); });
    }
    other_.setText(tr("Other"));
    other_.setToolTip(tr("Add Forward"));
    other_.setAccessibleName(tr("Add Forward"));
    other_.setPopupMode(QToolButton::InstantPopup);
    other_.setMenu(&menu_);
    layout_.addWidget(&local_);
    layout_.addWidget(&other_);
}

} // namespace burrowlight

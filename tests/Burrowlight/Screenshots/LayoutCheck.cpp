#include "LayoutCheck.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTextEdit>
#include <algorithm>
#include <ranges>

namespace screenshots {

namespace {

// Rounding in the layouts: a pixel is not a fault.
constexpr int slack = 1;

QString named(const QWidget& widget) {
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget); edit && text.isEmpty()) {
        text = edit->text();
    }
    if (text.isEmpty()) {
        text = widget.accessibleName();
    }
    text = text.simplified();
    if (text.size() > 48) {
        text = text.left(47) + QChar(0x2026);
    }
    return QStringLiteral("%1 “%2”").arg(QLatin1String(widget.metaObject()->className()), text);
}

// Line edits draw their clear and action buttons themselves, over their frame.
bool isPartOfLineEdit(const QWidget& widget) {
    return qobject_cast<const QLineEdit*>(widget.parentWidget()) != nullptr;
}

bool isScrolledContent(const QWidget& widget) {
    const QWidget* parent = widget.parentWidget();
    const auto* area = parent ? qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) : nullptr;
    return area && area->viewport() == parent;
}

void checkLabel(const QLabel& label, QStringList& faults) {
    if (label.text().isEmpty()) {
        return;
    }
    if (label.wordWrap()) {
        // A word it cannot break is cut at its edge.
        if (label.width() + slack < label.minimumSizeHint().width()) {
            faults << QStringLiteral("%1 is %2 px wide; a word of it needs %3")
                          .arg(named(label))
                          .arg(label.width())
                          .arg(label.minimumSizeHint().width());
        }
        const int needed = label.heightForWidth(label.width());
        if (label.height() + slack < needed) {
            faults << QStringLiteral("%1 is %2 px tall at %3 px wide; its text needs %4")
                          .arg(named(label))
                          .arg(label.height())
                          .arg(label.width())
                          .arg(needed);
        }
        return;
    }
    // An eliding label asks for no more than its ellipsis: one that asks for more is cut short
    // wherever it ends, "…" or not.
    const QSize needed = label.minimumSizeHint();
    if (label.width() + slack < needed.width()) {
        faults << QStringLiteral("%1 is cut at %2 px without eliding its text, which needs %3")
                      .arg(named(label))
                      .arg(label.width())
                      .arg(needed.width());
    }
    if (label.height() + slack < needed.height()) {
        faults << QStringLiteral("%1 is %2 px tall; its text needs %3")
                      .arg(named(label))
                      .arg(label.height())
                      .arg(needed.height());
    }
}

// Qt's buttons take no less than their size hint; one that elides its text, its ellipsis.
void checkButton(const QAbstractButton& button, QStringList& faults) {
    const QSize needed = button.minimumSizeHint();
    if (button.width() + slack < needed.width() || button.height() + slack < needed.height()) {
        faults << QStringLiteral("%1 is %2×%3 px; it needs %4×%5")
                      .arg(named(button))
                      .arg(button.width())
                      .arg(button.height())
                      .arg(needed.width())
                      .arg(needed.height());
    }
}

// A field or text squeezed below the least it takes: a value field showing a letter or two, a text
// shorter than its lines.
void checkField(const QWidget& field, QStringList& faults) {
    const int leastWidth = std::max(field.minimumWidth(), field.minimumSizeHint().width());
    if (field.width() + slack < leastWidth) {
        faults << QStringLiteral("%1 is squeezed to %2 px wide; it takes at least %3")
                      .arg(named(field))
                      .arg(field.width())
                      .arg(leastWidth);
    }
    // A text that cannot scroll shows all of it.
    if (const auto* text = qobject_cast<const QTextEdit*>(&field);
        text && text->hasHeightForWidth() && text->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff) {
        const int needed = text->heightForWidth(text->width());
        if (text->height() + slack < needed) {
            faults << QStringLiteral("%1 is %2 px tall at %3 px wide; its text needs %4")
                          .arg(named(field))
                          .arg(text->height())
                          .arg(text->width())
                          .arg(needed);
        }
    }
}

// The caption over a field, when `item` is such a column: a label followed by what it names.
const QLabel* caption(QLayoutItem& item) {
    QLayout* column = item.widget() ? item.widget()->layout() : item.layout();
    const auto* box = qobject_cast<const QBoxLayout*>(column);
    if (!box || box->direction() != QBoxLayout::TopToBottom || box->count() < 2 ||
        (item.widget() && !item.widget()->isVisible())) {
        return nullptr;
    }
    const auto* label = qobject_cast<const QLabel*>(box->itemAt(0)->widget());
    return label && label->isVisible() ? label : nullptr;
}

// Fields side by side with a caption over each: the captions stand on one line, as a row of
// fields reads, whatever height each field takes.
void checkCaptionedRow(const QWidget& row, QStringList& faults) {
    const auto* layout = qobject_cast<const QBoxLayout*>(row.layout());
    if (!layout || layout->direction() != QBoxLayout::LeftToRight) {
        return;
    }
    std::vector<const QLabel*> captions;
    for (int index = 0; index < layout->count(); ++index) {
        if (const QLabel* found = caption(*layout->itemAt(index))) {
            captions.push_back(found);
        }
    }
    if (captions.size() < 2) {
        return;
    }
    const auto top = [&row](const QLabel* label) { return label->mapTo(&row, QPoint()).y(); };
    const auto [highest, lowest] = std::ranges::minmax(captions | std::views::transform(top));
    if (lowest - highest <= slack) {
        return;
    }
    QStringList placed;
    for (const QLabel* label : captions) {
        placed << QStringLiteral("%1 at y %2").arg(named(*label)).arg(top(label));
    }
    faults << QStringLiteral("the captions of one row of fields stand off one line: %1")
                  .arg(placed.join(QStringLiteral(", ")));
}

// What holds scrolled content wider than its viewport: of the innermost widgets that reach past it,
// the widest, which are the likeliest to push the others.
QString widening(const QWidget& content, int viewportWidth) {
    const auto least = [](const QWidget& widget) {
        return std::max(widget.minimumWidth(), widget.minimumSizeHint().width());
    };
    const auto reachesPast = [&](const QWidget& widget) {
        return widget.isVisible() &&
               widget.mapTo(&content, QPoint(least(widget), 0)).x() > viewportWidth + slack;
    };
    std::vector<const QWidget*> found;
    for (const QWidget* widget : content.findChildren<QWidget*>()) {
        const auto children = widget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        if (reachesPast(*widget) && std::none_of(children.begin(), children.end(),
                                                 [&](const QWidget* child) { return reachesPast(*child); })) {
            found.push_back(widget);
        }
    }
    std::ranges::sort(found, std::greater{}, [&](const QWidget* widget) { return least(*widget); });
    QStringList held;
    for (const QWidget* widget : found | std::views::take(3)) {
        held << QStringLiteral("%1 at %2 px, at least %3 wide")
                    .arg(named(*widget))
                    .arg(widget->mapTo(&content, QPoint()).x())
                    .arg(least(*widget));
    }
    return held.isEmpty() ? QString() : QStringLiteral(", held by ") + held.join(QStringLiteral("; "));
}

} // namespace

QStringList layoutFaults(const QWidget& window) {
    QStringList faults;

    // A widget cut off by its parent is named once, not with everything inside it.
    QSet<const QWidget*> cut;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->window() != &window || isPartOfLineEdit(*widget)) {
            continue;
        }
        const QWidget* parent = widget->parentWidget();
        if (cut.contains(parent)) {
            cut.insert(widget);
            continue;
        }
        if (!isScrolledContent(*widget) &&
            !parent->rect().adjusted(-slack, -slack, slack, slack).contains(widget->geometry())) {
            faults << QStringLiteral("%1 reaches outside its parent %2: %3,%4 %5×%6 in %7×%8")
                          .arg(named(*widget), named(*parent))
                          .arg(widget->x())
                          .arg(widget->y())
                          .arg(widget->width())
                          .arg(widget->height())
                          .arg(parent->width())
                          .arg(parent->height());
            cut.insert(widget);
            continue;
        }
        checkCaptionedRow(*widget, faults);
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            checkLabel(*label, faults);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            checkButton(*button, faults);
        } else if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
                   qobject_cast<const QTextEdit*>(widget)) {
            checkField(*widget, faults);
        } else if (const auto* area = qobject_cast<const QScrollArea*>(widget)) {
            const QWidget* content = area->widget();
            if (area->horizontalScrollBar()->isVisible() ||
                (content && content->width() > area->viewport()->width() + slack)) {
                faults << QStringLiteral("%1 scrolls sideways: its content is %2 px wide in %3%4")
                              .arg(named(*area))
                              .arg(content ? content->width() : 0)
                              .arg(area->viewport()->width())
                              .arg(content ? widening(*content, area->viewport()->width()) : QString());
            }
        }
    }
    return faults;
}

QStringList placementFaults(const QWidget& window) {
    // Pages made up to look at parts are no windows of the application's.
    const bool opened = qobject_cast<const QMainWindow*>(&window) || qobject_cast<const QDialog*>(&window) ||
                        window.windowType() == Qt::Popup;
    const QScreen* screen = window.screen();
    if (!opened) {
        return {};
    }
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect frame = window.frameGeometry();
    if (!screen || available.contains(frame)) {
        return {};
    }
    return {QStringLiteral("%1 opens at %2,%3 %4×%5 px, past the screen's %6×%7")
                .arg(named(window))
                .arg(frame.x())
                .arg(frame.y())
                .arg(frame.width())
                .arg(frame.height())
                .arg(available.width())
                .arg(available.height())};
}

} // namespace screenshots

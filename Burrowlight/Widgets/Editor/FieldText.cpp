#include "Burrowlight/Widgets/Editor/FieldText.h"

#include "Burrowlight/Widgets/Style/Look.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFrame>
#include <limits>
#include <optional>

namespace burrowlight::fieldText {

namespace {

// The field's child: where its text goes, whether the text now arriving is the model's own, and
// the model's value the field last heard of.
class Binding : public QObject {
    Q_OBJECT

  public:
    Binding(QObject& field, Write write) : QObject(&field), write_(std::move(write)) {}

    void arrived(const QString& text) {
        if (!showing_) {
            const QScopedValueRollback writing(writing_, true);
            write_(text);
        }
    }
    template <class Change> void show(Change change) {
        const QScopedValueRollback quiet(showing_, true);
        change();
    }
    // Whether the model's value came from elsewhere: it changed, and not by what the user typed
    // here (which the model may have stored in its own form, as 7 for "007").
    bool isNews(const QString& value) {
        const bool news = !writing_ && value != heard_;
        heard_ = value;
        return news;
    }

  private:
    Write write_;
    bool showing_ = false;
    bool writing_ = false;
    std::optional<QString> heard_;
};

// A line edit cuts a text too long for it anywhere, even inside a letter; while the user is
// elsewhere it ends in an ellipsis, as a title would. In the field, all of it scrolls as usual.
class EllipsisWhileElsewhere : public QObject {
  public:
    explicit EllipsisWhileElsewhere(QLineEdit& field) : QObject(&field), field_(field) {
        field.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        return event->type() == QEvent::Paint && paintCut();
    }

  private:
    bool paintCut() {
        if (field_.hasFocus() || field_.echoMode() != QLineEdit::Normal) {
            return false;
        }
        QStyleOptionFrame option;
        option.initFrom(&field_);
        QStyle& style = *field_.style();
        option.lineWidth =
            field_.hasFrame() ? style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field_) : 0;
        option.state |= QStyle::State_Sunken;
        if (field_.isReadOnly()) {
            option.state |= QStyle::State_ReadOnly;
        }
        // The margins of the line edit's own drawing.
        const QRect area = style.subElementRect(QStyle::SE_LineEditContents, &option, &field_)
                               .marginsRemoved(field_.textMargins())
                               .adjusted(2, 1, -2, -1);
        const QString elided = look::elided(field_.fontMetrics(), field_.text(), area.width());
        if (elided == look::shownWhole(field_.text())) {
            return false;
        }
        QPainter painter(&field_);
        style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, &field_);
        painter.setPen(option.palette.color(QPalette::Text));
        const Qt::Alignment across =
            QStyle::visualAlignment(field_.layoutDirection(), field_.alignment()) & Qt::AlignHorizontal_Mask;
        painter.drawText(area, across | Qt::AlignVCenter, elided);
        return true;
    }

    QLineEdit& field_;
};

Binding* bindingOf(QObject& field) {
    return field.findChild<Binding*>(QString(), Qt::FindDirectChildrenOnly);
}

template <class Change> void showQuietly(QObject& field, Change change) {
    if (auto* binding = bindingOf(field)) {
        binding->show(change);
    } else {
        change();
    }
}

} // namespace

void holdsAnyLength(QLineEdit& field) {
    field.setMaxLength(std::numeric_limits<int>::max());
}

void bind(QLineEdit& field, Write write) {
    holdsAnyLength(field);
    new EllipsisWhileElsewhere(field);                    // owned by the field
    auto* binding = new Binding(field, std::move(write)); // owned by the field
    QObject::connect(&field, &QLineEdit::textChanged, binding, &Binding::arrived);
}

void bind(QPlainTextEdit& field, Write write) {
    auto* binding = new Binding(field, std::move(write)); // owned by the field
    QObject::connect(&field, &QPlainTextEdit::textChanged, binding,
                     [binding, &field] { binding->arrived(field.toPlainText()); });
}

void show(QLineEdit& field, const QString& text) {
    if (field.text() != text) {
        showQuietly(field, [&] { field.setText(text); });
        // A field the user is not in shows the start of a text too long for it.
        if (!field.hasFocus()) {
            field.setCursorPosition(0);
        }
    }
}

void show(QPlainTextEdit& field, const QString& text) {
    if (field.toPlainText() != text) {
        showQuietly(field, [&] { field.setPlainText(text); });
    }
}

namespace {

template <class Field> void showNews(Field& field, const QString& text) {
    Binding* binding = bindingOf(field);
    const bool news = !binding || binding->isNews(text);
    if (news || !field.hasFocus()) {
        show(field, text);
    }
}

} // namespace

void showUnlessTyping(QLineEdit& field, const QString& text) {
    showNews(field, text);
}

void showUnlessTyping(QPlainTextEdit& field, const QString& text) {
    showNews(field, text);
}

} // namespace burrowlight::fieldText

#include "FieldText.moc"

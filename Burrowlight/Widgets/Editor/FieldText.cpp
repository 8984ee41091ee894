#include "Burrowlight/Widgets/Editor/FieldText.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
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

#include "Burrowlight/Widgets/Editor/FieldText.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

namespace burrowlight::fieldText {

namespace {

// The field's child: where its text goes, and whether the text now arriving is the model's own.
class Binding : public QObject {
    Q_OBJECT

  public:
    Binding(QObject& field, Write write) : QObject(&field), write_(std::move(write)) {}

    void arrived(const QString& text) {
        if (!showing_) {
            write_(text);
        }
    }
    template <class Change> void show(Change change) {
        const QScopedValueRollback quiet(showing_, true);
        change();
    }

  private:
    Write write_;
    bool showing_ = false;
};

template <class Change> void showQuietly(QObject& field, Change change) {
    if (auto* binding = field.findChild<Binding*>(QString(), Qt::FindDirectChildrenOnly)) {
        binding->show(change);
    } else {
        change();
    }
}

} // namespace

void bind(QLineEdit& field, Write write) {
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

void showUnlessFocused(QLineEdit& field, const QString& text) {
    if (!field.hasFocus()) {
        show(field, text);
    }
}

void showUnlessFocused(QPlainTextEdit& field, const QString& text) {
    if (!field.hasFocus()) {
        show(field, text);
    }
}

} // namespace burrowlight::fieldText

#include "FieldText.moc"

#include "Burrowlight/Widgets/Editor/FieldText.h"

#include "Burrowlight/Widgets/Editor/FieldTextAccessible.h"
#include "Burrowlight/Widgets/Editor/ShownInField.h"
#include "Burrowlight/Widgets/Style/Look.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFrame>
#include <limits>
#include <memory>
#include <optional>

namespace burrowlight::fieldText {

namespace {

// The field's child: where its text goes, whether the text now arriving is the model's own, and
// the model's value the field last heard of. It keeps the stored text, of which the field shows each
// character with a bounded number of marks, and the field's own copy of what it shows (a document
// makes a line break of a lone CR).
class Binding : public QObject {
    Q_OBJECT

  public:
    Binding(QObject& field, Write write) : QObject(&field), write_(std::move(write)) {}

    const ShownInField& contents() const { return contents_; }

    void arrived() {
        if (showing_) {
            return;
        }
        const QString now = fieldText();
        const TextChange change = changeBetween(inField_, now, cursor());
        const qsizetype typedEnd = contents_.replace(change.start, change.end, change.inserted);
        inField_ = now;
        if (!showsAlike(contents_.shown(), now)) {
            show([&] { setFieldText(contents_.shown()); });
            setCursor(contents_.shownPosition(typedEnd));
            inField_ = fieldText();
        }
        followHiding();
        const QScopedValueRollback writing(writing_, true);
        write_(contents_.stored());
    }
    // Whether the field shows another text now.
    bool showStored(const QString& stored) {
        if (stored == contents_.stored() && inField_ == fieldText()) {
            return false;
        }
        contents_ = ShownInField(stored);
        const bool changes = !showsAlike(contents_.shown(), fieldText());
        if (changes) {
            show([&] { setFieldText(contents_.shown()); });
        }
        inField_ = fieldText();
        followHiding();
        return changes;
    }
    // As the user would type it: the model hears of it.
    void edit(qsizetype storedStart, qsizetype storedEnd, const QString& text) {
        QString stored = contents_.stored();
        stored.replace(storedStart, storedEnd - storedStart, text);
        showStored(stored);
        const QScopedValueRollback writing(writing_, true);
        write_(contents_.stored());
    }
    // Whether the model's value came from elsewhere: it changed, and not by what the user typed
    // here (which the model may have stored in its own form, as 7 for "007").
    bool isNews(const QString& value) {
        const bool news = !writing_ && value != heard_;
        heard_ = value;
        return news;
    }

  protected:
    void start() {
        contents_ = ShownInField(fieldText());
        inField_ = fieldText();
        followHiding();
    }
    virtual QWidget& field() const = 0;
    virtual QString fieldText() const = 0;
    virtual void setFieldText(const QString& text) = 0;
    virtual qsizetype cursor() const = 0;
    virtual void setCursor(qsizetype position) = 0;

  private:
    void followHiding() {
        const bool hiding = contents_.shown() != contents_.stored();
        if (hiding != hiding_) {
            hiding_ = hiding;
            followHiddenMarks(field());
        }
    }
    template <class Change> void show(Change change) {
        const QScopedValueRollback quiet(showing_, true);
        change();
    }
    static bool showsAlike(const QString& shown, const QString& inField) {
        if (shown.size() != inField.size()) {
            return false;
        }
        for (qsizetype at = 0; at < shown.size(); ++at) {
            if (shown.at(at) != inField.at(at) &&
                !(shown.at(at) == QLatin1Char('\r') && inField.at(at) == QLatin1Char('\n'))) {
                return false;
            }
        }
        return true;
    }

    Write write_;
    ShownInField contents_;
    QString inField_;
    bool hiding_ = false;
    bool showing_ = false;
    bool writing_ = false;
    std::optional<QString> heard_;
};

class LineBinding : public Binding {
  public:
    LineBinding(QLineEdit& field, Write write) : Binding(field, std::move(write)), field_(field) {
        start();
        connect(&field, &QLineEdit::textChanged, this, &Binding::arrived);
        QClipboard* clipboard = QGuiApplication::clipboard();
        connect(clipboard, &QClipboard::dataChanged, this, [this] { copyStored(QClipboard::Clipboard); });
        connect(clipboard, &QClipboard::selectionChanged, this,
                [this] { copyStored(QClipboard::Selection); });
    }

  protected:
    QWidget& field() const override { return field_; }
    QString fieldText() const override { return field_.text(); }
    void setFieldText(const QString& text) override { field_.setText(text); }
    qsizetype cursor() const override { return field_.cursorPosition(); }
    void setCursor(qsizetype position) override { field_.setCursorPosition(static_cast<int>(position)); }

  private:
    // A line edit copies what it shows: what it copied of a character with hidden marks becomes
    // the stored text.
    void copyStored(QClipboard::Mode mode) {
        if (!field_.hasSelectedText() || contents().shown() == contents().stored()) {
            return;
        }
        QClipboard& clipboard = *QGuiApplication::clipboard();
        const QString selected = field_.selectedText();
        const qsizetype start = field_.selectionStart();
        if (clipboard.text(mode) != selected) {
            return;
        }
        const QString stored = contents().storedBetween(start, start + selected.size());
        if (stored != selected) {
            clipboard.setText(stored, mode);
        }
    }

    QLineEdit& field_;
};

class DocumentBinding : public Binding {
  public:
    DocumentBinding(QPlainTextEdit& field, Write write) : Binding(field, std::move(write)), field_(field) {
        start();
        connect(&field, &QPlainTextEdit::textChanged, this, &Binding::arrived);
    }

  protected:
    QWidget& field() const override { return field_; }
    // Not toPlainText(), which gives a no-break space as a space.
    QString fieldText() const override {
        QString text = field_.document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return text;
    }
    void setFieldText(const QString& text) override { field_.setPlainText(text); }
    qsizetype cursor() const override { return field_.textCursor().position(); }
    void setCursor(qsizetype position) override {
        QTextCursor cursor = field_.textCursor();
        cursor.setPosition(static_cast<int>(position));
        field_.setTextCursor(cursor);
    }

  private:
    QPlainTextEdit& field_;
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

Binding* bindingOf(const QObject& field) {
    return field.findChild<Binding*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

void holdsAnyLength(QLineEdit& field) {
    field.setMaxLength(std::numeric_limits<int>::max());
}

void bind(QLineEdit& field, Write write) {
    holdsAnyLength(field);
    new EllipsisWhileElsewhere(field);        // owned by the field
    new LineBinding(field, std::move(write)); // owned by the field
}

void bind(QPlainTextEdit& field, Write write) {
    new DocumentBinding(field, std::move(write)); // owned by the field
}

QMimeData* PlainTextField::createMimeDataFromSelection() const {
    const ShownInField* contents = contentsOf(*this);
    if (!contents) {
        return QPlainTextEdit::createMimeDataFromSelection();
    }
    const QTextCursor cursor = textCursor();
    auto data = std::make_unique<QMimeData>();
    data->setText(contents->storedBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data.release(); // the caller owns it
}

const ShownInField* contentsOf(const QObject& field) {
    const Binding* binding = bindingOf(field);
    return binding ? &binding->contents() : nullptr;
}

void edit(QObject& field, qsizetype storedStart, qsizetype storedEnd, const QString& text) {
    if (Binding* binding = bindingOf(field)) {
        binding->edit(storedStart, storedEnd, text);
    }
}

void show(QLineEdit& field, const QString& text) {
    Binding* binding = bindingOf(field);
    const bool changes = binding ? binding->showStored(text) : field.text() != text;
    if (!binding && changes) {
        field.setText(text);
    }
    // A field the user is not in shows the start of a text too long for it.
    if (changes && !field.hasFocus()) {
        field.setCursorPosition(0);
    }
}

void show(QPlainTextEdit& field, const QString& text) {
    if (Binding* binding = bindingOf(field)) {
        binding->showStored(text);
    } else if (field.toPlainText() != text) {
        field.setPlainText(text);
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

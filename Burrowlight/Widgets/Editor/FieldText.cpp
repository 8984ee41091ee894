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
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight::fieldText {

namespace {

// The field's child: where its text goes, whether the text now arriving is the model's own, and
// the model's value the field last heard of. It keeps the model's text whole, of which the field
// shows each character with a bounded number of its marks.
class Binding : public QObject {
    Q_OBJECT

  public:
    Binding(QObject& field, Write write) : QObject(&field), write_(std::move(write)) {}

    const QString& stored() const { return contents_.stored(); }
    bool hidesMarks() const { return contents_.hidesMarks(); }
    qsizetype storedPosition(qsizetype fieldPosition) const {
        return contents_.storedPosition(toShown(fieldPosition));
    }
    qsizetype fieldPosition(qsizetype storedPosition) const {
        return toField(contents_.shownPosition(storedPosition));
    }
    // What the field holds between these of its positions, whole.
    QString storedBetween(qsizetype fieldStart, qsizetype fieldEnd) const {
        return contents_.storedBetween(toShown(fieldStart), toShown(fieldEnd));
    }

    void arrived() {
        if (showing_) {
            return;
        }
        const QString now = fieldText();
        const TextChange change = changeBetween(inField_, now, cursor());
        const qsizetype typedEnd =
            contents_.replace(toShown(change.start), toShown(change.end), typed(change.inserted));
        follow();
        inField_ = now;
        // The change made a character show more or fewer of its marks.
        if (rendered(contents_.shown()) != now) {
            show([&] { setFieldText(contents_.shown()); });
            setCursor(fieldPosition(typedEnd));
            inField_ = fieldText();
        }
        const QScopedValueRollback writing(writing_, true);
        write_(contents_.stored());
    }
    // Whether the field shows another text now.
    bool showStored(const QString& stored) {
        if (stored == contents_.stored() && inField_ == fieldText()) {
            return false;
        }
        contents_ = ShownInField(stored);
        follow();
        const bool changes = rendered(contents_.shown()) != fieldText();
        if (changes) {
            show([&] { setFieldText(contents_.shown()); });
        }
        inField_ = fieldText();
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
        follow();
        inField_ = fieldText();
    }
    virtual QWidget& field() const = 0;
    virtual QString fieldText() const = 0;
    virtual void setFieldText(const QString& text) = 0;
    virtual qsizetype cursor() const = 0;
    virtual void setCursor(qsizetype position) = 0;
    // How the field holds a text it is given, and where its own positions fall in that text.
    virtual QString rendered(const QString& shown) const { return shown; }
    virtual void renders(const QString& /*shown*/) {}
    virtual qsizetype toShown(qsizetype fieldPosition) const { return fieldPosition; }
    virtual qsizetype toField(qsizetype shownPosition) const { return shownPosition; }
    // What the user typed, as the model keeps it.
    virtual QString typed(const QString& inField) const { return inField; }

  private:
    void follow() {
        renders(contents_.shown());
        if (contents_.hidesMarks() != hiding_) {
            hiding_ = contents_.hidesMarks();
            followHiddenMarks(field());
        }
    }
    template <class Change> void show(Change change) {
        const QScopedValueRollback quiet(showing_, true);
        change();
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
    // the whole character.
    void copyStored(QClipboard::Mode mode) {
        if (!hidesMarks() || !field_.hasSelectedText()) {
            return;
        }
        QClipboard& clipboard = *QGuiApplication::clipboard();
        const QString selected = field_.selectedText();
        if (clipboard.text(mode) != selected) {
            return;
        }
        const QString whole = storedBetween(field_.selectionStart(), field_.selectionEnd());
        if (whole != selected) {
            clipboard.setText(whole, mode);
        }
    }

    QLineEdit& field_;
};

// A document holds each line break (CR LF, CR, LF or the paragraph separator) as one paragraph
// separator.
class DocumentBinding : public Binding {
  public:
    DocumentBinding(QPlainTextEdit& field, Write write) : Binding(field, std::move(write)), field_(field) {
        start();
        connect(&field, &QPlainTextEdit::textChanged, this, &Binding::arrived);
    }

  protected:
    QWidget& field() const override { return field_; }
    // Not toPlainText(), which gives a no-break space as a space.
    QString fieldText() const override { return field_.document()->toRawText(); }
    void setFieldText(const QString& text) override { field_.setPlainText(text); }
    qsizetype cursor() const override { return field_.textCursor().position(); }
    void setCursor(qsizetype position) override {
        QTextCursor cursor = field_.textCursor();
        cursor.setPosition(static_cast<int>(position));
        field_.setTextCursor(cursor);
    }
    QString rendered(const QString& shown) const override {
        QString text = shown;
        text.replace(QLatin1String("\r\n"), QChar(QChar::ParagraphSeparator));
        text.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
        text.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
        return text;
    }
    void renders(const QString& shown) override {
        pairs_.clear();
        lineFeeds_.clear();
        for (qsizetype at = shown.indexOf(QLatin1String("\r\n")); at != -1;
             at = shown.indexOf(QLatin1String("\r\n"), at + 2)) {
            pairs_.push_back(at - static_cast<qsizetype>(pairs_.size()));
            lineFeeds_.push_back(at + 1);
        }
    }
    qsizetype toShown(qsizetype fieldPosition) const override {
        return fieldPosition + (std::ranges::lower_bound(pairs_, fieldPosition) - pairs_.begin());
    }
    qsizetype toField(qsizetype shownPosition) const override {
        return shownPosition - (std::ranges::lower_bound(lineFeeds_, shownPosition) - lineFeeds_.begin());
    }
    QString typed(const QString& inField) const override {
        QString text = inField;
        return text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    }

  private:
    QPlainTextEdit& field_;
    // Where each CR LF pair stands in the field, one separator there, and where its LF is shown.
    std::vector<qsizetype> pairs_;
    std::vector<qsizetype> lineFeeds_;
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
    const Binding* binding = bindingOf(*this);
    if (!binding) {
        return QPlainTextEdit::createMimeDataFromSelection();
    }
    const QTextCursor cursor = textCursor();
    auto data = std::make_unique<QMimeData>();
    data->setText(binding->storedBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data.release(); // the caller owns it
}

bool hidesMarks(const QObject& field) {
    const Binding* binding = bindingOf(field);
    return binding && binding->hidesMarks();
}

const QString& wholeText(const QObject& field) {
    static const QString none;
    const Binding* binding = bindingOf(field);
    return binding ? binding->stored() : none;
}

qsizetype wholeTextPosition(const QObject& field, qsizetype fieldPosition) {
    const Binding* binding = bindingOf(field);
    return binding ? binding->storedPosition(fieldPosition) : fieldPosition;
}

qsizetype fieldPosition(const QObject& field, qsizetype wholeTextPosition) {
    const Binding* binding = bindingOf(field);
    return binding ? binding->fieldPosition(wholeTextPosition) : wholeTextPosition;
}

void edit(QObject& field, qsizetype start, qsizetype end, const QString& text) {
    if (Binding* binding = bindingOf(field)) {
        binding->edit(start, end, text);
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

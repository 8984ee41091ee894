#include "Burrowlight/Widgets/Detail/DetailParts.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Detail/ForwardRow.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextCursor>

namespace burrowlight {

void makeHeading(QLabel& label) {
    QFont font = label.font();
    font.setWeight(QFont::DemiBold);
    label.setFont(font);
}

void showSymbol(QLabel& label, const QString& symbol, const QColor& color, int size) {
    label.setPixmap(look::symbol(symbol, color, size, label.devicePixelRatioF()));
    label.setFixedSize(size, size);
}

namespace {

QColor bannerColor(bool failed) {
    return look::tint(failed ? StatusDotLook::Tint::red : StatusDotLook::Tint::orange);
}

} // namespace

ProblemBanner::ProblemBanner(std::function<void()> retryNow, QWidget* parent)
    : QFrame(parent), retryNow_(std::move(retryNow)) {
    layout_.setContentsMargins(sizes::scaled(QMargins(12, 12, 12, 12)));
    layout_.setSpacing(sizes::scaled(10));
    QSizePolicy wide(QSizePolicy::Expanding, QSizePolicy::Preferred);
    wide.setHeightForWidth(true);
    message_.setSizePolicy(wide);
    tryNow_.setText(tr("Try Now"));
    connect(&tryNow_, &QPushButton::clicked, this, [this] { retryNow_(); });
    layout_.addWidget(&symbol_, 0, Qt::AlignTop);
    layout_.addWidget(&message_, 1, Qt::AlignTop);
    layout_.addWidget(&tryNow_, 0, Qt::AlignTop);
}

void ProblemBanner::show(const DetailModel::Banner& banner) {
    banner_ = banner;
    showSymbol(symbol_, banner.symbol, bannerColor(banner.failed), 16);
    message_.setText(banner.message);
    tryNow_.setVisible(banner.offersRetry);
    update();
}

void ProblemBanner::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = bannerColor(banner_.failed);
    fill.setAlphaF(0.1f);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(path, fill);
    QFrame::paintEvent(event);
}

LogLines::LogLines(LogCardModel& model, QWidget* parent)
    : QPlainTextEdit(parent), model_(model), theme_(*this, [this] {
          const QPalette application = QApplication::palette();
          using Level = tunnelkit::SSHLogLine::Level;
          formats_[int(Level::debug)].setForeground(look::secondary(application));
          formats_[int(Level::info)].setForeground(application.color(QPalette::Text));
          formats_[int(Level::error)].setForeground(look::tint(StatusDotLook::Tint::red, application));
          rebuilds_ = true;
          catchUp();
      }) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; padding: 8px 12px; }"));
    document()->setDocumentMargin(0);
    QFont mono = editorLook::monospaced(QFont());
    mono.setPointSizeF(mono.pointSizeF() * 0.9);
    setFont(mono);
    catchUp_.setSingleShot(true);
    connect(&catchUp_, &QTimer::timeout, this, &LogLines::catchUp);
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        rebuilds_ = true;
        catchUpSoon();
    });
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, &LogLines::catchUpSoon);
    connect(&model_, &QAbstractItemModel::rowsInserted, this, &LogLines::catchUpSoon);
}

void LogLines::catchUpSoon() {
    if (catchUp_.isActive()) {
        return;
    }
    // Once the model's change is complete; later than that while lines keep coming.
    const auto since = std::chrono::milliseconds(sinceCatchUp_.isValid() ? sinceCatchUp_.elapsed() : 0);
    catchUp_.start(sinceCatchUp_.isValid() && since < catchUpInterval ? catchUpInterval - since
                                                                      : std::chrono::milliseconds(0));
}

void LogLines::catchUp() {
    catchUp_.stop();
    sinceCatchUp_.start();
    const auto& lines = model_.lines();
    if (rebuilds_) {
        rebuilds_ = false;
        document()->clear();
        shown_.clear();
    }
    // The lines the model let go, from the top.
    size_t gone = 0;
    while (gone < shown_.size() && (lines.empty() || shown_[gone] < lines.front().id)) {
        ++gone;
    }
    if (gone == shown_.size()) {
        document()->clear();
        shown_.clear();
    } else if (gone > 0) {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, int(gone));
        cursor.removeSelectedText();
        shown_.erase(shown_.begin(), shown_.begin() + std::ptrdiff_t(gone));
    }
    auto next = lines.end();
    while (next != lines.begin() && (shown_.empty() || std::prev(next)->id > shown_.back())) {
        --next;
    }
    if (next != lines.end()) {
        append(next);
    }
}

void LogLines::append(std::deque<tunnelkit::SSHLogLine>::const_iterator from) {
    const auto end = model_.lines().end();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // Lines of one level go in together; each line break starts a paragraph.
    while (from != end) {
        const auto level = from->level;
        QString text;
        for (; from != end && from->level == level; ++from) {
            if (!shown_.empty()) {
                text += QLatin1Char('\n');
            }
            text += QString::fromStdString(from->text);
            shown_.push_back(from->id);
        }
        cursor.insertText(text, formats_[int(level)]);
    }
    cursor.endEditBlock();
    // The newest line at the bottom, even when the user had scrolled up.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

LogCard::LogCard(LogCardModel& model, QWidget* parent) : QWidget(parent), model_(model), lines_(model) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(sizes::scaled(8));
    title_.setText(tr("Log"));
    makeHeading(title_);
    details_.setText(tr("Details"));
    details_.setToolTip(tr("Also show ssh's debug lines"));
    details_.setChecked(model_.showsDetails());
    connect(&details_, &QCheckBox::toggled, this, [this](bool on) { model_.setShowsDetails(on); });
    copy_.setAutoRaise(true);
    copy_.setIcon(symbolIcon(QStringLiteral("doc.on.doc")));
    copy_.setAccessibleName(tr("Copy"));
    copy_.setToolTip(tr("Copy Log"));
    connect(&copy_, &QToolButton::clicked, this, [this] { copyToPasteboard(model_.copyText()); });
    clear_.setAutoRaise(true);
    clear_.setIcon(symbolIcon(QStringLiteral("trash")));
    clear_.setAccessibleName(tr("Clear"));
    clear_.setToolTip(tr("Clear Log"));
    connect(&clear_, &QToolButton::clicked, this, [this] { model_.clear(); });
    headerLayout_.setContentsMargins(0, 0, 0, 0);
    headerLayout_.addWidget(&title_);
    headerLayout_.addStretch();
    headerLayout_.addWidget(&details_);
    headerLayout_.addWidget(&copy_);
    headerLayout_.addWidget(&clear_);
    layout_.addWidget(&header_);

    empty_.setText(tr("Nothing yet. ssh's messages appear here while the tunnel runs."));
    empty_.setContentsMargins(sizes::scaled(QMargins(14, 14, 14, 14)));
    empty_.setWordWrap(true);
    makeSecondary(empty_);
    lines_.setFixedHeight(sizes::scaled(180));
    lines_.setAccessibleName(tr("Log"));
    card_.content().addWidget(&empty_);
    card_.content().addWidget(&lines_);
    layout_.addWidget(&card_);

    connect(&model_, &QAbstractItemModel::rowsInserted, this, &LogCard::showEmptiness);
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        details_.setChecked(model_.showsDetails());
        showEmptiness();
    });
    showEmptiness();
}

void LogCard::showEmptiness() {
    const bool empty = model_.lines().empty();
    empty_.setVisible(empty);
    lines_.setVisible(!empty);
}

namespace {

// The bar's items stand this far apart, and keep to the width of the detail's column.
int barSpacing() {
    return sizes::scaled(10);
}
int barMargin() {
    return sizes::scaled(24);
}
int columnWidth() {
    return sizes::scaled(820);
}

int textWidth(const QLabel& label) {
    return label.fontMetrics().horizontalAdvance(label.text());
}

} // namespace

UnsavedBar::UnsavedBar(std::function<void()> cancel, std::function<void(bool)> save, QWidget* parent)
    : QFrame(parent), save_(std::move(save)) {
    layout_.setSpacing(sizes::scaled(8));
    for (auto** line : {&top_, &middle_, &bottom_}) {
        *line = new QHBoxLayout; // owned by the bar's layout
        (*line)->setSpacing(barSpacing());
        layout_.addLayout(*line);
    }
    showSymbol(icon_, QStringLiteral("pencil.circle.fill"), tolvanAccent(), 18);
    QFont medium = title_.font();
    medium.setWeight(QFont::Medium);
    title_.setFont(medium);
    makeSecondary(problem_);
    cancel_.setText(tr("Cancel"));
    connect(&cancel_, &QPushButton::clicked, this, [cancel = std::move(cancel)] { cancel(); });
    connect(&plainSave_, &QPushButton::clicked, this, [this] { save_(false); });
    connect(&prominentSave_, &QPushButton::clicked, this, [this] { save_(prominentReconnects_); });
    makeProminent(prominentSave_);
    arrange();
}

void UnsavedBar::show(const DetailModel::UnsavedBar& bar) {
    title_.setText(bar.title);
    problemIcon_.setVisible(bar.problem.has_value());
    showSymbol(problemIcon_, QStringLiteral("exclamationmark.triangle"), look::secondary(palette()), 14);
    problem_.setText(bar.problem.value_or(QString()));
    problem_.setVisible(bar.problem.has_value());
    const bool two = bar.saveButtons.size() > 1;
    plainSave_.setVisible(two);
    // Named also while hidden, for whoever reads the window's controls.
    plainSave_.setText(bar.saveButtons.front().title);
    plainSave_.setEnabled(bar.saveButtons.front().enabled);
    const auto& last = bar.saveButtons.back();
    prominentSave_.setText(last.title);
    prominentSave_.setEnabled(last.enabled);
    prominentReconnects_ = last.reconnect;
    rows_.reset();
    arrange();
}

UnsavedBar::Rows UnsavedBar::rowsFor(int width) const {
    int buttons = cancel_.sizeHint().width() + barSpacing() + prominentSave_.sizeHint().width();
    if (!plainSave_.isHidden()) {
        buttons += barSpacing() + plainSave_.sizeHint().width();
    }
    const int lead = icon_.width() + barSpacing() + textWidth(title_);
    int problem = 0;
    if (!problem_.isHidden()) {
        // On two lines at most.
        const int natural = problem_.sizeHint().width();
        problem = barSpacing() + problemIcon_.width() + barSpacing() + std::min(natural, natural / 2 + 24);
    }
    if (lead + problem + barSpacing() + buttons <= width) {
        return Rows::one;
    }
    return lead + barSpacing() + buttons <= width ? Rows::two : Rows::three;
}

void UnsavedBar::arrange() {
    const int side = std::max(barMargin(), (width() - columnWidth()) / 2);
    layout_.setContentsMargins(side, sizes::scaled(10), side, sizes::scaled(11));
    const Rows rows = rowsFor(width() - 2 * side);
    if (rows_ == rows) {
        return;
    }
    rows_ = rows;
    for (QHBoxLayout* line : {top_, middle_, bottom_}) {
        while (QLayoutItem* item = line->takeAt(0)) {
            delete item; // the widgets stay, spacers go
        }
    }
    top_->addWidget(&icon_);
    title_.setWordWrap(rows == Rows::three);
    top_->addWidget(&title_, rows == Rows::three ? 1 : 0);
    QHBoxLayout* problemLine = rows == Rows::one ? top_ : middle_;
    // Under the title, not under the icon.
    middle_->setContentsMargins(rows == Rows::one ? 0 : icon_.width() + barSpacing(), 0, 0, 0);
    problemLine->addWidget(&problemIcon_, 0, Qt::AlignTop);
    problemLine->addWidget(&problem_, 1);
    QHBoxLayout* buttonLine = rows == Rows::three ? bottom_ : top_;
    buttonLine->addStretch();
    for (QPushButton* button : {&cancel_, &plainSave_, &prominentSave_}) {
        buttonLine->addWidget(button);
    }
}

void UnsavedBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    arrange();
}

void UnsavedBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), tolvanCanvas(palette()));
    painter.fillRect(QRect(0, height() - 1, width(), 1), look::separator(palette()));
    QFrame::paintEvent(event);
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Detail/DetailParts.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Detail/ForwardRow.h"
#include "Burrowlight/Widgets/MainWindow/Look.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
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
    layout_.setContentsMargins(12, 12, 12, 12);
    layout_.setSpacing(10);
    message_.setTextFormat(Qt::PlainText);
    message_.setWordWrap(true);
    message_.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    message_.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
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

LogCard::LogCard(LogCardModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(8);
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
    empty_.setContentsMargins(14, 14, 14, 14);
    makeSecondary(empty_);
    lines_.setReadOnly(true);
    lines_.setFrameShape(QFrame::NoFrame);
    lines_.setFixedHeight(180);
    lines_.setMaximumBlockCount(int(LogCardModel::limit));
    lines_.setLineWrapMode(QPlainTextEdit::NoWrap);
    lines_.setUndoRedoEnabled(false);
    lines_.document()->setDocumentMargin(12);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(mono.pointSizeF() * 0.9);
    lines_.setFont(mono);
    lines_.viewport()->setAutoFillBackground(false);
    lines_.setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    card_.content().addWidget(&empty_);
    card_.content().addWidget(&lines_);
    layout_.addWidget(&card_);

    connect(&model_, &LogCardModel::reset, this, &LogCard::showAll);
    connect(&model_, &LogCardModel::appended, this, &LogCard::append);
    showAll();
}

void LogCard::showAll() {
    details_.setChecked(model_.showsDetails());
    lines_.clear();
    for (const auto& line : model_.lines()) {
        appendLine(line);
    }
    empty_.setVisible(model_.lines().empty());
    lines_.setVisible(!model_.lines().empty());
    scrollToEnd();
}

void LogCard::append(int count) {
    const auto& lines = model_.lines();
    const size_t first = lines.size() - std::min(size_t(count), lines.size());
    for (size_t index = first; index < lines.size(); ++index) {
        appendLine(lines[index]);
    }
    empty_.setVisible(false);
    lines_.setVisible(true);
    scrollToEnd();
}

void LogCard::appendLine(const tunnelkit::SSHLogLine& line) {
    QTextCharFormat format;
    switch (line.level) {
    case tunnelkit::SSHLogLine::Level::debug:
        format.setForeground(look::secondary(palette()));
        break;
    case tunnelkit::SSHLogLine::Level::info:
        format.setForeground(palette().color(QPalette::Text));
        break;
    case tunnelkit::SSHLogLine::Level::error:
        format.setForeground(look::tint(StatusDotLook::Tint::red, palette()));
        break;
    }
    QTextCursor cursor(lines_.document());
    cursor.movePosition(QTextCursor::End);
    if (!lines_.document()->isEmpty()) {
        cursor.insertBlock();
    }
    cursor.insertText(QString::fromStdString(line.text), format);
}

void LogCard::scrollToEnd() {
    QScrollBar* bar = lines_.verticalScrollBar();
    bar->setValue(bar->maximum());
}

UnsavedBar::UnsavedBar(std::function<void()> cancel, std::function<void(bool)> save, QWidget* parent)
    : QFrame(parent), save_(std::move(save)) {
    layout_.setContentsMargins(24, 10, 24, 11);
    layout_.setSpacing(10);
    showSymbol(icon_, QStringLiteral("pencil.circle.fill"), tolvanAccent(), 18);
    QFont medium = title_.font();
    medium.setWeight(QFont::Medium);
    title_.setFont(medium);
    problem_.setTextFormat(Qt::PlainText);
    problem_.setWordWrap(true);
    makeSecondary(problem_);
    cancel_.setText(tr("Cancel"));
    connect(&cancel_, &QPushButton::clicked, this, [cancel = std::move(cancel)] { cancel(); });
    connect(&plainSave_, &QPushButton::clicked, this, [this] { save_(false); });
    connect(&prominentSave_, &QPushButton::clicked, this, [this] { save_(prominentReconnects_); });
    makeProminent(prominentSave_);
    layout_.addWidget(&icon_);
    layout_.addWidget(&title_);
    layout_.addWidget(&problemIcon_);
    layout_.addWidget(&problem_, 1);
    layout_.addWidget(&cancel_);
    layout_.addWidget(&plainSave_);
    layout_.addWidget(&prominentSave_);
}

void UnsavedBar::show(const DetailModel::UnsavedBar& bar) {
    title_.setText(bar.title);
    // Always in place, empty or not: it is the space that pushes the buttons to the end.
    problemIcon_.setVisible(bar.problem.has_value());
    showSymbol(problemIcon_, QStringLiteral("exclamationmark.triangle"), look::secondary(palette()), 14);
    problem_.setText(bar.problem.value_or(QString()));
    const bool two = bar.saveButtons.size() > 1;
    plainSave_.setVisible(two);
    if (two) {
        plainSave_.setText(bar.saveButtons.front().title);
        plainSave_.setEnabled(bar.saveButtons.front().enabled);
    }
    const auto& last = bar.saveButtons.back();
    prominentSave_.setText(last.title);
    prominentSave_.setEnabled(last.enabled);
    prominentReconnects_ = last.reconnect;
}

void UnsavedBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), tolvanCanvas(palette()));
    painter.fillRect(QRect(0, height() - 1, width(), 1), look::separator(palette()));
    QFrame::paintEvent(event);
}

} // namespace burrowlight

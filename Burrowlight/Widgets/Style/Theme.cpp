#include "Burrowlight/Widgets/Style/Theme.h"

#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <utility>

namespace burrowlight {

namespace {

struct NamedColor {
    QRgb light;
    QRgb dark;
};

constexpr NamedColor accent{0x1B3149, 0xE2B77F};
constexpr NamedColor onAccent{0xF5F1EB, 0x1B3149};
constexpr NamedColor surface{0xF5F1EB, 0x252B33};
constexpr NamedColor canvas{0xE2DDD5, 0x19212B};

QColor named(const NamedColor& color, const QPalette& palette) {
    return makeDynamicColor(color.light, color.dark, palette);
}

// The platform's separator line: the text colour, faint.
QColor separator(const QPalette& palette) {
    return faded(palette.color(QPalette::WindowText), 0.16);
}

void setForAllGroups(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
}

bool& highContrastSetting() {
    static bool high = false;
    return high;
}

} // namespace

void setHighContrast(bool high) {
    if (std::exchange(highContrastSetting(), high) == high) {
        return;
    }
    for (QWidget* widget : QApplication::allWidgets()) {
        if (dynamic_cast<TolvanCard*>(widget)) {
            widget->update();
        }
    }
}

bool highContrast() {
    return highContrastSetting();
}

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor makeDynamicColor(QRgb light, QRgb dark, const QPalette& palette) {
    return QColor::fromRgb(isDark(palette) ? dark : light);
}

QColor tolvanAccent(const QPalette& palette) {
    return named(accent, palette);
}

QColor tolvanOnAccent(const QPalette& palette) {
    return named(onAccent, palette);
}

QColor tolvanSurface(const QPalette& palette) {
    return named(surface, palette);
}

QColor tolvanCanvas(const QPalette& palette) {
    return named(canvas, palette);
}

void applyTolvanSurface(QWidget& widget) {
    const QPalette application = QApplication::palette();
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, tolvanSurface(application));
    palette.setColor(QPalette::Link, tolvanAccent(application));
    setForAllGroups(palette, QPalette::Highlight, tolvanAccent(application));
    setForAllGroups(palette, QPalette::HighlightedText, tolvanOnAccent(application));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void makeProminent(QPushButton& button) {
    const QPalette application = QApplication::palette();
    QPalette palette = button.palette();
    setForAllGroups(palette, QPalette::Button, tolvanAccent(application));
    setForAllGroups(palette, QPalette::ButtonText, tolvanOnAccent(application));
    palette.setColor(QPalette::Disabled, QPalette::Button,
                     application.color(QPalette::Disabled, QPalette::Button));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText,
                     application.color(QPalette::Disabled, QPalette::ButtonText));
    button.setPalette(palette);
}

void makeLink(QPushButton& button) {
    QPalette palette = button.palette();
    setForAllGroups(palette, QPalette::ButtonText, tolvanAccent(QApplication::palette()));
    button.setPalette(palette);
    // Lined up with the text around it, as a link in a sentence would be.
    button.setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; text-align: left; }"));
    QFont font = button.font();
    font.setUnderline(true);
    button.setFont(font);
    button.setCursor(Qt::PointingHandCursor);
}

void makeSecondary(QWidget& text) {
    QPalette palette = text.palette();
    setForAllGroups(palette, QPalette::WindowText,
                    faded(QApplication::palette().color(QPalette::WindowText), 0.62));
    text.setPalette(palette);
}

void scaleFont(QLabel& label, qreal factor, QFont::Weight weight) {
    QFont font = label.font();
    font.setPointSizeF(QFont().pointSizeF() * factor);
    font.setWeight(weight);
    label.setFont(font);
}

void setPathsKeptWhole(QLabel& label, const QString& text) {
    static const QRegularExpression slashInWord(QStringLiteral("/(?=\\S)"));
    label.setText(QString(text).replace(slashInWord, QStringLiteral("/\u2060")));
    label.setAccessibleName(text);
}

void setWrappedPlainText(QLabel& label, const QString& text) {
    setPathsKeptWhole(label, text);
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
}

AppNameHeader::AppNameHeader(QWidget* parent) : QWidget(parent) {
    name_.setText(appDisplayName());
    scaleFont(name_, 1.0, QFont::DemiBold);
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(sizes::scaled(8));
    layout_.addWidget(&icon_);
    layout_.addWidget(&name_);
    layout_.addStretch();
}

void AppNameHeader::applyTheme() {
    icon_.setPixmap(tintedIcon(trayIcon(), tolvanAccent(), {22, 22}).pixmap(22, 22));
}

void makeSeparator(QFrame& line, Qt::Orientation orientation) {
    line.setFrameShape(QFrame::NoFrame);
    if (orientation == Qt::Horizontal) {
        line.setFixedHeight(1);
    } else {
        line.setFixedWidth(1);
    }
    QPalette palette = line.palette();
    // Drawn opaque: the separator colour over the surface it stands on.
    const QColor surface = line.parentWidget() ? line.parentWidget()->palette().color(QPalette::Window)
                                               : QApplication::palette().color(QPalette::Window);
    const QColor ink = separator(QApplication::palette());
    const qreal alpha = ink.alphaF();
    palette.setColor(QPalette::Window, QColor::fromRgbF(surface.redF() * (1 - alpha) + ink.redF() * alpha,
                                                        surface.greenF() * (1 - alpha) + ink.greenF() * alpha,
                                                        surface.blueF() * (1 - alpha) + ink.blueF() * alpha));
    line.setPalette(palette);
    line.setAutoFillBackground(true);
}

QColor faded(QColor color, qreal opacity) {
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

QPixmap tintedPixmap(const QIcon& symbol, const QColor& color, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap = symbol.pixmap(size, devicePixelRatio);
    if (pixmap.isNull()) {
        return pixmap;
    }
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    return pixmap;
}

QIcon tintedIcon(const QIcon& symbol, const QColor& color, QSize size) {
    QIcon tinted;
    for (const qreal scale : {1.0, 2.0}) {
        tinted.addPixmap(tintedPixmap(symbol, color, size, scale));
    }
    return tinted;
}

PaletteFollower::PaletteFollower(QWidget& widget, std::function<void()> apply) : apply_(std::move(apply)) {
    widget.installEventFilter(this);
    apply_();
}

bool PaletteFollower::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange) {
        apply_();
    }
    return false;
}

TolvanCard::TolvanCard(QWidget* parent, qreal radius) : QFrame(parent), radius_(radius) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TolvanCard::paintEvent(QPaintEvent* /*event*/) {
    const QPalette application = QApplication::palette();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The line is drawn inside the border: half its width in from the edge.
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(bounds, radius_, radius_);
    painter.fillPath(shape, faded(application.color(QPalette::Window), 0.55));
    painter.setPen(QPen(faded(separator(application), highContrast() ? 1.0 : 0.6), 1));
    painter.drawPath(shape);
}

TolvanSettingsForm::TolvanSettingsForm(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setMinimumSize(0, 0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout_.setContentsMargins(sizes::scaled(QMargins(20, 20, 20, 20)));
    layout_.setSpacing(sizes::scaled(8));
    layout_.addStretch();
    setWidget(&column_);
}

void TolvanSettingsForm::applyTheme() {
    applyTolvanSurface(*this);
    applyTolvanSurface(column_);
    for (const auto& section : sections_) {
        makeSecondary(section->footer);
    }
}

void TolvanSettingsForm::setFooter(const QFormLayout& section, const QString& footer) {
    const auto found = std::ranges::find(sections_, &section, [](const auto& own) { return &own->form; });
    if (found != sections_.end()) {
        setPathsKeptWhole((*found)->footer, footer);
    }
}

QFormLayout& TolvanSettingsForm::addSection(const QString& title, const QString& footer) {
    auto& section = *sections_.emplace_back(std::make_unique<Section>());
    const int end = layout_.count() - 1; // before the closing stretch
    if (!title.isEmpty()) {
        section.heading.setText(title);
        QFont font = section.heading.font();
        font.setWeight(QFont::DemiBold);
        section.heading.setFont(font);
        section.heading.setContentsMargins(sizes::scaled(QMargins(4, layout_.count() > 1 ? 12 : 0, 0, 0)));
        layout_.insertWidget(end, &section.heading);
    }
    section.form.setContentsMargins(sizes::scaled(QMargins(14, 10, 14, 10)));
    section.form.setRowWrapPolicy(QFormLayout::WrapLongRows);
    section.form.setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    section.card.content().addWidget(&section.rows);
    layout_.insertWidget(layout_.count() - 1, &section.card);
    if (!footer.isEmpty()) {
        setPathsKeptWhole(section.footer, footer);
        section.footer.setWordWrap(true);
        section.footer.setContentsMargins(sizes::scaled(QMargins(4, 0, 4, 0)));
        QFont font = section.footer.font();
        font.setPointSizeF(font.pointSizeF() * 0.92);
        section.footer.setFont(font);
        makeSecondary(section.footer);
        layout_.insertWidget(layout_.count() - 1, &section.footer);
    }
    return section.form;
}

} // namespace burrowlight

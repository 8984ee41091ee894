#include "Burrowlight/Widgets/Style/Look.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QTextBoundaryFinder>

namespace burrowlight::look {

namespace {

// Qt takes U+009C for the end of a text's first length variant: measuring, eliding or drawing the
// text, it goes no further.
constexpr QChar variantSeparator(0x9C);
// Another C1 control, which fonts leave unmapped as they do U+009C: Qt draws the same missing-glyph
// box for it.
constexpr QChar separatorStandIn(0x9B);

// As much of a text as Qt lays out to cut it: a letter with 500 marks shapes in half a millisecond,
// with a thousand in two or three, with four thousand in over twenty.
constexpr qsizetype mostLaidOut = 512;

// Where a text longer than `length` code units is cut to keep no more: after the last character, as
// the reader sees characters, that ends within them; inside a first character longer than that,
// between its code points.
qsizetype cutWithin(const QString& text, qsizetype length) {
    // The code point after the cut tells whether it falls between characters.
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, QStringView(text).left(length + 2));
    characters.setPosition(length);
    if (characters.isAtBoundary()) {
        return length;
    }
    if (characters.toPreviousBoundary() > 0) {
        return characters.position();
    }
    return text.at(length - 1).isHighSurrogate() ? length - 1 : length;
}

} // namespace

QString shownWhole(const QString& text) {
    QString shown = text;
    return shown.replace(variantSeparator, separatorStandIn);
}

QString enoughToFill(const QFontMetrics& metrics, const QString& text, int width) {
    for (qsizetype length = 256; length < std::min(text.size(), mostLaidOut); length *= 4) {
        if (text.at(length - 1).isHighSurrogate()) {
            ++length;
        }
        QString start = shownWhole(text.left(length));
        // Twice as wide: where the line is cut does not hang on how the start's last letters shape.
        if (metrics.horizontalAdvance(start) > 2 * width) {
            return start;
        }
    }
    if (text.size() <= mostLaidOut) {
        return shownWhole(text);
    }
    // What follows is never laid out: the line ends in "…" even where the start fits it.
    return shownWhole(text.left(cutWithin(text, mostLaidOut))) + QChar(0x2026);
}

// Qt cuts at the grapheme boundaries of QTextBoundaryFinder, as the name rule does.
QString elided(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics.elidedText(enoughToFill(metrics, text, width), Qt::ElideRight, width);
}

QString menuText(const QString& title) {
    QString escaped = title;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QColor tint(StatusDotLook::Tint tint, const QPalette& palette) {
    switch (tint) {
    case StatusDotLook::Tint::green:
        return makeDynamicColor(0x28A745, 0x32D74B, palette);
    case StatusDotLook::Tint::orange:
        return makeDynamicColor(0xE8890C, 0xFF9F0A, palette);
    case StatusDotLook::Tint::red:
        return makeDynamicColor(0xE0352B, 0xFF453A, palette);
    case StatusDotLook::Tint::secondary:
        break;
    }
    return secondary(palette);
}

QColor secondary(const QPalette& palette) {
    return faded(palette.color(QPalette::WindowText), 0.62);
}

QColor separator(const QPalette& palette) {
    return faded(palette.color(QPalette::WindowText), 0.12);
}

// Rows paint their symbols on every frame: each colour and size is drawn from its SVG once.
QPixmap symbol(const QString& name, const QColor& color, int size, qreal devicePixelRatio) {
    const QString key = QStringLiteral("burrowlight-symbol:%1:%2:%3:%4")
                            .arg(name)
                            .arg(color.rgba(), 8, 16)
                            .arg(size)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = tintedPixmap(symbolIcon(name), color, QSize(size, size), devicePixelRatio);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

void onSurface(QWidget& widget) {
    applyTolvanSurface(widget);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, tolvanSurface(QGuiApplication::palette()));
    widget.setPalette(palette);
}

void fill(QMenu& menu, const Menu& entries) {
    const QColor iconColor = menu.palette().color(QPalette::WindowText);
    for (const auto& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::separator:
            menu.addSeparator();
            break;
        case MenuEntry::Kind::submenu: {
            QMenu* submenu = menu.addMenu(menuText(entry.title));
            if (!entry.symbol.isEmpty()) {
                submenu->setIcon(QIcon(symbol(entry.symbol, iconColor, 16, menu.devicePixelRatioF())));
            }
            fill(*submenu, entry.entries);
            break;
        }
        case MenuEntry::Kind::action:
        case MenuEntry::Kind::toggle: {
            QAction* action = menu.addAction(menuText(entry.title));
            if (!entry.symbol.isEmpty()) {
                const QColor color = entry.destructive ? tint(StatusDotLook::Tint::red) : iconColor;
                action->setIcon(QIcon(symbol(entry.symbol, color, 16, menu.devicePixelRatioF())));
            }
            if (entry.kind == MenuEntry::Kind::toggle) {
                action->setCheckable(true);
                action->setChecked(entry.checked);
            }
            QObject::connect(action, &QAction::triggered, &menu, [run = entry.run] {
                if (run) {
                    run();
                }
            });
            break;
        }
        }
    }
}

void addSection(QMenu& menu, const QString& title) {
    menu.addSection(title);
    // As wide as an item with the heading's text, inside the menu's frame.
    QStyleOptionMenuItem item;
    item.initFrom(&menu);
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.text = title;
    const QFontMetrics metrics = menu.fontMetrics();
    const QSize text(metrics.horizontalAdvance(title), metrics.height());
    QStyle& style = *menu.style();
    const int frame = style.pixelMetric(QStyle::PM_MenuHMargin, nullptr, &menu) +
                      style.pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &menu);
    const int width = style.sizeFromContents(QStyle::CT_MenuItem, &item, text, &menu).width() + 2 * frame;
    menu.setMinimumWidth(std::max(menu.minimumWidth(), width));
}

} // namespace burrowlight::look

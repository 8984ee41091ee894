#include "Burrowlight/Widgets/Detail/ForwardRow.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/DetailRules.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

namespace burrowlight {

void copyToPasteboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

ForwardRow::ForwardRow(const tunnelkit::Forward& forward, bool isConnected, QWidget* parent)
    : QWidget(parent) {
    const auto facts = detail::forwardRowFacts(forward, isConnected);
    layout_.setContentsMargins(sizes::scaled(QMargins(14, 10, 14, 10)));
    layout_.setSpacing(sizes::scaled(12));

    const QColor tint = forward.isEnabled ? tolvanAccent() : look::secondary();
    symbol_.setPixmap(look::symbol(detail::symbolName(forward.kind), tint, 20, devicePixelRatioF()));
    symbol_.setFixedWidth(sizes::scaled(20));
    layout_.addWidget(&symbol_);

    // A long server or note wraps, a word longer than the line broken, rather than widen the page.
    summary_.setText(texts::summary(forward));
    QFont mono = editorLook::monospaced(summary_.font());
    mono.setStrikeOut(!forward.isEnabled);
    summary_.setFont(mono);
    caption_.setText(facts.caption);
    QFont small = caption_.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    caption_.setFont(small);
    makeSecondary(caption_);
    textsLayout_.setContentsMargins(0, 0, 0, 0);
    textsLayout_.setSpacing(sizes::scaled(2));
    textsLayout_.addWidget(&summary_);
    textsLayout_.addWidget(&caption_);
    layout_.addWidget(&texts_, 1);

    browser_.setAutoRaise(true);
    browser_.setIcon(symbolIcon(QStringLiteral("safari")));
    browser_.setAccessibleName(tr("Open in Browser"));
    browser_.setVisible(facts.browserURL.has_value());
    if (facts.browserURL) {
        browser_.setToolTip(tr("Open %1 in the browser").arg(isolated(onOneLine(*facts.copyAddress))));
        connect(&browser_, &QToolButton::clicked, this,
                [url = *facts.browserURL] { QDesktopServices::openUrl(url); });
    }
    copy_.setAutoRaise(true);
    copy_.setIcon(symbolIcon(QStringLiteral("doc.on.doc")));
    copy_.setAccessibleName(tr("Copy Address"));
    copy_.setVisible(facts.copyAddress.has_value());
    if (facts.copyAddress) {
        copy_.setToolTip(tr("Copy %1").arg(isolated(onOneLine(*facts.copyAddress))));
        connect(&copy_, &QToolButton::clicked, this,
                [address = *facts.copyAddress] { copyToPasteboard(address); });
    }
    layout_.addWidget(&browser_);
    layout_.addWidget(&copy_);
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Editor/ForwardEditorRow.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/DetailRules.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextBoundaryFinder>
#include <QToolButton>
#include <QVBoxLayout>
#include <numeric>

namespace burrowlight {

using tunnelkit::Forward;
using Access = ForwardDraft::Access;

namespace {

// The kind menu is at least this wide, so that the fields of the rows below one another line up.
constexpr int kindMenuWidth = 128;
// The name field's width on one line, and the least it is given beside other controls.
constexpr int oneLineNameWidth = 130;
constexpr int nameWidth = 100;

constexpr std::array allKinds{Forward::Kind::local, Forward::Kind::remote, Forward::Kind::dynamic,
                              Forward::Kind::remoteDynamic};

// A word wider than a line `width` wide may break between any two of its characters, as the reader
// sees them; the others are left whole.
QString breakableWhereWiderThan(const QString& value, const QFontMetrics& metrics, int width) {
    QStringList words = value.split(QLatin1Char(' '));
    for (QString& word : words) {
        if (metrics.horizontalAdvance(word) <= width) {
            continue;
        }
        QString breakable;
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, word);
        qsizetype from = 0;
        for (qsizetype to = characters.toNextBoundary(); to != -1; to = characters.toNextBoundary()) {
            breakable += word.mid(from, to - from) + QChar(0x200B);
            from = to;
        }
        word = breakable;
    }
    return words.join(QLatin1Char(' '));
}

// A host and its port stay on one line: word joiners hold them together at the colon. Only a word
// wider than the row breaks, rather than be cut at its edge.
QString shown(const QString& value, const QFontMetrics& monospace, int width) {
    const QString held = breakableWhereWiderThan(value, monospace, width)
                             .toHtmlEscaped()
                             .replace(QLatin1Char(':'), QStringLiteral("\u2060:\u2060"));
    return QStringLiteral("<span style=\"font-family: monospace\">%1</span>").arg(held);
}

QHBoxLayout& line(QBoxLayout& into) {
    auto* layout = new QHBoxLayout; // owned by `into`
    layout->setSpacing(sizes::scaled(8));
    layout->setContentsMargins(0, 0, 0, 0);
    into.addLayout(layout);
    return *layout;
}

} // namespace

ForwardEditorRow::ForwardEditorRow(TunnelDraft& draft, tunnelkit::Uuid id, ForwardRowModel::LiveTest isLive,
                                   QWidget* parent)
    : QWidget(parent), model_(draft, id, std::move(isLive)) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(sizes::scaled(QMargins(0, 8, 0, 8)));
    layout_->setSpacing(sizes::scaled(5));

    controls_ = new QWidget(this);
    layout_->addWidget(controls_);
    controlsLayout_ = new QVBoxLayout(controls_);
    controlsLayout_->setContentsMargins(0, 0, 0, 0);
    controlsLayout_->setSpacing(sizes::scaled(6));
    for (auto*& one : lines_) {
        one = &line(*controlsLayout_);
    }

    kindButton_ = new QToolButton(controls_);
    kindButton_->setPopupMode(QToolButton::InstantPopup);
    kindButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    kindButton_->setAutoRaise(true);
    kindButton_->setMinimumWidth(sizes::scaled(kindMenuWidth));
    kindButton_->setMenu(new QMenu(kindButton_));
    connect(kindButton_->menu(), &QMenu::aboutToShow, this, &ForwardEditorRow::buildKindMenu);

    listenSide_ = new QWidget(controls_);
    auto* listenLayout = new QHBoxLayout(listenSide_);
    listenLayout->setContentsMargins(0, 0, 0, 0);
    listenLayout->setSpacing(sizes::scaled(8));
    auto& address = makeField(Field::address, *listenSide_, 80, 140);
    address.setPlaceholderText(QStringLiteral("192.168.1.20"));
    listenLayout->addWidget(&address);
    auto& path = makeField(Field::listenPath, *listenSide_, 90, 170);
    path.setPlaceholderText(QStringLiteral("~/app.sock"));
    listenLayout->addWidget(&path);
    auto& listenPort = makeField(Field::listenPort, *listenSide_, 76, 76);
    sizes::setNumberFieldWidth(listenPort, 76, QStringLiteral("65535"));
    listenPort.setAlignment(Qt::AlignRight);
    listenLayout->addWidget(&listenPort);
    listenHint_ = &editorLook::symbolLabel(QStringLiteral("network"), *listenSide_,
                                           look::tint(StatusDotLook::Tint::orange));
    listenLayout->addWidget(listenHint_);
    arrow_ = &editorLook::symbolLabel(QStringLiteral("arrow.right"), *listenSide_, look::secondary());
    listenLayout->addWidget(arrow_);

    targetSide_ = new QWidget(controls_);
    auto* targetLayout = new QHBoxLayout(targetSide_);
    targetLayout->setContentsMargins(0, 0, 0, 0);
    targetLayout->setSpacing(sizes::scaled(8));
    auto& targetHost = makeField(Field::targetHost, *targetSide_, 90, QWIDGETSIZE_MAX);
    targetHost.setToolTip(tr("An empty destination address means localhost. For a Unix socket choose Unix "
                             "Socket, or type a path starting with / or ~/."));
    targetLayout->addWidget(&targetHost, 1);
    colon_ = new QLabel(QStringLiteral(":"), targetSide_);
    colon_->setAccessibleName(QString());
    targetLayout->addWidget(colon_);
    auto& targetPort = makeField(Field::targetPort, *targetSide_, 76, 76);
    sizes::setNumberFieldWidth(targetPort, 76, QStringLiteral("65535"));
    targetPort.setPlaceholderText(tr("port"));
    targetPort.setAlignment(Qt::AlignRight);
    targetLayout->addWidget(&targetPort);
    chosenByApp_ = new ElidedLabel(targetSide_);
    chosenByApp_->setFullText(tr("Destination chosen by the app"));
    chosenByApp_->setMinimumWidth(sizes::scaled(90));
    makeSecondary(*chosenByApp_);
    targetLayout->addWidget(chosenByApp_, 1);

    note_ = new QLineEdit(controls_);
    note_->setPlaceholderText(tr("Name (optional)"));
    note_->setAccessibleName(tr("Forward Name"));
    fieldText::bind(*note_, [this](const QString& text) { model_.setNote(text); });

    trailing_ = new QWidget(controls_);
    auto* trailingLayout = new QHBoxLayout(trailing_);
    trailingLayout->setContentsMargins(0, 0, 0, 0);
    trailingLayout->setSpacing(sizes::scaled(8));
    enabled_ = new QCheckBox(trailing_);
    enabled_->setToolTip(tr("On"));
    enabled_->setAccessibleName(tr("On"));
    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) { model_.setEnabled(on); });
    trailingLayout->addWidget(enabled_);
    browser_ = &editorLook::iconButton(QStringLiteral("safari"), tr("Open in Browser"), *trailing_);
    connect(browser_, &QToolButton::clicked, this, [this] {
        if (const auto url = model_.browserURL()) {
            QDesktopServices::openUrl(*url);
        }
    });
    trailingLayout->addWidget(browser_);
    copy_ = &editorLook::iconButton(QStringLiteral("doc.on.doc"), tr("Copy Address"), *trailing_);
    connect(copy_, &QToolButton::clicked, this, [this] {
        if (const auto address = model_.copyAddress()) {
            QGuiApplication::clipboard()->clear();
            QGuiApplication::clipboard()->setText(*address);
        }
    });
    trailingLayout->addWidget(copy_);
    auto& remove = editorLook::iconButton(QStringLiteral("minus.circle"), tr("Remove Forward"), *trailing_);
    // The row goes away with its forward: leave the click handler before the draft changes.
    connect(
        &remove, &QToolButton::clicked, this, [this] { model_.remove(); }, Qt::QueuedConnection);
    trailingLayout->addWidget(&remove);

    problems_ = new QLabel(this);
    problems_->setTextFormat(Qt::RichText);
    editorLook::makeCaption(*problems_);
    layout_->addWidget(problems_);
    sentence_ = new QLabel(this);
    sentence_->setTextFormat(Qt::RichText);
    editorLook::makeCaption(*sentence_);
    makeSecondary(*sentence_);
    layout_->addWidget(sentence_);

    placeLines();
    connect(&model_, &ForwardRowModel::changed, this, &ForwardEditorRow::refresh);
    refresh();
}

QLineEdit& ForwardEditorRow::makeField(Field field, QWidget& side, int minimumWidth, int maximumWidth) {
    auto* edit = new QLineEdit(&side);
    edit->setFont(editorLook::monospaced(edit->font()));
    edit->setMinimumWidth(sizes::scaled(minimumWidth));
    edit->setMaximumWidth(maximumWidth == QWIDGETSIZE_MAX ? maximumWidth : sizes::scaled(maximumWidth));
    edit->installEventFilter(this);
    fields_[field] = edit;
    fieldText::bind(*edit, [this, field](const QString& text) {
        switch (field) {
        case Field::address:
            model_.setAddress(text);
            break;
        case Field::listenPort:
            model_.setListenPort(text);
            break;
        case Field::listenPath:
            model_.setListenPath(text);
            break;
        case Field::targetHost:
            model_.setTargetHost(text);
            break;
        case Field::targetPort:
            model_.setTargetPort(text);
            break;
        }
        // A pasted "host:port" lands in two fields: show the field as the draft now holds it.
        const ForwardDraft row = model_.forward();
        const QString stored = field == Field::address      ? row.address
                               : field == Field::listenPort ? row.listenPort
                               : field == Field::listenPath ? row.listenPath
                               : field == Field::targetHost ? row.targetHost
                                                            : row.targetPort;
        fieldText::show(*fields_.at(field), stored);
    });
    return *edit;
}

bool ForwardEditorRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            for (const auto& [field, edit] : fields_) {
                if (edit == watched) {
                    model_.leave(field);
                    // The split may have rewritten the text the field kept while focused.
                    refresh();
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ForwardEditorRow::buildKindMenu() {
    QMenu& menu = *kindButton_->menu();
    menu.clear();
    const ForwardDraft row = model_.forward();
    auto* kinds = new QActionGroup(&menu);
    for (const auto kind : allKinds) {
        QAction* action =
            menu.addAction(editorLook::symbol(detail::symbolName(kind), menu), texts::title(kind));
        action->setCheckable(true);
        action->setChecked(kind == row.kind);
        kinds->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind] { model_.setKind(kind); });
    }
    look::addSection(menu, tr("Who Can Connect"));
    auto* accesses = new QActionGroup(&menu);
    for (const auto access : model_.accessChoices()) {
        QAction* action = menu.addAction(ForwardRowModel::title(access));
        action->setCheckable(true);
        action->setChecked(access == row.access);
        accesses->addAction(action);
        connect(action, &QAction::triggered, this, [this, access] { model_.setAccess(access); });
    }
}

void ForwardEditorRow::fitTo(int width, bool oneLineAllowed) {
    const bool widthChanged = width != width_;
    width_ = width;
    oneLineAllowed_ = oneLineAllowed;
    if (widthChanged) {
        refreshFootnote();
    }
    const Arrangement fitting = arrangementFor(width, oneLineAllowed);
    if (fitting != arrangement_) {
        arrangement_ = fitting;
        placeLines();
        refreshFields(model_.forward());
    }
}

ForwardEditorRow::Arrangement ForwardEditorRow::arrangementFor(int width, bool oneLineAllowed) const {
    const int spacing = sizes::scaled(8);
    const int oneLineName = sizes::scaled(oneLineNameWidth);
    const int name = sizes::scaled(nameWidth);
    const auto fits = [width, spacing](std::initializer_list<int> widths) {
        return std::accumulate(widths.begin(), widths.end(), 0) + spacing * int(widths.size() - 1) <= width;
    };
    const auto least = [](QWidget* widget) {
        if (QLayout* layout = widget->layout()) {
            layout->invalidate();
        }
        return std::max(widget->minimumWidth(), widget->minimumSizeHint().width());
    };
    const int kind = std::max(kindButton_->minimumWidth(), kindButton_->sizeHint().width());
    const int listen = least(listenSide_);
    // The SOCKS kinds' sentence is cut only where nothing else fits.
    const int target =
        std::max(least(targetSide_), chosenByApp_->isHidden() ? 0 : chosenByApp_->sizeHint().width());
    const int endpoints = listen + spacing + target;
    const int trailing = least(trailing_);
    if (oneLineAllowed && fits({kind, endpoints, oneLineName, trailing})) {
        return Arrangement::oneLine;
    }
    if (fits({kind, endpoints}) && fits({name, trailing})) {
        return Arrangement::twoLines;
    }
    if (fits({kind, name, trailing}) && fits({endpoints})) {
        return Arrangement::controlsFirst;
    }
    return fits({kind, listen}) ? Arrangement::threeLines : Arrangement::eachAlone;
}

void ForwardEditorRow::placeLines() {
    for (QHBoxLayout* one : lines_) {
        while (QLayoutItem* item = one->takeAt(0)) {
            delete item; // the widgets stay, spacers go
        }
    }
    auto& [first, second, third, fourth] = lines_;
    const auto addName = [this](QHBoxLayout& into) {
        note_->setMinimumWidth(0);
        note_->setMaximumWidth(QWIDGETSIZE_MAX);
        into.addWidget(note_, 1);
    };
    const auto addAlone = [](QHBoxLayout& into, QWidget* side) {
        into.addWidget(side);
        into.addStretch();
    };
    switch (arrangement_) {
    case Arrangement::oneLine:
        first->addWidget(kindButton_);
        first->addWidget(listenSide_);
        first->addWidget(targetSide_, 1);
        note_->setFixedWidth(sizes::scaled(oneLineNameWidth));
        first->addWidget(note_);
        first->addWidget(trailing_);
        break;
    case Arrangement::twoLines:
        first->addWidget(kindButton_);
        first->addWidget(listenSide_);
        first->addWidget(targetSide_, 1);
        addName(*second);
        second->addWidget(trailing_);
        break;
    case Arrangement::controlsFirst:
        first->addWidget(kindButton_);
        addName(*first);
        first->addWidget(trailing_);
        second->addWidget(listenSide_);
        second->addWidget(targetSide_, 1);
        break;
    case Arrangement::threeLines:
        first->addWidget(kindButton_);
        addAlone(*first, listenSide_);
        second->addWidget(targetSide_, 1);
        addName(*third);
        third->addWidget(trailing_);
        break;
    case Arrangement::eachAlone:
        addAlone(*first, kindButton_);
        addAlone(*second, listenSide_);
        third->addWidget(targetSide_, 1);
        addName(*fourth);
        fourth->addWidget(trailing_);
        break;
    }
}

void ForwardEditorRow::refresh() {
    const ForwardDraft row = model_.forward();
    kindButton_->setText(texts::title(row.kind));
    kindButton_->setIcon(editorLook::symbol(detail::symbolName(row.kind), *kindButton_));
    kindButton_->setToolTip(texts::explanation(row.kind));
    kindButton_->setAccessibleName(texts::title(row.kind));
    refreshFields(row);
    fieldText::showUnlessTyping(*note_, row.note);
    {
        // Showing the draft writes nothing back into it.
        const QSignalBlocker quiet(enabled_);
        enabled_->setChecked(row.isEnabled);
    }

    const auto copy = model_.copyAddress();
    copy_->setVisible(copy.has_value());
    if (copy) {
        copy_->setToolTip(tr("Copy %1").arg(isolated(onOneLine(*copy))));
    }
    const auto url = model_.browserURL();
    browser_->setVisible(url.has_value());
    if (url && copy) {
        browser_->setToolTip(tr("Open %1 in the browser").arg(isolated(onOneLine(*copy))));
    }
    if (row.isEnabled) {
        controls_->setGraphicsEffect(nullptr);
    } else if (!controls_->graphicsEffect()) {
        auto* dimmed = new QGraphicsOpacityEffect(controls_);
        dimmed->setOpacity(0.55);
        controls_->setGraphicsEffect(dimmed);
    }
    refreshFootnote();
    // Another kind or access shows other fields, which may need other lines.
    fitTo(width_, oneLineAllowed_);
}

void ForwardEditorRow::refreshFields(const ForwardDraft& row) {
    const bool onThisComputer = tunnelkit::listensLocally(row.kind);
    QLineEdit& listenPort = *fields_.at(Field::listenPort);
    listenPort.setPlaceholderText(onThisComputer ? tr("port here") : tr("server port"));
    fields_.at(Field::targetHost)
        ->setPlaceholderText(isNarrow()                         ? QStringLiteral("localhost")
                             : row.kind == Forward::Kind::local ? tr("localhost (from the server)")
                                                                : tr("localhost (from this computer)"));
    for (const auto& [field, edit] : fields_) {
        edit->setAccessibleName(row.label(field));
        edit->setVisible(model_.showsField(field));
        editorLook::setOutlined(*edit, model_.isOutlined(field));
    }
    fieldText::showUnlessTyping(*fields_.at(Field::address), row.address);
    fieldText::showUnlessTyping(listenPort, row.listenPort);
    fieldText::showUnlessTyping(*fields_.at(Field::listenPath), row.listenPath);
    fieldText::showUnlessTyping(*fields_.at(Field::targetHost), row.targetHost);
    fieldText::showUnlessTyping(*fields_.at(Field::targetPort), row.targetPort);
    const bool hasTarget = tunnelkit::hasTarget(row.kind);
    colon_->setVisible(model_.showsField(Field::targetPort));
    chosenByApp_->setVisible(!hasTarget);
    const auto hint = model_.listenHint();
    listenHint_->setVisible(hint.has_value());
    listenHint_->setToolTip(hint.value_or(QString()));
    listenHint_->setAccessibleName(hint.value_or(QString()));
}

void ForwardEditorRow::refreshFootnote() {
    const QStringList lines = model_.problemLines();
    QStringList shownLines;
    const QString red = look::tint(StatusDotLook::Tint::red).name();
    for (const QString& problem : lines) {
        shownLines
            << QStringLiteral("<span style=\"color: %1\">⚠ %2</span>").arg(red, problem.toHtmlEscaped());
    }
    problems_->setText(shownLines.join(QStringLiteral("<br>")));
    problems_->setVisible(!lines.isEmpty());
    const auto sentence = lines.isEmpty() ? model_.explanation() : std::nullopt;
    const QFontMetrics monospace(editorLook::monospaced(sentence_->font()));
    sentence_->setText(
        sentence ? sentence->filled([&](const QString& value) { return shown(value, monospace, width_); })
                 : QString());
    sentence_->setAccessibleName(sentence ? sentence->filled() : QString());
    sentence_->setVisible(sentence.has_value());
}

QString ForwardEditorRow::footnote() const {
    const QStringList lines = model_.problemLines();
    if (!lines.isEmpty()) {
        return lines.join(QLatin1Char('\n'));
    }
    const auto sentence = model_.explanation();
    return sentence ? sentence->filled() : QString();
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Editor/ForwardEditorRow.h"

#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/DetailRules.h"
#include "Burrowlight/Widgets/Editor/EditorLook.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/MainWindow/Look.h"
#include "Burrowlight/Widgets/Shell/Theme.h"

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
#include <QToolButton>
#include <QVBoxLayout>

namespace burrowlight {

using tunnelkit::Forward;
using Access = ForwardDraft::Access;

namespace {

constexpr std::array allKinds{Forward::Kind::local, Forward::Kind::remote, Forward::Kind::dynamic,
                              Forward::Kind::remoteDynamic};

QString shown(const QString& value) {
    return QStringLiteral("<span style=\"font-family: monospace\">%1</span>").arg(value.toHtmlEscaped());
}

QHBoxLayout& line(QBoxLayout& into) {
    auto* layout = new QHBoxLayout; // owned by `into`
    layout->setSpacing(8);
    layout->setContentsMargins(0, 0, 0, 0);
    into.addLayout(layout);
    return *layout;
}

} // namespace

ForwardEditorRow::ForwardEditorRow(TunnelDraft& draft, tunnelkit::Uuid id, ForwardRowModel::LiveTest isLive,
                                   QWidget* parent)
    : QWidget(parent), model_(draft, id, std::move(isLive)) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 8, 0, 8);
    layout_->setSpacing(5);

    controls_ = new QWidget(this);
    layout_->addWidget(controls_);
    controlsLayout_ = new QVBoxLayout(controls_);
    controlsLayout_->setContentsMargins(0, 0, 0, 0);
    controlsLayout_->setSpacing(6);
    firstLine_ = &line(*controlsLayout_);
    secondLine_ = &line(*controlsLayout_);

    kindButton_ = new QToolButton(controls_);
    kindButton_->setPopupMode(QToolButton::InstantPopup);
    kindButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    kindButton_->setAutoRaise(true);
    kindButton_->setMinimumWidth(150);
    kindButton_->setMenu(new QMenu(kindButton_));
    connect(kindButton_->menu(), &QMenu::aboutToShow, this, &ForwardEditorRow::buildKindMenu);

    endpoints_ = new QWidget(controls_);
    auto* endpointsLayout = new QHBoxLayout(endpoints_);
    endpointsLayout->setContentsMargins(0, 0, 0, 0);
    endpointsLayout->setSpacing(8);
    auto& address = makeField(Field::address, 80, 140);
    address.setPlaceholderText(QStringLiteral("192.168.1.20"));
    endpointsLayout->addWidget(&address);
    auto& path = makeField(Field::listenPath, 90, 170);
    path.setPlaceholderText(QStringLiteral("~/app.sock"));
    endpointsLayout->addWidget(&path);
    auto& listenPort = makeField(Field::listenPort, 76, 76);
    listenPort.setAlignment(Qt::AlignRight);
    endpointsLayout->addWidget(&listenPort);
    listenHint_ = &editorLook::symbolLabel(QStringLiteral("network"), *endpoints_,
                                           look::tint(StatusDotLook::Tint::orange));
    endpointsLayout->addWidget(listenHint_);
    arrow_ = &editorLook::symbolLabel(QStringLiteral("arrow.right"), *endpoints_, look::secondary());
    endpointsLayout->addWidget(arrow_);
    auto& targetHost = makeField(Field::targetHost, 90, QWIDGETSIZE_MAX);
    targetHost.setToolTip(tr("An empty destination address means localhost. For a Unix socket choose Unix "
                             "Socket, or type a path starting with / or ~/."));
    endpointsLayout->addWidget(&targetHost, 1);
    colon_ = new QLabel(QStringLiteral(":"), endpoints_);
    colon_->setAccessibleName(QString());
    endpointsLayout->addWidget(colon_);
    auto& targetPort = makeField(Field::targetPort, 76, 76);
    targetPort.setPlaceholderText(tr("port"));
    targetPort.setAlignment(Qt::AlignRight);
    endpointsLayout->addWidget(&targetPort);
    chosenByApp_ = new QLabel(tr("Destination chosen by the app"), endpoints_);
    chosenByApp_->setMinimumWidth(90);
    makeSecondary(*chosenByApp_);
    endpointsLayout->addWidget(chosenByApp_, 1);

    note_ = new QLineEdit(controls_);
    note_->setPlaceholderText(tr("Name (optional)"));
    note_->setAccessibleName(tr("Forward Name"));
    fieldText::bind(*note_, [this](const QString& text) { model_.setNote(text); });

    trailing_ = new QWidget(controls_);
    auto* trailingLayout = new QHBoxLayout(trailing_);
    trailingLayout->setContentsMargins(0, 0, 0, 0);
    trailingLayout->setSpacing(8);
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

QLineEdit& ForwardEditorRow::makeField(Field field, int minimumWidth, int maximumWidth) {
    auto* edit = new QLineEdit(endpoints_);
    edit->setFont(editorLook::monospaced(edit->font()));
    edit->setMinimumWidth(minimumWidth);
    edit->setMaximumWidth(maximumWidth);
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
    menu.addSection(tr("Who Can Connect"));
    auto* accesses = new QActionGroup(&menu);
    for (const auto access : model_.accessChoices()) {
        QAction* action = menu.addAction(ForwardRowModel::title(access));
        action->setCheckable(true);
        action->setChecked(access == row.access);
        accesses->addAction(action);
        connect(action, &QAction::triggered, this, [this, access] { model_.setAccess(access); });
    }
}

void ForwardEditorRow::setNarrow(bool narrow) {
    if (narrow_ == narrow) {
        return;
    }
    narrow_ = narrow;
    placeLines();
    refresh();
}

void ForwardEditorRow::placeLines() {
    for (QWidget* widget :
         {static_cast<QWidget*>(kindButton_), endpoints_, static_cast<QWidget*>(note_), trailing_}) {
        firstLine_->removeWidget(widget);
        secondLine_->removeWidget(widget);
    }
    firstLine_->addWidget(kindButton_);
    firstLine_->addWidget(endpoints_, 1);
    QHBoxLayout& rest = narrow_ ? *secondLine_ : *firstLine_;
    rest.addWidget(note_, narrow_ ? 1 : 0);
    rest.addWidget(trailing_);
    if (narrow_) {
        note_->setMinimumWidth(0);
        note_->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
        note_->setFixedWidth(130);
    }
}

void ForwardEditorRow::refresh() {
    const ForwardDraft row = model_.forward();
    kindButton_->setText(texts::title(row.kind));
    kindButton_->setIcon(editorLook::symbol(detail::symbolName(row.kind), *kindButton_));
    kindButton_->setToolTip(texts::explanation(row.kind));
    kindButton_->setAccessibleName(texts::title(row.kind));
    refreshFields(row);
    fieldText::showUnlessFocused(*note_, row.note);
    enabled_->setChecked(row.isEnabled);

    const auto copy = model_.copyAddress();
    copy_->setVisible(copy.has_value());
    if (copy) {
        copy_->setToolTip(tr("Copy %1").arg(*copy));
    }
    const auto url = model_.browserURL();
    browser_->setVisible(url.has_value());
    if (url && copy) {
        browser_->setToolTip(tr("Open %1 in the browser").arg(*copy));
    }
    if (row.isEnabled) {
        controls_->setGraphicsEffect(nullptr);
    } else if (!controls_->graphicsEffect()) {
        auto* dimmed = new QGraphicsOpacityEffect(controls_);
        dimmed->setOpacity(0.55);
        controls_->setGraphicsEffect(dimmed);
    }
    refreshFootnote();
}

void ForwardEditorRow::refreshFields(const ForwardDraft& row) {
    const bool onThisComputer = tunnelkit::listensLocally(row.kind);
    QLineEdit& listenPort = *fields_.at(Field::listenPort);
    listenPort.setPlaceholderText(onThisComputer ? tr("port here") : tr("server port"));
    fields_.at(Field::targetHost)
        ->setPlaceholderText(narrow_                            ? QStringLiteral("localhost")
                             : row.kind == Forward::Kind::local ? tr("localhost (from the server)")
                                                                : tr("localhost (from this computer)"));
    for (const auto& [field, edit] : fields_) {
        edit->setAccessibleName(row.label(field));
        edit->setVisible(model_.showsField(field));
        editorLook::setOutlined(*edit, model_.isOutlined(field));
    }
    fieldText::showUnlessFocused(*fields_.at(Field::address), row.address);
    fieldText::showUnlessFocused(listenPort, row.listenPort);
    fieldText::showUnlessFocused(*fields_.at(Field::listenPath), row.listenPath);
    fieldText::showUnlessFocused(*fields_.at(Field::targetHost), row.targetHost);
    fieldText::showUnlessFocused(*fields_.at(Field::targetPort), row.targetPort);
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
    sentence_->setText(sentence ? sentence->filled([](const QString& value) { return shown(value); })
                                : QString());
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

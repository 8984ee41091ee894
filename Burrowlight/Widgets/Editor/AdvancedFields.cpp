#include "Burrowlight/Widgets/Editor/AdvancedFields.h"

#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Editor/FileField.h"
#include "Burrowlight/Widgets/Editor/LongWordWrap.h"
#include "Burrowlight/Widgets/Editor/OptionsList.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Shell/WrappingCheckBox.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace burrowlight {

namespace {

using tunnelkit::Tunnel;

QLabel& caption(const QString& text, QWidget& parent) {
    auto* label = new QLabel(&parent); // owned by its parent
    setPathsKeptWhole(*label, text);
    editorLook::makeCaption(*label);
    makeSecondary(*label);
    return *label;
}

} // namespace

AdvancedFields::AdvancedFields(TunnelDraft& draft, ManualCache& manual, QString homeDirectory, Forget forget,
                               QWidget* parent)
    : QWidget(parent), model_(draft), homeDirectory_(std::move(homeDirectory)), forget_(std::move(forget)) {
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(sizes::scaled(12));
    grid_->setVerticalSpacing(sizes::scaled(10));
    grid_->setColumnStretch(1, 1);

    jumpHosts_ = new QLineEdit(this);
    jumpHosts_->setPlaceholderText(tr("user@bastion:22, …"));
    jumpHosts_->setAccessibleName(tr("Jump Hosts"));
    jumpHosts_->setFont(editorLook::monospaced(jumpHosts_->font()));
    fieldText::bind(*jumpHosts_, [this](const QString& text) { model_.setJumpHosts(text); });
    addRow(tr("Jump Hosts"), *jumpHosts_);

    const auto fileField = [this](const QString& title, const QString& prompt, FileChoice choice,
                                  AdvancedFieldsModel::File which) {
        auto* field = new FileField(
            title, prompt, std::move(choice), homeDirectory_, [this, which] { return model_.file(which); },
            [this, which](const std::optional<std::string>& path) { model_.setFile(which, path); }, this);
        addRow(title, *field);
        return field;
    };
    identity_ = fileField(tr("Private Key"), tr("From SSH agent or config"),
                          FileChoice::existingKey(homeDirectory_), AdvancedFieldsModel::File::identity);
    certificate_ = fileField(tr("Certificate"), tr("None"), FileChoice::existingKey(homeDirectory_),
                             AdvancedFieldsModel::File::certificate);

    secrets_ = new QWidget(this);
    auto* secretsLayout = new QVBoxLayout(secrets_);
    secretsLayout->setContentsMargins(0, 0, 0, 0);
    addRow({}, *secrets_);
    secrets_->hide();
    addRow(
        {},
        caption(tr("Passwords and passphrases are asked for when needed, and can be remembered in the "
                   "keyring. The private key is for the server: jump hosts take theirs from ~/.ssh/config."),
                *this));

    tags_ = new QLineEdit(this);
    tags_->setPlaceholderText(tr("Separated by commas"));
    tags_->setAccessibleName(tr("Tags"));
    fieldText::bind(*tags_, [this](const QString& text) { model_.setTags(text); });
    addRow(tr("Tags"), *tags_);

    auto* pinned = new WrappingCheckBox(tr("Pin to the top and the tray"), this);
    pinnedRow_ = pinned;
    pinned_ = &pinned->box();
    connect(pinned_, &QCheckBox::toggled, this, [this](bool on) { model_.setPinned(on); });
    addRow({}, *pinned);

    auto* connection = new QWidget(this);
    auto* connectionLayout = new QVBoxLayout(connection);
    connectionLayout->setContentsMargins(0, 0, 0, 0);
    connectionLayout->setSpacing(sizes::scaled(6));
    auto* connectsAtLaunch = new WrappingCheckBox(tr("Connect when Burrowlight opens"), connection);
    connectsAtLaunch_ = &connectsAtLaunch->box();
    connect(connectsAtLaunch_, &QCheckBox::toggled, this,
            [this](bool on) { model_.setConnectsAtLaunch(on); });
    connectionLayout->addWidget(connectsAtLaunch);
    connectionLayout->addWidget(&reconnectLine());
    addRow(tr("Connection"), *connection);

    log_ = fileField(tr("Log File"), tr("None"), FileChoice::newLog(homeDirectory_),
                     AdvancedFieldsModel::File::log);

    auto* optionsColumn = new QWidget(this);
    auto* optionsLayout = new QVBoxLayout(optionsColumn);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    optionsLayout->setSpacing(sizes::scaled(6));
    options_ = new OptionsList(draft, manual, optionsColumn);
    optionsLayout->addWidget(options_);
    optionsLayout->addWidget(
        &caption(tr("Passed to ssh as -o Name=Value, ahead of ~/.ssh/config."), *optionsColumn));
    addRow(tr("SSH Options"), *optionsColumn);

    note_ = new fieldText::PlainTextField(this);
    note_->setPlaceholderText(tr("What this tunnel is for"));
    note_->setAccessibleName(tr("Note"));
    note_->setTabChangesFocus(true);
    wrapAnywhereAroundLongWords(*note_);
    const int lineHeight = note_->fontMetrics().lineSpacing();
    note_->setMinimumHeight(lineHeight * 2 + 12);
    note_->setMaximumHeight(lineHeight * 5 + 12);
    // As tall as it may be, no taller: a tall window leaves its room below the detail's sections.
    note_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    fieldText::bind(*note_, [this](const QString& text) { model_.setNote(text); });
    addRow(tr("Note"), *note_);

    connect(&model_, &AdvancedFieldsModel::changed, this, &AdvancedFields::refresh);
    refresh();
}

QWidget& AdvancedFields::reconnectLine() {
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* reconnects = new WrappingCheckBox(tr("Reconnect after failures"), line);
    reconnects_ = &reconnects->box();
    connect(reconnects_, &QCheckBox::toggled, this, [this](bool on) { model_.setReconnects(on); });
    layout->addWidget(reconnects, 1);
    attemptsLabel_ = new QLabel(tr("Attempts"), line);
    makeSecondary(*attemptsLabel_);
    // Level with the first line of the check box's text.
    attemptsLabel_->setContentsMargins(sizes::scaled(QMargins(0, 3, 0, 0)));
    layout->addWidget(attemptsLabel_, 0, Qt::AlignTop);
    attempts_ = new QLineEdit(line);
    attempts_->setAccessibleName(tr("Attempts"));
    sizes::setNumberFieldWidth(*attempts_, 70, QStringLiteral("999"));
    attempts_->setAlignment(Qt::AlignRight);
    attemptsLabel_->setBuddy(attempts_);
    // Typing an empty field or a half number keeps the count; leaving the field shows it again.
    fieldText::bind(*attempts_, [this](const QString& text) { model_.setAttempts(text); });
    connect(attempts_, &QLineEdit::editingFinished, this,
            [this] { fieldText::show(*attempts_, model_.attemptsText()); });
    layout->addWidget(attempts_, 0, Qt::AlignTop);
    return *line;
}

void AdvancedFields::addRow(const QString& title, QWidget& content) {
    QLabel* label = nullptr;
    if (!title.isEmpty()) {
        label = new QLabel(title, this);
        makeSecondary(*label);
        label->setBuddy(content.focusProxy() ? content.focusProxy() : &content);
        // Level with the first line of text of the field beside it.
        label->setContentsMargins(sizes::scaled(QMargins(0, 5, 0, 0)));
    }
    rows_.push_back({label, &content});
    placeRows();
}

QSize AdvancedFields::minimumSizeHint() const {
    return {std::max(widestTitle(), widestField()), QWidget::minimumSizeHint().height()};
}

void AdvancedFields::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Where a field would not fit beside the titles, every title goes above its field: the fields
    // keep the width they need to be read, and the card never grows wider than the detail.
    const bool beside = width() >= widestTitle() + grid_->horizontalSpacing() + widestField();
    if (beside != titlesBeside_) {
        titlesBeside_ = beside;
        placeRows();
    }
}

void AdvancedFields::placeRows() {
    for (const Row& row : rows_) {
        if (row.title) {
            grid_->removeWidget(row.title);
        }
        grid_->removeWidget(row.field);
    }
    int at = 0;
    for (const Row& row : rows_) {
        if (titlesBeside_) {
            if (row.title) {
                row.title->setAlignment(Qt::AlignRight | Qt::AlignTop);
                grid_->addWidget(row.title, at, 0, Qt::AlignRight | Qt::AlignTop);
            }
            grid_->addWidget(row.field, at++, 1);
            continue;
        }
        if (row.title) {
            row.title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            grid_->addWidget(row.title, at++, 0, 1, 2);
        }
        grid_->addWidget(row.field, at++, 0, 1, 2);
    }
}

int AdvancedFields::widestTitle() const {
    int widest = 0;
    for (const Row& row : rows_) {
        widest = std::max(widest, row.title ? row.title->sizeHint().width() : 0);
    }
    return widest;
}

int AdvancedFields::widestField() const {
    int widest = 0;
    for (const Row& row : rows_) {
        widest = std::max(widest, std::max(row.field->minimumWidth(), row.field->minimumSizeHint().width()));
    }
    return widest;
}

void AdvancedFields::setSavedSecrets(const std::vector<tunnelkit::SecretKey>& secrets) {
    auto* layout = static_cast<QVBoxLayout*>(secrets_->layout());
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const auto& key : secrets) {
        auto* row = new QWidget(secrets_);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        // A server or key path longer than the line breaks rather than widen the detail.
        auto* title = new VerbatimText(row);
        title->setText(texts::title(key, homeDirectory_));
        rowLayout->addWidget(title);
        auto* saved = new QLabel(tr("Saved in keyring"), row);
        makeSecondary(*saved);
        rowLayout->addWidget(saved);
        rowLayout->addStretch();
        auto* forget = new QPushButton(tr("Forget"), row);
        forget->setAccessibleDescription(title->text());
        connect(
            forget, &QPushButton::clicked, this, [this, key] { forget_(key); }, Qt::QueuedConnection);
        rowLayout->addWidget(forget);
        layout->addWidget(row);
    }
    secrets_->setVisible(!secrets.empty());
}

void AdvancedFields::setHasTray(bool hasTray) {
    pinnedRow_->setText(hasTray ? tr("Pin to the top and the tray") : tr("Pin to the top"));
}

void AdvancedFields::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (noteStale_) {
        refresh();
    }
}

void AdvancedFields::refresh() {
    TunnelDraft* draft = model_.draft();
    if (!draft) {
        return;
    }
    const Tunnel& tunnel = draft->tunnel();
    fieldText::showUnlessTyping(*jumpHosts_, QString::fromStdString(tunnel.jumpHosts));
    identity_->refresh();
    certificate_->refresh();
    log_->refresh();
    fieldText::showUnlessTyping(*tags_, draft->tags());
    {
        // The boxes follow their change however it comes (mouse, keys, assistive technology), but
        // showing the draft is no change: turning Reconnect on would replace the saved count.
        const QSignalBlocker quietPin(pinned_);
        const QSignalBlocker quietLaunch(connectsAtLaunch_);
        const QSignalBlocker quietReconnect(reconnects_);
        pinned_->setChecked(tunnel.isPinned);
        connectsAtLaunch_->setChecked(tunnel.connectsAtLaunch);
        reconnects_->setChecked(model_.reconnects());
    }
    attemptsLabel_->setVisible(model_.reconnects());
    attempts_->setVisible(model_.reconnects());
    fieldText::showUnlessTyping(*attempts_, model_.attemptsText());
    noteStale_ = !isVisible();
    if (!noteStale_) {
        fieldText::showUnlessTyping(*note_, QString::fromStdString(tunnel.note));
    }
}

} // namespace burrowlight

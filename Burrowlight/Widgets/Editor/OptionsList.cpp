#include "Burrowlight/Widgets/Editor/OptionsList.h"

#include "Burrowlight/Core/ManualCache.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

namespace burrowlight {

namespace {

constexpr int helpWidth = 420;
constexpr int helpMaximumHeight = 280;

QLabel& caption(const QString& text, QWidget& parent) {
    auto* label = new QLabel(text, &parent); // owned by its parent
    editorLook::makeCaption(*label);
    makeSecondary(*label);
    return *label;
}

} // namespace

OptionHelp::OptionHelp(const tunnelkit::SSHOption& option, ManualCache& manual, QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(sizes::scaled(helpWidth));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(sizes::scaled(QMargins(16, 16, 16, 16)));
    layout->setSpacing(sizes::scaled(10));
    const QString name = QString::fromStdString(option.name);
    auto* title = new ElidedLabel(this);
    title->setFullText(name);
    QFont font = editorLook::monospaced(title->font());
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);

    auto* spinner = new QProgressBar(this);
    spinner->setRange(0, 0);
    spinner->setTextVisible(false);
    spinner->setMaximumHeight(6);
    spinner_ = spinner;
    layout->addWidget(spinner_);
    description_ = new QTextBrowser(this);
    description_->setOpenLinks(false);
    description_->setFrameShape(QFrame::NoFrame);
    description_->setMaximumHeight(sizes::scaled(helpMaximumHeight));
    description_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    description_->hide();
    layout->addWidget(description_);
    missing_ = &caption(tr("This option isn't described in the manual installed on this computer."), *this);
    missing_->hide();
    layout->addWidget(missing_);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    auto* footer = new QHBoxLayout;
    layout->addLayout(footer);
    footer->addWidget(&caption(tr("From the OpenSSH manual on this computer, in English."), *this), 1);
    auto* full = new QPushButton(tr("Full Manual"), this);
    makeLink(*full);
    const QUrl url(QString::fromStdString(option.helpURL()));
    connect(full, &QPushButton::clicked, this, [url] { QDesktopServices::openUrl(url); });
    footer->addWidget(full);

    manual.section(name, *this,
                   [this](std::optional<QString> markdown) { showDescription(std::move(markdown)); });
}

void OptionHelp::showDescription(std::optional<QString> markdown) {
    spinner_->hide();
    if (markdown) {
        // Inline Markdown only, as the manual's paragraphs are; the text is the manual's, not a page.
        description_->document()->setMarkdown(*markdown, QTextDocument::MarkdownNoHTML);
        // Measured at the popup's width: the browser lays its own document out at whatever width it
        // has now, which is not yet the popup's.
        const std::unique_ptr<QTextDocument> measured(description_->document()->clone());
        measured->setTextWidth(width() - layout()->contentsMargins().left() -
                               layout()->contentsMargins().right());
        const int height = static_cast<int>(measured->size().height()) + sizes::scaled(8);
        description_->setFixedHeight(std::min(height, sizes::scaled(helpMaximumHeight)));
        description_->show();
    } else {
        missing_->show();
    }
    loaded_ = true;
    adjustSize();
    emit loaded();
}

QString OptionHelp::text() const {
    if (!loaded_) {
        return {};
    }
    return missing_->isHidden() ? description_->toPlainText() : missing_->text();
}

OptionsList::OptionsList(TunnelDraft& draft, ManualCache& manual, QWidget* parent)
    : QWidget(parent), model_(draft), manual_(manual) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(sizes::scaled(6));
    rowsLayout_ = new QVBoxLayout;
    rowsLayout_->setSpacing(sizes::scaled(6));
    layout->addLayout(rowsLayout_);
    add_ = new QToolButton(this);
    add_->setText(tr("Add Option"));
    add_->setIcon(editorLook::symbol(QStringLiteral("plus"), *this));
    add_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    add_->setPopupMode(QToolButton::InstantPopup);
    add_->setMenu(new QMenu(add_));
    connect(add_->menu(), &QMenu::aboutToShow, this, [this] {
        add_->menu()->clear();
        look::fill(*add_->menu(), model_.addMenu());
    });
    layout->addWidget(add_, 0, Qt::AlignLeft);
    connect(&model_, &OptionsListModel::changed, this, &OptionsList::refresh);
    refresh();
}

OptionHelp* OptionsList::help() const {
    return findChild<OptionHelp*>();
}

void OptionsList::refresh() {
    const auto rows = model_.rows();
    std::vector<tunnelkit::Uuid> ids;
    for (const auto& row : rows) {
        ids.push_back(row.id);
    }
    if (ids == shownIds_) {
        // Values only: editors follow the draft unless the user is in them.
        for (size_t index = 0; index < rows.size(); ++index) {
            if (auto* edit = rows_[index]->findChild<QLineEdit*>()) {
                fieldText::showUnlessTyping(*edit, rows[index].value);
            }
            if (auto* box = rows_[index]->findChild<QComboBox*>();
                box && box->currentText() != rows[index].value) {
                const QSignalBlocker quiet(box);
                box->clear();
                box->addItems(rows[index].choices);
                box->setCurrentText(rows[index].value);
            }
        }
        return;
    }
    for (QWidget* row : rows_) {
        row->deleteLater();
        row->hide();
    }
    rows_.clear();
    names_.clear();
    for (const auto& row : rows) {
        rows_.push_back(&makeRow(row));
        rowsLayout_->addWidget(rows_.back());
    }
    shownIds_ = std::move(ids);
    alignNames();
}

QSize OptionsList::minimumSizeHint() const {
    const Least room = least();
    return {std::max(room.names + rowsLayout_->spacing() + room.rest, add_->sizeHint().width()),
            QWidget::minimumSizeHint().height()};
}

void OptionsList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    alignNames();
}

OptionsList::Least OptionsList::least() const {
    Least least;
    for (size_t index = 0; index < rows_.size(); ++index) {
        const int nameWidth = names_[index]->minimumWidth();
        least.names = std::max(least.names, names_[index]->minimumSizeHint().width());
        least.widest = std::max(least.widest, names_[index]->sizeHint().width());
        least.rest = std::max(least.rest, rows_[index]->layout()->minimumSize().width() - nameWidth);
    }
    return least;
}

// The names take what the widest value editor leaves them, up to the widest name, so that the values
// line up. A row whose own editor leaves room for its whole name shows it whole all the same.
void OptionsList::alignNames() {
    const Least room = least();
    const int shared = std::clamp(width() - room.rest, room.names, std::max(room.names, room.widest));
    for (size_t index = 0; index < rows_.size(); ++index) {
        QWidget* name = names_[index];
        const int rest = rows_[index]->layout()->minimumSize().width() - name->minimumWidth();
        const int width = std::max(shared, std::min(name->sizeHint().width(), this->width() - rest));
        if (name->width() != width || name->minimumWidth() != width) {
            name->setFixedWidth(width);
        }
    }
}

QWidget& OptionsList::makeRow(const OptionsListModel::Row& row) {
    auto* widget = new QWidget(this);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(sizes::scaled(4));
    // The name and its warning, as wide in every row so that the values line up; where the list is
    // short of room the name gives way, whole in its tooltip, not the value.
    auto* nameCell = new QWidget(widget);
    auto* nameLayout = new QHBoxLayout(nameCell);
    nameLayout->setContentsMargins(0, 0, 0, 0);
    nameLayout->setSpacing(sizes::scaled(4));
    auto* name = new ElidedLabel(nameCell);
    name->setFont(editorLook::monospaced(name->font()));
    name->setFullText(row.name);
    name->setMinimumWidth(std::min(name->sizeHint().width(), name->fontMetrics().averageCharWidth() * 7));
    nameLayout->addWidget(name);
    if (row.runsPrograms) {
        nameLayout->addWidget(&editorLook::symbolLabel(QStringLiteral("exclamationmark.shield"), *nameCell,
                                                       look::tint(StatusDotLook::Tint::orange),
                                                       tr("Runs a program on this computer")));
    }
    nameLayout->addStretch();
    nameCell->setFixedWidth(nameCell->sizeHint().width());
    layout->addWidget(nameCell);
    names_.push_back(nameCell);
    const auto id = row.id;
    if (row.editor == OptionsListModel::Row::Editor::choice) {
        auto* box = new QComboBox(widget);
        box->addItems(row.choices);
        box->setCurrentText(row.value);
        box->setAccessibleName(row.name);
        box->view()->setAccessibleName(row.name);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // However the choice is made: the list, the keys, assistive technology.
        connect(box, &QComboBox::currentTextChanged, this,
                [this, id](const QString& value) { model_.setValue(id, value); });
        layout->addWidget(box);
        layout->addStretch();
    } else {
        auto* edit = new QLineEdit(widget);
        edit->setAccessibleName(row.name);
        if (row.editor == OptionsListModel::Row::Editor::integer) {
            edit->setPlaceholderText(QStringLiteral("0"));
            sizes::setNumberFieldWidth(*edit, 90, QStringLiteral("65535"));
            edit->setAlignment(Qt::AlignRight);
            layout->addWidget(edit);
            layout->addStretch();
        } else {
            edit->setPlaceholderText(tr("Value"));
            edit->setFont(editorLook::monospaced(edit->font()));
            editorLook::keepRoomForPath(*edit);
            layout->addWidget(edit, 1);
        }
        fieldText::bind(*edit, [this, id](const QString& value) { model_.setValue(id, value); });
        fieldText::show(*edit, row.value);
    }
    if (row.entry) {
        const tunnelkit::SSHOption* entry = row.entry;
        auto& help =
            editorLook::iconButton(QStringLiteral("info.circle"), tr("About %1").arg(row.name), *widget);
        help.setToolTip(tr("%1 in the OpenSSH manual").arg(row.name));
        connect(&help, &QToolButton::clicked, this, [this, entry, button = &help] {
            auto* popup = new OptionHelp(*entry, manual_, this); // deletes itself when closed
            const auto place = [popup, button] {
                popup->adjustSize();
                sizes::placePopup(*popup, *button);
            };
            place();
            // The description that arrives makes it taller.
            connect(popup, &OptionHelp::loaded, popup, place);
            popup->show();
        });
        layout->addWidget(&help);
    }
    auto& remove = editorLook::iconButton(QStringLiteral("minus.circle"), tr("Remove Option"), *widget);
    connect(
        &remove, &QToolButton::clicked, this, [this, id] { model_.remove(id); }, Qt::QueuedConnection);
    layout->addWidget(&remove);
    return *widget;
}

} // namespace burrowlight

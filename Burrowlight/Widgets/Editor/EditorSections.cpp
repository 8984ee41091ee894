#include "Burrowlight/Widgets/Editor/EditorSections.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/BlankText.h"
#include "Burrowlight/Core/ManualCache.h"
#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Models/DetailRules.h"
#include "Burrowlight/Widgets/Detail/AddForwardButtons.h"
#include "Burrowlight/Widgets/Detail/ForwardRow.h"
#include "Burrowlight/Widgets/Editor/AdvancedFields.h"
#include "Burrowlight/Widgets/Editor/ForwardEditorRow.h"
#include "Burrowlight/Widgets/Editor/HostField.h"
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace burrowlight {

using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::Uuid;
using Field = ForwardDraft::Field;

namespace {

constexpr int cardPadding = 14;

QLabel& heading(const QString& text, QWidget& parent) {
    auto* label = new QLabel(text, &parent); // owned by its parent
    QFont font = label->font();
    font.setWeight(QFont::DemiBold);
    label->setFont(font);
    return *label;
}

// The field and the detail's focus state follow each other; the binding lives as the field's child.
void bindFocus(QWidget& field, EditorFocusState& focus, const EditorFocus& value) {
    auto binding = std::make_unique<FocusBinding>(field, focus, value);
    binding->setParent(&field);
    binding.release(); // owned by the field from here on
}

// A heading over a card: the section's frame. Returns the section and the card's content layout.
std::pair<std::unique_ptr<QWidget>, QVBoxLayout*> headedCard(const QString& title) {
    auto section = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(section.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(sizes::scaled(8));
    layout->addWidget(&heading(title, *section));
    auto* card = new TolvanCard(section.get());
    layout->addWidget(card);
    card->content().setSpacing(0);
    return {std::move(section), &card->content()};
}

// Shows or hides a section; one not placed in the detail yet is only ever hidden, since showing a
// widget without a parent would open it as a window of its own.
void showIf(QWidget& section, bool shown) {
    if (section.parentWidget() || !shown) {
        section.setVisible(shown);
    }
}

void clear(QLayout& layout) {
    while (QLayoutItem* item = layout.takeAt(0)) {
        delete item->widget();
        delete item->layout();
        delete item;
    }
}

QFrame& divider(QWidget& parent, int leadingIndent = 0) {
    auto* line = new QFrame(&parent); // owned by its parent
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setContentsMargins(sizes::scaled(leadingIndent), 0, 0, 0);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, look::separator());
    line->setPalette(palette);
    return *line;
}

// One label and value line of the config and session cards; the value is text from ssh or a file.
QWidget& factRow(const QString& label, const QString& value, QWidget& parent) {
    auto* row = new QWidget(&parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(sizes::scaled(QMargins(cardPadding, 8, cardPadding, 8)));
    auto* name = new QLabel(label, row);
    makeSecondary(*name);
    name->setFixedWidth(sizes::scaled(130));
    name->setWordWrap(true);
    name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(name, 0, Qt::AlignTop);
    auto* shown = new VerbatimText(row);
    shown->setFont(editorLook::monospaced(shown->font()));
    shown->setText(value);
    shown->setAccessibleName(label);
    name->setBuddy(shown);
    layout->addWidget(shown, 1);
    return *row;
}

std::optional<tunnelkit::ResolvedHost> savedConfigHost(DetailContext& context) {
    const auto saved = context.savedTunnel();
    return saved ? context.app().configHosts().host(saved->host) : std::nullopt;
}

bool usesConfigForwards(DetailContext& context) {
    const auto host = savedConfigHost(context);
    return host && !host->forwards.empty();
}

// The rows of the forwards card, keyed by forward id so that a row keeps its visited fields while
// the same forward is shown; each row takes the lines the card's width leaves it.
class ForwardRows : public QWidget {
  public:
    ForwardRows(DetailContext& context, QWidget* parent) : QWidget(parent), context_(context) {
        layout_ = new QVBoxLayout(this);
        layout_->setContentsMargins(sizes::scaled(QMargins(cardPadding, 0, cardPadding, 0)));
        layout_->setSpacing(0);
        connect(&context, &DetailContext::draftChanged, this, &ForwardRows::refresh);
        connect(&context, &DetailContext::savedTunnelChanged, this, &ForwardRows::refresh);
        connect(&context.app().configHosts(), &ConfigHosts::hostsChanged, this, &ForwardRows::refresh);
        connect(&context, &DetailContext::connectionChanged, this, [this] {
            for (auto* row : rows_) {
                row->refresh();
            }
        });
        refresh();
    }

    // The rows rearrange themselves to any width: they never hold the detail wider than its pane.
    QSize minimumSizeHint() const override { return {0, QWidget::minimumSizeHint().height()}; }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        for (auto* row : rows_) {
            fit(*row);
        }
    }

  private:
    void refresh() {
        std::vector<Uuid> ids;
        for (const auto& forward : context_.draft().forwards()) {
            ids.push_back(forward.id);
        }
        if (ids == shownIds_ && !ids.empty()) {
            return;
        }
        shownIds_ = ids;
        // Rows of forwards still there are kept, with what the user left; the others go.
        std::map<Uuid, ForwardEditorRow*> kept;
        for (auto* row : rows_) {
            if (std::ranges::find(ids, row->model().id()) != ids.end()) {
                kept.emplace(row->model().id(), row);
                layout_->removeWidget(row);
            } else {
                row->hide();
                row->deleteLater();
            }
        }
        rows_.clear();
        clear(*layout_);
        if (ids.empty()) {
            auto* none = new QLabel(this);
            setPathsKeptWhole(
                *none, usesConfigForwards(context_)
                           ? EditorSections::tr("No forwards of its own: it uses those of ~/.ssh/config.")
                           : EditorSections::tr("No forwards. The tunnel only keeps the connection open."));
            none->setContentsMargins(sizes::scaled(QMargins(0, 12, 0, 12)));
            none->setWordWrap(true);
            makeSecondary(*none);
            layout_->addWidget(none);
            return;
        }
        for (const Uuid& id : ids) {
            if (id != ids.front()) {
                layout_->addWidget(&divider(*this));
            }
            ForwardEditorRow* row = kept.contains(id) ? kept.at(id) : &makeRow(id);
            rows_.push_back(row);
            layout_->addWidget(row);
        }
    }

    ForwardEditorRow& makeRow(const Uuid& id) {
        auto* row = new ForwardEditorRow(
            context_.draft(), id,
            [context = QPointer<DetailContext>(&context_)](const ForwardDraft& forward) {
                return context && context->isForwardLive(forward);
            },
            this);
        fit(*row);
        for (const Field field :
             {Field::address, Field::listenPort, Field::listenPath, Field::targetHost, Field::targetPort}) {
            bindFocus(row->field(field), context_.focus(), editorFocus::Forward{id, field});
            showProblemsOnReturn(row->field(field), context_);
        }
        bindFocus(row->noteField(), context_.focus(), editorFocus::ForwardNote{id});
        showProblemsOnReturn(row->noteField(), context_);
        return *row;
    }

    void fit(ForwardEditorRow& row) const {
        row.fitTo(contentsRect().width() - 2 * sizes::scaled(cardPadding),
                  width() >= sizes::scaled(narrowForwardsWidth));
    }

    DetailContext& context_;
    QVBoxLayout* layout_;
    std::vector<ForwardEditorRow*> rows_;
    std::vector<Uuid> shownIds_;
};

} // namespace

std::unique_ptr<QWidget> EditorSections::serverField(DetailContext& context) {
    auto aliases = std::make_unique<HostAliases>(context.app().settings(), QDir::homePath());
    auto field = std::make_unique<HostField>(
        context.draft(), *aliases, [context = QPointer<DetailContext>(&context)](const QString&) {
            if (!context) {
                return;
            }
            const QString host = trimmedBlanks(QString::fromStdString(context->draft().tunnel().host));
            auto& hosts = context->app().configHosts();
            if (!host.isEmpty() && !hosts.asked().contains(host.toStdString())) {
                hosts.resolve(host.toStdString());
            }
        });
    aliases->setParent(field.get());
    aliases.release(); // owned by the field from here on
    bindFocus(field->edit(), context.focus(), editorFocus::Host{});
    showProblemsOnReturn(field->edit(), context);
    return field;
}

std::unique_ptr<QWidget> EditorSections::forwardsSection(DetailContext& context) {
    auto section = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(section.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(sizes::scaled(8));
    auto* headingRow = new QHBoxLayout;
    layout->addLayout(headingRow);
    headingRow->addWidget(&heading(tr("Forwards"), *section));
    headingRow->addStretch();
    headingRow->addWidget(new AddForwardButtons(
        [context = QPointer<DetailContext>(&context)](Forward::Kind kind) {
            if (context) {
                context->addForwardAndFocus(kind);
            }
        },
        section.get()));
    auto* card = new TolvanCard(section.get());
    layout->addWidget(card);
    card->content().addWidget(new ForwardRows(context, card));
    return section;
}

std::unique_ptr<QWidget> EditorSections::configSection(DetailContext& context) {
    auto [section, content] = headedCard(tr("From ~/.ssh/config"));
    const auto fill = [&context, content = content, card = content->parentWidget()] {
        clear(*content);
        const auto saved = context.savedTunnel();
        const auto host = savedConfigHost(context);
        showIf(*card->parentWidget(), detail::showsConfigSection(saved, host));
        if (!saved || !host) {
            return;
        }
        content->addWidget(&factRow(tr("Connects to"), QString::fromStdString(host->destination()), *card));
        if (host->proxyJump && saved->jumpHosts.empty()) {
            content->addWidget(&factRow(tr("Jump Hosts"), QString::fromStdString(*host->proxyJump), *card));
        }
        for (const Forward& forward : host->forwards) {
            content->addWidget(&divider(*card, 44));
            content->addWidget(new ForwardRow(forward, context.isConnected(), card));
        }
    };
    fill();
    QObject::connect(&context, &DetailContext::savedTunnelChanged, section.get(), fill);
    QObject::connect(&context, &DetailContext::connectionChanged, section.get(), fill);
    QObject::connect(&context.app().configHosts(), &ConfigHosts::hostsChanged, section.get(), fill);
    return std::move(section);
}

std::unique_ptr<QWidget> EditorSections::sessionSection(DetailContext& context) {
    auto [section, content] = headedCard(tr("Session"));
    const auto fill = [&context, content = content, card = content->parentWidget()] {
        clear(*content);
        const auto connection = context.connection();
        showIf(*card->parentWidget(),
               connection && detail::showsSessionSection(context.state(), connection->session()));
        if (!connection) {
            return;
        }
        const tunnelkit::SessionInfo& session = connection->session();
        const auto add = [&](const QString& label, const std::optional<std::string>& value,
                             QString suffix = {}) {
            if (value && !value->empty()) {
                content->addWidget(&factRow(label, QString::fromStdString(*value) + suffix, *card));
            }
        };
        QStringList server;
        for (const auto& part : {session.address, session.serverSoftware}) {
            if (part && !part->empty()) {
                server << QString::fromStdString(*part);
            }
        }
        if (!server.isEmpty()) {
            content->addWidget(&factRow(tr("Server"), server.join(QStringLiteral(" · ")), *card));
        }
        add(tr("Signed In With"), session.authentication);
        add(tr("Key Exchange"), session.keyExchange,
            session.isPostQuantum() ? QStringLiteral(" · ") + tr("post-quantum") : QString());
        if (session.cipherToServer == session.cipherFromServer) {
            add(tr("Encryption"), session.cipherToServer);
        } else {
            add(tr("To the Server"), session.cipherToServer);
            add(tr("From the Server"), session.cipherFromServer);
        }
        add(tr("Server Key"), session.hostKey);
    };
    fill();
    QObject::connect(&context, &DetailContext::connectionChanged, section.get(), fill);
    return std::move(section);
}

std::unique_ptr<QWidget> EditorSections::advancedSection(DetailContext& context) {
    auto card = std::make_unique<TolvanCard>();
    auto* inner = new QWidget(card.get());
    card->content().addWidget(inner);
    auto* layout = new QVBoxLayout(inner);
    layout->setContentsMargins(sizes::scaled(QMargins(cardPadding, cardPadding, cardPadding, cardPadding)));
    layout->setSpacing(0);

    auto* toggle = new QToolButton(inner);
    toggle->setAutoRaise(true);
    toggle->setCheckable(true);
    toggle->setArrowType(Qt::RightArrow);
    toggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toggle->setText(tr("Advanced"));
    toggle->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    QFont font = toggle->font();
    font.setWeight(QFont::DemiBold);
    toggle->setFont(font);
    auto* labelRow = new QHBoxLayout;
    labelRow->setSpacing(sizes::scaled(8));
    labelRow->addWidget(toggle);
    auto* summary = new ElidedLabel(inner);
    makeSecondary(*summary);
    labelRow->addWidget(summary, 1);
    labelRow->addStretch();
    layout->addLayout(labelRow);

    auto* fields = new AdvancedFields(
        context.draft(), ManualCache::shared(), QDir::homePath(),
        [context = QPointer<DetailContext>(&context)](const tunnelkit::SecretKey& key) {
            if (context) {
                context->forgetSecret(key);
            }
        },
        inner);
    fields->setHasTray(context.app().hasTray());
    QObject::connect(&context.app(), &AppModel::hasTrayChanged, fields, &AdvancedFields::setHasTray);
    fields->setContentsMargins(sizes::scaled(QMargins(0, 10, 0, 0)));
    fields->hide();
    layout->addWidget(fields);
    for (QLineEdit* edit : fields->findChildren<QLineEdit*>()) {
        showProblemsOnReturn(*edit, context);
    }
    fields->setSavedSecrets(context.savedSecrets());
    QObject::connect(&context, &DetailContext::savedSecretsChanged, fields,
                     [fields, &context] { fields->setSavedSecrets(context.savedSecrets()); });

    const auto refreshSummary = [summary, toggle, &context] {
        summary->setFullText(context.draft().summary());
        summary->setVisible(!toggle->isChecked());
    };
    refreshSummary();
    QObject::connect(&context, &DetailContext::draftChanged, summary, refreshSummary);
    QObject::connect(toggle, &QToolButton::toggled, fields, [fields, toggle, refreshSummary](bool open) {
        toggle->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        fields->setVisible(open);
        refreshSummary();
    });
    return card;
}

std::unique_ptr<QWidget> EditorSections::sshCommandSection(DetailContext& context) {
    auto [section, content] = headedCard(tr("SSH Command"));
    auto* inner = new QWidget(content->parentWidget());
    content->addWidget(inner);
    auto* layout = new QVBoxLayout(inner);
    layout->setContentsMargins(sizes::scaled(QMargins(cardPadding, cardPadding, cardPadding, cardPadding)));
    layout->setSpacing(sizes::scaled(8));
    auto* asSaved = new QLabel(tr("As saved: the changes on screen can't be used yet."), inner);
    editorLook::makeCaption(*asSaved);
    makeSecondary(*asSaved);
    layout->addWidget(asSaved);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    auto* command = new VerbatimText(inner);
    command->setAccessibleName(tr("SSH Command"));
    QFont font = editorLook::monospaced(command->font());
    font.setPointSizeF(font.pointSizeF() * 0.88);
    // Letters one after another, as a terminal shows them: no shaping, which a long command makes slow.
    font.setStyleStrategy(QFont::PreferNoShaping);
    command->setFont(font);
    makeSecondary(*command);
    row->addWidget(command, 1, Qt::AlignTop);
    auto& copy = editorLook::iconButton(QStringLiteral("doc.on.doc"), tr("Copy SSH Command"), *inner);
    row->addWidget(&copy, 0, Qt::AlignTop);
    QObject::connect(&copy, &QToolButton::clicked, command, [command] { copyToPasteboard(command->text()); });

    const auto fill = [&context, asSaved, command, section = section.get()] {
        const TunnelDraft& draft = context.draft();
        asSaved->setVisible(draft.problem() && (draft.isNew() || draft.hasUnsavedChanges()));
        const QString shown =
            detail::sshCommandText(draft, context.savedTunnel(), context.app().makeBuilder())
                .value_or(QString());
        command->setText(shown);
        showIf(*section, !shown.isEmpty());
    };
    fill();
    QObject::connect(&context, &DetailContext::draftChanged, command, fill);
    QObject::connect(&context, &DetailContext::savedTunnelChanged, command, fill);
    return std::move(section);
}

} // namespace burrowlight

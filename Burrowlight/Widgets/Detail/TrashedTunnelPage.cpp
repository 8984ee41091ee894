#include "Burrowlight/Widgets/Detail/TrashedTunnelPage.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Widgets/Detail/DetailParts.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

namespace burrowlight {

TrashedTunnelPage::TrashedTunnelPage(MainWindowModel& window, const tunnelkit::Tunnel& tunnel,
                                     QWidget* parent)
    : QWidget(parent) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.addWidget(&scroll_);
    scroll_.setColumn(column_);
    scroll_.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    column_.setMaximumWidth(sizes::scaled(820 + 48));
    columnLayout_.setContentsMargins(sizes::scaled(QMargins(24, 24, 24, 24)));
    columnLayout_.setSpacing(sizes::scaled(18));

    // Its texts wrap, a word longer than the line broken between letters: no name, server or note
    // holds the window wider.
    deleted_.setTextFormat(Qt::PlainText);
    deleted_.setWordWrap(true);
    name_.setText(texts::shownName(tunnel));
    scroll_.setAccessibleName(name_.text());
    QFont title = name_.font();
    title.setPointSizeF(title.pointSizeF() * 1.55);
    title.setWeight(QFont::DemiBold);
    name_.setFont(title);
    destination_.setText(onOneLine(QString::fromStdString(tunnel.destination())));
    destination_.setFont(editorLook::monospaced(destination_.font()));
    makeSecondary(destination_);
    deleted_.setVisible(tunnel.deletedAt.has_value());
    if (tunnel.deletedAt) {
        deleted_.setText(texts::deletedLine(*tunnel.deletedAt, window.sources().now()));
    }
    makeSecondary(deleted_);
    titlesLayout_.setContentsMargins(0, 0, 0, 0);
    titlesLayout_.setSpacing(sizes::scaled(6));
    titlesLayout_.addWidget(&name_);
    titlesLayout_.addWidget(&destination_);
    titlesLayout_.addWidget(&deleted_);
    restore_.setText(tr("Restore"));
    connect(&restore_, &QPushButton::clicked, this,
            [&window, id = tunnel.id] { window.app().controller().restore({id}); });
    headerLayout_.setContentsMargins(0, 0, 0, 0);
    headerLayout_.setSpacing(sizes::scaled(16));
    headerLayout_.addWidget(&titles_, 1, Qt::AlignTop);
    headerLayout_.addWidget(&restore_, 0, Qt::AlignTop);
    columnLayout_.addWidget(&headerRow_);

    forwardsHeading_.setText(tr("Forwards"));
    makeHeading(forwardsHeading_);
    columnLayout_.addWidget(&forwardsHeading_);
    columnLayout_.addSpacing(-10);
    noForwards_.setText(tr("No forwards. The tunnel only keeps the connection open."));
    noForwards_.setWordWrap(true);
    noForwards_.setContentsMargins(sizes::scaled(QMargins(14, 14, 14, 14)));
    makeSecondary(noForwards_);
    noForwards_.setVisible(tunnel.forwards.empty());
    forwardsCard_.content().setSpacing(0);
    forwardsCard_.content().addWidget(&noForwards_);
    for (const auto& forward : tunnel.forwards) {
        if (!rows_.empty()) {
            auto divider = std::make_unique<QFrame>();
            divider->setFrameShape(QFrame::HLine);
            divider->setContentsMargins(sizes::scaled(QMargins(44, 0, 0, 0)));
            divider->setStyleSheet(
                QStringLiteral("color: %1; margin-left: 44px;").arg(look::separator().name(QColor::HexArgb)));
            forwardsCard_.content().addWidget(divider.get());
            dividers_.push_back(std::move(divider));
        }
        rows_.push_back(std::make_unique<ForwardRow>(forward, false));
        forwardsCard_.content().addWidget(rows_.back().get());
    }
    columnLayout_.addWidget(&forwardsCard_);

    noteHeading_.setText(tr("Note"));
    makeHeading(noteHeading_);
    note_.setText(QString::fromStdString(tunnel.note));
    note_.setAccessibleName(noteHeading_.text());
    noteCard_.content().setContentsMargins(sizes::scaled(QMargins(14, 14, 14, 14)));
    noteCard_.content().addWidget(&note_);
    noteLayout_.setContentsMargins(0, 0, 0, 0);
    noteLayout_.setSpacing(sizes::scaled(8));
    noteLayout_.addWidget(&noteHeading_);
    noteLayout_.addWidget(&noteCard_);
    noteSection_.setVisible(!tunnel.note.empty());
    columnLayout_.addWidget(&noteSection_);
    columnLayout_.addStretch();
    look::onSurface(*this);
}

} // namespace burrowlight

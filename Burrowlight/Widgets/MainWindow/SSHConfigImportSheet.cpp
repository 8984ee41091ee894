#include "Burrowlight/Widgets/MainWindow/SSHConfigImportSheet.h"

#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QStyle>

namespace burrowlight {

HostToggle::HostToggle(const ConfigImportRow& row, QWidget* parent) : QWidget(parent) {
    box_.setFullText(QString::fromStdString(row.alias));
    box_.setFont(editorLook::monospaced(font()));
    scaleFont(detail_, 0.92);
    makeSecondary(detail_);
    const int indent = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &box_) +
                       style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &box_);
    detail_.setContentsMargins(indent, 0, 0, 0);
    layout_.setContentsMargins(sizes::scaled(QMargins(0, 4, 0, 4)));
    layout_.setSpacing(sizes::scaled(1));
    layout_.addWidget(&box_);
    layout_.addWidget(&detail_);
    present(row);
}

void HostToggle::present(const ConfigImportRow& row) {
    const QString detail = SSHConfigImportTexts::rowDetail(row);
    detail_.setFullText(detail);
    box_.setAccessibleDescription(detail);
    box_.setChecked(row.selected);
    box_.setEnabled(!row.exists);
}

SSHConfigImportSheet::SSHConfigImportSheet(MainWindowModel& window, QWidget& parent,
                                           std::optional<SSHConfigImportModel::Resolution> resolution)
    : QDialog(&parent), window_(window), model_(window.app(), std::move(resolution)) {
    setWindowTitle(tr("Import from SSH Config"));
    setWindowModality(Qt::WindowModal);
    sizes::keepMinimumSize(*this, {420, 360});
    sizes::resizeToOpen(*this, size);

    setWrappedPlainText(turnOnTitle_, tr("Burrowlight doesn't read ~/.ssh/config"));
    setWrappedPlainText(turnOnSubtitle_,
                        tr("Imported tunnels use the aliases, which only work with Read ~/.ssh/config on."));
    scaleFont(turnOnSubtitle_, 0.92);
    turnOnTextLayout_.setContentsMargins(0, 0, 0, 0);
    turnOnTextLayout_.setSpacing(sizes::scaled(2));
    turnOnTextLayout_.addWidget(&turnOnTitle_);
    turnOnTextLayout_.addWidget(&turnOnSubtitle_);
    turnOn_.setText(tr("Turn On"));
    turnOn_.setAccessibleDescription(turnOnTitle_.text());
    turnOn_.setAutoDefault(false);
    turnOnLayout_.setContentsMargins(sizes::scaled(QMargins(14, 10, 14, 10)));
    turnOnLayout_.addWidget(&turnOnText_, 1);
    turnOnLayout_.addWidget(&turnOn_, 0, Qt::AlignVCenter);
    // Wrapped texts take the card's whole width.
    turnOnCard_.content().setAlignment(Qt::Alignment());
    hostsCard_.content().setAlignment(Qt::Alignment());
    turnOnCard_.content().addWidget(&turnOnRow_);
    turnOnCard_.setVisible(model_.offersSSHConfig());

    hostsHeading_.setText(tr("Hosts in ~/.ssh/config"));
    QFont heading = hostsHeading_.font();
    heading.setWeight(QFont::DemiBold);
    hostsHeading_.setFont(heading);
    hostsHeading_.setContentsMargins(sizes::scaled(QMargins(4, 0, 0, 0)));

    progress_.setRange(0, 0);
    progress_.setTextVisible(false);
    progress_.setFixedSize(sizes::scaled(QSize(48, 8)));
    progressText_.setText(tr("Reading ~/.ssh/config…"));
    progress_.setAccessibleName(progressText_.text());
    progressLayout_.setContentsMargins(0, 0, 0, 0);
    progressLayout_.addWidget(&progress_);
    progressLayout_.addWidget(&progressText_, 1);
    setWrappedPlainText(
        empty_, tr("No hosts found in ~/.ssh/config. Patterns such as Host * name no single server."));
    empty_.hide();
    hostListLayout_.setContentsMargins(0, 0, 0, 0);
    hostListLayout_.setSpacing(0);
    hostList_.hide();
    hostsCard_.content().setContentsMargins(sizes::scaled(QMargins(14, 10, 14, 10)));
    hostsCard_.content().addWidget(&progressRow_);
    hostsCard_.content().addWidget(&empty_);
    hostsCard_.content().addWidget(&hostList_);

    setWrappedPlainText(
        footer_, tr("Each host becomes a tunnel that uses its alias: ssh keeps reading its settings and "
                    "forwards from ~/.ssh/config. Hosts with forwards are selected."));
    scaleFont(footer_, 0.92);
    footer_.setContentsMargins(sizes::scaled(QMargins(4, 0, 4, 0)));

    columnLayout_.setContentsMargins(sizes::scaled(QMargins(20, 20, 20, 20)));
    columnLayout_.setSpacing(sizes::scaled(8));
    columnLayout_.addWidget(&turnOnCard_);
    columnLayout_.addSpacing(sizes::scaled(4));
    columnLayout_.addWidget(&hostsHeading_);
    columnLayout_.addWidget(&hostsCard_);
    columnLayout_.addWidget(&footer_);
    columnLayout_.addStretch();
    scroll_.setColumn(column_);
    scroll_.setAccessibleName(windowTitle());

    divider_.setFrameShape(QFrame::HLine);
    divider_.setFrameShadow(QFrame::Plain);
    cancel_.setText(tr("Cancel"));
    cancel_.setAutoDefault(false);
    import_.setText(tr("Import"));
    import_.setDefault(true);
    import_.setEnabled(false);
    barLayout_.setContentsMargins(sizes::scaled(QMargins(16, 16, 16, 16)));
    barLayout_.addStretch();
    barLayout_.addWidget(&cancel_);
    barLayout_.addWidget(&import_);

    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    layout_.addWidget(&scroll_, 1);
    layout_.addWidget(&divider_);
    layout_.addWidget(&bar_);

    connect(&turnOn_, &QPushButton::clicked, &model_, &SSHConfigImportModel::turnOnSSHConfig);
    connect(&model_, &SSHConfigImportModel::offersSSHConfigChanged, &turnOnCard_, &QWidget::setVisible);
    connect(&model_, &SSHConfigImportModel::loadingChanged, this, [this](bool loading) {
        if (!loading) {
            showList();
        }
    });
    connect(&model_, &SSHConfigImportModel::rowChanged, this, [this](int row) {
        if (static_cast<size_t>(row) < toggles_.size()) {
            toggles_[static_cast<size_t>(row)]->present(model_.rows()[static_cast<size_t>(row)]);
        }
    });
    connect(&model_, &SSHConfigImportModel::canImportChanged, &import_, &QPushButton::setEnabled);
    connect(&cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(&import_, &QPushButton::clicked, this, &SSHConfigImportSheet::importChosen);
}

SSHConfigImportSheet::~SSHConfigImportSheet() = default;

void SSHConfigImportSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_.load();
}

void SSHConfigImportSheet::done(int result) {
    model_.stop();
    QDialog::done(result);
}

void SSHConfigImportSheet::showList() {
    progressRow_.hide();
    progress_.setRange(0, 1); // a busy bar animates for as long as it has no range
    const auto& rows = model_.rows();
    empty_.setVisible(rows.empty());
    for (size_t index = 0; index < rows.size(); ++index) {
        auto& toggle = *toggles_.emplace_back(std::make_unique<HostToggle>(rows[index]));
        hostListLayout_.addWidget(&toggle);
        connect(&toggle.box(), &QCheckBox::toggled, &model_,
                [this, index](bool selected) { model_.setSelected(index, selected); });
    }
    hostList_.setVisible(!rows.empty());
}

void SSHConfigImportSheet::importChosen() {
    if (!model_.canImport()) {
        return;
    }
    const auto tunnels = model_.importSelected();
    window_.configImported(tunnels);
    accept();
}

void SSHConfigImportSheet::applyTheme() {
    applyTolvanSurface(*this);
    applyTolvanSurface(scroll_);
    applyTolvanSurface(column_);
    applyTolvanSurface(bar_);
    makeSecondary(turnOnSubtitle_);
    makeSecondary(progressText_);
    makeSecondary(empty_);
    makeSecondary(footer_);
    makeProminent(import_);
    QPalette divider = divider_.palette();
    divider.setColor(QPalette::WindowText, look::separator());
    divider_.setPalette(divider);
    for (auto& toggle : toggles_) {
        makeSecondary(toggle->detail());
    }
}

} // namespace burrowlight

#include "Burrowlight/AskPass/AskPassDialog.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <cmath>

namespace burrowlight {

namespace {

// Wide enough for a long passphrase: never narrower than this, and wider with a larger font.
constexpr int fieldWidth = 300;
constexpr int fieldWidthInCharacters = 36;

// ssh's lines are shown one to a line up to this many characters; longer ones wrap between words.
constexpr int sshLineCharacters = 90;

int widest(const QStringList& parts, const QFontMetricsF& metrics) {
    qreal width = 0;
    for (const auto& part : parts) {
        width = std::max(width, metrics.horizontalAdvance(part));
    }
    // The text is laid out in fractions of a pixel.
    return int(std::ceil(width)) + 1;
}

// A fingerprint is compared in one piece: never wrapped inside a word, nor inside a line that fits.
int sshLinesWidth(const QString& text, const QFontMetricsF& metrics) {
    const int lines = widest(text.split(QLatin1Char('\n')), metrics);
    const int words =
        widest(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts), metrics);
    return std::max(std::min(lines, int(metrics.averageCharWidth()) * sshLineCharacters), words);
}

} // namespace

AskPassDialog::Accessory::Accessory(bool remembers) {
    layout.setContentsMargins(0, 0, 0, 0);
    field.setEchoMode(QLineEdit::Password);
    field.setMinimumWidth(
        std::max(sizes::scaled(fieldWidth), field.fontMetrics().averageCharWidth() * fieldWidthInCharacters));
    layout.addWidget(&field);
    if (remembers) {
        remember = std::make_unique<QCheckBox>(AskPassDialogModel::rememberTitle());
        remember->setChecked(true);
        layout.addWidget(remember.get());
    }
}

AskPassDialog::AskPassDialog(AskPassDialogModel model, QWidget* parent)
    : QDialog(parent), model_(std::move(model)) {
    setWindowTitle(appDisplayName());
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(true);

    const int iconSize = 64;
    icon_.setPixmap(QApplication::windowIcon().pixmap(iconSize, iconSize));
    icon_.setAlignment(Qt::AlignTop);

    // Everything shown comes from ssh, the server or the user: plain text, never markup.
    QFont bold = message_.font();
    bold.setBold(true);
    message_.setFont(bold);
    message_.setText(model_.message);

    informative_.setText(model_.informativeText);

    sshLines_.setFont(editorLook::monospaced(sshLines_.font()));
    sshLines_.setText(model_.sshLines);
    sshLines_.setVisible(!model_.sshLines.isEmpty());
    // A blank line's room between the text and ssh's lines.
    sshLines_.setTextMargins({0, sshLines_.fontMetrics().height() / 2, 0, 0});

    accept_ = buttons_.addButton(model_.acceptTitle, QDialogButtonBox::AcceptRole);
    reject_ = buttons_.addButton(model_.rejectTitle, QDialogButtonBox::RejectRole);
    accept_->setDefault(true);
    connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout_.setSizeConstraint(QLayout::SetFixedSize);
    layout_.addWidget(&icon_, 0, 0, 4, 1);
    layout_.addWidget(&message_, 0, 1);
    layout_.addWidget(&informative_, 1, 1);
    layout_.addWidget(&sshLines_, 2, 1);
    if (model_.showsSecretField()) {
        accessory_ = std::make_unique<Accessory>(model_.showsRememberBox());
        layout_.addWidget(accessory_.get(), 3, 1);
        accessory_->field.setAccessibleName(model_.message);
        accessory_->field.setFocus();
    }
    layout_.addWidget(&buttons_, 4, 0, 1, 2);
    fitTextsToScreen();
}

// The message on one line as long as the dialog stays within half the screen's width; a longer
// one wraps between its words there. ssh's lines keep to one line each, as far as the screen allows.
// A word longer than the room breaks between its letters: no text takes the dialog past the screen.
void AskPassDialog::fitTextsToScreen() {
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shownOn) {
        return;
    }
    const QMargins margins = layout_.contentsMargins();
    const int beside =
        margins.left() + margins.right() + icon_.sizeHint().width() + layout_.horizontalSpacing();
    const int screenWidth = std::max(0, shownOn->availableGeometry().width() - beside);
    const int halfScreen = std::max(0, shownOn->availableGeometry().width() / 2 - beside);
    sshLines_.setMinimumWidth(
        std::min(sshLinesWidth(model_.sshLines, QFontMetricsF(sshLines_.font())), screenWidth));
    sshLines_.setMaximumWidth(screenWidth);
    const int column = std::max(halfScreen, sshLines_.isHidden() ? 0 : sshLines_.minimumWidth());
    const int oneLine = widest({model_.message}, QFontMetricsF(message_.font()));
    message_.setMinimumWidth(std::min(oneLine, halfScreen));
    message_.setMaximumWidth(column);
    informative_.setMaximumWidth(column);
}

AskPassOutcome AskPassDialog::outcome() const {
    if (result() != QDialog::Accepted) {
        return model_.refused();
    }
    return model_.accepted(secretField() ? secretField()->text() : QString(),
                           rememberBox() && rememberBox()->isChecked());
}

} // namespace burrowlight

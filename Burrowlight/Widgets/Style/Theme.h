#pragma once

#include <QColor>
#include <QFormLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QRgb>
#include <QScrollArea>
#include <QVBoxLayout>
#include <functional>
#include <memory>
#include <vector>

class QPushButton;

namespace burrowlight {

// Dark when the palette's window colour is dark: Qt 6.4 has no colour-scheme hint of its own.
bool isDark(const QPalette& palette = QGuiApplication::palette());

// One sRGB value for the light appearance and one for the dark, chosen against a palette.
QColor makeDynamicColor(QRgb light, QRgb dark, const QPalette& palette = QGuiApplication::palette());

// The theme's named colours.
QColor tolvanAccent(const QPalette& palette = QGuiApplication::palette());
QColor tolvanOnAccent(const QPalette& palette = QGuiApplication::palette());
QColor tolvanSurface(const QPalette& palette = QGuiApplication::palette());
QColor tolvanCanvas(const QPalette& palette = QGuiApplication::palette());

// The widget and its children drawn on the theme: `TolvanSurface` behind it, the accent as tint
// (links, selections, ticks). Call it again when the application's palette changes.
void applyTolvanSurface(QWidget& widget);
// A button filled with the accent and labelled in `TolvanOnAccent`; disabled, a plain one.
void makeProminent(QPushButton& button);
// A button that reads as a link in the accent colour.
void makeLink(QPushButton& button);
// A monochrome symbol (black on transparent) drawn in a colour, `size` device-independent pixels
// at `devicePixelRatio`; the icon at the screen's usual ratios.
QPixmap tintedPixmap(const QIcon& symbol, const QColor& color, QSize size, qreal devicePixelRatio);
QIcon tintedIcon(const QIcon& symbol, const QColor& color, QSize size);
// The colour with its opacity scaled by `opacity`.
QColor faded(QColor color, qreal opacity);
// A label's text, or any text drawn in the window's text colour, in the secondary style: the
// palette's text, faded.
void makeSecondary(QWidget& text);
// A label's font at `factor` times the application's font size, in `weight`.
void scaleFont(QLabel& label, qreal factor, QFont::Weight weight = QFont::Normal);
// The text of a wrapping label that is not selectable, where a path such as ~/.ssh/config stays on
// one line: word joiners after its slashes. Assistive technology reads the text as it is.
void setPathsKeptWhole(QLabel& label, const QString& text);
// Prose that may come from a translation or the user: plain text, wrapped, paths kept whole.
void setWrappedPlainText(QLabel& label, const QString& text);
// A one-point line in the platform's separator colour, across (horizontal) or along (vertical) its
// container. Call it again when the palette changes.
void makeSeparator(QFrame& line, Qt::Orientation orientation);

// Whether the desktop asks for higher contrast: the cards draw their border at full strength.
// Setting it redraws the cards on show.
void setHighContrast(bool high);
bool highContrast();

// The application's icon and name in a row, at the top of the first-run windows.
class AppNameHeader : public QWidget {
  public:
    explicit AppNameHeader(QWidget* parent = nullptr);
    // Tints the icon in the accent colour; call it again when the palette changes.
    void applyTheme();

  private:
    QLabel icon_;
    QLabel name_;
    QHBoxLayout layout_{this};
};

// Runs `apply` now and again each time the application's palette changes (light to dark). A member
// of the widget it watches.
class PaletteFollower : public QObject {
  public:
    PaletteFollower(QWidget& widget, std::function<void()> apply);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> apply_;
};

// Content in a leading-aligned column at full width on a rounded card: the window's background
// faded behind it and a thin separator line around it, stronger under high contrast. It has
// no padding of its own: the content brings its margins.
class TolvanCard : public QFrame {
  public:
    static constexpr qreal defaultRadius = 10;

    explicit TolvanCard(QWidget* parent = nullptr, qreal radius = defaultRadius);

    // Where the content goes.
    QVBoxLayout& content() { return layout_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal radius_;
    QVBoxLayout layout_{this};
};

// A settings pane: grouped sections, each a card with rows of labelled controls, scrolling on
// `TolvanSurface` and filling the space it is given.
class TolvanSettingsForm : public QScrollArea {
  public:
    explicit TolvanSettingsForm(QWidget* parent = nullptr);

    // A new section at the end, with a heading when `title` is not empty and a wrapping note
    // under the card when `footer` is not; its rows go in the returned layout (label and field, or
    // a field alone spanning both columns).
    QFormLayout& addSection(const QString& title = {}, const QString& footer = {});
    // Another note under a section that was made with one.
    void setFooter(const QFormLayout& section, const QString& footer);

  private:
    struct Section {
        QLabel heading;
        TolvanCard card;
        QWidget rows;
        QFormLayout form{&rows};
        QLabel footer;
    };

    void applyTheme();

    QWidget column_;
    QVBoxLayout layout_{&column_};
    // Destroyed before the column that shows them.
    std::vector<std::unique_ptr<Section>> sections_;
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

} // namespace burrowlight

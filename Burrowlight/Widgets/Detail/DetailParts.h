#pragma once

#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Models/LogCardModel.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>

namespace burrowlight {

// A heading above a section's card, in the headline font.
void makeHeading(QLabel& label);
// A symbol drawn in a colour, as a label's picture.
void showSymbol(QLabel& label, const QString& symbol, const QColor& color, int size);

// Why the tunnel failed or waits to reconnect, on a tinted rounded panel; "Try Now" while it waits.
class ProblemBanner : public QFrame {
    Q_OBJECT

  public:
    explicit ProblemBanner(std::function<void()> retryNow, QWidget* parent = nullptr);

    void show(const DetailModel::Banner& banner);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::function<void()> retryNow_;
    DetailModel::Banner banner_;
    QLabel symbol_;
    VerbatimText message_;
    QPushButton tryNow_;
    QHBoxLayout layout_{this};
};

// The log's lines as one text to select and copy across lines, each line a paragraph in its
// level's colour that wraps at the card's width, the newest scrolled into view. It catches up with
// the model at most a few times a second however fast lines come: the lines it shows already stay,
// those the model let go leave from the top, the new ones are appended. Only the lines in view are
// laid out.
class LogLines : public QPlainTextEdit {
  public:
    static constexpr std::chrono::milliseconds catchUpInterval{200};

    explicit LogLines(LogCardModel& model, QWidget* parent = nullptr);

  private:
    void catchUpSoon();
    void catchUp();
    void append(std::deque<tunnelkit::SSHLogLine>::const_iterator from);

    LogCardModel& model_;
    QTimer catchUp_;
    QElapsedTimer sinceCatchUp_;
    bool rebuilds_ = true;
    // The id of each line shown, oldest first.
    std::deque<std::int64_t> shown_;
    QTextCharFormat formats_[3];
    PaletteFollower theme_;
};

// The tunnel's live log with the "Details" switch, Copy and Clear.
class LogCard : public QWidget {
    Q_OBJECT

  public:
    explicit LogCard(LogCardModel& model, QWidget* parent = nullptr);

    QCheckBox& details() { return details_; }
    LogLines& lines() { return lines_; }

  private:
    void showEmptiness();

    LogCardModel& model_;
    QWidget header_;
    QLabel title_;
    QCheckBox details_;
    QToolButton copy_;
    QToolButton clear_;
    QHBoxLayout headerLayout_{&header_};
    TolvanCard card_;
    QLabel empty_;
    LogLines lines_;
    QVBoxLayout layout_{this};
};

// Across the top of a new or changed tunnel: what is unsaved, its problem, Cancel and the save
// buttons. One row where they fit, with the problem on two lines at most; else the problem goes
// below the title, and then the buttons below both.
class UnsavedBar : public QFrame {
    Q_OBJECT

  public:
    UnsavedBar(std::function<void()> cancel, std::function<void(bool reconnect)> save,
               QWidget* parent = nullptr);

    void show(const DetailModel::UnsavedBar& bar);
    QLabel& title() { return title_; }
    QPushButton& cancelButton() { return cancel_; }
    // The last button, which Return presses.
    QPushButton& prominentSaveButton() { return prominentSave_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    enum class Rows { one, two, three };

    Rows rowsFor(int width) const;
    void arrange();

    std::function<void(bool)> save_;
    bool prominentReconnects_ = false;
    std::optional<Rows> rows_;
    QLabel icon_;
    QLabel title_;
    QLabel problemIcon_;
    VerbatimText problem_;
    QPushButton cancel_;
    QPushButton plainSave_;
    QPushButton prominentSave_;
    QVBoxLayout layout_{this};
    // Owned by the layout above.
    QHBoxLayout* top_;
    QHBoxLayout* middle_;
    QHBoxLayout* bottom_;
};

} // namespace burrowlight

#pragma once

#include "Burrowlight/Widgets/Shell/VerbatimText.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <vector>

namespace burrowlight {

// "Nothing here": a large faded symbol, a title, a line of explanation and a few buttons, centred
// in whatever space it is given.
class EmptyStateView : public QWidget {
  public:
    explicit EmptyStateView(QWidget* parent = nullptr);

    void show(const QString& symbol, const QString& title, const QString& description = {});
    // Buttons go below the text: in a column (each as wide as the widest, at most `columnWidth`) or
    // in a row.
    QPushButton& addButton(const QString& title);
    void setButtonsInRow(bool inRow);
    void clearButtons();

    const VerbatimText& title() const { return title_; }
    const QLabel& description() const { return description_; }
    const std::vector<std::unique_ptr<QPushButton>>& buttons() const { return buttons_; }

    static constexpr int columnWidth = 260;
    static constexpr int textWidth = 340;

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void drawSymbol();
    void fitColumn();

    QString symbol_;
    // The texts' column, at most `textWidth` wide, before what it holds.
    QWidget column_;
    QLabel icon_;
    // It may hold what was searched for: a word longer than the line breaks between its letters.
    VerbatimText title_;
    QLabel description_;
    QWidget buttonArea_;
    QVBoxLayout buttonLayout_{&buttonArea_};
    std::vector<std::unique_ptr<QPushButton>> buttons_;
    QVBoxLayout columnLayout_{&column_};
    QVBoxLayout layout_{this};
};

} // namespace burrowlight

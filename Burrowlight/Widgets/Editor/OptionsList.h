#pragma once

#include "Burrowlight/Models/OptionsListModel.h"

#include <QFrame>
#include <QWidget>
#include <vector>

class QLabel;
class QTextBrowser;
class QToolButton;
class QVBoxLayout;

namespace burrowlight {

class ManualCache;

// The description of one option from the installed ssh_config manual, in a popup beside the help
// button: a spinner until the manual has been rendered, then the text or why there is none.
class OptionHelp : public QFrame {
    Q_OBJECT

  public:
    OptionHelp(const tunnelkit::SSHOption& option, ManualCache& manual, QWidget* parent = nullptr);

    // The description as shown; empty while loading.
    QString text() const;
    bool isLoaded() const { return loaded_; }

  signals:
    void loaded();

  private:
    void showDescription(std::optional<QString> markdown);

    bool loaded_ = false;
    QWidget* spinner_;
    QTextBrowser* description_;
    QLabel* missing_;
};

// The extra ssh options of the draft: one row per option with its value editor, help and remove,
// and "Add Option" with the catalogue by group.
class OptionsList : public QWidget {
    Q_OBJECT

  public:
    OptionsList(TunnelDraft& draft, ManualCache& manual, QWidget* parent = nullptr);

    OptionsListModel& model() { return model_; }
    QToolButton& addButton() const { return *add_; }
    // The row of the option with this position in the list.
    QWidget* row(size_t index) const { return index < rows_.size() ? rows_[index] : nullptr; }
    // The open help popup, if any.
    OptionHelp* help() const;

    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The least widths of the rows' names and of what follows them, and the widest name.
    struct Least {
        int names = 0;
        int rest = 0;
        int widest = 0;
    };

    void refresh();
    QWidget& makeRow(const OptionsListModel::Row& row);
    Least least() const;
    void alignNames();

    OptionsListModel model_;
    ManualCache& manual_;
    QVBoxLayout* rowsLayout_;
    QToolButton* add_;
    std::vector<QWidget*> rows_;
    std::vector<QWidget*> names_;
    std::vector<tunnelkit::Uuid> shownIds_;
};

} // namespace burrowlight

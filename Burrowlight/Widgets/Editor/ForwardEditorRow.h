#pragma once

#include "Burrowlight/Models/ForwardRowModel.h"

#include <QWidget>
#include <map>

class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace burrowlight {

// The editing row of one forward: kind and access menu, the endpoint fields the access and kind
// call for, the name, the on switch, copy and browser buttons and remove; under them the problems
// of the fields already left, or the sentence that says what the forward does. Every edit goes to
// the draft through the row's model; the row re-reads the draft when it changes.
class ForwardEditorRow : public QWidget {
    Q_OBJECT

  public:
    using Field = ForwardDraft::Field;

    ForwardEditorRow(TunnelDraft& draft, tunnelkit::Uuid id, ForwardRowModel::LiveTest isLive,
                     QWidget* parent = nullptr);

    ForwardRowModel& model() { return model_; }
    // Stacked on two lines when narrow.
    void setNarrow(bool narrow);
    bool isNarrow() const { return narrow_; }
    QLineEdit& field(Field field) const { return *fields_.at(field); }
    QLineEdit& noteField() const { return *note_; }
    QToolButton& kindMenu() const { return *kindButton_; }
    // The problem lines, else the sentence, as shown.
    QString footnote() const;

    // The connection started or stopped: the browser link may come or go.
    void refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit& makeField(Field field, int minimumWidth, int maximumWidth);
    void buildKindMenu();
    void placeLines();
    void refreshFields(const ForwardDraft& row);
    void refreshFootnote();

    ForwardRowModel model_;
    bool narrow_ = false;
    QVBoxLayout* layout_;
    QWidget* controls_;
    QVBoxLayout* controlsLayout_;
    QHBoxLayout* firstLine_;
    QHBoxLayout* secondLine_;
    QToolButton* kindButton_;
    QWidget* endpoints_;
    std::map<Field, QLineEdit*> fields_;
    QLabel* listenHint_;
    QLabel* arrow_;
    QLabel* colon_;
    QLabel* chosenByApp_;
    QLineEdit* note_;
    QWidget* trailing_;
    QCheckBox* enabled_;
    QToolButton* browser_;
    QToolButton* copy_;
    QLabel* problems_;
    QLabel* sentence_;
};

} // namespace burrowlight

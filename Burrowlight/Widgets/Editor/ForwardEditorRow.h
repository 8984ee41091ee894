#pragma once

#include "Burrowlight/Models/ForwardRowModel.h"

#include <QWidget>
#include <array>
#include <map>

class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace burrowlight {

class ElidedLabel;

// The editing row of one forward: kind and access menu, the endpoint fields the access and kind
// call for, the name, the on switch, copy and browser buttons and remove; under them the problems
// of the fields already left, or the sentence that says what the forward does. Every edit goes to
// the draft through the row's model; the row re-reads the draft when it changes.
class ForwardEditorRow : public QWidget {
    Q_OBJECT

  public:
    using Field = ForwardDraft::Field;

    // How the controls share the lines: one line where the section allows it and it fits, else
    // the first of the others that fits the row's width.
    enum class Arrangement {
        oneLine,       // kind, endpoints, name, switches and buttons
        twoLines,      // kind, endpoints / name, switches and buttons
        controlsFirst, // kind, name, switches and buttons / endpoints
        threeLines,    // kind, listening side / destination side / name, switches and buttons
        eachAlone,     // kind / listening side / destination side / name, switches and buttons
    };

    ForwardEditorRow(TunnelDraft& draft, tunnelkit::Uuid id, ForwardRowModel::LiveTest isLive,
                     QWidget* parent = nullptr);

    ForwardRowModel& model() { return model_; }
    // Lays the controls out for a row this wide.
    void fitTo(int width, bool oneLineAllowed);
    bool isNarrow() const { return arrangement_ != Arrangement::oneLine; }
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
    QLineEdit& makeField(Field field, QWidget& side, int minimumWidth, int maximumWidth);
    void buildKindMenu();
    Arrangement arrangementFor(int width, bool oneLineAllowed) const;
    void placeLines();
    void refreshFields(const ForwardDraft& row);
    void refreshFootnote();

    ForwardRowModel model_;
    Arrangement arrangement_ = Arrangement::oneLine;
    int width_ = QWIDGETSIZE_MAX;
    bool oneLineAllowed_ = true;
    QVBoxLayout* layout_;
    QWidget* controls_;
    QVBoxLayout* controlsLayout_;
    std::array<QHBoxLayout*, 4> lines_;
    QToolButton* kindButton_;
    QWidget* listenSide_;
    QWidget* targetSide_;
    std::map<Field, QLineEdit*> fields_;
    QLabel* listenHint_;
    QLabel* arrow_;
    QLabel* colon_;
    ElidedLabel* chosenByApp_;
    QLineEdit* note_;
    QWidget* trailing_;
    QCheckBox* enabled_;
    QToolButton* browser_;
    QToolButton* copy_;
    QLabel* problems_;
    QLabel* sentence_;
};

} // namespace burrowlight

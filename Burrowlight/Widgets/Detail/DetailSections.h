#pragma once

#include "Burrowlight/Models/DetailContext.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace burrowlight {

// The editable sections of the tunnel detail, made once per detail. Each method returns the section's
// widget, which the detail owns and places in its column, or nullptr to leave the section out.
// A section reads and writes `context.draft()` and follows `context`'s signals; it keeps no copy of
// the draft. The detail places them in this order and shows or hides the three conditional ones
// (config, session, SSH command) by the rules of Models/DetailRules.h; the sections fill them.
class DetailSections {
  public:
    virtual ~DetailSections() = default;

    // The "Server" field of the header's server row, focus value `editorFocus::Host`; writes the
    // draft's host. nullptr: the detail uses a plain text field.
    virtual std::unique_ptr<QWidget> serverField(DetailContext& context) = 0;
    // "Forwards" with its heading row, which ends in an AddForwardButtons whose `add` is
    // `DetailContext::addForwardAndFocus`.
    virtual std::unique_ptr<QWidget> forwardsSection(DetailContext& context) = 0;
    // Heading "From ~/.ssh/config" and its card.
    virtual std::unique_ptr<QWidget> configSection(DetailContext& context) = 0;
    // Heading "Session" and its card.
    virtual std::unique_ptr<QWidget> sessionSection(DetailContext& context) = 0;
    // The card with the "Advanced" disclosure; it keeps its own open state.
    virtual std::unique_ptr<QWidget> advancedSection(DetailContext& context) = 0;
    // Heading "SSH Command" and its card.
    virtual std::unique_ptr<QWidget> sshCommandSection(DetailContext& context) = 0;
};

// The sections of a detail made without the editor's: the forwards listed read-only, the rest left out.
class StandInSections : public DetailSections {
  public:
    std::unique_ptr<QWidget> serverField(DetailContext& context) override;
    std::unique_ptr<QWidget> forwardsSection(DetailContext& context) override;
    std::unique_ptr<QWidget> configSection(DetailContext& context) override;
    std::unique_ptr<QWidget> sessionSection(DetailContext& context) override;
    std::unique_ptr<QWidget> advancedSection(DetailContext& context) override;
    std::unique_ptr<QWidget> sshCommandSection(DetailContext& context) override;
};

// Binds a field to one focus value: focusing the field sets the state, leaving it clears the state
// (unless the window merely lost the keyboard), and setting the state to `value` focuses the field.
// Keep it beside the field (a member declared after it).
class FocusBinding : public QObject {
  public:
    FocusBinding(QWidget& field, EditorFocusState& focus, EditorFocus value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& field_;
    QPointer<EditorFocusState> focus_;
    EditorFocus value_;
};

// Return in a line edit of the detail makes the draft's problems visible
// (`DetailContext::showProblems`); connect it to `returnPressed` of every line edit a section makes.
void showProblemsOnReturn(QWidget& lineEdit, DetailContext& context);

} // namespace burrowlight

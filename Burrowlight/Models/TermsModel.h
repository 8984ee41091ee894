#pragma once

#include <QObject>

namespace burrowlight {

// The terms window's state: the two ticks that enable Accept.
class TermsModel : public QObject {
    Q_OBJECT

  public:
    bool acceptsTerms() const { return acceptsTerms_; }
    void setAcceptsTerms(bool accepts);
    bool approvesLiability() const { return approvesLiability_; }
    void setApprovesLiability(bool approves);
    bool canAccept() const { return acceptsTerms_ && approvesLiability_; }

    // Does nothing until both are ticked.
    void accept();
    void quit();
    // The window went away (its close button, or dismissed).
    void closed();
    void readTerms();

  signals:
    void canAcceptChanged(bool canAccept);
    void accepted();
    void quitRequested();

  private:
    void update(bool& field, bool value);

    bool acceptsTerms_ = false;
    bool approvesLiability_ = false;
};

} // namespace burrowlight

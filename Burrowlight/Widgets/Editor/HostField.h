#pragma once

#include "Burrowlight/Models/HostAliases.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace burrowlight {

class TunnelDraft;

// The server field: the draft's host, and beside it, while ~/.ssh/config names hosts and is in use,
// a menu of those aliases. Choosing one writes it into the draft, then calls `picked` with it.
class HostField : public QWidget {
    Q_OBJECT

  public:
    HostField(TunnelDraft& draft, HostAliases& aliases, std::function<void(const QString&)> picked,
              QWidget* parent = nullptr);

    QLineEdit& edit() const { return *edit_; }
    QToolButton& aliasesButton() const { return *menuButton_; }

  private:
    void refresh();
    void refreshMenu();

    TunnelDraft& draft_;
    HostAliases& aliases_;
    std::function<void(const QString&)> picked_;
    QLineEdit* edit_;
    QToolButton* menuButton_;
};

} // namespace burrowlight

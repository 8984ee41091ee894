#pragma once

#include "TunnelKit/Tunnel.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <functional>

namespace burrowlight {

// "Local" adds a local forward; the "Other" menu offers the three other kinds with a line that
// explains each.
class AddForwardButtons : public QWidget {
    Q_OBJECT

  public:
    explicit AddForwardButtons(std::function<void(tunnelkit::Forward::Kind)> add, QWidget* parent = nullptr);

    QMenu& otherMenu() { return menu_; }

  private:
    std::function<void(tunnelkit::Forward::Kind)> add_;
    QPushButton local_;
    QToolButton other_;
    QMenu menu_;
    QHBoxLayout layout_{this};
};

} // namespace burrowlight

#pragma once

#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "TunnelKit/Tunnel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

namespace burrowlight {

// Puts one text on the clipboard as plain text.
void copyToPasteboard(const QString& text);

// The read-only line of one forward: its kind's symbol, its summary and kind, and, for a forward
// reached through a local address, a copy button and (local forwards while connected) a browser link.
class ForwardRow : public QWidget {
    Q_OBJECT

  public:
    ForwardRow(const tunnelkit::Forward& forward, bool isConnected, QWidget* parent = nullptr);

  private:
    QLabel symbol_;
    // Before what it holds, which goes first.
    QWidget texts_;
    VerbatimText summary_;
    VerbatimText caption_;
    QVBoxLayout textsLayout_{&texts_};
    QToolButton browser_;
    QToolButton copy_;
    QHBoxLayout layout_{this};
};

} // namespace burrowlight

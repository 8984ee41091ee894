#pragma once

#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/Detail/ForwardRow.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Style/ColumnScrollArea.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <vector>

namespace burrowlight {

// A tunnel of Recently Deleted, read-only: its name, destination, when it was deleted, its forwards
// and note, and Restore.
class TrashedTunnelPage : public QWidget {
    Q_OBJECT

  public:
    TrashedTunnelPage(MainWindowModel& window, const tunnelkit::Tunnel& tunnel, QWidget* parent = nullptr);

    VerbatimText& name() { return name_; }
    QPushButton& restoreButton() { return restore_; }
    QWidget& noteSection() { return noteSection_; }
    const std::vector<std::unique_ptr<ForwardRow>>& forwardRows() const { return rows_; }

  private:
    ColumnScrollArea scroll_;
    QWidget column_;
    QWidget headerRow_;
    QWidget titles_;
    VerbatimText name_;
    VerbatimText destination_;
    QLabel deleted_;
    QVBoxLayout titlesLayout_{&titles_};
    QPushButton restore_;
    QHBoxLayout headerLayout_{&headerRow_};
    QLabel forwardsHeading_;
    TolvanCard forwardsCard_;
    QLabel noForwards_;
    std::vector<std::unique_ptr<ForwardRow>> rows_;
    std::vector<std::unique_ptr<QFrame>> dividers_;
    QWidget noteSection_;
    QLabel noteHeading_;
    TolvanCard noteCard_;
    VerbatimText note_;
    QVBoxLayout noteLayout_{&noteSection_};
    QVBoxLayout columnLayout_{&column_};
    QVBoxLayout layout_{this};
};

} // namespace burrowlight

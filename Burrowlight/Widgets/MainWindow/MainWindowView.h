#pragma once

#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/MainWindow/DetailSlot.h"
#include "Burrowlight/Widgets/MainWindow/SidebarPane.h"
#include "Burrowlight/Widgets/MainWindow/TunnelListPane.h"
#include "Burrowlight/Widgets/MainWindow/WindowDialogs.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <memory>

namespace burrowlight {

// Columns divided by a thin line.
class ColumnSplitter : public QSplitter {
  public:
    using QSplitter::QSplitter;

  protected:
    QSplitterHandle* createHandle() override;
};

// What the main window is made with: the application's parts by `makeMainWindowView`, others by tests.
struct MainWindowParts {
    // The detail column's pages, kept by the window; pages that name the tunnel when none is given.
    std::unique_ptr<DetailFactory> details;
    // Makes the ssh-config import sheet over the window; the window shows it and keeps it until it
    // closes. The sheet hands what it imported to `MainWindowModel::configImported`.
    std::function<std::unique_ptr<QDialog>(MainWindowModel&, QWidget& window)> configImport;
    // The clock and the states the window shows; the system's and the manager's when none.
    std::optional<WindowSources> sources;
};

// The main window's content: a toolbar with New Tunnel and the search field (Ctrl+F), and three
// columns — the sidebar, the list, the detail — over one MainWindowModel.
class MainWindowView : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize minimumWindowSize{860, 520};

    explicit MainWindowView(AppModel& app, MainWindowParts parts = {}, QWidget* parent = nullptr);
    ~MainWindowView() override;

    MainWindowModel& model() { return model_; }
    QLineEdit& searchField() { return search_; }
    QToolButton& newTunnelButton() { return newTunnel_; }
    SidebarPane& sidebar() { return sidebar_; }
    TunnelListPane& list() { return list_; }
    DetailSlot& detail() { return detail_; }
    QSplitter& columns() { return columns_; }
    // The ssh-config import sheet while it is open.
    QDialog* configImportSheet() const { return configImportSheet_.get(); }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void openConfigImport();
    void applyPalette();

    MainWindowParts parts_;
    WindowDialogs dialogs_{*this};
    MainWindowModel model_;
    PlaceholderDetails placeholders_;
    QWidget toolBar_;
    QToolButton newTunnel_;
    QLineEdit search_;
    QHBoxLayout toolBarLayout_{&toolBar_};
    QShortcut find_{QKeySequence::Find, this};
    QFrame toolBarLine_;
    QAction* searchIcon_ = nullptr; // owned by the search field
    ColumnSplitter columns_{Qt::Horizontal};
    SidebarPane sidebar_{model_};
    TunnelListPane list_{model_};
    DetailSlot detail_;
    QVBoxLayout layout_{this};
    bool appeared_ = false;
    // Goes before the model it works on.
    std::unique_ptr<QDialog> configImportSheet_;
};

// The main window's content as the application shows it: the tunnel detail with the editor's
// sections, and the ssh-config import sheet.
std::unique_ptr<MainWindowView> makeMainWindowView(AppModel& app);

} // namespace burrowlight

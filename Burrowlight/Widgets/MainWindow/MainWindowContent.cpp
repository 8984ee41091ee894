#include "Burrowlight/Widgets/MainWindow/MainWindowContent.h"

#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/EditorSections.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/MainWindow/SSHConfigImportSheet.h"

namespace burrowlight {

namespace {

// Made before the window, which asks for its first detail page while it is built.
struct DetailPages {
    EditorSections sections;
    TunnelDetails details{&sections};
};

class MainWindowContent : private DetailPages, public MainWindowView {
  public:
    explicit MainWindowContent(AppModel& app) : MainWindowView(app, parts()) {}

  private:
    MainWindowParts parts() {
        MainWindowParts parts;
        parts.details = &details;
        parts.configImport = [](MainWindowModel& model, QWidget& window) -> std::unique_ptr<QDialog> {
            return std::make_unique<SSHConfigImportSheet>(model, window);
        };
        return parts;
    }
};

} // namespace

std::unique_ptr<QWidget> makeMainWindowContent(AppModel& app) {
    return std::make_unique<MainWindowContent>(app);
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"

#include <QMenuBar>

namespace burrowlight {

MainWindowFrame::MainWindowFrame(AppActions& actions, std::unique_ptr<QWidget> content)
    : content_(std::move(content)) {
    setWindowTitle(QStringLiteral("Burrowlight"));
    actions.fill(*menuBar());
    setCentralWidget(content_.get());
    resize(defaultSize);
}

} // namespace burrowlight

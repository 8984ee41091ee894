#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QMenuBar>

namespace burrowlight {

MainWindowFrame::MainWindowFrame(AppActions& actions, std::unique_ptr<QWidget> content)
    : content_(std::move(content)) {
    // The content names what it shows, the tunnel of its detail.
    const auto followTitle = [this] {
        const QString title = content_->windowTitle();
        setWindowTitle(title.isEmpty() ? appDisplayName() : title);
    };
    connect(content_.get(), &QWidget::windowTitleChanged, this, followTitle);
    followTitle();
    actions.fill(*menuBar());
    setCentralWidget(content_.get());
    sizes::resizeToOpen(*this, defaultSize);
}

} // namespace burrowlight

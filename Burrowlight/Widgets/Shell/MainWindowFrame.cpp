#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QMenuBar>

namespace burrowlight {

MainWindowFrame::MainWindowFrame(AppActions& actions, std::unique_ptr<QWidget> content)
    : content_(std::move(content)) {
    // The content names what it shows, the tunnel of its detail.
    const auto followTitle = [this] {
        QString title = content_->windowTitle();
        // Qt reads "[*]" in a window's title as the place of its unsaved-changes mark, and drops it.
        setWindowTitle(title.isEmpty() ? appDisplayName()
                                       : title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
    };
    connect(content_.get(), &QWidget::windowTitleChanged, this, followTitle);
    followTitle();
    actions.fill(*menuBar());
    setCentralWidget(content_.get());
    sizes::resizeToOpen(*this, defaultSize);
}

} // namespace burrowlight

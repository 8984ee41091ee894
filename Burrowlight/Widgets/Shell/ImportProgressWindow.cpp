#include "Burrowlight/Widgets/Shell/ImportProgressWindow.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

namespace burrowlight {

ImportProgressWindow::ImportProgressWindow(ArchiveImports& imports, QWidget* parent)
    : QWidget(parent, Qt::Dialog), imports_(imports) {
    setWindowTitle(appDisplayName());
    // A file's name longer than the line breaks between its letters rather than widen the window.
    message_.setMinimumWidth(message_.fontMetrics().averageCharWidth() * 40);
    // Its length is unknown until the file is decoded: the bar only shows that work goes on.
    bar_.setRange(0, 0);
    bar_.setTextVisible(false);
    cancel_.setText(tr("Cancel"));
    connect(&cancel_, &QPushButton::clicked, &imports_, &ArchiveImports::cancelReading);

    layout_.setContentsMargins(sizes::scaled(QMargins(20, 20, 20, 16)));
    layout_.setSpacing(sizes::scaled(12));
    layout_.addWidget(&message_);
    layout_.addWidget(&bar_);
    layout_.addWidget(&cancel_, 0, Qt::AlignRight);

    delay_.setSingleShot(true);
    delay_.setInterval(showDelayMs);
    connect(&delay_, &QTimer::timeout, this, &ImportProgressWindow::showNow);
    connect(&imports_, &ArchiveImports::readingChanged, this, &ImportProgressWindow::follow);
    follow();
}

void ImportProgressWindow::follow() {
    const auto& fileName = imports_.reading();
    if (!fileName) {
        delay_.stop();
        hide();
        return;
    }
    message_.setText(tr("Reading “%1”…").arg(inSentence(*fileName)));
    bar_.setAccessibleName(message_.text());
    if (!isVisible()) {
        delay_.start();
    }
}

void ImportProgressWindow::showNow() {
    delay_.stop();
    if (!imports_.reading()) {
        return;
    }
    show();
    raise();
}

} // namespace burrowlight

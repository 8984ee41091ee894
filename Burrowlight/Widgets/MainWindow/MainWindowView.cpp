#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/EditorSections.h"
#include "Burrowlight/Widgets/MainWindow/SSHConfigImportSheet.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QAction>
#include <QEvent>
#include <QPainter>
#include <QShortcut>
#include <QWindow>

namespace burrowlight {

namespace {

constexpr int searchWidth = 240;
constexpr int sidebarMinimum = 180;
constexpr int listMinimum = 300;
constexpr int handleWidth = 1;

class LineHandle : public QSplitterHandle {
  public:
    using QSplitterHandle::QSplitterHandle;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), look::separator(palette()));
    }
};

} // namespace

QSplitterHandle* ColumnSplitter::createHandle() {
    // The splitter owns its handles; this is the hook Qt gives to make them.
    return new LineHandle(orientation(), this);
}

MainWindowView::MainWindowView(AppModel& app, MainWindowParts parts, QWidget* parent)
    : QWidget(parent), parts_(std::move(parts)), model_(app, dialogs_, parts_.sources),
      detail_(model_, parts_.details ? *parts_.details : placeholders_) {
    newTunnel_.setToolTip(MainWindowTexts::newTunnel());
    newTunnel_.setAccessibleName(MainWindowTexts::newTunnel());
    newTunnel_.setAutoRaise(true);
    connect(&newTunnel_, &QToolButton::clicked, &model_, &MainWindowModel::createNewTunnel);

    search_.setPlaceholderText(MainWindowTexts::searchPrompt());
    search_.setAccessibleName(MainWindowTexts::searchPrompt());
    search_.setClearButtonEnabled(true);
    // The clear button is named by its action, which Qt leaves without a text.
    if (auto* clear = search_.findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction"))) {
        clear->setText(MainWindowTexts::clearSearch());
    }
    search_.setFixedWidth(sizes::scaled(searchWidth));
    search_.installEventFilter(this);
    connect(&search_, &QLineEdit::textChanged, &model_.state(), &MainWindowState::setSearch);
    connect(&find_, &QShortcut::activated, this, [this] {
        search_.setFocus(Qt::ShortcutFocusReason);
        search_.selectAll();
    });

    newTunnel_.setIconSize(sizes::scaled(QSize(16, 16)));
    toolBarLayout_.setContentsMargins(sizes::scaled(QMargins(10, 6, 10, 6)));
    toolBarLayout_.setSpacing(sizes::scaled(8));
    toolBarLayout_.addWidget(&newTunnel_);
    toolBarLayout_.addStretch();
    toolBarLayout_.addWidget(&search_);
    toolBarLine_.setFrameShape(QFrame::HLine);
    toolBarLine_.setFrameShadow(QFrame::Plain);

    sidebar_.setMinimumWidth(sizes::scaled(sidebarMinimum));
    sidebar_.setMaximumWidth(sizes::scaled(280));
    list_.setMinimumWidth(sizes::scaled(listMinimum));
    list_.setMaximumWidth(sizes::scaled(520));
    // What the smallest window leaves for the detail: the splitter narrows the sidebar and the list
    // before the detail goes below it.
    detail_.setLeastWidth(minimumWindowSize.width() - sidebarMinimum - listMinimum);
    columns_.addWidget(&sidebar_);
    columns_.addWidget(&list_);
    columns_.addWidget(&detail_);
    columns_.setChildrenCollapsible(false);
    columns_.setStretchFactor(2, 1);
    columns_.setSizes({sizes::scaled(210), sizes::scaled(360), sizes::scaled(470)});
    columns_.setHandleWidth(handleWidth);

    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    layout_.addWidget(&toolBar_);
    layout_.addWidget(&toolBarLine_);
    layout_.addWidget(&columns_, 1);

    const auto showTitle = [this] { setWindowTitle(MainWindowTexts::windowTitle(model_.detailTitle())); };
    connect(&model_, &MainWindowModel::detailTitleChanged, this, showTitle);
    showTitle();

    connect(&model_.state(), &MainWindowState::importingConfigChanged, this, [this] {
        if (model_.state().importingConfig()) {
            QMetaObject::invokeMethod(this, &MainWindowView::openConfigImport, Qt::QueuedConnection);
        }
    });
    applyPalette();
}

MainWindowView::~MainWindowView() {
    search_.removeEventFilter(this);
}

void MainWindowView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (appeared_) {
        return;
    }
    appeared_ = true;
    sizes::keepMinimumSize(*window(), minimumWindowSize);
    model_.appear();
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &search_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        model_.state().setSearchFocused(event->type() == QEvent::FocusIn);
    }
    if (event->type() == QEvent::Expose && watched == window()->windowHandle() &&
        window()->windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainWindowView::openConfigImport, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindowView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyPalette();
    }
}

void MainWindowView::applyPalette() {
    const QColor text = palette().color(QPalette::WindowText);
    newTunnel_.setIcon(
        QIcon(look::symbol(QStringLiteral("plus"), text, sizes::scaled(16), devicePixelRatioF())));
    const QIcon magnifier(look::symbol(QStringLiteral("magnifyingglass"), look::secondary(palette()),
                                       sizes::scaled(14), devicePixelRatioF()));
    if (searchIcon_) {
        searchIcon_->setIcon(magnifier);
    } else {
        searchIcon_ = search_.addAction(magnifier, QLineEdit::LeadingPosition);
        searchIcon_->setText(MainWindowTexts::searchPrompt());
        connect(searchIcon_, &QAction::triggered, &find_, &QShortcut::activated);
    }
    QPalette line = toolBarLine_.palette();
    line.setColor(QPalette::WindowText, look::separator(palette()));
    toolBarLine_.setPalette(line);
}

void MainWindowView::openConfigImport() {
    if (!model_.state().importingConfig()) {
        return;
    }
    if (!parts_.configImport || configImportSheet_) {
        model_.state().setImportingConfig(configImportSheet_ != nullptr);
        return;
    }
    // A window just opened may not be placed yet: the sheet, centred on it, waits until it is on
    // screen, or it would sit where the window manager had not yet put the window.
    if (QWindow* shownIn = window()->windowHandle();
        shownIn && window()->isVisible() && !shownIn->isExposed()) {
        shownIn->installEventFilter(this);
        return;
    }
    configImportSheet_ = parts_.configImport(model_, *this);
    connect(configImportSheet_.get(), &QDialog::finished, this, [this] {
        // Not inside the sheet's own signal.
        QMetaObject::invokeMethod(
            this,
            [this] {
                configImportSheet_.reset();
                model_.state().setImportingConfig(false);
            },
            Qt::QueuedConnection);
    });
    configImportSheet_->open();
}

std::unique_ptr<MainWindowView> makeMainWindowView(AppModel& app) {
    MainWindowParts parts;
    parts.details = std::make_unique<TunnelDetails>(std::make_unique<EditorSections>());
    parts.configImport = [](MainWindowModel& model, QWidget& window) -> std::unique_ptr<QDialog> {
        return std::make_unique<SSHConfigImportSheet>(model, window);
    };
    return std::make_unique<MainWindowView>(app, std::move(parts));
}

} // namespace burrowlight

#include "Burrowlight/Widgets/Shell/WindowRouter.h"

#include <QEvent>
#include <QTimer>
#include <algorithm>

namespace burrowlight {

QString identifier(WindowId id) {
    switch (id) {
    case WindowId::main:
        return QStringLiteral("main");
    case WindowId::terms:
        return QStringLiteral("terms");
    case WindowId::onboarding:
        return QStringLiteral("onboarding");
    case WindowId::settings:
        return QStringLiteral("settings");
    }
    return {};
}

std::optional<WindowId> windowIdentified(const QString& text) {
    for (const auto id : allWindowIds) {
        if (identifier(id) == text) {
            return id;
        }
    }
    return std::nullopt;
}

std::vector<WindowId> windowsAtLaunch(const LaunchFacts& facts) {
    if (!facts.termsAccepted) {
        return {WindowId::terms};
    }
    if (!facts.onboardingCompleted) {
        return {WindowId::onboarding};
    }
    if (facts.showsDockIcon || !facts.trayAvailable) {
        return {WindowId::main};
    }
    return {};
}

WindowRouter::WindowRouter(std::function<bool()> termsAccepted) : termsAccepted_(std::move(termsAccepted)) {}

WindowRouter::~WindowRouter() {
    for (const auto& [id, window] : windows_) {
        window->removeEventFilter(this);
    }
    windows_.clear();
}

void WindowRouter::setFactory(WindowId id, Factory factory) {
    factories_[id] = std::move(factory);
}

bool WindowRouter::hasFactory(WindowId id) const {
    return factories_.contains(id);
}

QWidget* WindowRouter::open(WindowId id) {
    if (needsTerms(id) && !termsAccepted_()) {
        return open(WindowId::terms);
    }
    auto& window = windows_[id];
    if (!window) {
        const auto factory = factories_.find(id);
        if (factory == factories_.end()) {
            windows_.erase(id);
            return nullptr;
        }
        window = factory->second();
        window->setObjectName(identifier(id));
        window->installEventFilter(this);
    }
    std::erase(openingOrder_, id);
    openingOrder_.push_back(id);
    QWidget* shown = window.get();
    shown->show();
    shown->raise();
    shown->activateWindow();
    emit windowOpened(id);
    return shown;
}

void WindowRouter::dismiss(WindowId id) {
    if (QWidget* shown = window(id)) {
        shown->close();
    }
}

void WindowRouter::openAtLaunch(const LaunchFacts& facts) {
    for (const auto id : windowsAtLaunch(facts)) {
        open(id);
    }
}

QWidget* WindowRouter::window(WindowId id) const {
    const auto found = windows_.find(id);
    return found == windows_.end() ? nullptr : found->second.get();
}

bool WindowRouter::hasVisibleWindows() const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& entry) { return entry.second->isVisible(); });
}

void WindowRouter::activate() {
    for (auto id = openingOrder_.rbegin(); id != openingOrder_.rend(); ++id) {
        if (QWidget* shown = window(*id); shown && shown->isVisible()) {
            if (shown->isMinimized()) {
                shown->showNormal();
            }
            shown->raise();
            shown->activateWindow();
            return;
        }
    }
}

bool WindowRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide) {
        if (const auto id = idOf(watched)) {
            // Let go once the close has finished; a window shown again meanwhile stays.
            QTimer::singleShot(0, this, [this, id = *id] {
                if (QWidget* hidden = window(id); hidden && !hidden->isVisible()) {
                    release(id);
                }
            });
        }
    }
    return false;
}

void WindowRouter::release(WindowId id) {
    if (QWidget* window = this->window(id)) {
        window->removeEventFilter(this);
    }
    windows_.erase(id);
    std::erase(openingOrder_, id);
}

std::optional<WindowId> WindowRouter::idOf(const QObject* window) const {
    for (const auto& [id, owned] : windows_) {
        if (owned.get() == window) {
            return id;
        }
    }
    return std::nullopt;
}

} // namespace burrowlight

#include "Burrowlight/Core/ManualCache.h"

#include "Burrowlight/Core/Background.h"

namespace burrowlight {

ManualCache& ManualCache::shared() {
    static ManualCache cache;
    return cache;
}

ManualCache::ManualCache(std::string renderer, QObject* parent)
    : QObject(parent), renderer_(std::move(renderer)) {}

void ManualCache::section(const QString& option, const QObject& receiver, Answer answer) {
    Request request{option, QPointer<const QObject>(&receiver), std::move(answer)};
    if (loaded_) {
        this->answer(std::move(request));
        return;
    }
    waiting_.push_back(std::move(request));
    if (loading_) {
        return;
    }
    loading_ = true;
    inBackground(
        *this, [renderer = renderer_] { return tunnelkit::SSHManual::render(renderer); },
        [this](std::optional<std::string> markdown) {
            markdown_ = std::move(markdown);
            loaded_ = true;
            loading_ = false;
            for (auto& request : std::exchange(waiting_, {})) {
                this->answer(std::move(request));
            }
        });
}

void ManualCache::answer(Request request) const {
    if (!request.receiver) {
        return;
    }
    std::optional<QString> found;
    if (markdown_) {
        if (auto text = tunnelkit::SSHManual::section(request.option.toStdString(), *markdown_)) {
            found = QString::fromStdString(*text);
        }
    }
    request.answer(std::move(found));
}

} // namespace burrowlight

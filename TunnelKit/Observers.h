#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace tunnelkit {

// How the engine's long-lived owners tell observers that a property changed. Single-threaded: every
// owner lives on the main queue, so are its observers. The application adapts these to Qt signals.
template <class Event> class ObserverList {
    using Callback = std::function<void(const Event&)>;

  public:
    // Keeps the observer registered for as long as it lives.
    class Subscription {
      public:
        Subscription() = default;
        explicit Subscription(std::shared_ptr<Callback> callback) : callback_(std::move(callback)) {}
        void cancel() { callback_.reset(); }
        bool isActive() const { return callback_ != nullptr; }

      private:
        std::shared_ptr<Callback> callback_;
    };

    [[nodiscard]] Subscription subscribe(Callback callback) {
        auto shared = std::make_shared<Callback>(std::move(callback));
        observers_.push_back(shared);
        return Subscription(std::move(shared));
    }

    // Observers may subscribe or cancel while being notified; those cancelled are not called, those
    // added are called from the next notification on.
    void notify(const Event& event) {
        if (notifying_ == 0) {
            std::erase_if(observers_, [](const auto& weak) { return weak.expired(); });
        }
        // By index over the observers there were at the start: additions go to the end, and nothing
        // is removed while a notification runs, so no copy of the list is needed.
        ++notifying_;
        const size_t count = observers_.size();
        for (size_t index = 0; index < count; ++index) {
            if (auto callback = observers_[index].lock()) {
                (*callback)(event);
            }
        }
        --notifying_;
    }

    // Observed properties notify only on a real change: stores `value` into `field` and tells the
    // observers `change` when it differs from what was there. Returns whether it did.
    template <class T> bool assign(T& field, T value, const Event& change) {
        if (value == field) {
            return false;
        }
        field = std::move(value);
        notify(change);
        return true;
    }

    size_t count() const {
        return static_cast<size_t>(std::count_if(observers_.begin(), observers_.end(),
                                                 [](const auto& weak) { return !weak.expired(); }));
    }

  private:
    std::vector<std::weak_ptr<Callback>> observers_;
    int notifying_ = 0;
};

} // namespace tunnelkit

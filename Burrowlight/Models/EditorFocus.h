#pragma once

#include "Burrowlight/Core/ForwardDraft.h"
#include "TunnelKit/Identifiers.h"

#include <QObject>
#include <optional>
#include <variant>

namespace burrowlight {

// Which field of the tunnel editor holds the keyboard focus. Values that carry a forward's id never
// match a field of another forward.
namespace editorFocus {
struct Forward {
    tunnelkit::Uuid id;
    ForwardDraft::Field field = ForwardDraft::Field::listenPort;
    auto operator<=>(const Forward&) const = default;
};
struct ForwardNote {
    tunnelkit::Uuid id;
    auto operator<=>(const ForwardNote&) const = default;
};
struct Name {
    auto operator<=>(const Name&) const = default;
};
struct User {
    auto operator<=>(const User&) const = default;
};
struct Host {
    auto operator<=>(const Host&) const = default;
};
struct Port {
    auto operator<=>(const Port&) const = default;
};
} // namespace editorFocus

using EditorFocus = std::variant<editorFocus::Forward, editorFocus::ForwardNote, editorFocus::Name,
                                 editorFocus::User, editorFocus::Host, editorFocus::Port>;

// The detail's one focus state: none while no editor field has the keyboard. A field bound to a
// value has the focus exactly when the state equals it; setting the state moves the focus there.
class EditorFocusState : public QObject {
    Q_OBJECT

  public:
    explicit EditorFocusState(QObject* parent = nullptr) : QObject(parent) {}

    const std::optional<EditorFocus>& current() const { return current_; }
    bool is(const EditorFocus& value) const { return current_ == value; }
    // Announces `changed` only on a real change; nothing once closed.
    void set(const std::optional<EditorFocus>& value);
    // The fields are about to go: the keyboard leaving them as they do is no move of the user's, and
    // nothing that follows the state may run into them.
    void close() { closed_ = true; }

  signals:
    // Watchers compare `old` with their own value to learn that their field was left.
    void changed(const std::optional<burrowlight::EditorFocus>& old,
                 const std::optional<burrowlight::EditorFocus>& now);

  private:
    std::optional<EditorFocus> current_;
    bool closed_ = false;
};

} // namespace burrowlight

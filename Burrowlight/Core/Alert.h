#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace burrowlight {

// A modal alert as a value: what it says, how grave it looks and which buttons it offers. Built by
// small functions and tested as values; AlertPresenter shows it. The message and the informative
// text are shown as plain text, whatever they contain.
struct Alert {
    enum class Style { informational, warning, critical };

    struct Button {
        enum class Role { normal, destructive, cancel };
        QString title;
        Role role = Role::normal;
        bool operator==(const Button&) const = default;
    };

    Style style = Style::warning;
    QString message;
    QString informativeText;
    // Below the informative text in a small fixed-width font, selectable: facts the user may copy.
    QString accessoryText{};
    // The first is the default button. None gives a single "OK".
    std::vector<Button> buttons;
    // The application comes to the front before the alert shows.
    bool activatesApplication = true;

    bool operator==(const Alert&) const = default;
};

// Shows alerts modally and answers with the button chosen.
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    // The index of the chosen button; none when the alert was closed another way.
    virtual std::optional<size_t> run(const Alert& alert) = 0;
};

} // namespace burrowlight

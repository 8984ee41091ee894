#pragma once

#include "Burrowlight/Widgets/Detail/DetailSections.h"

#include <QCoreApplication>

namespace burrowlight {

// The tunnel detail's editable sections: the server field with the ~/.ssh/config aliases, the
// forward editor rows, what ~/.ssh/config adds to the host, the session's facts, the Advanced card
// and the ssh command.
class EditorSections : public DetailSections {
    Q_DECLARE_TR_FUNCTIONS(EditorSections)

  public:
    std::unique_ptr<QWidget> serverField(DetailContext& context) override;
    std::unique_ptr<QWidget> forwardsSection(DetailContext& context) override;
    std::unique_ptr<QWidget> configSection(DetailContext& context) override;
    std::unique_ptr<QWidget> sessionSection(DetailContext& context) override;
    std::unique_ptr<QWidget> advancedSection(DetailContext& context) override;
    std::unique_ptr<QWidget> sshCommandSection(DetailContext& context) override;
};

// Below this many pixels the forwards column gives each forward two lines or more.
inline constexpr int narrowForwardsWidth = 740;

} // namespace burrowlight

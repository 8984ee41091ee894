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
    QWidget* serverField(DetailContext& context, QWidget* column) override;
    QWidget* forwardsSection(DetailContext& context, QWidget& addButtons, QWidget* column) override;
    QWidget* configSection(DetailContext& context, QWidget* column) override;
    QWidget* sessionSection(DetailContext& context, QWidget* column) override;
    QWidget* advancedSection(DetailContext& context, QWidget* column) override;
    QWidget* sshCommandSection(DetailContext& context, QWidget* column) override;
};

// The forwards column is narrow below this many pixels: the rows then take two lines.
inline constexpr int narrowForwardsWidth = 740;

} // namespace burrowlight

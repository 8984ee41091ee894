#pragma once

#include <QProxyStyle>

namespace burrowlight {

// The desktop's own style with two corrections: push buttons keep the same room on either side of
// their text however long it is, and a button that opens a menu keeps its arrow clear of its text.
class AppStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

// Puts AppStyle over the style the application runs with now.
void installAppStyle();

} // namespace burrowlight

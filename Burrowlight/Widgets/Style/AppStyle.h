#pragma once

#include <QProxyStyle>

namespace burrowlight {

// The desktop's own style with three corrections: push buttons keep the same room on either side of
// their text however long it is, a button that opens a menu keeps its arrow clear of its text, and
// check boxes are drawn with an outline that stands out from any palette's background, dimmed when
// disabled.
class AppStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

// Puts AppStyle over the style the application runs with now.
void installAppStyle();

} // namespace burrowlight

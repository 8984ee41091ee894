#include "Burrowlight/Widgets/Style/EditorLook.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace burrowlight::editorLook {

namespace {
int symbolSize() {
    return sizes::scaled(16);
}
} // namespace

QFont monospaced(const QFont& base) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(base.pointSizeF() > 0 ? base.pointSizeF() : font.pointSizeF());
    return font;
}

void keepRoomForPath(QLineEdit& field) {
    field.setMinimumWidth(sizes::fieldWidthFor(field, QStringLiteral("~/.ssh/known_hosts")) +
                          field.fontMetrics().averageCharWidth());
}

QIcon symbol(const QString& name, const QWidget& widget, const QColor& color) {
    const QIcon icon = symbolIcon(name);
    if (icon.isNull()) {
        return icon;
    }
    const QColor tint = color.isValid() ? color : widget.palette().color(QPalette::WindowText);
    return tintedIcon(icon, tint, QSize(symbolSize(), symbolSize()));
}

QToolButton& iconButton(const QString& symbolName, const QString& title, QWidget& parent) {
    auto* button = new QToolButton(&parent); // owned by its parent
    button->setAutoRaise(true);
    button->setIcon(symbol(symbolName, parent));
    button->setToolTip(title);
    button->setAccessibleName(title);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setCursor(Qt::ArrowCursor);
    return *button;
}

QLabel& symbolLabel(const QString& symbolName, QWidget& parent, const QColor& color, const QString& title) {
    auto* label = new QLabel(&parent); // owned by its parent
    label->setPixmap(symbol(symbolName, parent, color).pixmap(symbolSize(), symbolSize()));
    if (title.isEmpty()) {
        label->setAccessibleName(QString());
        label->setFocusPolicy(Qt::NoFocus);
    } else {
        label->setToolTip(title);
        label->setAccessibleName(title);
    }
    return *label;
}

void makeCaption(QLabel& label) {
    QFont font = label.font();
    font.setPointSizeF(font.pointSizeF() * 0.88);
    label.setFont(font);
    label.setWordWrap(true);
}

void setOutlined(QWidget& field, bool outlined) {
    const bool was = field.property("outlined").toBool();
    if (was == outlined) {
        return;
    }
    field.setProperty("outlined", outlined);
    field.setStyleSheet(outlined
                            ? QStringLiteral("border: 1px solid rgba(224, 53, 43, 0.8); border-radius: 5px; "
                                             "padding: 1px 3px;")
                            : QString());
}

} // namespace burrowlight::editorLook

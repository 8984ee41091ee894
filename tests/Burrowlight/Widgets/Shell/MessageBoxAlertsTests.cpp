#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace burrowlight;

namespace {

Alert importAlert() {
    Alert alert;
    alert.style = Alert::Style::critical;
    alert.message = QStringLiteral("Import 1 tunnels from “<b>x</b>.burrowlight”?");
    alert.informativeText = QStringLiteral("• <i>db</i> (db.example.com)");
    alert.buttons = {{QStringLiteral("Import")}, {QStringLiteral("Cancel"), Alert::Button::Role::cancel}};
    return alert;
}

} // namespace

class MessageBoxAlertsTests : public QObject {
    Q_OBJECT

  private slots:
    void textsStayPlainAndButtonsKeepTheirOrder() {
        const auto made = MessageBoxAlerts::makeBox(importAlert());
        QCOMPARE(made.box->icon(), QMessageBox::Critical);
        QCOMPARE(made.box->textFormat(), Qt::PlainText);
        const auto* informative = made.box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        QVERIFY(informative);
        QCOMPARE(informative->textFormat(), Qt::PlainText);
        QCOMPARE(made.buttons.size(), size_t(2));
        QCOMPARE(made.buttons[0]->text(), QStringLiteral("Import"));
        QCOMPARE(static_cast<QAbstractButton*>(made.box->defaultButton()), made.buttons[0]);
        QCOMPARE(made.box->escapeButton(), made.buttons[1]);

        Alert broken;
        broken.message = QStringLiteral("Broken");
        const auto plain = MessageBoxAlerts::makeBox(broken);
        QCOMPARE(plain.buttons.size(), size_t(1));
    }

    // Facts to copy, under the informative text and above the buttons, plain and selectable.
    void theAccessoryTextSitsUnderTheInformativeText() {
        Alert alert = importAlert();
        alert.accessoryText = QStringLiteral("<b>Burrowlight</b> 1.0 (7)\nRead ~/.ssh/config: no");
        const auto made = MessageBoxAlerts::makeBox(alert);
        QVERIFY(made.accessory);
        QCOMPARE(made.accessory->text(), alert.accessoryText);
        QCOMPARE(made.accessory->textFormat(), Qt::PlainText);
        QVERIFY(made.accessory->textInteractionFlags() & Qt::TextSelectableByMouse);
        made.box->show();
        const auto* informative = made.box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        QVERIFY(made.accessory->isVisible());
        QVERIFY(made.accessory->geometry().top() >= informative->geometry().bottom());
        QVERIFY(made.accessory->geometry().bottom() <= made.buttons[0]->mapTo(made.box.get(), QPoint()).y());
        QVERIFY(!MessageBoxAlerts::makeBox(importAlert()).accessory);

        // Too long for one line, it breaks at a space, never inside a release such as a kernel's.
        alert.accessoryText = QStringLiteral("Debian GNU/Linux 13 (trixie) (6.18.44-fc-v1403-amd64)");
        const QStringList lines = MessageBoxAlerts::makeBox(alert).accessory->text().split(QLatin1Char('\n'));
        QCOMPARE(lines, QStringList({QStringLiteral("Debian GNU/Linux 13 (trixie)"),
                                     QStringLiteral("(6.18.44-fc-v1403-amd64)")}));
    }

    void runAnswersWithTheChosenButton() {
        MessageBoxAlerts alerts;
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            box->buttons().size() == 2 ? box->escapeButton()->click() : box->reject();
        });
        QCOMPARE(alerts.run(importAlert()), std::optional<size_t>(1));
    }
};

QTEST_MAIN(MessageBoxAlertsTests)
#include "MessageBoxAlertsTests.moc"

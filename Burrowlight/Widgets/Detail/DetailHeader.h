#pragma once

#include "Burrowlight/Models/DetailContext.h"
#include "Burrowlight/Widgets/Detail/DetailSections.h"
#include "Burrowlight/Widgets/MainWindow/StatusDot.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace burrowlight {

// The top of the detail: the editable name with Connect or Disconnect, the user, server and port
// fields, a warning for a missing server, and the live status line.
class DetailHeader : public QWidget {
    Q_OBJECT

  public:
    // `serverField`: the editor's server field, or none for a plain one.
    DetailHeader(DetailContext& context, std::unique_ptr<QWidget> serverField, QWidget* parent = nullptr);
    ~DetailHeader() override;

    QLineEdit& nameField() { return name_; }
    QLineEdit& userField() { return user_; }
    QLineEdit& portField() { return port_; }
    QPushButton& connectButton() { return connect_; }
    QLabel& hostWarning() { return hostWarningText_; }
    QLabel& statusText() { return status_; }
    // Ctrl+Return: whichever of Connect and Disconnect is shown and enabled.
    void pressConnect();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void refreshDraft();
    void refreshConnection();
    void refreshStatus();
    void refreshPrompts();

    DetailContext& context_;
    // Before what it holds, which goes first.
    QWidget nameRow_;
    QLineEdit name_;
    QPushButton connect_;
    QHBoxLayout nameLayout_{&nameRow_};
    QWidget serverRow_;
    QWidget userColumn_;
    QWidget serverColumn_;
    QWidget portColumn_;
    QLabel userCaption_;
    QLineEdit user_;
    QLabel at_;
    QLabel serverCaption_;
    QLineEdit plainServer_;
    QLabel colon_;
    QLabel portCaption_;
    QLineEdit port_;
    QVBoxLayout userColumnLayout_{&userColumn_};
    QVBoxLayout serverColumnLayout_{&serverColumn_};
    QVBoxLayout portColumnLayout_{&portColumn_};
    QHBoxLayout serverLayout_{&serverRow_};
    std::unique_ptr<QWidget> serverField_;
    QWidget hostWarning_;
    QLabel hostWarningIcon_;
    QLabel hostWarningText_;
    QHBoxLayout hostWarningLayout_{&hostWarning_};
    QWidget statusRow_;
    StatusDot dot_;
    QLabel status_;
    QHBoxLayout statusLayout_{&statusRow_};
    QTimer tick_;
    std::unique_ptr<FocusBinding> nameFocus_;
    std::unique_ptr<FocusBinding> userFocus_;
    std::unique_ptr<FocusBinding> portFocus_;
    std::unique_ptr<FocusBinding> serverFocus_;
    bool hoversName_ = false;
    QVBoxLayout layout_{this};
};

} // namespace burrowlight

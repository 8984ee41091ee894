#pragma once

#include "TunnelKit/AskPass.h"
#include "TunnelKit/Identifiers.h"
#include "TunnelKit/SecretStore.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

// The executable's second role: ssh starts it as its askpass program for one question, and it
// answers from the keyring or asks the user, prints the answer for ssh and exits.
namespace burrowlight {

// How the user left the dialog.
struct AskPassOutcome {
    struct Yes {
        bool operator==(const Yes&) const = default;
    };
    struct No {
        bool operator==(const No&) const = default;
    };
    struct Cancelled {
        bool operator==(const Cancelled&) const = default;
    };
    struct Answer {
        QString text;
        bool remember = false;
        bool operator==(const Answer&) const = default;
    };

    std::variant<Yes, No, Cancelled, Answer> value;

    static AskPassOutcome yes() { return {Yes{}}; }
    static AskPassOutcome no() { return {No{}}; }
    static AskPassOutcome cancelled() { return {Cancelled{}}; }
    static AskPassOutcome answer(QString text, bool remember) { return {Answer{std::move(text), remember}}; }

    const Answer* asAnswer() const { return std::get_if<Answer>(&value); }

    bool operator==(const AskPassOutcome&) const = default;
};

// What the dialog is asked: ssh's question, the tunnel's name as the user knows it, and whether a
// remembered secret was already given in this attempt and refused.
struct AskPassQuestion {
    tunnelkit::AskPassRequest request;
    QString tunnelName;
    bool savedWasRefused = false;
};

// The dialog's contents for one question, and what each way out of it means.
struct AskPassDialogModel {
    enum class Entry {
        none,               // buttons only
        secret,             // a masked field
        secretWithRemember, // a masked field and "Remember in keyring", ticked
    };

    tunnelkit::AskPassRequest::Kind kind = tunnelkit::AskPassRequest::Kind::text;
    QString message;
    QString informativeText;
    QString acceptTitle;
    QString rejectTitle;
    Entry entry = Entry::none;

    static AskPassDialogModel make(const AskPassQuestion& question);

    bool showsSecretField() const { return entry != Entry::none; }
    bool showsRememberBox() const { return entry == Entry::secretWithRemember; }

    // The first button, with what the field and the box held.
    AskPassOutcome accepted(const QString& text, bool rememberTicked) const;
    // The second button, Escape or closing the window: a host key is answered "no", anything else
    // is a cancel.
    AskPassOutcome refused() const;
};

// The modal dialog built from a model: the application's icon, the message, the informative text,
// the masked field and the box where the question has them, and two buttons. It stays above other
// windows. Its outcome is known once it has finished.
class AskPassDialog final : public QDialog {
  public:
    static constexpr int accessoryWidth = 300;
    static constexpr int fieldHeight = 24;
    static constexpr int rememberBoxHeight = 18;
    static constexpr int accessoryHeightWithBox = 50;

    explicit AskPassDialog(AskPassDialogModel model, QWidget* parent = nullptr);

    const AskPassDialogModel& model() const { return model_; }
    AskPassOutcome outcome() const;

    const QLabel& messageLabel() const { return message_; }
    const QLabel& informativeLabel() const { return informative_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* rejectButton() const { return reject_; }
    // Nothing where the question has no field, or nothing can be remembered.
    QLineEdit* secretField() const { return secretField_.get(); }
    QCheckBox* rememberBox() const { return rememberBox_.get(); }
    // Holds the field and the box.
    const QWidget* accessoryView() const { return accessory_.get(); }

  private:
    void buildAccessory();

    AskPassDialogModel model_;
    QLabel icon_;
    QLabel message_;
    QLabel informative_;
    QDialogButtonBox buttons_;
    std::unique_ptr<QWidget> accessory_;
    std::unique_ptr<QLineEdit> secretField_;
    std::unique_ptr<QCheckBox> rememberBox_;
    QGridLayout layout_;
    QPushButton* accept_ = nullptr; // owned by the button box
    QPushButton* reject_ = nullptr;
};

// Everything a question arrives with: ssh's prompt on the command line, the rest in the
// environment the connection gave ssh.
struct AskPassContext {
    using Lookup = std::function<std::optional<std::string>(const char* name)>;

    tunnelkit::AskPassRequest request;
    std::optional<tunnelkit::Uuid> tunnel;
    std::optional<tunnelkit::Uuid> attempt;
    std::optional<tunnelkit::AskPassLedger> ledger;
    // The display name stands in for a tunnel without one.
    QString tunnelName;

    static AskPassContext read(int argc, char** argv, const Lookup& variable);
    static std::optional<std::string> processVariable(const char* name);
};

// What goes back to ssh: a line on standard output and the exit status.
struct AskPassReply {
    std::optional<std::string> answer;
    int exitStatus = 0;
    bool operator==(const AskPassReply&) const = default;
};

class AskPassHelper {
    Q_DECLARE_TR_FUNCTIONS(AskPassHelper)

  public:
    AskPassHelper() = delete;

    // The whole helper; ends the process with status 0 after a reply, 1 after a refusal of origin
    // or a cancel.
    [[noreturn]] static void run(int argc, char** argv);

    // Nothing without a tunnel: secrets are filed per tunnel.
    static std::optional<std::string> savedSecret(std::optional<tunnelkit::Uuid> tunnel,
                                                  const tunnelkit::SecretKey& key,
                                                  const tunnelkit::SecretStore& store);
    static tunnelkit::AskPassDecision decide(const AskPassContext& context,
                                             const tunnelkit::SecretStore& store);

    static std::unique_ptr<AskPassDialog> makeAlert(const AskPassQuestion& question);
    // Runs the dialog above every other window until the user leaves it.
    static AskPassOutcome ask(const AskPassQuestion& question);

    // Remembers a typed secret when the user asked for it (a failed save is ignored), or leaves
    // the attempt's cancel marker; then says what to tell ssh.
    static AskPassReply settle(const AskPassOutcome& outcome, const AskPassContext& context,
                               const tunnelkit::SecretStore& store);

    // The lines of a host-key prompt that carry the fingerprint.
    static QString fingerprintLines(const QString& prompt);
    // The label of a remembered secret's keyring item.
    static QString secretLabel(const QString& tunnelName);
    // What is written to standard error when the helper was not started by the application.
    static std::string refusalLine();
    // Writes the text and a line break to standard output; the exit status for ssh.
    static int reply(const std::string& text);
    // ssh never gets DISPLAY; the connection hands its value on under another name.
    static void restoreDisplay();

  private:
    static int answerOneQuestion(int argc, char** argv);
};

} // namespace burrowlight

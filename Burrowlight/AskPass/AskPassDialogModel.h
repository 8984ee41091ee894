#pragma once

#include "TunnelKit/AskPass.h"

#include <QCoreApplication>
#include <QString>
#include <variant>

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
    Q_DECLARE_TR_FUNCTIONS(AskPassDialogModel)

  public:
    enum class Entry {
        none,               // buttons only
        secret,             // a masked field
        secretWithRemember, // a masked field and "Remember in keyring", ticked
    };

    tunnelkit::AskPassRequest::Kind kind = tunnelkit::AskPassRequest::Kind::text;
    QString message;
    QString informativeText;
    // ssh's own lines under the informative text, as ssh wrote them: the fingerprints of a host key.
    QString sshLines;
    QString acceptTitle;
    QString rejectTitle;
    Entry entry = Entry::none;

    static AskPassDialogModel make(const AskPassQuestion& question);

    bool showsSecretField() const { return entry != Entry::none; }
    bool showsRememberBox() const { return entry == Entry::secretWithRemember; }
    static QString rememberTitle();

    // The first button, with what the field and the box held.
    AskPassOutcome accepted(const QString& text, bool rememberTicked) const;
    // The second button, Escape or closing the window: a host key is answered "no", anything else
    // is a cancel.
    AskPassOutcome refused() const;

    // The lines of a host-key prompt that carry the fingerprint.
    static QString fingerprintLines(const QString& prompt);
};

} // namespace burrowlight

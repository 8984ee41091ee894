#pragma once

#include "Burrowlight/AskPass/AskPassDialog.h"
#include "Burrowlight/AskPass/AskPassDialogModel.h"

#include <memory>

// The executable's second role: ssh starts it as its askpass program for one question, and it
// answers from the keyring or asks the user, prints the answer for ssh and exits.
namespace burrowlight {

class AskPassHelper {
  public:
    AskPassHelper() = delete;

    // The whole helper; ends the process with status 0 after a reply, 1 after a refusal of origin
    // or a cancel.
    [[noreturn]] static void run(int argc, char** argv);

    static std::unique_ptr<AskPassDialog> makeAlert(const AskPassQuestion& question);
    // Runs the dialog above every other window until the user leaves it.
    static AskPassOutcome ask(const AskPassQuestion& question);

  private:
    static int answerOneQuestion(int argc, char** argv);
};

} // namespace burrowlight

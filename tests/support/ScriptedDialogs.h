// A stand-in for the message-box layer: questions are answered from a
// script, and every box shown is recorded (and written to standard error)
// instead of waiting for a person.
#ifndef TESTS_SUPPORT_SCRIPTED_DIALOGS_H
#define TESTS_SUPPORT_SCRIPTED_DIALOGS_H

#include <string>
#include <vector>

struct ShownDialog {
    std::string text;
    std::string caption;
    bool question;
};

// Queues the answer to the next question; with nothing queued the answer is
// No (a window rather than full screen, which suits tests).
void ScriptDialogAnswer(bool yes);
const std::vector<ShownDialog>& ShownDialogs();
void ForgetShownDialogs();

#endif

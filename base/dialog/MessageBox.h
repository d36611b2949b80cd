// Modal message boxes: the start-up failure reports and the full-screen
// question. On a desktop each is a small dialog on the X display; without a
// display the text goes to standard error (and the question is asked on the
// terminal when standard input is one). Every call returns only once the
// user has answered, so a process that ends after a failure box ends only
// after the message was read.
#ifndef BASE_MESSAGE_BOX_H
#define BASE_MESSAGE_BOX_H

// Shows text under caption with a single OK button.
void ShowMessage(const char* text, const char* caption);

// Asks a Yes/No question. Returns false only for an explicit No; Yes, a
// closed dialog or a dialog that could not be shown all count as yes.
bool AskYesNo(const char* text, const char* caption);

#endif

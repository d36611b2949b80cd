#include "tests/support/ScriptedDialogs.h"

#include <cstdio>
#include <deque>

#include "base/dialog/MessageBox.h"

static std::deque<bool> s_Answers;
static std::vector<ShownDialog> s_Shown;

void ScriptDialogAnswer(bool yes)
{
    s_Answers.push_back(yes);
}

const std::vector<ShownDialog>& ShownDialogs()
{
    return s_Shown;
}

void ForgetShownDialogs()
{
    s_Shown.clear();
}

void ShowMessage(const char* text, const char* caption)
{
    // Also on standard error, where death tests of fatal endings can see it.
    fprintf(stderr, "[dialog] %s: %s\n", caption, text);
    s_Shown.push_back(ShownDialog{text, caption, false});
}

bool AskYesNo(const char* text, const char* caption)
{
    s_Shown.push_back(ShownDialog{text, caption, true});
    bool yes = false;
    if (!s_Answers.empty()) {
        yes = s_Answers.front();
        s_Answers.pop_front();
    }
    return yes;
}

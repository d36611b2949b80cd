// The fuzzers' message boxes: nobody is there to answer, so nothing waits.
#include "app/MessageBox.h"

void ShowMessage(const char*, const char*)
{
}

bool AskYesNo(const char*, const char*)
{
    return false;
}

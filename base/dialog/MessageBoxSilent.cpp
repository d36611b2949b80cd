// The null message boxes, for programs with nobody to answer (the fuzzers
// and the benchmark): nothing is shown, nothing waits, every question is
// answered No.
#include "base/dialog/MessageBox.h"

void ShowMessage(const char*, const char*)
{
}

bool AskYesNo(const char*, const char*)
{
    return false;
}

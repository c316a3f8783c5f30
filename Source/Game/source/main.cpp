#include "shell/Go.h"

#include "window/TerminationSignals.h"

// The game reads no command line: it always starts at the main menu. Ctrl+C or kill ends it as
// closing its window does.
int main()
{
    Platform::CloseWindowsOnTerminationSignals();
    return Go("");
}

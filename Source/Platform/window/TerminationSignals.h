#pragma once

// Ending the program from outside as a user ends it: Ctrl+C in its terminal, or kill.
namespace Platform
{
    // From now on SIGINT and SIGTERM close the process's windows as their close buttons would:
    // every window gets WM_CLOSE at the next message pump (a signal that comes before the first
    // window waits for it). The handler only notes the signal. A second signal takes the default
    // action and ends the process at once, for a program that no longer pumps its messages.
    void CloseWindowsOnTerminationSignals();
}

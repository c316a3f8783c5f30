#include "shell/Go.h"

// The game reads no command line: it always starts at the main menu.
int main()
{
    return Go("");
}

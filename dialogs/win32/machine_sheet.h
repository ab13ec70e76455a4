// The machine sheet: the parameters with the initial G-code modal list, and
// the replacement strings, edited on a copy of the machine definition.
#pragma once

#include "definitions/machine_definition.h"

#include <windows.h>

// Opens the sheet at page 0 parameters or 1 replacement strings (-1 for
// the page shown last), owned by owner. On OK machine takes the edited
// values and the result is true; Cancel changes nothing.
bool ShowMachineSheet(HWND owner, MachineDefinition* machine, int page = -1);

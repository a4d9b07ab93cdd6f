// Interrupt cleanup: ztr ended from outside (Ctrl-C, SIGTERM, a closed terminal) leaves
// no temporary file of an output behind. The writer tells which temporary files exist
// (TemporaryFileNotice); on POSIX the signal handler removes them and ends the process by
// the same signal, on Windows the console's Ctrl-C or Ctrl-Break asks the running work to
// stop at its next step, which removes them as any failure does.
#pragma once

#include "output_file.h"

// Installs the handlers; once, at the start of main.
void InstallInterruptCleanup();

// The notice to hand every output file and conversion: keeps the paths of the temporary
// files that exist, prepared for the handler before it can need them.
TemporaryFileNotice InterruptCleanupNotice();

// True once an interrupt asked the work to stop (only on Windows, where the process goes
// on running after Ctrl-C until it stops by itself).
bool Interrupted();

// The exit status of a process that stopped because it was interrupted.
int InterruptedExitStatus();

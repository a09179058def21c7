// Ending the program when the desktop session asks it to (SIGTERM, SIGINT,
// SIGHUP): the event loop quits as if the window had been closed, so the
// program ends with status 0 instead of being cut off by the signal.
#pragma once

class QCoreApplication;

namespace zelvane {

// Installs the signal handlers; the application quits on the next pass of
// its event loop after a signal. A signal that was ignored when the
// program started (nohup) stays ignored. Does nothing where there are no
// such signals.
void QuitOnTerminationSignals(QCoreApplication& application);

}  // namespace zelvane

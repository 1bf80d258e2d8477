#pragma once
// Orderly close on SIGINT, SIGTERM and SIGHUP: the signal is turned into a call in the event
// loop, so the program rolls back, detaches and exits instead of dying or, worse, going on over
// an engine that the client library shut down by itself.
#include <functional>

namespace vx {

// Installs the handlers. `aoSinal` runs in the event loop with the signal number; the default is
// `PedeEncerramento`. A second signal while closing ends the process at once. Call it again after
// the first attachment: the client library puts its own handlers in front of ours then.
void InstalaEncerramentoPorSinal(std::function<void(int)> aoSinal = {});

// Ends every event loop with status 128 + `sinal` and marks the run as ending, so that a loop
// started later (the main one included) is not entered.
void PedeEncerramento(int sinal);

// Signal that asked for the close, or 0.
int SinalDeEncerramento();
// Exit status of a run closed by a signal (128 + signal), or 0.
int StatusDeEncerramento();

} // namespace vx

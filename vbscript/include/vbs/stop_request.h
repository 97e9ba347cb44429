#pragma once
// The host's stop request (Engine::RequestInterrupt) as library code sees
// it: work that can run long outside the interpreter's loops (the regular
// expression matcher, waits on files) checks it as the loops do.
namespace vbs {

// True when the host asked the script running on this thread to stop.
// False outside a script run.
bool StopRequested();

// Ends the script running on this thread with error 18 when a stop was
// requested; On Error Resume Next does not take it. Does nothing outside a
// script run.
void CheckStopRequest();

}  // namespace vbs

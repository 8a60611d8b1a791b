#pragma once

namespace quobrel {

// Lets the engine's long scans keep the window alive: from its yield hook the Qt event
// loop runs pending events, at most every few milliseconds so the scan keeps its speed.
void InstallEventPump();

}  // namespace quobrel

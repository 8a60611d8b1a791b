#pragma once

namespace quobrel {

// Runs the window's pending events, at most every few milliseconds, so that long work
// keeps the window alive without slowing down.
void PumpEvents();

// Lets the engine's long scans keep the window alive: its yield hook pumps the events.
void InstallEventPump();

}  // namespace quobrel

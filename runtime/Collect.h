// The collection hook. Objects are owned by values, unique_ptr and shared_ptr, so nothing needs
// tracing; what remains of a collector is the step the host runs after every delegate call, in
// which subsystems release resources whose release had to wait (an audio buffer still playing when
// its sample was discarded, for example).
//
//   gc_AddSweeper(&MyDevice::ReleaseDeferred);  // once, at start-up
//   gc_collect();                               // the host, after each delegate call
#pragma once

using Sweeper = void (*)();

// Registers a function that gc_collect calls; registering the same function twice keeps one.
void gc_AddSweeper(Sweeper sweeper);
void gc_RemoveSweeper(Sweeper sweeper);

// Asks for a full sweep at the next collection step (image and sound decoding do).
void gc_RequestFullSweep();

// Runs every registered sweeper; after a requested full sweep it also hands the memory the
// allocator holds free back to the system. Returns true when a full sweep had been requested.
bool gc_collect();

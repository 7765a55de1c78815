#pragma once

// Control interface of the recording stand-in for libVLC that the contract
// tests load in place of the real library. Every libVLC call it receives is
// written to a log as "name(arguments)", handles named I1, P1, M1, E1 ... in
// creation order.

extern "C" {
// The log since the last reset, one call a line.
const char* fakevlc_log();
// Clears the log and all state; handle numbering starts again at 1.
void fakevlc_reset();
// The next call of this creation function ("libvlc_new",
// "libvlc_media_player_new", "libvlc_media_player_event_manager",
// "libvlc_media_new_path") returns null.
void fakevlc_fail_next(const char* function);
// Handles created and not yet released; a release of an unknown or already
// released handle counts as -1000 so that a double release shows.
int fakevlc_live_handles();
// Calls every listener attached to the newest event manager for this type,
// from a thread of its own as libVLC does; returns how many were called.
int fakevlc_emit(int eventType);
// Hands one message (`format` with one int value) from `module` to the log
// handler the newest instance was given, from a thread of its own; 0 when
// none was given.
int fakevlc_say(int level, const char* module, const char* format, int value);
}

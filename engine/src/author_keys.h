// Keys for demo authors: moving through the timeline (arrows, Page Up and Down, Home) and
// reloading edited shaders (R). Every move goes through the scene manager's seek, so the music
// and the events follow.
#pragma once

#include <vector>

class cEventQueue;

// Time of the first event with id `in_id` in the whole queue (a mark, "quit"); -1 when none.
int mark_time(const cEventQueue* in_queue, int in_id);
// Times of the scene marks ("s00" to "s21", "s100") in the queue, ascending; empty without one.
std::vector<int> scene_mark_times(const cEventQueue* in_queue);

// A seek to the mark at `in_mark_ms` shows this demo time first: seeks land 150 ms before their
// target, and the target is 1 ms before the mark so the events at the mark still fire.
int mark_landing(int in_mark_ms);
// The mark Page Down goes to from demo time `in_t`: the first one that lands after it; -1 when
// none is left.
int next_mark(const std::vector<int>& in_marks, int in_t);
// The mark Page Up goes to: the start of the current part, or the one before when the current
// part began less than a second ago; the first mark when none lies before; -1 without marks.
int previous_mark(const std::vector<int>& in_marks, int in_t);
// Seek target that moves demo time `in_t` by `in_delta_ms` exactly, kept between the start and
// 1 ms before the quit mark (`in_quit_ms`, -1 when there is none) so the demo can still end.
int shifted_target(int in_t, int in_delta_ms, int in_quit_ms);

// Performs the author action of a key (a lower-cased key code as in g_keys); false when the key
// is not one of them.
bool handle_author_key(int in_key);

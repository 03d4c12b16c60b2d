// Reads the marker script: one "<token> <h>:<m>:<s>,<ms>" line per event.
#pragma once

#include <string>
#include <string_view>

class cEvent;
class cEventQueue;

class cEventQueue_factory
{
public:
    // A sorted, rewound queue from the marker file; null (with a message) when it cannot be
    // read. The caller owns the queue.
    static cEventQueue* loadFile(const std::string& file_name);
    // The same from marker-script text in memory; never null.
    static cEventQueue* load_from_text(std::string_view text);

    // Id of a marker token, or -1 (with a warning for tokens that are neither known, comments
    // nor numbers). A token starting with a digit gives 24.
    static int eventtoken_parse(const std::string& token);
    // The marker token of an id ("beat", "s05", "s100", "quit"); "" for ids no token gives.
    static std::string token_name(int id);
    // One line into an event; an invalid event (id -1) when the line holds none.
    static cEvent read_event(std::string_view line);
    // "h:m:s,ms" into milliseconds; false (and `ms` untouched) unless the field is exactly
    // four decimal numbers whose total is at most 24 hours.
    static bool read_time(std::string_view field, int& ms);
};

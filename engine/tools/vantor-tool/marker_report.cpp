// The "markers" verb: every event of a marker script as the demo's reader makes it, in the
// order the demo fires them, and the warnings the reader printed about the lines it skipped.
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "arguments.h"
#include "event_queue.h"
#include "event_queue_factory.h"
#include "format.h"
#include "input_files.h"
#include "stream_redirect.h"
#include "verbs.h"

namespace vantor_tool {

const char* const MARKERS_USAGE =
    "usage: vantor-tool markers FILE\n"
    "  The marker script as the demo reads it: every event as its time (HH:MM:SS,mmm), token\n"
    "  and id, in time order; then the warnings the reader printed for lines it skipped.\n"
    "  Lines look like \"beat 00:01:02,345\"; \"s00\" starts the demo, \"quit\" ends it.\n";

namespace {

void print_events(const cEventQueue& queue)
{
    std::cout << "time          token      id\n";
    for (const cEvent* ev : queue.events()) {
        std::string token = cEventQueue_factory::token_name(ev->m_id);
        if (token.empty())
            token = "?";
        token.resize(std::max<std::size_t>(token.size(), 9), ' ');
        std::cout << format_time(ev->m_time) << "  " << token << "  " << ev->m_id << "\n";
    }
}

bool has_event(const cEventQueue& queue, int id)
{
    for (const cEvent* ev : queue.events()) {
        if (ev->m_id == id)
            return true;
    }
    return false;
}

} // namespace

int run_markers(const tArgs& args)
{
    const cArguments a(args, {}, {});
    if (a.help()) {
        std::cout << MARKERS_USAGE;
        return STATUS_OK;
    }
    if (!a.ok())
        return usage_error("markers", a.error(), MARKERS_USAGE);
    if (a.files().size() != 1)
        return usage_error("markers", "one marker script expected", MARKERS_USAGE);

    const std::string path = resolve_input(a.files()[0]);
    std::unique_ptr<cEventQueue> queue;
    std::string warnings;
    {
        cStreamRedirect collect(std::cerr);
        queue.reset(cEventQueue_factory::loadFile(path));
        warnings = collect.text();
    }
    if (!queue)
        return STATUS_FAILED; // the reader has said why

    std::cout << "file: " << path << "\n";
    print_events(*queue);
    std::cout << queue->size() << (queue->size() == 1 ? " event\n" : " events\n");
    if (!has_event(*queue, EV_QUIT))
        std::cout << "# note: no \"quit\" mark: the demo runs until it is closed\n";
    std::cout << "\nwarnings:" << (warnings.empty() ? " none\n" : "\n") << warnings;

    // The demo starts at "s00" and ends on its first frame when there is none.
    if (!has_event(*queue, EV_SCENE_FIRST)) {
        std::cout.flush();
        std::cerr << "## ERROR: no \"s00\" mark in " << path
                  << ": the demo would stop on its first frame" << std::endl;
        return STATUS_FAILED;
    }
    return STATUS_OK;
}

} // namespace vantor_tool

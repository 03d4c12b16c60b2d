// The marker-script reader: tokens, times and the queue built from them.
#include "event_queue_factory.h"

#include <cctype>
#include <cstdint>
#include <iostream>
#include <memory>

#include "event_queue.h"
#include "file_read.h"

namespace {

constexpr std::size_t MAX_LINE = 511; // characters of one line, its line feed not counted
// A real script is a few kilobytes; anything past this is not one.
constexpr std::size_t MAX_SCRIPT_BYTES = 16u << 20;
// Marks lie within a day; later times would overflow the clock's arithmetic.
constexpr std::int64_t MAX_TIME_MS = 24 * 3600000;

// Marker names in the order they are matched; their ids follow from EV_BEAT on.
constexpr const char* NAMED_TOKENS[] = {"beat",   "snare",    "rumble",    "fadein", "bwab1",
                                        "bwab2",  "technofx", "technofx2", "melody", "lead",
                                        "hihatc", "hihato",   "sinus_in"};

bool is_separator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// The next field of `line` from `pos` on, or an empty view when there is none.
std::string_view next_field(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && is_separator(line[pos]))
        ++pos;
    const std::size_t begin = pos;
    while (pos < line.size() && !is_separator(line[pos]))
        ++pos;
    return line.substr(begin, pos - begin);
}

// A non-empty run of at most nine decimal digits.
bool parse_number(std::string_view text, std::int64_t& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char c : text) {
        if (!is_digit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

int cEventQueue_factory::eventtoken_parse(const std::string& token)
{
    int id = EV_BEAT;
    for (const char* name : NAMED_TOKENS) {
        if (token == name)
            return id;
        ++id;
    }
    if (!token.empty() && is_digit(token[0]))
        return EV_DIGIT;
    if (token.size() == 3 && token[0] == 's' && is_digit(token[1]) && is_digit(token[2])) {
        const int scene = (token[1] - '0') * 10 + (token[2] - '0');
        if (scene <= EV_SCENE_LAST)
            return EV_SCENE_FIRST + scene;
    }
    if (token == "s100")
        return EV_SCENE_100;
    if (token == "quit")
        return EV_QUIT;
    if (!token.empty() && token[0] == '#')
        return -1;
    std::cerr << "# warning, unknown token " << token << " in "
              << "cEventQueue_factory::eventtoken_parse" << std::endl;
    return -1;
}

std::string cEventQueue_factory::token_name(int id)
{
    constexpr int named = int(sizeof(NAMED_TOKENS) / sizeof(NAMED_TOKENS[0]));
    if (id >= EV_BEAT && id < EV_BEAT + named)
        return NAMED_TOKENS[id - EV_BEAT];
    if (id >= EV_SCENE_FIRST && id <= EV_SCENE_LAST) {
        const int scene = id - EV_SCENE_FIRST;
        return std::string("s") + char('0' + scene / 10) + char('0' + scene % 10);
    }
    if (id == EV_SCENE_100)
        return "s100";
    if (id == EV_QUIT)
        return "quit";
    return "";
}

bool cEventQueue_factory::read_time(std::string_view field, int& ms)
{
    static constexpr std::int64_t scale[4] = {3600000, 60000, 1000, 1};
    std::int64_t total = 0;
    std::size_t begin = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t end = begin;
        while (end < field.size() && field[end] != ':' && field[end] != ',')
            ++end;
        const bool last = part == 3;
        if (last != (end == field.size()))
            return false; // fewer or more than four numbers
        std::int64_t value = 0;
        if (!parse_number(field.substr(begin, end - begin), value))
            return false;
        total += value * scale[part];
        begin = end + 1;
    }
    if (total > MAX_TIME_MS)
        return false;
    ms = static_cast<int>(total);
    return true;
}

cEvent cEventQueue_factory::read_event(std::string_view line)
{
    std::size_t pos = 0;
    const std::string_view token = next_field(line, pos);
    if (token.empty())
        return cEvent();
    const int id = eventtoken_parse(std::string(token));
    if (id == -1 || id == EV_DIGIT)
        return cEvent();
    const std::string_view field = next_field(line, pos);
    int ms = 0;
    if (!read_time(field, ms)) {
        std::cerr << "# warning, invalid time \"" << field << "\" after token " << token
                  << " in cEventQueue_factory::read_event" << std::endl;
        return cEvent();
    }
    return cEvent(id, ms);
}

cEventQueue* cEventQueue_factory::load_from_text(std::string_view text)
{
    auto queue = std::make_unique<cEventQueue>();
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3); // an editor's byte-order mark is not part of the first token
    int line_number = 0;
    while (!text.empty()) {
        ++line_number;
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        // An over-long line is dropped on its own; the marks after it still count.
        if (line.size() > MAX_LINE) {
            std::cerr << "# warning, line " << line_number << " longer than " << MAX_LINE
                      << " characters skipped in cEventQueue_factory::loadFile" << std::endl;
            continue;
        }
        const cEvent ev = read_event(line);
        if (ev.is_valid())
            queue->add_event(new cEvent(ev));
    }
    queue->sort();
    queue->rewind();
    return queue.release();
}

cEventQueue* cEventQueue_factory::loadFile(const std::string& file_name)
{
    std::string text;
    if (const char* refused = vnt::read_regular_file(file_name, MAX_SCRIPT_BYTES, text)) {
        if (std::string(refused) == "not a regular file" || std::string(refused) == "too large")
            std::cerr << "# warning, " << file_name << " refused: " << refused << " (at most "
                      << MAX_SCRIPT_BYTES << " bytes)" << std::endl;
        std::cout << "Error reading file \"" << file_name << " in cEventQueue_factory::loadFile"
                  << std::endl;
        return nullptr;
    }
    return load_from_text(text);
}

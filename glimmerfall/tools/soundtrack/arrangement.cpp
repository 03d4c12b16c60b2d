// The composition (see arrangement.h). A plan table says which parts play in each section;
// the part writers below turn it into notes bar by bar, following one harmony.
#include "arrangement.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace soundtrack {

namespace {

// ---- the plan ----------------------------------------------------------------------------

enum eHarmony
{
    PHRYGIAN, // E minor pedal, F major in the last two bars of each eight
    MINOR,    // E harmonic minor: Em Em C C Am Am B B
};

// A number per part: 0 silent, otherwise the variant the part writer plays.
struct sPlan
{
    int first_bar;
    int bars;
    const char* name;
    const char* comment;
    eHarmony harmony;
    int kick, bass, clap, hats, ride, shaker, toms, acid, arp, pad, stab, lead, zap, bell, drone;
};

// clang-format off
const sPlan kPlan[] = {
//   bar  n  name            comment
//                                harmony   kick bass clap hats ride shak toms acid arp pad stab lead zap bell drone
    {0,   7, "intro",        "pads swell in under bells and a closed arpeggio, a riser leads to the first kick",
                                  PHRYGIAN, 0,   0,   0,   0,   0,   0,   0,   0,   1,  1,  0,   0,   0,  1,   1},
    {7,   5, "title",        "kick and rolling bass, the bass filter opens",
                                  PHRYGIAN, 1,   1,   0,   0,   0,   1,   0,   0,   0,  2,  0,   0,   0,  0,   0},
    {12,  6, "groove",       "clap and hats join, first zaps",
                                  PHRYGIAN, 1,   1,   1,   1,   0,   1,   0,   0,   0,  0,  0,   0,   1,  0,   0},
    {18,  8, "acid",         "the acid line creeps in with a closed filter, ride from bar 22",
                                  PHRYGIAN, 1,   1,   1,   1,   1,   0,   0,   1,   0,  0,  0,   0,   0,  0,   0},
    {26, 14, "main",         "full groove: screaming acid, chord stabs, arpeggio",
                                  PHRYGIAN, 1,   1,   1,   1,   1,   0,   0,   2,   1,  3,  1,   0,   1,  0,   0},
    {40, 12, "arpeggio",     "the arpeggio leads, toms roll underneath, the acid squelches low",
                                  PHRYGIAN, 1,   1,   1,   1,   0,   1,   1,   3,   2,  3,  0,   0,   1,  0,   0},
    {52,  4, "wind down",    "hats open up, the bass filter closes, pads swell",
                                  PHRYGIAN, 3,   2,   0,   2,   0,   0,   0,   0,   1,  4,  0,   0,   0,  0,   1},
    {56,  8, "breakdown",    "no drums: big pads, drone, bells and the melody",
                                  MINOR,    0,   0,   0,   0,   0,   0,   0,   0,   1,  5,  0,   1,   0,  1,   1},
    {64,  6, "build",        "snare roll and riser, the acid line alone with its filter rising",
                                  MINOR,    0,   3,   0,   0,   0,   0,   0,   4,   1,  5,  0,   1,   0,  0,   0},
    {70,  6, "drop",         "everything at once after an impact, the acid wide open over the arpeggio",
                                  PHRYGIAN, 1,   1,   1,   1,   1,   0,   0,   2,   2,  3,  1,   0,   1,  0,   0},
    {76,  8, "acid and stabs", "acid and stabs answer each other over the arpeggio",
                                  PHRYGIAN, 1,   1,   1,   1,   1,   0,   0,   5,   2,  3,  1,   0,   1,  0,   0},
    {84,  7, "tribal",       "stripped down: toms, shaker and the bare rolling bass",
                                  PHRYGIAN, 1,   1,   1,   1,   0,   1,   1,   0,   0,  0,  0,   0,   1,  0,   0},
    {91,  7, "final build",  "the arpeggio climbs, a long snare roll, the kick stops two bars early",
                                  PHRYGIAN, 2,   4,   1,   1,   0,   1,   0,   0,   4,  0,  0,   0,   0,  0,   0},
    {98, 14, "climax",       "the melody over the full groove, the bass follows the chords",
                                  MINOR,    1,   5,   1,   1,   1,   0,   0,   6,   2,  3,  1,   1,   1,  0,   0},
    {112, 5, "outro",        "the groove stops on an impact, the last chord and the acid echo fade",
                                  MINOR,    0,   0,   0,   0,   0,   0,   0,   7,   0,  6,  0,   0,   0,  1,   1},
};
// clang-format on

constexpr int kSongBars = 117; // the music ends here (234 s); the MIDI file one bar later
constexpr int kEndBar = 118;

// Bars whose last beat is a snare fill instead of kick, bass and hats.
const int kFillBars[] = {11, 17, 25, 39, 51, 75, 83, 111};

// Scene marks s01..s21: section starts, and the turns inside long sections (with a note).
struct sMark
{
    int bar;
    const char* comment;
};
const sMark kSceneMarks[] = {
    {7, ""},
    {12, ""},
    {18, ""},
    {26, ""},
    {34, "second phrase of the main groove"},
    {40, ""},
    {48, "second phrase of the arpeggio part"},
    {52, ""},
    {56, ""},
    {64, ""},
    {70, ""},
    {76, ""},
    {82, "a riser and a fill lead into the tribal part"},
    {84, ""},
    {91, ""},
    {94, "the snare roll starts, two bars later the kick stops"},
    {98, ""},
    {106, "second time through the melody"},
    {112, ""},
    {115, "only the last chord, drone and bells remain"},
    {117, "the music has faded"},
};

const int kCrashBars[] = {7, 12, 18, 26, 40, 52, 56, 70, 76, 84, 98, 106, 112};
const int kImpactBars[] = {26, 56, 70, 98, 112};
// Where a picture comes in between bar lines (25, 37 and 151 s; 45.5 and 166.5 s), a crash or
// a zap marks it (the mandala at 105 s follows the wind-down's own crash by a second).
const double kOffGridCrashes[] = {12.5, 18.5, 75.5};
const double kOffGridZaps[] = {22.75, 83.25};
const int kDownsweepBars[] = {18, 40, 52, 56, 70, 84, 98};
struct sSpan
{
    int from, to; // bars
};
const sSpan kRisers[] = {{3, 7}, {24, 26}, {37, 40}, {66, 70}, {82, 84}, {93, 98}};
const int kBuildCueBars[] = {3, 24, 37, 64, 82, 91};
const int kBreakdownCueBars[] = {52, 56, 112};

// Other marker tokens where the music has them.
struct sToken
{
    double bar;
    const char* token;
};
const sToken kTokens[] = {
    {0, "fadein"},          {3, "sinus_in"},    {7, "beat"},          {12.25, "snare"},
    {12.0625, "hihatc"},    {12.125, "hihato"}, {15.875, "technofx"}, {18, "lead"},
    {26.1875, "technofx2"}, {52, "bwab1"},      {56, "melody"},       {66.125, "bwab2"},
    {70, "beat"},           {84, "rumble"},     {98, "beat"},
};

// ---- harmony -----------------------------------------------------------------------------

struct sChord
{
    int root = 0; // semitones above E
    bool minor = true;

    bool operator==(const sChord& o) const { return root == o.root && minor == o.minor; }
    bool operator!=(const sChord& o) const { return !(*this == o); }
    // The chord's pitch classes (semitones above E), root first.
    std::vector<int> tones() const
    {
        return {root, (root + (minor ? 3 : 4)) % 12, (root + 7) % 12};
    }
};

// The note of pitch class `pc` (semitones above E) near the E `base`: up to B above it, C and
// D just below, so a part follows the chords without leaving its register.
int place_in_register(int base, int pc)
{
    return base + (pc > 7 ? pc - 12 : pc);
}

// All notes of `chord` within [low, high], ascending.
std::vector<int> chord_notes(const sChord& chord, int low, int high)
{
    std::vector<int> notes;
    for (int n = low; n <= high; ++n) {
        const int pc = ((n - 40) % 12 + 12) % 12; // 40 is E2
        for (int t : chord.tones())
            if (t == pc)
                notes.push_back(n);
    }
    return notes;
}

// ---- acid patterns -----------------------------------------------------------------------

struct sStep
{
    bool rest = true;
    int offset = 0; // semitones above the line's root
    bool accent = false;
    bool slide = false;
};

// Sixteen steps: "-" a rest, else semitones with 'a' (accent) and 's' (slide to the next).
std::vector<sStep> parse_pattern(const char* text)
{
    std::vector<sStep> steps;
    std::istringstream in(text);
    for (std::string tok; in >> tok;) {
        sStep s;
        if (tok != "-") {
            s.rest = false;
            std::size_t used = 0;
            s.offset = std::stoi(tok, &used);
            for (char c : tok.substr(used)) {
                s.accent |= c == 'a';
                s.slide |= c == 's';
            }
        }
        steps.push_back(s);
    }
    assert(steps.size() == 16 && "an acid pattern has sixteen steps");
    return steps;
}

// clang-format off
const char* const kAcidMain      = "0a 0 12s 0   1 0a - 3    0 12as 10 0   8s 7 0a 1";
const char* const kAcidMainTurn  = "0a 0 12s 0   1 0a - 3    0 12as 15 12  10s 8 7s 1";
const char* const kAcidLow       = "0a - 0 0s    12 0 0a -   0 0s 3 0      -5a 0 1s 0";
const char* const kAcidAnswer    = "0 12a 0 7    0 12as 10 0 - 0a 1s 0     3 0 12a 7";
const char* const kAcidPower     = "0a 0 12 0    7s 0 0a 12  - 0 12as 7    0 -5 0a 12";
const char* const kAcidTeaser    = "0a - 12s 7   0 - 12a -   0 7s 12 -     0a - 7 12";
// clang-format on

// ---- the melody --------------------------------------------------------------------------

struct sMelodyNote
{
    int note;  // MIDI
    int steps; // duration in sixteenths
    bool slide;
};

// Eight bars over Em Em C C Am Am B B.
const sMelodyNote kMelody[] = {
    {76, 4, false}, {71, 2, false}, {76, 2, false}, {79, 4, false}, {78, 2, true},  {79, 2, false},
    {81, 4, false}, {79, 2, false}, {78, 2, false}, {76, 4, false}, {71, 4, false}, {72, 4, false},
    {76, 2, false}, {79, 2, false}, {84, 6, true},  {83, 2, false}, {79, 4, false}, {76, 2, false},
    {79, 2, false}, {76, 8, false}, {69, 4, false}, {72, 2, false}, {76, 2, false}, {81, 4, false},
    {79, 2, true},  {78, 2, false}, {76, 4, false}, {72, 2, false}, {76, 2, false}, {81, 8, false},
    {71, 4, false}, {75, 2, false}, {78, 2, false}, {83, 6, true},  {81, 2, false}, {79, 4, false},
    {78, 4, false}, {75, 4, false}, {71, 4, false},
};

// ---- the composer ------------------------------------------------------------------------

uint32_t step_tick(int bar, int step)
{
    return uint32_t(bar * kTicksPerBar + step * kTicksPerStep);
}

// The hats, shaker and percussion lean back: every second sixteenth comes 12 ticks late.
constexpr uint32_t kSwingTicks = 12;
uint32_t swung_tick(int bar, int step)
{
    return step_tick(bar, step) + (step % 2 == 1 ? kSwingTicks : 0);
}

// A small deterministic push or pull in [-range, range] for a velocity: a drummer never hits
// twice alike.
int humanize(int bar, int step, int salt, int range)
{
    uint32_t h = uint32_t(bar * 97 + step * 13 + salt * 7919) * 2654435761u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return int(h % uint32_t(2 * range + 1)) - range;
}

class cComposer
{
public:
    explicit cComposer(sSong& song) : m_song(song) {}

    void compose()
    {
        make_tracks();
        cues();
        drums();
        effects();
        bass();
        acid();
        arp();
        pads();
        stabs();
        lead();
        bells();
        drone();
        sections_and_markers();
        m_song.end_tick = uint32_t(kEndBar * kTicksPerBar);
        m_song.tail_seconds = 2.0;
        m_song.finish();
    }

private:
    // ---- helpers -----------------------------------------------------------------------

    void make_tracks()
    {
        static const char* const names[TRACK_COUNT] = {
            "Glimmerfall", "cues",  "kick",      "bass",   "clap", "snare roll", "ride",  "shaker",
            "toms",        "crash", "hats",      "impact", "pad",  "acid",       "drone", "riser",
            "downsweep",   "zap",   "lead stab", "lead",   "bell", "arp"};
        m_song.title = "Glimmerfall";
        m_song.tracks.resize(TRACK_COUNT);
        for (int i = 0; i < TRACK_COUNT; ++i)
            m_song.tracks[i].name = names[i];
    }

    void note(int track, uint32_t tick, uint32_t length, int note, int velocity)
    {
        m_song.tracks[track].notes.push_back(
            {tick, length, std::clamp(note, 0, 127), std::clamp(velocity, 1, 127)});
    }

    void ctrl(int track, uint32_t tick, int controller, int value)
    {
        m_song.tracks[track].ctrls.push_back({tick, controller, std::clamp(value, 0, 127)});
    }

    // A straight sweep of a controller from `v0` at bar `b0` to `v1` at bar `b1`, one change
    // per sixteenth where the value moves.
    void ramp(int track, int controller, double b0, double b1, int v0, int v1)
    {
        const uint32_t t0 = tick_of_bar(b0), t1 = tick_of_bar(b1);
        int last = -1;
        for (uint32_t t = t0; t <= t1; t += kTicksPerStep) {
            const double x = t1 > t0 ? double(t - t0) / double(t1 - t0) : 1.0;
            const int v = int(std::lround(v0 + (v1 - v0) * x));
            if (v != last)
                ctrl(track, t, controller, v);
            last = v;
        }
    }

    // Up and down between `lo` and `hi`, one cycle every `period` bars, from `b0` to `b1`.
    void triangle(int track, int controller, int b0, int b1, int lo, int hi, int period)
    {
        for (int b = b0; b < b1; b += period) {
            const int half_end = std::min(b1, b + period / 2);
            ramp(track, controller, b, half_end, lo, hi);
            if (half_end < b1)
                ramp(track, controller, half_end, std::min(b1, b + period), hi, lo);
        }
    }

    static const sPlan& plan_at(int bar)
    {
        for (const sPlan& p : kPlan)
            if (bar >= p.first_bar && bar < p.first_bar + p.bars)
                return p;
        return kPlan[std::size(kPlan) - 1];
    }

    static sChord chord_at(int bar)
    {
        const sPlan& p = plan_at(bar);
        const int pos = (bar - p.first_bar) % 8;
        if (p.harmony == MINOR) {
            if (bar >= kPlan[std::size(kPlan) - 1].first_bar || bar == 111)
                return {0, true}; // the outro and the fill into it stay on Em
            static const sChord cycle[4] = {{0, true}, {8, false}, {5, true}, {7, false}};
            return cycle[pos / 2];
        }
        return pos >= 6 ? sChord{1, false} : sChord{0, true};
    }

    static bool is_fill_bar(int bar)
    {
        return std::find(std::begin(kFillBars), std::end(kFillBars), bar) != std::end(kFillBars);
    }

    // `n` fitted to the Phrygian key where a pattern moved onto another chord (F major) would
    // leave it: to the neighbouring tone of the chord, else the one below (F sharp to F, G
    // sharp to A, C sharp to C, D sharp to D).
    static int in_key(int bar, int n)
    {
        if (plan_at(bar).harmony != PHRYGIAN)
            return n;
        static const bool scale[12] = {1, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0}; // from E
        const int pc = ((n - 40) % 12 + 12) % 12;
        if (scale[pc])
            return n;
        const std::vector<int> tones = chord_at(bar).tones();
        const bool up_is_chord =
            std::find(tones.begin(), tones.end(), (pc + 1) % 12) != tones.end();
        const bool down_is_chord =
            std::find(tones.begin(), tones.end(), (pc + 11) % 12) != tones.end();
        return up_is_chord && !down_is_chord ? n + 1 : n - 1;
    }

    // Beats of `bar` the groove plays: the last beat of a fill bar belongs to the fill.
    static int groove_beats(int bar) { return is_fill_bar(bar) ? 3 : 4; }

    // ---- structure ---------------------------------------------------------------------

    void cues()
    {
        for (const sPlan& p : kPlan) {
            // A phrase starts with each section and every eight bars inside it while at
            // least four bars remain.
            for (int b = p.first_bar; b < p.first_bar + p.bars; b += 8)
                if (b == p.first_bar || p.first_bar + p.bars - b >= 4)
                    note(TRACK_CUES, step_tick(b, 0), kTicksPerBeat, CUE_PHRASE, 100);
        }
        for (int b : kImpactBars)
            note(TRACK_CUES, step_tick(b, 0), kTicksPerBeat, CUE_IMPACT, 110);
        for (int b : kBuildCueBars)
            note(TRACK_CUES, step_tick(b, 0), kTicksPerBeat, CUE_BUILD, 90);
        for (int b : kBreakdownCueBars)
            note(TRACK_CUES, step_tick(b, 0), kTicksPerBeat, CUE_BREAKDOWN, 90);
    }

    void sections_and_markers()
    {
        for (const sPlan& p : kPlan)
            m_song.sections.push_back({p.first_bar, p.bars, p.name, p.comment});
        m_song.markers.push_back({0, "s00", -1, ""});
        int index = 1;
        for (const sMark& m : kSceneMarks) {
            char token[8];
            std::snprintf(token, sizeof token, "s%02d", index++);
            m_song.markers.push_back({step_tick(m.bar, 0), token, -1, m.comment});
        }
        for (const sToken& t : kTokens)
            m_song.markers.push_back({tick_of_bar(t.bar), t.token, -1, ""});
        m_song.markers.push_back({uint32_t(kEndBar * kTicksPerBar), "quit", kQuitMs,
                                  "the last picture has faded: leave the demo"});
    }

    // ---- drums -------------------------------------------------------------------------

    void drums()
    {
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            kick(bar, p);
            // In the last two bars of the final build only the roll, riser and arpeggio go on.
            if (p.kick == 2 && bar >= 96)
                continue;
            if (p.clap)
                clap(bar, p);
            if (p.hats)
                hats(bar, p);
            if (p.ride && bar >= 22)
                ride(bar);
            if (p.shaker)
                for (int s = 0; s < groove_beats(bar) * 4; ++s)
                    note(TRACK_SHAKER, swung_tick(bar, s), 60, 70,
                         55 + (s % 4 == 2 ? 40 : 0) + (s % 2) * 15 + humanize(bar, s, 3, 8));
            if (p.toms)
                toms(bar);
        }
        fills();
        rolls();
        for (int b : kCrashBars)
            note(TRACK_CRASH, step_tick(b, 0), kTicksPerBeat, 49, 110);
        for (double b : kOffGridCrashes)
            note(TRACK_CRASH, tick_of_bar(b), kTicksPerBeat, 49, 92);
    }

    void kick(int bar, const sPlan& p)
    {
        int beats = 0;
        switch (p.kick) {
        case 1:
            beats = groove_beats(bar);
            break;
        case 2: // the final build stops two bars before the climax
            beats = bar < 96 ? 4 : 0;
            break;
        case 3: // the wind-down stops half way through its last bar
            beats = bar < 55 ? 4 : 2;
            break;
        default:
            break;
        }
        // Beat one leans in, the off-beats sit back a little.
        static const int accent[4] = {124, 118, 121, 116};
        for (int b = 0; b < beats; ++b)
            note(TRACK_KICK, step_tick(bar, b * 4), kTicksPerStep, 36,
                 accent[b] + humanize(bar, b, 1, 2));
    }

    void clap(int bar, const sPlan& p)
    {
        const int pos = bar - p.first_bar;
        note(TRACK_CLAP, step_tick(bar, 4), kTicksPerStep, 39, 110 + humanize(bar, 4, 2, 4));
        if (!is_fill_bar(bar))
            note(TRACK_CLAP, step_tick(bar, 12), kTicksPerStep, 39, 116 + humanize(bar, 12, 2, 4));
        if (p.toms && bar % 2 == 1 && !is_fill_bar(bar))
            note(TRACK_CLAP, swung_tick(bar, 15), kTicksPerStep, 39, 64); // a ghost clap
        else if (pos % 8 == 7 && !is_fill_bar(bar))
            note(TRACK_CLAP, swung_tick(bar, 11), kTicksPerStep, 39, 58); // a pickup at the turn
        else if (pos % 4 == 3)
            note(TRACK_CLAP, swung_tick(bar, 7), kTicksPerStep, 39, 52);
    }

    // Variant 1, the groove: sixteenths (double time at this tempo) around the open hat on
    // every off-beat, accented on the eighths; the fourth bar of four opens a second hat and
    // the eighth bar of a phrase rolls into the next. Variant 2: the open hats alone.
    void hats(int bar, const sPlan& p)
    {
        const int pos = bar - p.first_bar;
        for (int s = 0; s < groove_beats(bar) * 4; ++s) {
            const int feel = humanize(bar, s, 4, 6);
            if (s % 4 == 2) {
                note(TRACK_HATS, step_tick(bar, s), kTicksPerStep, 46, 100 + feel);
            } else if (p.hats == 1) {
                if (pos % 4 == 3 && s == 15) {
                    note(TRACK_HATS, swung_tick(bar, s), kTicksPerStep, 46, 84 + feel);
                    continue;
                }
                static const int level[4] = {58, 72, 0, 86};
                note(TRACK_HATS, swung_tick(bar, s), kTicksPerStep / 2, 42, level[s % 4] + feel);
                if (pos % 8 == 7 && s >= 12) // thirty-seconds into the next phrase
                    note(TRACK_HATS, swung_tick(bar, s) + kTicksPerStep / 2, kTicksPerStep / 2, 42,
                         50 + (s - 12) * 8 + feel);
            }
        }
    }

    void ride(int bar)
    {
        for (int s = 0; s < groove_beats(bar) * 4; s += 2)
            note(TRACK_RIDE, step_tick(bar, s), kTicksPerStep, 51,
                 (s % 4 == 2 ? 92 : 58) + humanize(bar, s, 5, 8));
    }

    void toms(int bar)
    {
        struct sHit
        {
            int step, note;
        };
        static const sHit a[] = {{3, 45}, {6, 47}, {10, 45}, {11, 50}};
        static const sHit b[] = {{2, 47}, {7, 45}, {13, 50}, {14, 47}, {15, 45}};
        if (bar % 2 == 0) {
            for (const sHit& h : a)
                note(TRACK_TOMS, step_tick(bar, h.step), kTicksPerStep, h.note, 100);
        } else {
            for (const sHit& h : b)
                if (h.step < groove_beats(bar) * 4)
                    note(TRACK_TOMS, step_tick(bar, h.step), kTicksPerStep, h.note, 95);
        }
    }

    void fills()
    {
        for (int bar : kFillBars)
            for (int s = 12; s < 16; ++s)
                note(TRACK_SNARE_ROLL, step_tick(bar, s), kTicksPerStep / 2, 38 + (s - 12),
                     70 + (s - 12) * 15);
    }

    // A snare roll from bar `b0` to `b1` that gets denser and rises in pitch, silent for the
    // last `gap_beats` beats before `b1`.
    void roll(int b0, int b1, int gap_beats)
    {
        const uint32_t t0 = step_tick(b0, 0);
        const uint32_t t_end = step_tick(b1, 0) - uint32_t(gap_beats * kTicksPerBeat);
        const double length = double(t_end - t0);
        for (uint32_t t = t0; t < t_end;) {
            const double x = double(t - t0) / length;
            note(TRACK_SNARE_ROLL, t, 50, 38 + int(x * 12.0), 45 + int(x * 80.0));
            // Eighths, then sixteenths, then thirty-seconds.
            t += x < 0.5 ? kTicksPerStep * 2 : (x < 0.75 ? kTicksPerStep : kTicksPerStep / 2);
        }
    }

    void rolls()
    {
        roll(64, 70, 2);
        roll(94, 98, 1);
    }

    void effects()
    {
        for (int b : kImpactBars)
            note(TRACK_IMPACT, step_tick(b, 0), 2 * kTicksPerBar, 36, 120);
        for (double b : kOffGridZaps)
            note(TRACK_ZAP, tick_of_bar(b), kTicksPerBeat, 84, 100);
        for (int b : kDownsweepBars)
            note(TRACK_DOWNSWEEP, step_tick(b, 0), 2 * kTicksPerBar, 60, 100);
        for (const sSpan& r : kRisers) {
            // The riser into the drop stops two beats early, with the roll.
            const uint32_t end = step_tick(r.to, 0) - (r.to == 70 ? 2 * kTicksPerBeat : 0);
            note(TRACK_RISER, step_tick(r.from, 0), end - step_tick(r.from, 0), 48,
                 r.from < 7 ? 85 : 110);
        }
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            if (!p.zap)
                continue;
            const int pos = bar - p.first_bar;
            if (pos % 4 == 3 && !is_fill_bar(bar))
                note(TRACK_ZAP, step_tick(bar, 14), kTicksPerBeat, 88, 100);
            if (pos % 8 == 5)
                note(TRACK_ZAP, step_tick(bar, 6), kTicksPerBeat, 81, 85);
        }
    }

    // ---- bass --------------------------------------------------------------------------

    void bass()
    {
        // The sixteenths after each kick: root, root, root with an octave now and then.
        static const int rolling[16] = {-1, 0, 0, 0, -1, 0, 0, 12, -1, 0, 0, 0, -1, 0, 12, 0};
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            if (!p.bass)
                continue;
            const int root = place_in_register(28, chord_at(bar).root);
            int steps = groove_beats(bar) * 4;
            if (p.bass == 2 && bar == 55)
                steps = 8;
            if (p.bass == 4 && bar >= 96)
                steps = 0;
            if (p.bass == 3) {
                // The build: off-beat eighths from its third bar, gone for the last two beats.
                if (bar < 66)
                    continue;
                steps = bar == 69 ? 8 : 16;
                for (int s = 2; s < steps; s += 4)
                    note(TRACK_BASS, step_tick(bar, s), kTicksPerStep * 3 / 2, root, 90);
                continue;
            }
            for (int s = 0; s < steps; ++s)
                if (rolling[s] >= 0)
                    note(TRACK_BASS, step_tick(bar, s), 100, root + rolling[s],
                         s % 4 == 1 ? 112 : 92);
        }
        // Filter: opening in the title, closing in the wind-down, rising in the builds.
        ctrl(TRACK_BASS, 0, 74, 30);
        ramp(TRACK_BASS, 74, 7, 12, 30, 80);
        ramp(TRACK_BASS, 74, 52, 56, 80, 12);
        ramp(TRACK_BASS, 74, 66, 70, 20, 70);
        ctrl(TRACK_BASS, step_tick(70, 0), 74, 90);
        ramp(TRACK_BASS, 74, 91, 96, 80, 118);
        ctrl(TRACK_BASS, step_tick(98, 0), 74, 92);
    }

    // ---- acid line ---------------------------------------------------------------------

    void acid_bar(int bar, const char* pattern, int root_note)
    {
        const std::vector<sStep> steps = parse_pattern(pattern);
        const int last = groove_beats(bar) * 4;
        for (int s = 0; s < last; ++s) {
            const sStep& st = steps[s];
            if (st.rest)
                continue;
            // A slide holds into the next step; a plain note is a short, 303-like gate.
            const uint32_t length = st.slide ? kTicksPerStep + 15 : 70;
            note(TRACK_ACID, step_tick(bar, s), length, in_key(bar, root_note + st.offset),
                 st.accent ? 120 : 88);
        }
    }

    void acid()
    {
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            const int pos = bar - p.first_bar;
            const int root = place_in_register(40, chord_at(bar).root);
            switch (p.acid) {
            case 1:
            case 2:
                acid_bar(bar, pos % 4 == 3 ? kAcidMainTurn : kAcidMain, root);
                break;
            case 3:
                acid_bar(bar, kAcidLow, root);
                break;
            case 4:
                if (bar >= 66)
                    acid_bar(bar, kAcidTeaser, root);
                break;
            case 5:
                acid_bar(bar, pos % 4 == 3 ? kAcidMainTurn : kAcidAnswer, root);
                break;
            case 6:
                acid_bar(bar, kAcidPower, root);
                break;
            case 7:
                if (bar < 115)
                    acid_bar(bar, kAcidMain, root);
                break;
            default:
                break;
            }
        }
        // Filter (74), resonance (71) and level (11) per section.
        const int t = TRACK_ACID;
        ctrl(t, step_tick(18, 0), 11, 110);
        ctrl(t, step_tick(18, 0), 71, 92);
        ramp(t, 74, 18, 26, 12, 72);
        ctrl(t, step_tick(26, 0), 71, 108);
        triangle(t, 74, 26, 40, 45, 112, 8);
        ctrl(t, step_tick(40, 0), 11, 92);
        ctrl(t, step_tick(40, 0), 71, 96);
        triangle(t, 74, 40, 52, 28, 75, 8);
        // The build only teases the filter; the drop opens it all the way.
        ctrl(t, step_tick(66, 0), 11, 90);
        ctrl(t, step_tick(66, 0), 71, 100);
        ramp(t, 74, 66, 69.5, 8, 72);
        ctrl(t, step_tick(70, 0), 11, 124);
        ctrl(t, step_tick(70, 0), 71, 112);
        triangle(t, 74, 70, 76, 96, 124, 2);
        ctrl(t, step_tick(76, 0), 71, 112);
        triangle(t, 74, 76, 84, 50, 115, 4);
        ctrl(t, step_tick(98, 0), 11, 112);
        triangle(t, 74, 98, 112, 52, 110, 8);
        ramp(t, 11, 112, 115, 100, 0);
        ramp(t, 74, 112, 115, 64, 16);
    }

    // ---- arpeggio ----------------------------------------------------------------------

    void arp()
    {
        static const bool gate[16] = {1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0};
        int cycle = 0;
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            if (!p.arp || (p.first_bar == 0 && bar < 3))
                continue;
            const sChord chord = chord_at(bar);
            const int root = place_in_register(64, chord.root);
            const int third = root + (chord.minor ? 3 : 4), fifth = root + 7;
            const int steps = p.drone ? 16 : groove_beats(bar) * 4;
            for (int s = 0; s < steps; ++s) {
                int n = 0, vel = 90;
                if (p.arp == 1) {
                    static const int soft[4] = {12, 7, 3, 7};
                    const int pick = soft[s % 4];
                    n = pick == 12 ? root + 12 : (pick == 7 ? fifth : third);
                    vel = s % 4 == 0 ? 96 : 78;
                } else if (p.arp == 2) {
                    if (!gate[s])
                        continue;
                    // Root, fifth, octave and the third above it, over the off-kilter gate:
                    // a cycle of four against ten notes a bar, so two bars never start alike.
                    const int four[4] = {root, fifth, root + 12, third + 12};
                    n = four[cycle++ % 4];
                    vel = s % 4 == 0 ? 110 : 88;
                } else {
                    // The climbing arpeggio of the final build: an octave higher every two bars.
                    const int climb = std::min(2, (bar - p.first_bar) / 3) * 12;
                    const int four[4] = {root, third, fifth, root + 12};
                    n = four[s % 4] - 12 + climb;
                    vel = 80 + s % 4 * 10;
                }
                note(TRACK_ARP, step_tick(bar, s), kTicksPerStep * 3 / 4, n, vel);
            }
        }
        const int t = TRACK_ARP;
        ctrl(t, 0, 11, 105);
        ramp(t, 74, 3, 7, 8, 52);
        ctrl(t, step_tick(26, 0), 74, 46);
        ctrl(t, step_tick(26, 0), 11, 80);
        ctrl(t, step_tick(40, 0), 11, 124);
        triangle(t, 74, 40, 52, 62, 100, 8);
        ctrl(t, step_tick(52, 0), 11, 100);
        ramp(t, 74, 52, 56, 60, 18);
        ramp(t, 74, 56, 64, 20, 62);
        ctrl(t, step_tick(56, 0), 11, 84); // under the pads and the melody
        ramp(t, 11, 64, 70, 84, 100);
        ramp(t, 74, 64, 70, 50, 80);
        ctrl(t, step_tick(70, 0), 11, 118);
        triangle(t, 74, 70, 84, 62, 100, 8);
        ramp(t, 74, 91, 98, 50, 127);
        ctrl(t, step_tick(98, 0), 11, 100);
        triangle(t, 74, 98, 112, 56, 88, 8);
    }

    // ---- pads, stabs, lead, bells, drone -----------------------------------------------

    void pads()
    {
        // One chord per run of bars with the same harmony inside a section.
        for (int bar = 0; bar < kSongBars;) {
            const sPlan& p = plan_at(bar);
            if (!p.pad) {
                ++bar;
                continue;
            }
            const sChord chord = chord_at(bar);
            int end = bar + 1;
            while (end < p.first_bar + p.bars && chord_at(end) == chord)
                ++end;
            if (p.pad == 6)
                end = kSongBars; // the last chord holds to the end
            // Each tone of the chord once: a doubled root would stack its overtones on the
            // same frequencies through the whole run.
            std::vector<int> notes = chord_notes(chord, 52, 67);
            if (notes.size() > 3)
                notes.resize(3);
            if (p.pad == 5 || p.pad == 6)
                notes.push_back(place_in_register(40, chord.root)); // a low root underneath
            for (int n : notes)
                note(TRACK_PAD, step_tick(bar, 0), uint32_t((end - bar) * kTicksPerBar), n,
                     p.pad == 3 ? 80 : 100);
            bar = end;
        }
        const int t = TRACK_PAD;
        ramp(t, 11, 0, 3, 0, 127);
        ramp(t, 74, 0, 7, 20, 72);
        ctrl(t, step_tick(7, 0), 11, 100);
        ctrl(t, step_tick(7, 0), 74, 56);
        ctrl(t, step_tick(26, 0), 11, 62);
        ctrl(t, step_tick(26, 0), 74, 46);
        ramp(t, 11, 52, 56, 62, 104);
        ramp(t, 74, 52, 56, 44, 76);
        ramp(t, 74, 56, 64, 56, 78);
        ramp(t, 74, 64, 70, 78, 70);
        ramp(t, 11, 66, 70, 104, 36); // the build thins out to leave the drop its room
        ctrl(t, step_tick(70, 0), 11, 62);
        ctrl(t, step_tick(70, 0), 74, 46);
        ctrl(t, step_tick(112, 0), 11, 127);
        ramp(t, 74, 112, 117, 82, 22);
        ramp(t, 11, 113, 117, 127, 0);
    }

    void stabs()
    {
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            if (!p.stab || is_fill_bar(bar))
                continue;
            std::vector<int> chord = chord_notes(chord_at(bar), 64, 76);
            chord.resize(std::min<std::size_t>(chord.size(), 3));
            auto hit = [&](int step, int steps, int vel) {
                for (int n : chord)
                    note(TRACK_STAB, step_tick(bar, step), uint32_t(steps * kTicksPerStep), n, vel);
            };
            if ((bar - p.first_bar) % 2 == 0) {
                hit(3, 1, 100);
                hit(6, 1, 112);
            } else {
                hit(10, 2, 118);
            }
        }
    }

    void lead()
    {
        // Through the breakdown, half of it again in the build (its last bars belong to the
        // roll and the riser), twice in the climax (cut at the outro).
        for (int start : {56, 64, 98, 106}) {
            const int end = start == 64 ? 68 : plan_at(start).first_bar + plan_at(start).bars;
            const uint32_t stop = step_tick(end, 0);
            uint32_t t = step_tick(start, 0);
            for (const sMelodyNote& m : kMelody) {
                if (t >= stop)
                    break;
                const uint32_t steps = uint32_t(m.steps * kTicksPerStep);
                const uint32_t length = m.slide ? steps + 20 : steps * 9 / 10;
                note(TRACK_LEAD, t, length, m.note, m.steps >= 4 ? 110 : 92);
                t += steps;
            }
        }
        const int t = TRACK_LEAD;
        ramp(t, 74, 56, 64, 20, 52);
        ramp(t, 74, 64, 68, 52, 62);
        ctrl(t, step_tick(98, 0), 74, 48);
    }

    void bells()
    {
        for (int bar = 0; bar < kSongBars; ++bar) {
            const sPlan& p = plan_at(bar);
            if (!p.bell || (p.first_bar == 112 && bar >= 116))
                continue;
            const sChord chord = chord_at(bar);
            const int root = place_in_register(76, chord.root);
            const int third = root + (chord.minor ? 3 : 4), fifth = root + 7;
            const int fade = p.first_bar == 112 ? (bar - 112) * 12 : 0;
            if (bar % 2 == 0) {
                note(TRACK_BELL, step_tick(bar, 0), kTicksPerBar, root, 100 - fade);
                note(TRACK_BELL, step_tick(bar, 6), kTicksPerBar, fifth, 84 - fade);
                note(TRACK_BELL, step_tick(bar, 12), kTicksPerBar, third, 90 - fade);
            } else if (p.harmony == PHRYGIAN || p.first_bar == 112) {
                note(TRACK_BELL, step_tick(bar, 8), kTicksPerBar, root + 12, 80 - fade);
            }
        }
    }

    void drone()
    {
        for (int bar = 0; bar < kSongBars;) {
            const sPlan& p = plan_at(bar);
            if (!p.drone) {
                ++bar;
                continue;
            }
            // A long note per section, or per chord where the harmony moves.
            int end = p.first_bar + p.bars;
            if (p.harmony == MINOR && p.first_bar != 112)
                end = std::min(end, bar + 2);
            note(TRACK_DRONE, step_tick(bar, 0), uint32_t((end - bar) * kTicksPerBar),
                 place_in_register(40, chord_at(bar).root), 100);
            bar = end;
        }
    }

    sSong& m_song;
};

} // namespace

sSong compose_song()
{
    sSong song;
    cComposer(song).compose();
    return song;
}

} // namespace soundtrack

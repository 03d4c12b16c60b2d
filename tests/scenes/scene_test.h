// What the scene tests share: the checks of every scene test, a fixture holding one loaded scene
// on a test clock, the song's events played into a scene, and a picture's brightness.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "event_queue.h"
#include "event_queue_factory.h"
#include "midi_loader.h"
#include "support/scene_checks.h"

namespace scene_test {

using namespace vnt_test::scene_checks;

// One scene of type T, loaded, on a clock standing still until the test moves it.
template <class T> class SceneTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene.load();
    }
    vnt_test::sTestClock clock;
    T scene{&clock.clock};
};

// The mean colour difference between two frames 1/60 s apart of a tunnel whose travel is placed
// by hand at `position`, then `position + travel` (the frames' own updates travel nothing).
template <class T>
double travel_difference(T& scene, vnt_test::sTestClock& clock, int ms, float position,
                         float travel)
{
    std::vector<unsigned char> frames[2];
    for (int k = 0; k < 2; ++k) {
        clock.set(ms + 17 * k);
        scene.m_position = position + float(k) * travel;
        frames[k] = checked_frame(scene, clock, ms + 17 * k);
    }
    return mean_colour_difference(frames[0], frames[1]);
}

// At `ms`: the `ignored` events start nothing, then `kick` starts one interpolator that sets
// `value` to 1 at once, to somewhere between 0 and 1 half way, and back to 0 by `settle_ms`.
inline void expect_kick(cScene& scene, vnt_test::sTestClock& clock, int ms, const float& value,
                        std::initializer_list<cEvent*> ignored, cEvent* kick, int settle_ms = 400)
{
    clock.set(ms);
    for (cEvent* ev : ignored)
        scene.handle_event(ev);
    EXPECT_TRUE(scene.interpolators().empty());
    scene.handle_event(kick);
    ASSERT_EQ(scene.interpolators().size(), 1u);
    scene.update();
    EXPECT_FLOAT_EQ(value, 1.0f);
    clock.set(ms + settle_ms / 2);
    scene.update();
    EXPECT_TRUE(value > 0.0f && value < 1.0f) << value;
    clock.set(ms + settle_ms);
    scene.update();
    EXPECT_FLOAT_EQ(value, 0.0f);
}

// Frames at `times`, each keeping the state and written as <name>_<ms>: lit over `lit`, and
// (given `change`) each changed by more than that from the first and from the one before.
// `set` readies the scene for each time. Gives back the last frame.
inline std::vector<unsigned char> sweep(cScene& scene, vnt_test::sTestClock& clock,
                                        const std::string& name, std::initializer_list<int> times,
                                        double lit, double change = 0,
                                        const std::function<void(int)>& set = {})
{
    std::vector<unsigned char> first, previous;
    for (int ms : times) {
        if (set)
            set(ms);
        const std::vector<unsigned char> frame =
            checked_frame(scene, clock, ms, name + "_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), lit) << name << " " << ms;
        if (change > 0 && !first.empty()) {
            EXPECT_GT(changed_share(first, frame), change) << name << " " << ms;
            EXPECT_GT(changed_share(previous, frame), change) << name << " " << ms;
        }
        if (first.empty())
            first = frame;
        previous = frame;
    }
    return previous;
}

// The song's events (marker script and MIDI file) played into one scene as the scene manager
// would while its layer is shown: every MIDI event, MIDI beat and "beat" mark, in time order,
// with the scene updated every frame of 20 ms.
struct sSong
{
    std::unique_ptr<cEventQueue> queue;

    sSong()
    {
        queue.reset(cEventQueue_factory::loadFile("../data/script/markers.txt"));
        if (!queue)
            queue.reset(new cEventQueue());
        cMidiLoader::load("../data/music/goa3_3.mid", *queue, 0.0f);
        queue->rewind();
    }

    // Frames from `from` up to (not including) `to`.
    void play(cScene& scene, vnt_test::sTestClock& clock, int from, int to)
    {
        queue->seek(from - 1);
        for (int t = from; t < to; t += 20) {
            clock.set(t);
            while (cEvent* ev = queue->pop_due(t)) {
                if (ev->m_id == EV_MIDI || ev->m_id == EV_MIDI_BEAT || ev->m_id == EV_BEAT)
                    scene.handle_event(ev);
            }
            scene.update();
        }
        clock.set(to);
        while (cEvent* ev = queue->pop_due(to)) {
            if (ev->m_id == EV_MIDI || ev->m_id == EV_MIDI_BEAT || ev->m_id == EV_BEAT)
                scene.handle_event(ev);
        }
    }
};

// Mean brightness (0..255, average of r, g, b) of a picture.
inline double brightness(const std::vector<unsigned char>& rgba)
{
    const auto m = vnt_test::mean_rgba(rgba);
    return (m[0] + m[1] + m[2]) / 3.0;
}

} // namespace scene_test

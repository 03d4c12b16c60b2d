// Owner of the timeline at run time: the demo clock, the music, the event queue and the
// registered scenes. Once per frame it ticks the clock, fires the due events, lets the current
// scene update itself and draws it; it also carries seek, pause, mute and the MIDI test view.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "clock.h"
#include "music_lock.h"
#include "singleton.h"
#include "sound_module_sdl.h"

class cEvent;
class cEventQueue;
class cScene;
class iLoadScreen;

class cSceneManager : public vnt::tSingleton<cSceneManager>
{
public:
    // Reads the marker script into the event queue, opens the music and starts the clock.
    void init(const std::string& in_marker_file, const std::string& in_music_file);

    // Constructs a scene of class T on the clock and registers it; a name that is taken keeps
    // its first scene.
    template <class T> T* add_scene()
    {
        T* scene = new T(&m_clock);
        register_scene(scene);
        return scene;
    }
    // The first registered scene of class T, or null.
    template <class T> T* get_scene() const
    {
        for (cScene* scene : m_scenes) {
            if (T* typed = dynamic_cast<T*>(scene))
                return typed;
        }
        return nullptr;
    }
    cScene* get_scene_by_name(const std::string& in_name) const;

    // Loads every scene behind the load screen, then fades it out over 1500 ms.
    void start(iLoadScreen* in_loadscreen);
    // One frame: tick, fire due events (the first frame jumps to "s00"), update the shown
    // scene. True when the shown scene changed, or the MIDI test view was toggled.
    bool update();
    void draw_current();
    // The MIDI test scene while its view is on, else the current scene.
    cScene* get_current() const;

    // Moves the clock so the demo time reads t - 150 ms.
    void set_time(int in_t);
    // set_time, the music to the new demo time plus the device's latency (so that it is heard
    // with its picture), and the event cursor past every event at or before t.
    void seek(int in_t);
    // A seek at the start of the next update, taken like the first-frame jump: the scene is not
    // updated in that frame (so the composition's stall guard keeps the new time) and the
    // update reports a change. For the author keys.
    void request_seek(int in_t)
    {
        m_pending_seek = in_t;
        m_seek_pending = true;
    }
    // Waits 100 ms, starts the music and sets the demo time to 0.
    void play();
    // Mutes, or gives back the volume that played before muting.
    bool toggle_mute();
    void toggle_pause();
    bool toggle_miditest();
    int get_time() const { return m_clock.demo_time(); }

    // Where the first frame jumps: the "s00" mark unless another mark or a time was chosen.
    // A mark is an event id (0..22); a time is used when `in_mark` is negative.
    void set_start(int in_mark, int in_time_ms = 0);
    // Capture and benchmark runs drive the clock themselves and keep the music silent.
    void set_music_live(bool in_live) { m_music_live = in_live; }

    cEventQueue* event_queue() const { return m_eventqueue.get(); }
    cClock& clock() { return m_clock; }
    const std::vector<cScene*>& scenes() const { return m_scenes; }
    cSoundModule_sdl& sound() { return m_sound; }
    bool miditest() const { return m_miditest; }
    bool muted() const;

private:
    friend class vnt::tSingleton<cSceneManager>;
    cSceneManager();
    ~cSceneManager();

    void register_scene(cScene* in_scene);
    // Fires the due events; true when the first-frame jump happened.
    bool fire_events();
    void dispatch(cEvent* in_event);
    bool jump_to_start();
    void draw_fade(float in_alpha) const;
    // Moves this frame's demo time towards the music being heard (live play with a device).
    void follow_music(int in_previous_ms);
    // Puts the music where it is heard with the demo time now.
    void place_music();

    std::unique_ptr<cEventQueue> m_eventqueue;
    std::vector<cScene*> m_scenes; // owned, in registration order
    std::map<std::string, cScene*> m_scenes_by_name;
    cScene* m_current = nullptr;
    cSoundModule_sdl m_sound;
    cClock m_clock;
    cScene* m_miditest_scene = nullptr; // owned; made by start()
    bool m_miditest = false;
    bool m_miditest_prev = false;
    bool m_first_frame = true;
    int m_start_mark = 0;     // event id the first frame jumps to, or -1 for m_start_time
    int m_start_time = 0;     // ms, when m_start_mark is -1
    bool m_music_live = true; // false: the music is not played (fixed-step runs)
    bool m_seek_pending = false;
    int m_pending_seek = 0; // ms, for the next update when m_seek_pending
    cMusicLock m_music_lock;
    int m_volume_before_mute = 255; // 0..255
};

// The vantor engine's public interface: what a production includes to build its scenes, its
// timeline and its program. Everything else under the engine's source folder is the engine's own
// (the host's capture, benchmark and live-play machinery, the start-up sequence, option parsing)
// and may change without notice to productions.
#pragma once

// The program and the production
#include "demo.h"          // cDemo: a production's class, its setup() and the main loop
#include "event_queue.h"   // marker-script and MIDI events
#include "host.h"          // vnt::run_production: the whole program around a production
#include "load_screen.h"   // the picture shown while the scenes load
#include "midi_loader.h"   // MIDI notes into the event queue
#include "resource_path.h" // files named without a folder
#include "scene_manager.h" // scenes, the marker script, the music, the demo time

// Scenes and the timeline
#include "cam_path.h"                 // camera flights
#include "effects/interpolator.h"     // timed changes of variables
#include "effects/var.h"              // a scene's variables
#include "gui/slider_entries.h"       // their sliders on the overlay
#include "scene.h"                    // cScene: one visual effect with its variables
#include "scenes/layer_composition.h" // layers in time windows, blended, with fades

// Drawing
#include "fsq.h"                   // full-screen quads
#include "gl_extensions.h"         // the OpenGL entry points the engine loads
#include "mesh_files/mesh_obj.h"   //
#include "mesh_manager.h"          // meshes by file name
#include "render_target.h"         // pooled render targets
#include "render_target_manager.h" //
#include "shader_manager_glsl.h"   // shaders by name, reloaded when their files change
#include "shaders/shd_comp.h"      // the layer blend modes
#include "shaders/shd_mesh.h"      // mesh shaders
#include "shaders/shd_particle.h"  // particle shaders
#include "shaders/shd_plain.h"     // a production's own shader from two GLSL files
#include "shaders/shd_post.h"      // post-processing shaders
#include "texture_manager.h"       // textures by file name
#include "video_module.h"          // the picture's size and viewport

// Post-processing passes
#include "postprocessing/blur.h"
#include "postprocessing/color_correction.h"
#include "postprocessing/feedback.h"
#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "postprocessing/kaleidoscope.h"
#include "postprocessing/levels.h"
#include "postprocessing/post_comp.h"
#include "postprocessing/radial_blur.h"
#include "postprocessing/spill.h"

// Particles
#include "effects/particles/particle_effect.h"
#include "effects/particles/particle_emitter_cube_volume.h"
#include "effects/particles/particle_emitter_plane.h"
#include "effects/particles/particle_system.h"
#include "effects/particles/particle_updaters.h"
#include "effects/particles/ps_render_billboards.h"

// Maths
#include "math/defmath.h"
#include "math/vec2.h"
#include "math/vec3.h"

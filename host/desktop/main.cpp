// vesper-sim: the instrument in a window. The firmware runs on the window's one thread: a 30 ms
// refresh timer runs passes until one composes a frame and presents it inside the bezel, a 1 s
// timer runs the once-per-second tick, and the mouse and keys work the knob and the buttons.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/firmware.h"
#include "core/platform.h"
#include "gfx/layers.h"
#include "host/common/faults.h"
#include "host/common/gps_source.h"
#include "host/common/message_text.h"
#include "host/common/png_io.h"
#include "host/common/recording.h"
#include "host/common/setting_input.h"
#include "host/desktop/bezel_art.h"
#include "host/desktop/control_bridge.h"
#include "host/desktop/input_map.h"
#include "host/desktop/presenter.h"
#include "host/desktop/serial_posix.h"
#include "host/desktop/sim_options.h"
#include "host/desktop/tick_timer.h"
#include "host/desktop/view_fit.h"
#include "serial/serial_input.h"
#include "settings/settings.h"

namespace {

const char* const WINDOW_TITLE = "Orvanta VESPER Simulator";
const char* const PAUSED_TITLE = "Orvanta VESPER Simulator (paused)";
constexpr std::uint64_t REFRESH_MS = 30;
constexpr std::uint64_t SECOND_MS = 1000;
// A late refresh catches up at most this many frames; a late second tick at most this many
// seconds. Beyond that (a suspended machine, a modal dialog) the rhythm restarts from now.
constexpr int REFRESH_CATCH_UP = 3;
constexpr int SECOND_CATCH_UP = 5;
// The firmware composes every tenth pass; this only guards against a core that never does.
constexpr int MAX_PASSES_PER_REFRESH = 100;

SDL_Window* message_box_parent = nullptr;

// The recording the serial port reports its bytes to, and the pass they are read in.
recording::writer* serial_recorder = nullptr;
long serial_pass = 0;

void record_serial_byte(std::uint8_t byte) {
  if (serial_recorder != nullptr) serial_recorder->serial_byte(serial_pass, byte);
}

void show_serial_error(const char* text, const char* caption) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, message_box_parent);
}

// A picture as an SDL surface of our own pixel layout (0xAARRGGBB words).
SDL_Surface* load_picture(const std::uint32_t* pixels, int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (s == nullptr) {
    return nullptr;
  }
  for (int y = 0; y < h; ++y) {
    std::memcpy(static_cast<std::uint8_t*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch,
                pixels + static_cast<std::size_t>(y) * w, static_cast<std::size_t>(w) * 4);
  }
  return s;
}

// The pixels of a surface made by load_picture, which has no padding at 32 bits a pixel.
const std::uint32_t* surface_words(const SDL_Surface* s) { return static_cast<const std::uint32_t*>(s->pixels); }

class simulator {
 public:
  simulator(const sim_options& options, std::vector<host_settings::setting_write> sets,
            std::unique_ptr<gps_sources::source> source, int source_pty, recording::writer* recorder,
            const recording::run_recording* played)
      : zoom_(options.zoom),
        sets_(std::move(sets)),
        sensors_(options.sensors),
        recorder_(recorder),
        open_port_(!options.serial_devices.empty() || source != nullptr),
        source_(std::move(source)),
        source_pty_(source_pty),
        start_faults_(options.faults) {
    if (played != nullptr) player_ = std::make_unique<recording::player>(*played);
  }
  ~simulator() { destroy(); }

  bool create();
  int run();

 private:
  void destroy();
  void refresh();
  void present_picture();
  void blit_to_window();
  void handle(const SDL_Event& ev);
  void command(sim_command c, int fault = -1);
  void set_zoom(int zoom);
  void place(int window_w, int window_h);
  unsigned lit_areas() const;
  SDL_Rect usable_area() const;
  void set_paused(bool paused);
  void save_picture(bool with_frame);
  void print_state();
  void show_faults();
  void play_through(long pass);
  void end_playing();
  bool playing() const { return player_ != nullptr; }
  std::uint64_t now() const { return SDL_GetTicks64(); }

  int zoom_;
  std::vector<host_settings::setting_write> sets_;
  std::vector<desk_sensor_write> sensors_;
  recording::writer* recorder_;
  std::unique_ptr<recording::player> player_;
  // The GPS port: a device given with --serial, or a pseudo-terminal the replay or gpsd source
  // writes into, so that the firmware reads through the same serial wrapper either way.
  bool open_port_;
  std::unique_ptr<gps_sources::source> source_;
  int source_pty_;
  std::int64_t source_ms_ = 0;
  picture_place place_;
  unsigned shown_lit_ = 0;
  touch_area key_turn_ = touch_area::none;
  std::vector<int> start_faults_;
  bool running_ = true;
  bool paused_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Surface* bezel_ = nullptr;
  SDL_Surface* mask_ = nullptr;
  SDL_Surface* face_ = nullptr;
  std::vector<pixel_t> frame_ = std::vector<pixel_t>(LAYER_PIXELS, 0);
  std::vector<pixel_t> shown_frame_ = std::vector<pixel_t>(LAYER_PIXELS, 0);
  std::vector<std::uint32_t> picture_ = std::vector<std::uint32_t>(WINDOW_PICTURE_PIXELS, 0);
  std::vector<std::uint32_t> zoomed_;
  pointer_state pointer_;
  tick_timer refresh_timer_;
  tick_timer second_timer_;
  sim_counters counters_;
};

SDL_Rect simulator::usable_area() const {
  SDL_Rect r{0, 0, BEZEL_W * MAX_ZOOM, BEZEL_H * MAX_ZOOM};
  const int display = window_ != nullptr ? SDL_GetWindowDisplayIndex(window_) : 0;
  if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &r) != 0) {
    SDL_GetDisplayBounds(0, &r);
  }
  return r;
}

bool simulator::create() {
  // The window never opens larger than the screen's usable area: the zoom asked for is cut down,
  // and on a screen smaller than the bezel the picture is shrunk to fit.
  const SDL_Rect usable = usable_area();
  const int fit = fitting_zoom(zoom_, usable.w, usable.h);
  int w = BEZEL_W * fit;
  int h = BEZEL_H * fit;
  if (fit == 0) {
    const picture_place p = place_picture(usable.w, usable.h);
    w = p.w;
    h = p.h;
    std::fprintf(stderr, "vesper-sim: note: the screen (%d x %d usable) is smaller than the bezel; it is shrunk\n",
                 usable.w, usable.h);
  } else if (fit < zoom_) {
    std::fprintf(stderr, "vesper-sim: note: zoom %d does not fit the screen (%d x %d usable); zoom %d it is\n", zoom_,
                 usable.w, usable.h, fit);
  }
  zoom_ = std::max(fit, 1);
  window_ = SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                             SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
  if (window_ == nullptr) {
    std::fprintf(stderr, "vesper-sim: cannot open the window: %s\n", SDL_GetError());
    return false;
  }
  place(w, h);
  bezel_ = load_picture(bezel_picture, BEZEL_W, BEZEL_H);
  mask_ = load_picture(display_mask, MASK_W, MASK_H);
  face_ = load_picture(face_picture, FACE_W, FACE_H);
  if (bezel_ == nullptr || mask_ == nullptr || face_ == nullptr) {
    std::fprintf(stderr, "vesper-sim: cannot load the bezel pictures: %s\n", SDL_GetError());
    return false;
  }
  message_box_parent = window_;
  serial_set_error_reporter(show_serial_error);

  firmware_init();
  // As the headless runner does: after start-up, before the first pass.
  for (const desk_sensor_write& write : sensors_) {
    apply_desk_sensor(write);
    recorder_->sensor(1, write);
  }
  for (const host_settings::setting_write& write : sets_) {
    std::string why;
    if (!host_settings::apply_setting_write(write, &why)) {
      std::fprintf(stderr, "vesper-sim: %s\n", safe_line(why).c_str());
      return false;
    }
    recorder_->setting(1, write);
  }
  for (int fault : start_faults_) set_fault(fault, true);
  // A recording's own start: what it gives before the first pass, before the serial input
  // reads its protocol setting.
  if (playing()) play_through(1);
  show_faults();
  // Without a source the port stays closed and the input idle.
  if (open_port_) serial_open(1, gps_sources::line_baud(cfg_get_byte(CFG_GPS_NAV_SRC)));
  serial_input_init();
  const std::uint64_t t = now();
  refresh_timer_.start(t, REFRESH_MS, REFRESH_CATCH_UP);
  second_timer_.start(t, SECOND_MS, SECOND_CATCH_UP);
  // Until the first frame the display is dark inside the bezel.
  present_picture();
  return true;
}

void simulator::destroy() {
  serial_set_error_reporter(nullptr);
  message_box_parent = nullptr;
  serial_close();
  SDL_FreeSurface(face_);
  SDL_FreeSurface(mask_);
  SDL_FreeSurface(bezel_);
  face_ = mask_ = bezel_ = nullptr;
  if (window_ != nullptr) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
}

// One refresh: passes until one composes, then show that frame. Each frame is composed into a
// fresh, cleared buffer.
void simulator::refresh() {
  std::fill(frame_.begin(), frame_.end(), 0u);
  if (source_) {
    source_ms_ += REFRESH_MS;
    const int fd = source_pty_;
    source_->pump(source_ms_, gps_sources::line_baud(cfg_get_byte(CFG_GPS_NAV_SRC)),
                  [fd](const std::uint8_t* bytes, std::size_t n) -> std::size_t {
                    const ssize_t written = ::write(fd, bytes, n);
                    return written > 0 ? static_cast<std::size_t>(written) : 0;
                  });
    const std::string notice = source_->take_notice();
    if (!notice.empty()) std::fprintf(stderr, "vesper-sim: %s\n", safe_line(notice).c_str());
  }
  for (int i = 0; i < MAX_PASSES_PER_REFRESH; ++i) {
    ++counters_.passes;
    if (playing()) play_through(counters_.passes);
    recorder_->inputs(counters_.passes);
    serial_pass = counters_.passes;
    serial_input_poll();  // drained once a pass, as the instrument's main loop does
    const bool composed = firmware_pass(frame_.data());
    recorder_->after_pass();
    settle_deferred_releases();
    if (composed) {
      ++counters_.frames;
      shown_frame_ = frame_;
      present_picture();
      if (playing() && counters_.passes >= player_->end_pass()) end_playing();
      return;
    }
  }
}

void simulator::play_through(long pass) {
  std::string why;
  const bool ok = player_->apply_through(
      pass,
      [this]() {
        ++counters_.seconds;
        second_tick();
      },
      &why);
  if (!ok) {
    std::fprintf(stderr, "vesper-sim: --play: %s\n", safe_line(why).c_str());
    end_playing();
  }
}

// The recording is over (what it stamped past its last pass included): the mouse, the keys and
// the one-second timer take over from here.
void simulator::end_playing() {
  if (!player_) return;
  std::unique_ptr<recording::player> p = std::move(player_);
  std::string why;
  p->apply_through(
      p->end_pass() + 1,
      [this]() {
        ++counters_.seconds;
        second_tick();
      },
      &why);
  second_timer_.start(now(), SECOND_MS, SECOND_CATCH_UP);
  std::printf("end of the recording at pass %ld\n", counters_.passes);
  std::fflush(stdout);
}

// Held switches as the firmware reads them, and a turning zone while the mouse or a key holds it.
unsigned simulator::lit_areas() const {
  unsigned lit = held_switch_areas();
  for (const touch_area a : {pointer_.pressed, key_turn_}) {
    if (a == touch_area::knob_left || a == touch_area::knob_right) lit |= touch_bit(static_cast<int>(a));
  }
  return lit;
}

void simulator::place(int window_w, int window_h) {
  place_ = place_picture(window_w, window_h);
  if (place_.zoom >= 1) zoom_ = place_.zoom;
}

void simulator::present_picture() {
  shown_lit_ = lit_areas();
  compose_window_picture(shown_frame_.data(), surface_words(bezel_), surface_words(mask_), picture_.data(), shown_lit_);
  zoomed_.resize(static_cast<std::size_t>(place_.w) * place_.h);
  if (place_.zoom == 1) {
    std::copy(picture_.begin(), picture_.end(), zoomed_.begin());
  } else if (place_.zoom > 1) {
    zoom_picture(picture_.data(), BEZEL_W, BEZEL_H, place_.zoom, zoomed_.data());
  } else {
    scale_picture(picture_.data(), BEZEL_W, BEZEL_H, zoomed_.data(), place_.w, place_.h);
  }
  blit_to_window();
}

void simulator::blit_to_window() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) {
    return;
  }
  if (zoomed_.size() != static_cast<std::size_t>(place_.w) * place_.h) {
    return;  // placed anew, not yet drawn at the new size
  }
  // The picture where it was placed, clipped to the surface; the rest of the window is black.
  const int x0 = std::max(place_.x, 0);
  const int y0 = std::max(place_.y, 0);
  const int w = std::min(surface->w, place_.x + place_.w) - x0;
  const int h = std::min(surface->h, place_.y + place_.h) - y0;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  if (w <= 0 || h <= 0) {
    SDL_UpdateWindowSurface(window_);
    return;
  }
  if (SDL_MUSTLOCK(surface)) {
    SDL_LockSurface(surface);
  }
  const std::uint32_t* src =
      zoomed_.data() + static_cast<std::size_t>(y0 - place_.y) * place_.w + static_cast<std::size_t>(x0 - place_.x);
  auto* dst = static_cast<std::uint8_t*>(surface->pixels) + static_cast<std::size_t>(y0) * surface->pitch +
              static_cast<std::size_t>(x0) * surface->format->BytesPerPixel;
  SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, src, place_.w * 4, surface->format->format, dst, surface->pitch);
  if (SDL_MUSTLOCK(surface)) {
    SDL_UnlockSurface(surface);
  }
  SDL_UpdateWindowSurface(window_);
}

void simulator::set_zoom(int zoom) {
  zoom = std::clamp(zoom, MIN_ZOOM, MAX_ZOOM);
  const SDL_Rect usable = usable_area();
  const int fit = std::max(fitting_zoom(zoom, usable.w, usable.h), 1);
  if (fit == zoom_ && place_.zoom == zoom_) {
    if (fit < zoom) {
      std::printf("zoom: %d (zoom %d does not fit the screen)\n", fit, zoom);
      std::fflush(stdout);
    }
    return;
  }
  SDL_SetWindowSize(window_, BEZEL_W * fit, BEZEL_H * fit);
  place(BEZEL_W * fit, BEZEL_H * fit);
  present_picture();
  if (fit < zoom) {
    std::printf("zoom: %d (zoom %d does not fit the screen)\n", fit, zoom);
  } else {
    std::printf("zoom: %d\n", fit);
  }
  std::fflush(stdout);
}

void simulator::set_paused(bool paused) {
  paused_ = paused;
  counters_.paused = paused;
  SDL_SetWindowTitle(window_, paused ? PAUSED_TITLE : WINDOW_TITLE);
  if (!paused) {
    // The instrument's clock simply stood still: restart the rhythm rather than catch up.
    const std::uint64_t t = now();
    refresh_timer_.start(t, REFRESH_MS, REFRESH_CATCH_UP);
    second_timer_.start(t, SECOND_MS, SECOND_CATCH_UP);
  }
  std::printf("%s\n", paused ? "paused" : "running");
  std::fflush(stdout);
}

std::string absolute_path(const std::string& name) {
  char dir[PATH_MAX];
  if (getcwd(dir, sizeof dir) == nullptr) {
    return name;
  }
  return std::string(dir) + "/" + name;
}

void simulator::save_picture(bool with_frame) {
  // The first number not yet used in the current directory: earlier pictures are never replaced.
  std::string base;
  for (int n = 1; n <= 999; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "vesper-sim-%03d", n);
    struct stat st;
    if (stat((std::string(name) + ".png").c_str(), &st) != 0 &&
        stat((std::string(name) + "-display.png").c_str(), &st) != 0) {
      base = name;
      break;
    }
  }
  if (base.empty()) {
    std::fprintf(stderr, "vesper-sim: vesper-sim-001.png .. vesper-sim-999.png all exist; picture not saved\n");
    return;
  }
  std::string error;
  const std::string path = absolute_path(base + ".png");
  if (!write_png(path, zoomed_.data(), place_.w, place_.h, false, &error)) {
    std::fprintf(stderr, "vesper-sim: could not save %s: %s\n", path.c_str(), error.c_str());
    return;
  }
  std::printf("saved picture: %s\n", path.c_str());
  if (with_frame) {
    const std::string frame_path = absolute_path(base + "-display.png");
    if (write_png(frame_path, shown_frame_.data(), SCREEN_W, SCREEN_H, false, &error)) {
      std::printf("saved display frame: %s\n", frame_path.c_str());
    } else {
      std::fprintf(stderr, "vesper-sim: could not save %s: %s\n", frame_path.c_str(), error.c_str());
    }
  }
  std::fflush(stdout);
}

// An injected failure must not pass for a fault of the simulator: the title names every active one.
void simulator::show_faults() {
  const std::string names = active_fault_names();
  const std::string title =
      names.empty() ? std::string(WINDOW_TITLE) : std::string(WINDOW_TITLE) + " - FAULTS: " + names;
  SDL_SetWindowTitle(window_, title.c_str());
}

void simulator::print_state() {
  std::printf("%s\n", format_state_line(counters_).c_str());
  std::fflush(stdout);
}

void simulator::command(sim_command c, int fault) {
  switch (c) {
    case sim_command::quit:
      running_ = false;
      break;
    case sim_command::zoom_in:
      set_zoom(zoom_ + 1);
      break;
    case sim_command::zoom_out:
      set_zoom(zoom_ - 1);
      break;
    case sim_command::save_picture:
      save_picture(false);
      break;
    case sim_command::save_picture_and_frame:
      save_picture(true);
      break;
    case sim_command::print_state:
      print_state();
      break;
    case sim_command::toggle_pause:
      set_paused(!paused_);
      break;
    case sim_command::toggle_fault:
      set_fault(fault, !fault_active(fault));
      show_faults();
      break;
    case sim_command::clear_faults:
      clear_faults();
      show_faults();
      break;
    case sim_command::none:
      break;
  }
}

void simulator::handle(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT:
      running_ = false;
      break;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        // Resized by hand or by the window manager: the largest whole zoom that fits, centred.
        place(ev.window.data1, ev.window.data2);
        present_picture();
      } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SHOWN) {
        blit_to_window();
      } else if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
        running_ = false;
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      // While a recording plays it is the only hand on the controls.
      if (playing()) break;
      if (ev.type == SDL_MOUSEBUTTONDOWN && ev.button.button == SDL_BUTTON_LEFT) {
        apply_control_action(pointer_press(&pointer_, to_bezel(ev.button.x, place_.x, place_.w, BEZEL_W),
                                           to_bezel(ev.button.y, place_.y, place_.h, BEZEL_H)));
      }
      if (ev.type == SDL_MOUSEBUTTONUP && ev.button.button == SDL_BUTTON_LEFT) {
        apply_control_action(pointer_release(&pointer_, to_bezel(ev.button.x, place_.x, place_.w, BEZEL_W),
                                             to_bezel(ev.button.y, place_.y, place_.h, BEZEL_H)));
      }
      if (ev.type == SDL_MOUSEWHEEL) {
        apply_control_action(wheel_action(ev.wheel.y, ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED));
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const key_result r = map_key(ev.key.keysym.sym, ev.key.keysym.mod, ev.type == SDL_KEYDOWN, ev.key.repeat != 0);
      const touch_area turn = key_turn_area(ev.key.keysym.sym, ev.key.keysym.mod);
      if (turn != touch_area::none) {
        key_turn_ = ev.type == SDL_KEYDOWN ? turn : touch_area::none;
      }
      if (playing()) {
        // Keys that work the window (zoom, pictures, pause, state) still do; controls and faults
        // are the recording's.
        if (r.command != sim_command::toggle_fault && r.command != sim_command::clear_faults)
          command(r.command, r.fault);
        break;
      }
      apply_control_action(r.action);
      command(r.command, r.fault);
      break;
    }
    default:
      break;
  }
}

int simulator::run() {
  while (running_) {
    if (!paused_) {
      const std::uint64_t t = now();
      for (int n = second_timer_.take_due(t); n > 0; --n) {
        if (playing()) continue;  // the recording brings its own ticks
        recorder_->tick(counters_.passes + 1);
        ++counters_.seconds;
        second_tick();
      }
      for (int n = refresh_timer_.take_due(t); n > 0; --n) {
        refresh();
      }
    }
    // Sleep until the next event or the next deadline; never spin.
    SDL_Event ev;
    bool got;
    if (paused_) {
      got = SDL_WaitEvent(&ev) != 0;
    } else {
      const std::uint64_t t = now();
      const std::uint64_t wait = std::min(refresh_timer_.ms_until_due(t), second_timer_.ms_until_due(t));
      got = wait > 0 ? SDL_WaitEventTimeout(&ev, static_cast<int>(wait)) != 0 : SDL_PollEvent(&ev) != 0;
    }
    while (got && running_) {
      handle(ev);
      got = SDL_PollEvent(&ev) != 0;
    }
    // A control taken or let go shows at once, also while the clock stands still.
    if (running_ && lit_areas() != shown_lit_) {
      present_picture();
    }
  }
  std::string why;
  if (!recorder_->finish(counters_.passes, &why)) {
    std::fprintf(stderr, "vesper-sim: %s\n", safe_line(why).c_str());
    return 1;
  }
  return 0;
}

// Chooses the window system. Left to itself SDL would fall back to an off-screen driver and run
// forever with nothing to see; a desktop program without a display should say so and stop. A
// driver named in SDL_VIDEODRIVER is taken as asked.
bool choose_video_driver(std::string* error) {
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && asked[0] != '\0') {
    return true;
  }
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  std::string drivers;
  if (wayland != nullptr && wayland[0] != '\0') drivers = "wayland";
  if (x11 != nullptr && x11[0] != '\0') drivers = drivers.empty() ? "x11" : drivers + ",x11";
  if (drivers.empty()) {
    *error =
        "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
        "vesper-headless runs the instrument without one";
    return false;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  sim_options options;
  std::string error;
  if (!parse_sim_options(argc, argv, &options, &error)) {
    std::fprintf(stderr, "vesper-sim: %s\n", safe_line(error).c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(sim_usage().c_str(), stdout);
    return 0;
  }
  // Settings are checked as a whole before the window opens, as the headless runner checks them.
  std::vector<host_settings::setting_write> sets;
  for (const std::string& text : options.sets) {
    host_settings::setting_write write;
    if (!host_settings::parse_set_option(text, &write, &error)) {
      std::fprintf(stderr, "vesper-sim: %s\n", safe_line(error).c_str());
      return 2;
    }
    sets.push_back(write);
  }
  if (!host_settings::check_setting_writes(sets, &error)) {
    std::fprintf(stderr, "vesper-sim: %s\n", safe_line(error).c_str());
    return 2;
  }
  for (const auto& [port, device] : options.serial_devices) {
    serial_set_device(port, device);
  }
  // A GPS device that cannot be used is bad input: said on one line before the window opens.
  if (!options.serial_devices.empty()) {
    int source_setting = cfg_get_byte(CFG_GPS_NAV_SRC);
    for (const host_settings::setting_write& write : sets) {
      if (write.target.setting == CFG_GPS_NAV_SRC) source_setting = write.value;
    }
    if (!gps_sources::open_device(serial_device_for(1), gps_sources::line_baud(source_setting), &error)) {
      std::fprintf(stderr, "vesper-sim: %s\n", safe_line(error).c_str());
      return 2;
    }
  }
  std::unique_ptr<gps_sources::source> source;
  int source_pty = -1;
  if (!options.replay_file.empty() || !options.gpsd.empty()) {
    source = !options.replay_file.empty() ? gps_sources::open_replay(options.replay_file, &error)
                                          : gps_sources::open_gpsd(options.gpsd, &error);
    if (!source) {
      std::fprintf(stderr, "vesper-sim: %s\n", safe_line(error).c_str());
      return 2;
    }
    source_pty = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (source_pty < 0 || ::grantpt(source_pty) != 0 || ::unlockpt(source_pty) != 0) {
      std::fprintf(stderr, "vesper-sim: cannot make a pseudo-terminal for the GPS source: %s\n", std::strerror(errno));
      return 1;
    }
    serial_set_device(0, ::ptsname(source_pty));
  }

  // The recording and the file to play are checked before the window opens, like every option.
  recording::run_recording played;
  if (!options.play_file.empty() && !recording::read_recording(options.play_file, &played, &error)) {
    std::fprintf(stderr, "vesper-sim: --play: %s\n", safe_line(error).c_str());
    return 2;
  }
  recording::writer recorder;
  if (!options.record_file.empty()) {
    if (!recorder.open(options.record_file, &error)) {
      std::fprintf(stderr, "vesper-sim: %s\n", safe_line(error).c_str());
      return 2;
    }
    serial_recorder = &recorder;
    serial_set_read_observer(record_serial_byte);
  }

  SDL_SetMainReady();
  if (!choose_video_driver(&error)) {
    std::fprintf(stderr, "vesper-sim: %s\n", error.c_str());
    recorder.discard();
    return 1;
  }
  // The picture goes to the window's own surface. Left to itself, SDL backs that surface with a
  // GL texture and recreates the window for it just after it appears, so a tool that found the
  // window first holds a window that is gone; the plain surface needs no GL at all.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "vesper-sim: cannot open the display%s%s: %s\n", display != nullptr ? " " : "",
                 display != nullptr ? quote_text(display).c_str() : "", SDL_GetError());
    recorder.discard();
    return 1;
  }
  int status = 1;
  {
    simulator sim(options, std::move(sets), std::move(source), source_pty, &recorder,
                  options.play_file.empty() ? nullptr : &played);
    if (sim.create()) {
      status = sim.run();
    } else {
      recorder.discard();
    }
  }
  SDL_Quit();
  return status;
}

// vesper-sim: the instrument in a window. The firmware runs on the window's one thread: a 30 ms
// refresh timer runs passes until one composes a frame and presents it inside the bezel, a 1 s
// timer runs the once-per-second tick, and the mouse and keys work the knob and the buttons.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/firmware.h"
#include "core/platform.h"
#include "gfx/layers.h"
#include "host/common/png_io.h"
#include "host/desktop/bezel_art.h"
#include "host/desktop/control_bridge.h"
#include "host/desktop/input_map.h"
#include "host/desktop/presenter.h"
#include "host/desktop/serial_posix.h"
#include "host/desktop/sim_options.h"
#include "host/desktop/tick_timer.h"

namespace {

const char* const WINDOW_TITLE = "Orvanta VESPER Simulator";
constexpr std::uint64_t REFRESH_MS = 30;
constexpr std::uint64_t SECOND_MS = 1000;
// A late refresh catches up at most this many frames; a late second tick at most this many
// seconds. Beyond that (a suspended machine, a modal dialog) the rhythm restarts from now.
constexpr int REFRESH_CATCH_UP = 3;
constexpr int SECOND_CATCH_UP = 5;
// The firmware composes every tenth pass; this only guards against a core that never does.
constexpr int MAX_PASSES_PER_REFRESH = 100;

SDL_Window* message_box_parent = nullptr;

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
  explicit simulator(const sim_options& options) : zoom_(options.zoom) {}
  ~simulator() { destroy(); }

  bool create();
  int run();

 private:
  void destroy();
  void refresh();
  void present_picture();
  void blit_to_window();
  void handle(const SDL_Event& ev);
  void command(sim_command c);
  void set_zoom(int zoom);
  void set_paused(bool paused);
  void save_picture(bool with_frame);
  void print_state();
  std::uint64_t now() const { return SDL_GetTicks64(); }

  int zoom_;
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

bool simulator::create() {
  window_ = SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, BEZEL_W * zoom_,
                             BEZEL_H * zoom_, SDL_WINDOW_SHOWN);
  if (window_ == nullptr) {
    std::fprintf(stderr, "vesper-sim: cannot open the window: %s\n", SDL_GetError());
    return false;
  }
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
  for (int i = 0; i < MAX_PASSES_PER_REFRESH; ++i) {
    ++counters_.passes;
    const bool composed = firmware_pass(frame_.data());
    settle_deferred_releases();
    if (composed) {
      ++counters_.frames;
      shown_frame_ = frame_;
      present_picture();
      return;
    }
  }
}

void simulator::present_picture() {
  compose_window_picture(shown_frame_.data(), surface_words(bezel_), surface_words(mask_), picture_.data());
  if (zoom_ > 1) {
    zoomed_.resize(static_cast<std::size_t>(WINDOW_PICTURE_PIXELS) * zoom_ * zoom_);
    zoom_picture(picture_.data(), BEZEL_W, BEZEL_H, zoom_, zoomed_.data());
  }
  blit_to_window();
}

void simulator::blit_to_window() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) {
    return;
  }
  const std::uint32_t* src = zoom_ > 1 ? zoomed_.data() : picture_.data();
  const int src_w = BEZEL_W * zoom_;
  const int w = std::min(surface->w, src_w);
  const int h = std::min(surface->h, BEZEL_H * zoom_);
  // Anything the window has beyond the picture (a window manager may enlarge it) is black.
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  if (SDL_MUSTLOCK(surface)) {
    SDL_LockSurface(surface);
  }
  SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, src, src_w * 4, surface->format->format, surface->pixels,
                    surface->pitch);
  if (SDL_MUSTLOCK(surface)) {
    SDL_UnlockSurface(surface);
  }
  SDL_UpdateWindowSurface(window_);
}

void simulator::set_zoom(int zoom) {
  zoom = std::clamp(zoom, MIN_ZOOM, MAX_ZOOM);
  if (zoom == zoom_) {
    return;
  }
  zoom_ = zoom;
  SDL_SetWindowSize(window_, BEZEL_W * zoom_, BEZEL_H * zoom_);
  present_picture();
  std::printf("zoom: %d\n", zoom_);
  std::fflush(stdout);
}

void simulator::set_paused(bool paused) {
  paused_ = paused;
  counters_.paused = paused;
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
  const std::uint32_t* shown = zoom_ > 1 ? zoomed_.data() : picture_.data();
  if (!write_png(path, shown, BEZEL_W * zoom_, BEZEL_H * zoom_, false, &error)) {
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

void simulator::print_state() {
  std::printf("%s\n", format_state_line(counters_).c_str());
  std::fflush(stdout);
}

void simulator::command(sim_command c) {
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
      if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
          ev.window.event == SDL_WINDOWEVENT_SHOWN) {
        blit_to_window();
      } else if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
        running_ = false;
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.button == SDL_BUTTON_LEFT) {
        apply_control_action(
            pointer_press(&pointer_, bezel_coordinate(ev.button.x, zoom_), bezel_coordinate(ev.button.y, zoom_)));
      }
      break;
    case SDL_MOUSEBUTTONUP:
      if (ev.button.button == SDL_BUTTON_LEFT) {
        apply_control_action(
            pointer_release(&pointer_, bezel_coordinate(ev.button.x, zoom_), bezel_coordinate(ev.button.y, zoom_)));
      }
      break;
    case SDL_MOUSEWHEEL:
      apply_control_action(wheel_action(ev.wheel.y, ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED));
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const key_result r = map_key(ev.key.keysym.sym, ev.key.keysym.mod, ev.type == SDL_KEYDOWN, ev.key.repeat != 0);
      apply_control_action(r.action);
      command(r.command);
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
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  sim_options options;
  std::string error;
  if (!parse_sim_options(argc, argv, &options, &error)) {
    std::fprintf(stderr, "vesper-sim: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(sim_usage().c_str(), stdout);
    return 0;
  }
  for (const desk_sensor_write& write : options.sensors) {
    apply_desk_sensor(write);
  }
  for (const auto& [port, device] : options.serial_devices) {
    serial_set_device(port, device);
  }

  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vesper-sim: cannot start the window system: %s\n", SDL_GetError());
    return 1;
  }
  int status = 1;
  {
    simulator sim(options);
    if (sim.create()) {
      status = sim.run();
    }
  }
  SDL_Quit();
  return status;
}

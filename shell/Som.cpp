#include "shell/Som.h"

#include <canberra.h>
#include <glob.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace tazu {

namespace {

// ALSA writes a page of complaints to standard error for every sound it
// cannot play; on a machine without a sound server or a playback device we
// do not ask it at all.
bool HaDispositivoDeSom() {
  static const bool ha = [] {
    struct stat info {};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (std::getenv("PULSE_SERVER")) return true;
    if (runtime) {
      for (const char* socket : {"/pulse/native", "/pipewire-0"}) {
        if (::stat((std::string(runtime) + socket).c_str(), &info) == 0) return true;
      }
    }
    glob_t pcm{};
    const bool placa = ::glob("/dev/snd/pcmC*p", 0, nullptr, &pcm) == 0 && pcm.gl_pathc > 0;
    ::globfree(&pcm);
    return placa;
  }();
  return ha;
}

// One context for the whole program, opened on the first sound. A machine
// without a sound device fails to open it once; after that nothing is tried.
ca_context* Contexto() {
  static ca_context* contexto = [] {
    ca_context* c = nullptr;
    if (ca_context_create(&c) != CA_SUCCESS) return static_cast<ca_context*>(nullptr);
    ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Tazu Messenger", nullptr);
    if (ca_context_open(c) != CA_SUCCESS) {
      ca_context_destroy(c);
      return static_cast<ca_context*>(nullptr);
    }
    return c;
  }();
  return contexto;
}

}  // namespace

void TocarSom(const std::string& arquivo) {
  struct stat info {};
  if (::stat(arquivo.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  if (!HaDispositivoDeSom()) return;
  ca_context* c = Contexto();
  if (!c) return;
  // A new sound replaces the one still playing, so a burst of contacts coming
  // online at login sounds once rather than as a chorus.
  constexpr uint32_t kId = 1;
  ca_context_cancel(c, kId);
  ca_context_play(c, kId, CA_PROP_MEDIA_FILENAME, arquivo.c_str(), nullptr);
}

}  // namespace tazu

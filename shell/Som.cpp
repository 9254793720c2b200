#include "shell/Som.h"

#include <canberra.h>
#include <sys/stat.h>

namespace tazu {

namespace {

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
  ca_context* c = Contexto();
  if (!c) return;
  // A new sound replaces the one still playing, so a burst of contacts coming
  // online at login sounds once rather than as a chorus.
  constexpr uint32_t kId = 1;
  ca_context_cancel(c, kId);
  ca_context_play(c, kId, CA_PROP_MEDIA_FILENAME, arquivo.c_str(), nullptr);
}

}  // namespace tazu

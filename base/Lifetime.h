// Whether the object a deferred callback was made for still exists.
//
// The owner holds a Lifetime member; a callback that may run after the owner
// is gone (posted tasks, socket notifications, slow work) keeps a Guard and
// asks Alive() before touching the owner.
#pragma once

#include <memory>

namespace tazu {

class Lifetime {
 public:
  class Guard {
   public:
    Guard() = default;
    bool Alive() const { return !flag_.expired(); }
    explicit operator bool() const { return Alive(); }

   private:
    friend class Lifetime;
    explicit Guard(const std::shared_ptr<char>& flag) : flag_(flag) {}
    std::weak_ptr<char> flag_;
  };

  Lifetime() = default;
  Lifetime(const Lifetime&) = delete;
  Lifetime& operator=(const Lifetime&) = delete;

  Guard Watch() const { return Guard(flag_); }
  // Guards taken so far see the owner gone; later ones watch it anew. For an
  // object that outlives one of its phases (a socket across connections).
  void Renew() { flag_ = std::make_shared<char>(0); }
  // Guards see the owner gone from now on; for destructors that must cut
  // callbacks off before their members go.
  void End() { flag_.reset(); }

 private:
  std::shared_ptr<char> flag_ = std::make_shared<char>(0);
};

}  // namespace tazu

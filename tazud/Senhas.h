// Password hashing with libxcrypt's strongest method (a NULL prefix lets the
// library choose it). Hashing is deliberately slow, tens of milliseconds at the
// default cost, so the server never does it on the main loop: a worker thread
// does it and the result comes back to the loop through a thread-safe post.
// Tests use the synchronous form, whose results still arrive from the loop.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tazu::tazud {

// Synchronous primitives. `custo` 0 is the library's default cost.
// Answers an empty text when hashing fails.
std::string GerarHash(const std::string& senha, unsigned long custo);
// Constant-time comparison of the recomputed hash.
bool ConferirHash(const std::string& hash, const std::string& senha);

class TSenhas {
 public:
  virtual ~TSenhas() = default;
  // `pronto` runs on the main loop: with the hash (empty on failure), or with
  // whether the password matches.
  virtual void Gerar(std::string senha, std::function<void(std::string)> pronto) = 0;
  virtual void Conferir(std::string hash, std::string senha, std::function<void(bool)> pronto) = 0;
  // Jobs accepted and not finished yet; the server refuses new ones past a bound.
  virtual std::size_t Pendentes() const = 0;
};

// Does the work inside a task posted to the loop.
class TSenhasNoLaco final : public TSenhas {
 public:
  TSenhasNoLaco(std::function<void(std::function<void()>)> postar, unsigned long custo)
      : postar_(std::move(postar)), custo_(custo) {}
  void Gerar(std::string senha, std::function<void(std::string)> pronto) override;
  void Conferir(std::string hash, std::string senha, std::function<void(bool)> pronto) override;
  std::size_t Pendentes() const override { return pendentes_; }

 private:
  std::function<void(std::function<void()>)> postar_;
  unsigned long custo_;
  std::size_t pendentes_ = 0;
};

// One worker thread. `postar` must be callable from any thread.
class TSenhasEmThread final : public TSenhas {
 public:
  TSenhasEmThread(std::function<void(std::function<void()>)> postar, unsigned long custo);
  ~TSenhasEmThread() override;
  void Gerar(std::string senha, std::function<void(std::string)> pronto) override;
  void Conferir(std::string hash, std::string senha, std::function<void(bool)> pronto) override;
  std::size_t Pendentes() const override;

 private:
  void Enfileirar(std::function<std::function<void()>()> trabalho);
  void Trabalhar();

  std::function<void(std::function<void()>)> postar_;
  unsigned long custo_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  // Each job computes on the worker and answers the continuation to post.
  std::deque<std::function<std::function<void()>()>> fila_;
  std::size_t emAndamento_ = 0;
  bool parar_ = false;
  std::thread thread_;
};

}  // namespace tazu::tazud

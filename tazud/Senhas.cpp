#include "tazud/Senhas.h"

#include <crypt.h>

#include <memory>

namespace tazu::tazud {

std::string GerarHash(const std::string& senha, unsigned long custo) {
  char sal[CRYPT_GENSALT_OUTPUT_SIZE];
  if (crypt_gensalt_rn(nullptr, custo, nullptr, 0, sal, sizeof sal) == nullptr) return {};
  auto dados = std::make_unique<crypt_data>();
  const char* hash = crypt_rn(senha.c_str(), sal, dados.get(), sizeof(crypt_data));
  // Failure answers NULL or a text starting with '*'.
  if (hash == nullptr || hash[0] == '*') return {};
  return hash;
}

bool ConferirHash(const std::string& hash, const std::string& senha) {
  if (hash.empty() || hash[0] == '*') return false;
  auto dados = std::make_unique<crypt_data>();
  const char* calculado = crypt_rn(senha.c_str(), hash.c_str(), dados.get(), sizeof(crypt_data));
  if (calculado == nullptr || calculado[0] == '*') return false;
  const std::string outro(calculado);
  if (outro.size() != hash.size()) return false;
  unsigned char diferenca = 0;
  for (std::size_t i = 0; i < hash.size(); ++i)
    diferenca |= static_cast<unsigned char>(hash[i] ^ outro[i]);
  return diferenca == 0;
}

void TSenhasNoLaco::Gerar(std::string senha, std::function<void(std::string)> pronto) {
  ++pendentes_;
  postar_([this, senha = std::move(senha), pronto = std::move(pronto)] {
    --pendentes_;
    pronto(GerarHash(senha, custo_));
  });
}

void TSenhasNoLaco::Conferir(std::string hash, std::string senha,
                             std::function<void(bool)> pronto) {
  ++pendentes_;
  postar_([this, hash = std::move(hash), senha = std::move(senha), pronto = std::move(pronto)] {
    --pendentes_;
    pronto(ConferirHash(hash, senha));
  });
}

TSenhasEmThread::TSenhasEmThread(std::function<void(std::function<void()>)> postar,
                                 unsigned long custo)
    : postar_(std::move(postar)), custo_(custo), thread_([this] { Trabalhar(); }) {}

TSenhasEmThread::~TSenhasEmThread() {
  {
    std::lock_guard<std::mutex> trava(mutex_);
    parar_ = true;
  }
  cv_.notify_all();
  thread_.join();
}

std::size_t TSenhasEmThread::Pendentes() const {
  std::lock_guard<std::mutex> trava(mutex_);
  return fila_.size() + emAndamento_;
}

void TSenhasEmThread::Enfileirar(std::function<std::function<void()>()> trabalho) {
  {
    std::lock_guard<std::mutex> trava(mutex_);
    fila_.push_back(std::move(trabalho));
  }
  cv_.notify_one();
}

void TSenhasEmThread::Gerar(std::string senha, std::function<void(std::string)> pronto) {
  const unsigned long custo = custo_;
  Enfileirar([senha = std::move(senha), pronto = std::move(pronto), custo]() mutable {
    std::string hash = GerarHash(senha, custo);
    return std::function<void()>(
        [pronto = std::move(pronto), hash = std::move(hash)] { pronto(hash); });
  });
}

void TSenhasEmThread::Conferir(std::string hash, std::string senha,
                               std::function<void(bool)> pronto) {
  Enfileirar(
      [hash = std::move(hash), senha = std::move(senha), pronto = std::move(pronto)]() mutable {
        const bool ok = ConferirHash(hash, senha);
        return std::function<void()>([pronto = std::move(pronto), ok] { pronto(ok); });
      });
}

void TSenhasEmThread::Trabalhar() {
  for (;;) {
    std::function<std::function<void()>()> trabalho;
    {
      std::unique_lock<std::mutex> trava(mutex_);
      cv_.wait(trava, [this] { return parar_ || !fila_.empty(); });
      if (parar_) return;
      trabalho = std::move(fila_.front());
      fila_.pop_front();
      ++emAndamento_;
    }
    std::function<void()> continuacao = trabalho();
    {
      std::lock_guard<std::mutex> trava(mutex_);
      --emAndamento_;
    }
    postar_(std::move(continuacao));
  }
}

}  // namespace tazu::tazud

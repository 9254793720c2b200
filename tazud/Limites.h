// What one address, one account or one connection may ask of the server's
// slow or scarce work: password checks and new users.
//
// Password guessing. After a wrong password the account and the address it
// came from each wait before their next check, twice as long after every
// further failure (up to a ceiling), until a quiet spell forgets them. A check
// waits for its account's delay from the moment it arrives, never longer: a
// guesser cannot keep the real user out by guessing on. An address has a few
// checks in flight at most; a failed one holds its place for the address's
// delay even if its connection goes, so answering slowly or not at all makes
// no difference to how fast an address can guess. A right password clears its
// account, never its address.
//
// New users. An address may register so many per hour, a connection so many
// in all.
//
// Plain bookkeeping over the time it is given; the server asks and obeys.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/Runtime.h"

namespace tazu::tazud {

struct TConfigLimites {
  net::Milliseconds atrasoInicial{1000};
  net::Milliseconds atrasoMaximoDaConta{8000};
  net::Milliseconds atrasoMaximoDoEndereco{60'000};
  net::Milliseconds esquecerApos{15 * 60'000};
  int conferenciasPorEndereco = 8;       // password checks and hashes in flight; 0 = no bound
  int cadastrosPorEnderecoPorHora = 10;  // 0 = no bound
  int cadastrosPorConexao = 2;
};

class TLimites {
 public:
  explicit TLimites(TConfigLimites config) : config_(config) {}

  // When a password check of `conta` from `endereco`, arriving now, may run.
  net::TimePoint InicioDaConferencia(uint16_t conta, const std::string& endereco,
                                     net::TimePoint agora) const;
  // A place for one more check or hash from `endereco`; false when all are
  // taken. Every true answer is given back with Terminar.
  bool Ocupar(const std::string& endereco, net::TimePoint agora);
  // A check ended; `conta` 0 for a hash of a new password.
  void Terminar(const std::string& endereco, uint16_t conta, bool certa, net::TimePoint agora);

  // Counts a registration from `endereco` when the hour allows it.
  bool Cadastrar(const std::string& endereco, net::TimePoint agora);
  int CadastrosPorConexao() const { return config_.cadastrosPorConexao; }

  // Drops what nobody needs to remember any more.
  void Esquecer(net::TimePoint agora);

 private:
  struct TFalhas {
    int quantas = 0;
    net::TimePoint ultima{};
    net::Milliseconds Atraso(const TConfigLimites& c, net::Milliseconds teto) const;
  };
  struct TEndereco {
    TFalhas falhas;
    int emAndamento = 0;
    std::vector<net::TimePoint> retidas;   // places held by failed checks, until then
    std::deque<net::TimePoint> cadastros;  // within the last hour
  };

  TConfigLimites config_;
  std::unordered_map<std::string, TEndereco> enderecos_;
  std::unordered_map<uint16_t, TFalhas> contas_;
};

}  // namespace tazu::tazud

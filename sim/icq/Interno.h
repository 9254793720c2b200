// What the simulator keeps per connection.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "icq/CodecFlap.h"
#include "icq/CodecMensagens.h"
#include "net/Runtime.h"
#include "sim/icq/SimuladorICQ.h"

namespace tazu::sim::icq {

struct TSimuladorICQ::TConexao {
  std::unique_ptr<net::TcpSocket> socket;
  bool sessao = false;  // the session server's (else the authorisation server's)
  std::string uin;      // once known
  std::string nome;     // for the log: "login #3", "sessao 1234"
  tazu::icq::TMontadorFlap montador;
  uint16_t sequencia = 0x1000;
  bool pronta = false;  // the client said it is ready
  uint32_t status = 0;
  tazu::icq::TInfoDireta direta;
  uint32_t ipExterno = 0x7F000001;
  std::set<std::string> contatos;          // whose presence it follows
  std::set<std::string> visiveis;          // 0x0009/0x0005
  std::set<std::string> invisiveis;        // 0x0009/0x0007
  std::map<std::string, uint32_t> vistos;  // contacts it was told are online, and their status
  bool encerrada = false;
  std::string saida;  // frames of this turn, written together
  bool lendo = false;
};

inline bool Invisivel(uint32_t status) {
  return (status & 0xFFFF) == 0x0100;
}

}  // namespace tazu::sim::icq

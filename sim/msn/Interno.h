// The simulator's own records, shared by its three parts.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "msn/CodecMSN.h"
#include "net/Url.h"
#include "sim/msn/SimuladorMSN.h"

namespace tazu::sim::msn {

namespace codec = ::tazu::msn;

struct TSimuladorMSN::TUsuario {
  std::string email, senha, apelido;
  std::set<std::string> fl, al, bl, rl;
  uint32_t versao = 0;
  std::string estado = "FLN";  // as others may see it; FLN when signed out
  TConexao* ns = nullptr;      // the notification connection while signed in
  bool robo = false;
  std::string ApelidoNaRede() const { return net::UrlEncode(apelido); }
};

struct TSimuladorMSN::TConexao {
  uint64_t id = 0;
  Papel papel = Papel::Despacho;
  std::unique_ptr<net::TcpSocket> socket;
  codec::TLeitorMSN leitor;
  bool fechada = false;
  // Logging in: 0 waits for VER, 1 for INF or USR I, 2 for USR S, 3 logged in.
  int fase = 0;
  std::string email;  // once known
  std::string hash;
  bool anunciou = false;  // the first CHG came (and the ILN lines went)
  std::string desafio;    // a challenge not answered yet
  std::unique_ptr<net::Timer> relogioDeDesafio;
  uint32_t sessao = 0;  // the switchboard session joined
};

struct TSimuladorMSN::TSessao {
  uint32_t id = 0;
  std::vector<TConexao*> presentes;
  std::vector<std::string> robos;  // echo bots that joined
};

struct TSimuladorMSN::TComando {
  codec::TLinhaMSN l;
  std::string_view payload;
  bool temPayload = false;
};

}  // namespace tazu::sim::msn

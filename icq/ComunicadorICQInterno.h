// The adapter's waits and pending messages, for its own files.
#pragma once

#include <memory>
#include <string>

#include "icq/CodecLista.h"
#include "icq/ComunicadorICQ.h"

namespace tazu::icq {

struct TComunicadorICQ::TEnvio {
  std::string uin;
  std::string texto;
  std::unique_ptr<net::Timer> temporizador;
};

struct TComunicadorICQ::TEspera {
  std::string uin;
  std::string apelido;  // the UIN until the server names the contact
  bool exige = true;    // authorisation required, until the server says otherwise
  bool perguntou = false;
  std::unique_ptr<net::Timer> temporizador;
  TResultadoIdentificacao resultado;
};

struct TComunicadorICQ::TAlteracao {
  std::string uin;
  std::string apelido;
  TAcaoLista acao;
  TResultadoLista resultado;
  int esperadas = 0;               // answers still to come, one per item changed
  uint16_t codigo = lista::kErro;  // what a change without an answer reports
  std::unique_ptr<net::Timer> temporizador;
};

}  // namespace tazu::icq

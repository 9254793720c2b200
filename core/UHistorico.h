// Conversation histories: one file per local user and partner under Hst/, a
// line per message. Each line is kind § time § header § text (header and text
// tag-escaped), scrambled with a key built from the local user's number, and
// ended by CR LF. The chat window appends; the history window reads back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/Runtime.h"

namespace tazu {

enum TTipoHistorico : int {
  HistoricoRecebida = 0,     // received
  HistoricoEnviada = 1,      // sent and delivered
  HistoricoNaoEntregue = 2,  // not delivered, or kept for later delivery
};

struct TLinhaHistorico {
  int Tipo = HistoricoRecebida;
  std::string Hora;       // "dd-mm-yyyy hh:nn"
  std::string Cabecalho;  // unescaped
  std::string Texto;      // unescaped, its lines joined with CR LF
};

// The scrambling key of a user's histories: 1 to 64.
uint8_t ChaveDoHistorico(uint16_t niuLocal);

// The file of one conversation (its name in UTF-8, as names are on this
// system). Community and identifier are escaped as texts are on the wire, and a
// slash can never lead out of Hst/.
std::string ArquivoDeHistorico(uint16_t niuLocal, const std::string& comunidade,
                               const std::string& identificador);

// A time stamp as histories write it, in local time.
std::string HoraDoHistorico(net::WallTime quando);

// Appends one line, creating Hst/ (0700) and the file (0600) when needed. False
// when the file cannot be written.
bool GravaHistorico(uint16_t niuLocal, const std::string& comunidade,
                    const std::string& identificador, int tipo, const std::string& hora,
                    const std::string& texto, const std::string& cabecalho);

// Every line of a history, in order; a missing file reads as no lines.
std::vector<TLinhaHistorico> LerHistorico(uint16_t niuLocal, const std::string& comunidade,
                                          const std::string& identificador);
// The same from the file's bytes, scrambled with `chave` (ChaveDoHistorico).
std::vector<TLinhaHistorico> LerLinhasDeHistorico(const std::string& bytes, uint8_t chave);

bool ExisteHistorico(uint16_t niuLocal, const std::string& comunidade,
                     const std::string& identificador);
bool ApagarHistorico(uint16_t niuLocal, const std::string& comunidade,
                     const std::string& identificador);

}  // namespace tazu

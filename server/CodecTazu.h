// The Tazu protocol as values, both ways, without any state: a line the server
// sent becomes a message whose fields carry their meaning, and a command of
// the client becomes its line. Framing and scrambling are core/ProtocoloTazu's;
// what a message does to the connection is the session's (SessaoTazu.h).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tazu {

// Every code the server may send, in the order the catalogue lists them.
enum class TCodigoServidor : uint8_t {
  RERR, RCCA, SBFF, RPNG, RUAC, SACT, SNCC, SNDC, SDSC, SCUA, SRBS, SFBS, RCEA, SNIL, SPAC,
  CRAC, CAAC, CACS, CMSG, SCEM, SNEM, SNMS, SACM, SECM, SUNP, SRIG, SRIT, RVER, SNMP, SEMS,
};
inline constexpr int kCodigosDoServidor = 30;
std::string_view NomeDoCodigo(TCodigoServidor codigo);

// One server message. Only the fields its code carries are filled.
struct TMensagemDoServidor {
  TCodigoServidor codigo{};
  // RERR, SEMS: the number; RVER: the user's own NIU; SCUA: the new NIU.
  int32_t numero = 0;
  uint8_t chave = 0;  // RVER: the scrambling key
  // The user the message is about, as the decimal text of the number read
  // ("007" reads "7"), so one user has one identifier.
  std::string niu;
  // Nicknames unescaped; RCEA's is taken as sent.
  std::string apelido;
  std::string lista, status, origem, presenca;
  // The message's free text, unescaped where the catalogue escapes it (CMSG,
  // SNEM); the rest of the line for RERR, SEMS, SCUA, SRIG, SRIT, SNMP; for
  // SNIL, SPAC, CRAC and CAAC the first text, "§", the second one unescaped.
  std::string texto;
  std::string nome, email;  // SRBS
  char autorizar = '0';     // SRBS: '1' when the user asks for authorisation
  std::vector<std::string> contas;  // SECM: the nine values of CSCM
  std::string registro;  // SACM: type § identifier § password, as sent
};

// What a received line (already unscrambled and trimmed) reads as.
struct TLinhaLida {
  enum class Tipo {
    Mensagem,
    SemCodigo,           // no "[CODE]" at its start
    CodigoDesconhecido,  // a code the catalogue does not have
    ValorInvalido,       // a number field that does not read
  };
  Tipo tipo = Tipo::Mensagem;
  std::string codigo;  // as read; empty when there is none
  TMensagemDoServidor mensagem;
};
TLinhaLida LerMensagemDoServidor(std::string_view linha);
// The same into `destino`, whose storage is reused line after line.
void LerMensagemDoServidor(std::string_view linha, TLinhaLida& destino);

// ---- Client commands ----

// "[CODE]§f1§f2…". Nothing when a field holds CR, LF or NUL: such a byte would
// end the line early and let the rest pass for a command of its own.
std::optional<std::string> MontarComando(std::string_view codigo,
                                         std::initializer_list<std::string_view> campos);
std::optional<std::string> MontarComando(std::string_view codigo,
                                         const std::vector<std::string>& campos);

// A message's text for CMSG: every line followed by CR LF, then tag-escaped.
// A lone CR or LF inside a line breaks it as CR LF would; NUL bytes are dropped.
std::string TextoDeMensagem(const std::vector<std::string>& linhas);
// A free text (CPAC's request): lone CR and LF become CR LF, NUL is dropped,
// then tag-escaped.
std::string TextoLivre(std::string_view texto);

}  // namespace tazu

// MSNP7 as values, without state: command lines split into their words and
// built from them, the stream cut into lines and length-counted payloads, the
// two status vocabularies, nicknames on the wire, and the MD5 answers of the
// login and of the server's challenges. The client (ClienteMSN, USessoesMSN)
// and the simulator (sim/msn) both speak through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tazu::msn {

// ---- Who we are to the notification server ----
//
// A challenge (CHL) is answered with QRY, naming the client product and
// proving it knows the product's key: the digest is MD5(challenge + key). The
// pair is ours; the simulator checks answers against the same two constants.
inline constexpr std::string_view kIdentificadorDoCliente = "tazu@tazumessenger.com.br";
inline constexpr std::string_view kChaveDoCliente = "K4D8T1M6R2B9X5Z7";

// The versions offered in VER, in the program's own words.
inline constexpr std::string_view kVersoes = "MSNP7 MSNP6 MSNP5 MSNP4 CVRO";

// ---- Command lines ----

// One line (without its CR LF) cut at blanks: the command, then its words.
// The views point into the line, which must outlive them.
struct TLinhaMSN {
  std::string_view linha;
  std::string_view comando;
  std::vector<std::string_view> args;

  // The word at `i`, or an empty view past the end.
  std::string_view Arg(std::size_t i) const {
    return i < args.size() ? args[i] : std::string_view();
  }
  // Everything after the first `n` words, as it was on the line.
  std::string_view Resto(std::size_t n) const;
};
void DividirLinha(std::string_view linha, TLinhaMSN& destino);

// Strict decimal: digits only, within 32 bits.
bool LerNumeroMSN(std::string_view texto, uint32_t& valor);
// "NNN": a server error reply.
bool EhErro(std::string_view comando);

// A word we may put on a command line: not empty, no blank and no byte below
// 0x21 (which would end the word or the line and smuggle in a command).
bool PalavraValida(std::string_view palavra);

// "NOME trid a b\r\n"; with no transaction id for the few commands that have
// none (OUT).
std::string MontarComando(std::string_view nome, std::optional<uint32_t> trid,
                          std::initializer_list<std::string_view> args = {});

// "NOME args len\r\n" + payload, for MSG (and, from the client, QRY).
std::string MontarComPayload(std::string_view cabeca, std::string_view payload);

// ---- Status ----

// MSN state → program status code; any unknown state reads as 1 (online).
uint8_t CodigoDoEstado(std::string_view estado);
// Program status code → MSN state; any unknown code is "NLN".
std::string_view EstadoDoCodigo(uint8_t codigo);

// ---- Nicknames ----

// A nickname as the wire carries it: percent escapes over UTF-8, shown up to
// its first "@" (a nick that is an address shows its name part). Bytes that
// are not UTF-8 are kept as they are.
std::string DecodificarApelido(std::string_view naRede);
// A Windows-1252 nickname for the wire.
std::string CodificarApelido(std::string_view apelido);
// UTF-8 → Windows-1252 when the bytes are UTF-8; other bytes as they are.
std::string TextoDaRede(std::string_view bytes);

// ---- Digests ----

// MD5 (RFC 1321) of the bytes as 32 lower-case hex digits.
std::string Md5Hex(std::string_view bytes);
// The second USR of the login: MD5 of the server's hash followed by the password.
std::string RespostaDoLogin(std::string_view hash, std::string_view senha);
// The digest QRY carries for a challenge.
std::string RespostaAoDesafio(std::string_view desafio);

// ---- Framing ----

// One unit of the stream: a command line, and for MSG and QRY the payload its
// last word counts (present only when that word reads as a length).
struct TQuadroMSN {
  std::string_view linha;
  std::string_view payload;
  bool temPayload = false;
};

// Cuts a byte stream into lines ended by CR LF and the payloads that MSG and
// QRY lines announce, across reads, within bounds. A line or a payload past
// its bound cannot be skipped safely (what follows might be payload), so the
// reader stops and says why; the connection is to be closed.
class TLeitorMSN {
 public:
  static constexpr std::size_t kLimiteDeLinha = 16 * 1024;
  static constexpr std::size_t kLimiteDePayload = 64 * 1024;

  enum class Resultado { Continua, Parado, LinhaLonga, PayloadGrande };

  explicit TLeitorMSN(std::size_t limiteDeLinha = kLimiteDeLinha,
                      std::size_t limiteDePayload = kLimiteDePayload)
      : limiteDeLinha_(limiteDeLinha), limiteDePayload_(limiteDePayload) {}

  // Hands every whole unit of `dados` (after what earlier reads left) to
  // `aoQuadro`, in order; the views live until it returns. When it answers
  // false the rest is dropped (its handler closed the connection): Parado.
  Resultado Alimentar(std::string_view dados,
                      const std::function<bool(const TQuadroMSN&)>& aoQuadro);
  void Limpar();
  std::size_t Pendente() const { return buffer_.size(); }

 private:
  std::size_t limiteDeLinha_;
  std::size_t limiteDePayload_;
  std::string buffer_;         // an unfinished line or payload
  std::string linhaPendente_;  // the line whose payload is still arriving
  std::size_t esperando_ = 0;  // bytes of payload expected; 0 when none
  bool falhou_ = false;
};

// How many bytes a payload announced by `linha` has: the last of at least
// three words after MSG or QRY. Nothing when the line announces none or its
// length does not read.
std::optional<std::size_t> TamanhoAnunciado(std::string_view linha);

}  // namespace tazu::msn

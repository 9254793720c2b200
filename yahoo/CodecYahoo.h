// YMSG packets as values, both ways, without any state: a fixed 20-byte
// header (magic "YMSG", version, vendor, payload length, service, status,
// session id; big-endian) and a payload of numbered key/value pairs, each
// written as the key's decimal digits, C0 80, the value, C0 80. Keys and
// values are bytes: text conversion belongs to whoever reads them.
//
// The stream is cut into packets by TLeitorYmsg, by the length each header
// announces; the session (SessaoYahoo.h) decides what a packet means. The
// simulator uses the same functions in the server's role.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tazu::yahoo {

namespace ymsg {

inline constexpr std::size_t kCabecalho = 20;
// The header counts the payload in 16 bits.
inline constexpr std::size_t kMaiorCarga = 0xFFFF;
inline constexpr std::string_view kSeparador = "\xC0\x80";

// Services.
enum : uint16_t {
  Logon = 0x01,
  Logoff = 0x02,
  Ausente = 0x03,
  DeVolta = 0x04,
  Mensagem = 0x06,
  AvisoDeContato = 0x0F,
  MensagemDoSistema = 0x14,
  KeepAlive = 0x12,
  MensagemNova = 0x2A,
  RespostaDeAutenticacao = 0x54,
  ListaDeContatos = 0x55,
  Autenticacao = 0x57,
  AdicionarContato = 0x83,
  RemoverContato = 0x84,
};

// Presence codes (headers and key 10), and the header status of messages.
enum : uint32_t {
  Disponivel = 0,
  Ocupado = 2,
  NaoNaMesa = 4,
  Invisivel = 12,
  Personalizado = 99,
  Inativo = 999,
  Desconectado = 0x5A55AA56,
  ErroDeEntrega = 0xFFFFFFFF,
};

}  // namespace ymsg

struct TYahooPair {
  int32_t Key = 0;
  std::string Value;
};

// One packet: header fields and the pairs in order. Keys may repeat; nothing
// sorts or merges them.
class TYahooPacket {
 public:
  TYahooPacket() = default;
  TYahooPacket(uint16_t service, uint32_t status, uint32_t sessionId)
      : Service(service), Status(status), SessionID(sessionId) {}

  uint16_t Service = 0;
  uint32_t Status = 0;
  uint32_t SessionID = 0;

  TYahooPacket& Adicionar(int32_t key, std::string_view value);
  std::span<const TYahooPair> Pares() const { return {pares_.data(), usados_}; }
  std::size_t Quantidade() const { return usados_; }
  // The value of the last pair with this key; null when there is none.
  const std::string* Valor(int32_t key) const;
  // Empties the packet; the storage of its pairs is kept for the next one.
  void Limpar() { usados_ = 0; }

 private:
  std::vector<TYahooPair> pares_;
  std::size_t usados_ = 0;
};

// Payload length before it is cut to 16 bits.
std::size_t TamanhoDaCarga(const TYahooPacket& p);

// Appends the packet's bytes to `destino`. False, and nothing appended, when
// the payload does not fit the header's 16 bits: a wrapped length would make
// the other side read the rest of the packet as the next one.
bool Serializar(const TYahooPacket& p, std::string& destino);
// The bytes, or "" when the payload does not fit.
std::string Serializar(const TYahooPacket& p);

// What a block of bytes read as a packet turned out to be.
enum class TResultadoLeitura {
  Ok,
  TamanhoDifere,  // shorter than a header, or not as long as its header says
};

// A pair left out of a packet because its key is not a decimal number.
struct TParRuim {
  std::string chave;
  std::string valor;
};

// Reads one whole packet (header and payload). The magic, version and vendor
// are not looked at. Pairs whose key does not read are left out and, when
// `ruins` is given, described there. `destino`'s storage is reused.
TResultadoLeitura LerPacote(std::string_view bloco, TYahooPacket& destino,
                            std::vector<TParRuim>* ruins = nullptr);

// The payload length a header announces (the header must be whole).
std::size_t CargaAnunciada(std::string_view cabecalho);

// Cuts the text at the first `separador`: answers what lies before it and
// leaves what follows; without one, the whole text is the token.
std::string_view ProximoToken(std::string_view& texto, std::string_view separador);

// A decimal number as YMSG values carry them: an optional '-', then digits.
// Negative values and values up to 2^32 - 1 are taken modulo 2^32.
bool LerInteiro(std::string_view texto, uint32_t& valor);

// Cuts a byte stream into packets by the length in each header. Keeps at most
// one unfinished packet (20 + 65535 bytes).
class TLeitorYmsg {
 public:
  enum class TResultado { Ok, Parou, Invalido };

  // Hands every whole packet of `dados` (joined with what was kept) to
  // `aoPacote`, in order. `aoPacote` returns false to stop: the rest is
  // dropped (its handler closed the connection or destroyed the reader).
  // Invalido when a packet does not start with "YMSG": the stream cannot be
  // followed any further; the reader keeps nothing then.
  TResultado Alimentar(std::string_view dados,
                       const std::function<bool(std::string_view)>& aoPacote);
  void Limpar() { parcial_.clear(); }
  std::size_t Pendente() const { return parcial_.size(); }

 private:
  std::string parcial_;
};

}  // namespace tazu::yahoo

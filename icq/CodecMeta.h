// ICQ meta data (family 0x15): requests for offline messages, user
// information and white-pages searches, and the server's replies. The chunk
// inside TLV 1 is little-endian throughout.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tazu::icq::meta {

// Request types, and the types of the replies.
inline constexpr uint16_t kOffline = 0x003C;
inline constexpr uint16_t kConfirmarOffline = 0x003E;
inline constexpr uint16_t kInfo = 0x07D0;
inline constexpr uint16_t kMensagemOffline = 0x0041;
inline constexpr uint16_t kFimOffline = 0x0042;
inline constexpr uint16_t kRespostaInfo = 0x07DA;

// Subtypes of an information request.
inline constexpr uint16_t kPedidoCompleto = 0x04B2;
inline constexpr uint16_t kPedidoCurto = 0x04BA;
inline constexpr uint16_t kBuscaUin = 0x0569;
inline constexpr uint16_t kBuscaEmail = 0x0573;
inline constexpr uint16_t kBuscaNomes = 0x055F;

// Subtypes of an information reply.
inline constexpr uint16_t kGeral = 0x00C8;
inline constexpr uint16_t kMais = 0x00DC;
inline constexpr uint16_t kTrabalho = 0x00D2;
inline constexpr uint16_t kSobre = 0x00E6;
inline constexpr uint16_t kEmails = 0x00EB;
inline constexpr uint16_t kInteresses = 0x00F0;
inline constexpr uint16_t kPassado = 0x00FA;
inline constexpr uint16_t kCurta = 0x0104;
inline constexpr uint16_t kResultadoBusca = 0x01A4;
inline constexpr uint16_t kUltimoResultado = 0x01AE;
// The result byte of a successful reply.
inline constexpr uint8_t kSucesso = 0x0A;

// One meta chunk, request or reply.
struct TMeta {
  uint32_t uin = 0;  // the requester's own UIN
  uint16_t tipo = 0;
  uint16_t sequencia = 0;
  std::string_view dados;  // after the sequence
};

// ---- Values ----
struct TMensagemOffline {
  uint32_t de = 0;
  uint16_t ano = 0;
  uint8_t mes = 0, dia = 0, hora = 0, minuto = 0;
  uint8_t tipo = 1, flags = 0;
  std::string texto;
};
struct TInfoGeral {
  std::string apelido, nome, sobrenome, email, cidade, estado, telefone, fax, endereco, celular,
      cep;
  uint16_t pais = 0;
  uint8_t fuso = 0;
  bool publicarEmail = false;
};
struct TInfoMais {
  uint16_t idade = 0;
  uint8_t sexo = 0;  // 1 female, 2 male
  std::string homePage;
  uint16_t anoNascimento = 0;
  uint8_t mesNascimento = 0, diaNascimento = 0;
  std::array<uint8_t, 3> idiomas{};
};
struct TInfoTrabalho {
  std::string cidade, estado, telefone, fax, endereco, cep;
  uint16_t pais = 0;
  std::string empresa, departamento, cargo;
  uint16_t ocupacao = 0;
  std::string homePage;
};
struct TInfoCurta {
  std::string apelido, nome, sobrenome, email;
  bool exigeAutorizacao = false;
};
struct TResultadoBusca {
  uint32_t uin = 0;
  std::string apelido, nome, sobrenome, email;
  bool exigeAutorizacao = false;
  uint16_t status = 0;
  uint8_t sexo = 0, idade = 0;
};
// What a search asks for, by names; empty fields are left out.
struct TBuscaNomes {
  std::string nome, sobrenome, apelido, email;
};
// The parts of an information request the simulator answers.
struct TPedidoInfo {
  uint16_t subtipo = 0;
  uint32_t uin = 0;   // full, short, by UIN
  TBuscaNomes busca;  // by e-mail (email only) and by names
};
// The head of an information reply.
struct TRespostaInfo {
  uint16_t subtipo = 0;
  bool sucesso = false;
  std::string_view dados;  // after the result byte
};

// ---- Building (the client's requests; the server's replies) ----
// SNAC 0x0015/0x0002; request id 0x00010002 when `sequencia` is 2.
std::string Pedido(uint32_t proprioUin, uint16_t tipo, uint16_t sequencia,
                   std::string_view dados = {});
std::string PedidoInfo(uint16_t subtipo, uint32_t uin);
std::string BuscaPorUin(uint32_t uin);
std::string BuscaPorEmail(std::string_view email);
std::string BuscaPorNomes(const TBuscaNomes& b);

// SNAC 0x0015/0x0003.
std::string Resposta(uint32_t proprioUin, uint16_t tipo, uint16_t sequencia,
                     std::string_view dados = {});
std::string MensagemOffline(const TMensagemOffline& m);
// An information reply: subtype, result byte, data (nothing after a failure).
std::string RespostaInfo(uint16_t subtipo, bool sucesso, std::string_view dados = {});
std::string Geral(const TInfoGeral& i);
std::string Mais(const TInfoMais& i);
std::string Trabalho(const TInfoTrabalho& i);
std::string Curta(const TInfoCurta& i);
std::string Sobre(std::string_view texto);
std::string ResultadoBusca(const TResultadoBusca& r);

// ---- Reading ----
// The chunk of a request or reply SNAC; false when TLV 1 is not first or the
// chunk is short.
bool Ler(std::string_view snacDados, TMeta& m);
bool LerMensagemOffline(std::string_view dados, TMensagemOffline& m);
bool LerRespostaInfo(std::string_view dados, TRespostaInfo& r);
bool LerGeral(std::string_view dados, TInfoGeral& i);
bool LerMais(std::string_view dados, TInfoMais& i);
bool LerTrabalho(std::string_view dados, TInfoTrabalho& i);
bool LerCurta(std::string_view dados, TInfoCurta& i);
bool LerSobre(std::string_view dados, std::string& texto);
bool LerResultadoBusca(std::string_view dados, TResultadoBusca& r);
bool LerPedidoInfo(std::string_view dados, TPedidoInfo& p);

}  // namespace tazu::icq::meta

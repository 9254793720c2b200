// The local data files under Dados/: the settings (Tazu.cfg, one record of 272
// bytes) and the local user store (Usuarios.dat, records of 396 bytes, no
// header), with the process-wide records the windows work with.
//
// Tazu.cfg, little-endian:
//   0 u16 last user (0 = none) | 2 length byte + 255 chars: server address |
//   258 u16 port | 260 four zero bytes | 264 double: first save, days since
//   1899-12-30 with the time of day as fraction.
//
// A Usuarios.dat record: every text field is a length byte followed by the
// scrambled value (TCriptografia), cut to the field. The number field uses the
// scrambler's default key, the others the record key of the number, which only
// decides check characters: any key reads back.
//
//     0 number (26)        26 nickname (31)        57 password (26)
//    83 status (26)       109 remember "Sim"/"Não" (26)
//   135 use ICQ, MSN, Yahoo: three bytes 0/1, not scrambled
//   138 ICQ number (26)   164 ICQ password (26)    190 MSN e-mail (128)
//   318 MSN password (26) 344 Yahoo id (26)        370 Yahoo password (26)
//
// The store is never lost or thinned by a rewrite: it is replaced atomically
// through Temp.dat, and records this program cannot read (a number field that
// is not a decimal 0..65535, a short fragment at the end) are reported, left
// out of the list and copied back unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringCurta.h"
#include "core/UGlobal.h"
#include "net/Runtime.h"

namespace tazu {

inline constexpr std::size_t kTamanhoConfiguracao = 272;
inline constexpr std::size_t kTamanhoRegistroUsuario = 396;

struct TConfiguracao {
  uint16_t UltimoUsuario = 0;  // NIU; 0 = none
  StringCurta<255> Servidor;
  uint16_t Porta = 0;
  double PrimeiraGravacao = 0;  // days since 1899-12-30; 0 = never saved

  bool operator==(const TConfiguracao&) const = default;
};

struct TDadosUsuario {
  int32_t NIU = 0;
  TApelido Apelido;
  TString15 Senha;
  uint8_t StatusPreferido = StatusConectado;
  bool LembrarSenha = false;
  bool UsarICQ = false;
  bool UsarMSN = false;
  bool UsarYahoo = false;
  StringCurta<25> NumeroICQ;
  StringCurta<25> SenhaICQ;
  StringCurta<127> EmailMSN;
  StringCurta<25> SenhaMSN;
  StringCurta<25> IdYahoo;
  StringCurta<25> SenhaYahoo;

  bool operator==(const TDadosUsuario&) const = default;
};

struct TIdentificadorUsuario {
  uint16_t NIU = 0;
  bool LembrarSenha = false;

  bool operator==(const TIdentificadorUsuario&) const = default;
};

// One entry of the local user list: the nickname as stored (up to 27
// characters in a store written elsewhere) and the user's identifier.
struct TEntradaUsuario {
  std::string Apelido;
  TIdentificadorUsuario Identificador;
};

enum class TDefeitoRegistro {
  NumeroInvalido,  // the number field is not a decimal 0..65535
  FragmentoFinal,  // fewer than 396 bytes left at the end of the store
};

// ---- Process-wide state --------------------------------------------------

extern TConfiguracao Configuracao;
extern TDadosUsuario UsuarioAtual;
// One entry per readable record of the store, in file order.
extern std::vector<TEntradaUsuario> UsuariosLocais;

// Raised for every unreadable record met while loading or rewriting the
// store, with its position (0-based; a fragment's is the number of whole
// records before it).
extern std::function<void(int indice, TDefeitoRegistro defeito)> AoEncontrarRegistroDanificado;

// Back to the state of a fresh process: empty records and list, no handler.
void ReiniciarDadosLocais();

// ---- Files under DiretorioDados() ----------------------------------------

// Reads Tazu.cfg into Configuracao; false (Configuracao unchanged) when the
// file is missing, unreadable or short.
bool CarregarConfiguracao();
// Stamps the first save with `agora` (the runtime's wall clock) when it is
// still 0, then writes Tazu.cfg.
bool GravarConfiguracao(net::WallTime agora);

// Rebuilds UsuariosLocais from the store and makes the record of `niu` the
// current user; failing that the last readable record. A missing or empty
// store leaves UsuarioAtual as it was.
void CarregarUsuarios(int32_t niu);
// Position of `niu` in UsuariosLocais, or -1.
int LocalizarUsuario(int32_t niu);
// Stores the record, replacing the one with the same number, before the first
// record whose nickname sorts after it (upper case, Windows-1252). False, with
// the store and the list unchanged and `erro` saying why, when a value does not
// fit its field once scrambled (it would read back cut: a password that no
// longer logs in), the number is outside 0..65535, or the store cannot be read
// or replaced.
bool GravarUsuario(const TDadosUsuario& usuario, std::string* erro = nullptr);
void LiberarUsuarios();

// ---- The formats, without files -------------------------------------------

// Days since 1899-12-30 for a date and time of day.
double DataHoraParaDias(int ano, unsigned mes, unsigned dia, unsigned hora, unsigned minuto,
                        double segundo);
// The same for a moment, read in local time as the settings file keeps it.
double DiasNaHoraLocal(net::WallTime quando);

std::string CodificarConfiguracao(const TConfiguracao& configuracao);
// Needs at least 272 bytes; any bytes after the record are ignored.
std::optional<TConfiguracao> DecodificarConfiguracao(std::string_view bytes);

// The key byte of every field of a user's record but the number.
uint8_t ChaveDoRegistro(uint16_t niu);

// Cuts scrambled text to `maximo` bytes, one less when the cut would split a
// two-byte escape.
std::string CortarEmbaralhado(std::string embaralhado, std::size_t maximo);

struct TRegistroUsuario {
  TDadosUsuario Dados;  // fields cut to their in-memory maxima
  std::string Apelido;  // the nickname as stored, uncut
};

// The name of the first field whose scrambled value does not fit its place in
// the record (as the user knows it, Windows-1252); empty when all fit.
std::string CampoQueNaoCabe(const TDadosUsuario& usuario);

// A value that does not fit is cut (CortarEmbaralhado); GravarUsuario never
// lets one through.
std::string CodificarRegistro(const TDadosUsuario& usuario);
// Empty when `bytes` is not 396 bytes long or the number field does not read.
std::optional<TRegistroUsuario> DecodificarRegistro(std::string_view bytes);

struct TRegistroArmazenado {
  std::string_view Bytes;                   // as in the store
  std::optional<TRegistroUsuario> Usuario;  // empty when unreadable
};

struct TArmazemLido {
  std::vector<TRegistroArmazenado> Registros;
  std::string_view Fragmento;  // bytes after the last whole record
};

// Splits a store into records. The views point into `bytes`.
TArmazemLido LerArmazem(std::string_view bytes);

// The store `antigo` with `usuario` written in (the rules of GravarUsuario);
// fills `lista` with the entries of the new store. Empty when the number is
// outside 0..65535 or a value does not fit: such a record would not read back.
std::optional<std::string> InserirNoArmazem(
    std::string_view antigo, const TDadosUsuario& usuario, std::vector<TEntradaUsuario>& lista,
    const std::function<void(int, TDefeitoRegistro)>& aoDefeito = {});

}  // namespace tazu

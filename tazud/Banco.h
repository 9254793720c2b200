// The server's storage: one SQLite file in WAL mode. The schema is created and
// migrated here (PRAGMA user_version counts the steps applied). Texts are kept
// as BLOBs holding the Windows-1252 bytes exactly as they travel.
//
// Writes happen only inside a transaction the server opens (Iniciar) and
// commits at the end of each turn of the loop (Confirmar); the server answers a
// client only after the commit that holds what the answer confirms. Inside the
// turn each command may mark a savepoint, so a statement that fails undoes
// that command alone.
//
// The file holds the outside networks' passwords as the client needs them back
// (in clear), so it is created readable by its owner only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tazu::tazud {

using Niu = uint16_t;

struct TUsuario {
  Niu niu = 0;
  std::string apelido;
  std::string nome;
  std::string email;
  std::string hash;
  bool exigeAutorizacao = false;
  bool naoPublicar = false;
  int64_t ultimoAviso = 0;
};

struct TContatoGuardado {
  Niu niu = 0;
  char lista = 'A';  // 'A' in the list, 'P' waiting for the contact's authorisation
  std::string apelido;
};

// A notice kept for a user who was offline: SNIL, SPAC, CAAC or CRAC.
struct TEventoGuardado {
  int64_t id = 0;
  std::string codigo;
  Niu de = 0;
  std::string apelido;  // of `de`
  std::string texto1;
  std::string texto2;
};

struct TMensagemGuardada {
  int64_t id = 0;
  Niu de = 0;
  std::string apelido;  // of `de`
  std::string texto;    // tag-escaped, as sent
};

struct TContaExterna {
  bool usa = false;
  std::string conta;
  std::string senha;
};
// ICQ, MSN and Yahoo, in the order of the account commands.
using TContasExternas = std::array<TContaExterna, 3>;

struct TAviso {
  int64_t id = 0;
  int numero = 0;
  std::string texto;
};

class TBanco {
 public:
  // Opens (creating when missing) and migrates. `sincronoTotal` makes every
  // commit reach the disk before it returns (synchronous=FULL); otherwise a
  // commit survives a crash of the process but not of the machine.
  static std::unique_ptr<TBanco> Abrir(const std::string& caminho, bool sincronoTotal,
                                       std::string& erro);
  ~TBanco();
  TBanco(const TBanco&) = delete;
  TBanco& operator=(const TBanco&) = delete;

  static constexpr int kVersaoDoEsquema = 2;
  int VersaoDoEsquema();

  // BEGIN IMMEDIATE unless a transaction is open. False on failure.
  bool Iniciar();
  bool EmTransacao() const { return emTransacao_; }
  bool Confirmar(std::string& erro);
  void Desfazer();

  // A savepoint inside the open transaction: what follows it can be undone
  // alone (VoltarAoPonto) or kept (LiberarPonto). One at a time.
  void MarcarPonto();
  void LiberarPonto();
  void VoltarAoPonto();
  // A statement failed since the transaction or the savepoint began.
  bool Falhou() const { return falhou_; }
  // The failure is the storage's own (disk full, I/O, corruption) or took the
  // whole transaction with it: nothing of the turn can be kept.
  bool FalhaGrave() const;
  // SQLite's words for the failure, as they were when it happened.
  const std::string& ErroDaFalha() const { return erroDaFalha_; }

  // Users.
  std::optional<TUsuario> Usuario(Niu niu);
  std::optional<TUsuario> UsuarioPorApelido(std::string_view apelido);
  bool ApelidoEmUso(std::string_view apelido, Niu exceto = 0);
  // The new number, or 0 when all numbers are taken. The nickname must be free.
  Niu CriarUsuario(const TUsuario& u, const std::string& blocoPessoal);
  std::vector<TUsuario> Usuarios();
  void AtualizarPerfil(Niu niu, std::string_view apelido, std::string_view nome,
                       std::string_view email);

  // Search: kind 1 NIU, 2 nickname, 3 name, 4 e-mail, 5 nickname and name.
  // Nicknames and names match from their start, e-mails whole, all without
  // regard to case; each kind reads an index, never the whole table. Names and
  // e-mails of users who do not publish are neither searched nor answered.
  std::vector<TUsuario> Buscar(int tipo, std::string_view a, std::string_view b, int limite);
  // Rows the last search read by scanning a table (for tests).
  int64_t LinhasVarridasNaUltimaBusca() const { return varridas_; }

  // Contact lists.
  std::vector<TContatoGuardado> Contatos(Niu dono);
  std::optional<char> Lista(Niu dono, Niu contato);
  void GravarContato(Niu dono, Niu contato, char lista);
  void RemoverContato(Niu dono, Niu contato);
  // Who has `contato` as a normal entry ('A') of the list.
  std::vector<Niu> Observadores(Niu contato);

  // Authorisation requests waiting for an answer.
  void GravarPedido(Niu de, Niu para);
  bool ExistePedido(Niu de, Niu para);
  void RemoverPedido(Niu de, Niu para);

  int64_t GravarEvento(Niu para, std::string_view codigo, Niu de, std::string_view texto1,
                       std::string_view texto2);
  std::vector<TEventoGuardado> Eventos(Niu para);
  void RemoverEvento(int64_t id);

  // Message ids tell the order in which a recipient gets its messages, so a
  // message handed over without a row takes its id when it is handed over
  // (ReservarMensagem) and keeps it if it must be stored later.
  int64_t ReservarMensagem() { return ++ultimaMensagem_; }
  int64_t GravarMensagem(Niu de, Niu para, std::string_view texto, int64_t quando);
  void GravarMensagem(int64_t id, Niu de, Niu para, std::string_view texto, int64_t quando);
  // Oldest first, after `depoisDe`, at most `limite`.
  std::vector<TMensagemGuardada> Mensagens(Niu para, int64_t depoisDe, int limite);
  int ContarMensagens(Niu para);
  int ContarMensagens(Niu para, Niu de);
  void RemoverMensagem(int64_t id);

  std::optional<std::string> Bloco(Niu niu, int bloco);
  void GravarBloco(Niu niu, int bloco, std::string_view texto);

  TContasExternas Contas(Niu niu);
  void GravarContas(Niu niu, const TContasExternas& contas);

  int64_t GravarAviso(Niu para, int numero, std::string_view texto);
  int64_t UltimoAviso();
  // Notices for `niu` (addressed to it or to everyone) after `depoisDe`.
  std::vector<TAviso> Avisos(Niu niu, int64_t depoisDe);
  void MarcarAviso(Niu niu, int64_t id);

 private:
  class TComando;
  explicit TBanco(sqlite3* db) : db_(db) {}
  bool Executar(const char* sql, std::string& erro);
  bool Migrar(std::string& erro);
  sqlite3_stmt* Preparar(const char* sql);
  void RegistrarFalha(int codigo);
  static TUsuario LerUsuario(sqlite3_stmt* s);

  sqlite3* db_;
  bool emTransacao_ = false;
  bool falhou_ = false;  // a statement of the open transaction failed
  int codigoDaFalha_ = 0;
  std::string erroDaFalha_;
  int64_t ultimaMensagem_ = 0;
  int64_t varridas_ = 0;
  std::unordered_map<const char*, sqlite3_stmt*> comandos_;
};

}  // namespace tazu::tazud

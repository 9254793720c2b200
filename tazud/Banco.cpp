// The store's file, its schema steps, transactions, savepoints and failures.
#include "tazud/Banco.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tazud/BancoComando.h"

namespace tazu::tazud {

namespace {

// Each step brings a database forward by one version, in its own transaction.
// Steps are only ever appended.
constexpr const char* kMigracoes[] = {
    // 1: the first schema.
    R"sql(
CREATE TABLE usuarios(
  niu INTEGER PRIMARY KEY,
  apelido BLOB NOT NULL,
  apelido_busca BLOB NOT NULL UNIQUE,
  nome BLOB NOT NULL,
  nome_busca BLOB NOT NULL,
  email BLOB NOT NULL,
  email_busca BLOB NOT NULL,
  hash TEXT NOT NULL,
  exige_autorizacao INTEGER NOT NULL,
  nao_publicar INTEGER NOT NULL,
  ultimo_aviso INTEGER NOT NULL DEFAULT 0,
  criado INTEGER NOT NULL
);
CREATE TABLE informacoes(
  niu INTEGER NOT NULL, bloco INTEGER NOT NULL, texto BLOB NOT NULL,
  PRIMARY KEY(niu, bloco)) WITHOUT ROWID;
CREATE TABLE contatos(
  dono INTEGER NOT NULL, contato INTEGER NOT NULL, lista TEXT NOT NULL,
  PRIMARY KEY(dono, contato)) WITHOUT ROWID;
CREATE INDEX contatos_por_contato ON contatos(contato, lista, dono);
CREATE TABLE pedidos(
  de INTEGER NOT NULL, para INTEGER NOT NULL,
  PRIMARY KEY(de, para)) WITHOUT ROWID;
CREATE TABLE eventos(
  id INTEGER PRIMARY KEY,
  para INTEGER NOT NULL, codigo TEXT NOT NULL, de INTEGER NOT NULL,
  texto1 BLOB NOT NULL, texto2 BLOB NOT NULL);
CREATE INDEX eventos_por_destino ON eventos(para, id);
CREATE TABLE mensagens(
  id INTEGER PRIMARY KEY,
  de INTEGER NOT NULL, para INTEGER NOT NULL,
  texto BLOB NOT NULL, criada INTEGER NOT NULL);
CREATE INDEX mensagens_por_destino ON mensagens(para, id);
CREATE TABLE comunicadores(
  niu INTEGER NOT NULL, tipo INTEGER NOT NULL, usa INTEGER NOT NULL,
  conta BLOB NOT NULL, senha BLOB NOT NULL,
  PRIMARY KEY(niu, tipo)) WITHOUT ROWID;
CREATE TABLE avisos(
  id INTEGER PRIMARY KEY,
  para INTEGER NOT NULL, numero INTEGER NOT NULL,
  texto BLOB NOT NULL, criado INTEGER NOT NULL);
)sql",
    // 2: searches by name and e-mail read an index (nicknames have theirs
    // from the UNIQUE constraint); a sender's share of a mailbox is counted
    // without reading the whole mailbox.
    R"sql(
CREATE INDEX usuarios_por_nome ON usuarios(nome_busca) WHERE nao_publicar=0;
CREATE INDEX usuarios_por_email ON usuarios(email_busca) WHERE nao_publicar=0;
CREATE INDEX mensagens_por_remetente ON mensagens(para, de);
)sql",
};

// Creates a missing database file readable by its owner only; SQLite gives
// the journal files the same mode.
bool CriarSoParaODono(const std::string& caminho, std::string& erro) {
  if (caminho.empty() || caminho == ":memory:" || caminho.rfind("file:", 0) == 0) return true;
  const int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (errno == EEXIST) return true;
  erro = std::string("cannot create the file: ") + std::strerror(errno);
  return false;
}

}  // namespace

std::unique_ptr<TBanco> TBanco::Abrir(const std::string& caminho, bool sincronoTotal,
                                      std::string& erro) {
  if (!CriarSoParaODono(caminho, erro)) return nullptr;
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(caminho.c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    erro = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<TBanco> banco(new TBanco(db));
  // Another process (an admin command) may hold the write lock for a moment.
  sqlite3_busy_timeout(db, 5000);
  sqlite3_extended_result_codes(db, 1);
  const std::string pragmas = std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=") +
                              (sincronoTotal ? "FULL" : "NORMAL") + "; PRAGMA foreign_keys=OFF;";
  if (!banco->Executar(pragmas.c_str(), erro)) return nullptr;
  if (!banco->Migrar(erro)) return nullptr;
  TComando c(*banco, "SELECT COALESCE(MAX(id), 0) FROM mensagens");
  if (c.Linha()) banco->ultimaMensagem_ = c.I(0);
  return banco;
}

TBanco::~TBanco() {
  for (auto& [sql, s] : comandos_) sqlite3_finalize(s);
  if (emTransacao_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db_);
}

bool TBanco::Executar(const char* sql, std::string& erro) {
  char* msg = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &msg) == SQLITE_OK) return true;
  erro = msg ? msg : "sqlite error";
  sqlite3_free(msg);
  return false;
}

int TBanco::VersaoDoEsquema() {
  TComando c(*this, "PRAGMA user_version");
  return c.Linha() ? static_cast<int>(c.I(0)) : -1;
}

bool TBanco::Migrar(std::string& erro) {
  constexpr int total = static_cast<int>(std::size(kMigracoes));
  static_assert(total == kVersaoDoEsquema);
  for (;;) {
    if (!Executar("BEGIN IMMEDIATE", erro)) return false;
    int versao = 0;
    {
      TComando c(*this, "PRAGMA user_version");
      if (c.Linha()) versao = static_cast<int>(c.I(0));
    }
    if (versao > total) {
      Executar("ROLLBACK", erro);
      erro = "the database was written by a newer tazud (schema " + std::to_string(versao) + ")";
      return false;
    }
    if (versao == total) return Executar("COMMIT", erro);
    const std::string passo =
        std::string(kMigracoes[versao]) + "PRAGMA user_version=" + std::to_string(versao + 1) + ";";
    if (!Executar(passo.c_str(), erro) || !Executar("COMMIT", erro)) {
      std::string ignorado;
      Executar("ROLLBACK", ignorado);
      return false;
    }
  }
}

sqlite3_stmt* TBanco::Preparar(const char* sql) {
  auto it = comandos_.find(sql);
  if (it != comandos_.end()) return it->second;
  sqlite3_stmt* s = nullptr;
  const int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
  if (rc != SQLITE_OK) {
    RegistrarFalha(rc);
    return nullptr;
  }
  comandos_.emplace(sql, s);
  return s;
}

void TBanco::RegistrarFalha(int codigo) {
  if (falhou_) return;  // the first one tells what happened
  falhou_ = true;
  codigoDaFalha_ = codigo;
  erroDaFalha_ = std::string(sqlite3_errmsg(db_)) + " (" + sqlite3_errstr(codigo) + ")";
}

bool TBanco::FalhaGrave() const {
  if (!falhou_) return false;
  // SQLite rolls the whole transaction back after some failures.
  if (emTransacao_ && sqlite3_get_autocommit(db_) != 0) return true;
  switch (codigoDaFalha_ & 0xFF) {
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
      return false;  // the statement's own fault: the store is sound
    default:
      return true;
  }
}

bool TBanco::Iniciar() {
  if (emTransacao_) return true;
  std::string erro;
  if (!Executar("BEGIN IMMEDIATE", erro)) return false;
  emTransacao_ = true;
  falhou_ = false;
  return true;
}

bool TBanco::Confirmar(std::string& erro) {
  if (!emTransacao_) return true;
  if (falhou_) {
    erro = "a statement failed: " + erroDaFalha_;
    Desfazer();
    return false;
  }
  if (!Executar("COMMIT", erro)) {
    Desfazer();
    return false;
  }
  emTransacao_ = false;
  return true;
}

void TBanco::Desfazer() {
  if (!emTransacao_) return;
  std::string ignorado;
  Executar("ROLLBACK", ignorado);
  emTransacao_ = false;
  falhou_ = false;
}

void TBanco::MarcarPonto() {
  std::string erro;
  if (!Executar("SAVEPOINT comando", erro)) RegistrarFalha(sqlite3_errcode(db_));
}

void TBanco::LiberarPonto() {
  std::string erro;
  if (!Executar("RELEASE comando", erro)) RegistrarFalha(sqlite3_errcode(db_));
}

void TBanco::VoltarAoPonto() {
  std::string erro;
  if (Executar("ROLLBACK TO comando", erro) && Executar("RELEASE comando", erro)) {
    falhou_ = false;
  }
}

}  // namespace tazu::tazud

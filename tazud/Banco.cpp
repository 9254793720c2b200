#include "tazud/Banco.h"

#include <sqlite3.h>

#include "core/UGlobal.h"

namespace tazu::tazud {

namespace {

// Step 1: the first schema. Later steps append to this list; a database is
// brought forward one step at a time, each in its own transaction.
constexpr const char* kMigracoes[] = {
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
};

std::string Maiusculas(std::string_view t) { return MaiusculasAnsi(Aparar(t)); }

}  // namespace

// One use of a cached statement: binds, steps, and resets on destruction.
class TBanco::TComando {
 public:
  TComando(TBanco& banco, const char* sql) : banco_(banco), s_(banco.Preparar(sql)) {}
  ~TComando() {
    if (s_ != nullptr) {
      sqlite3_reset(s_);
      sqlite3_clear_bindings(s_);
    }
  }
  TComando& Int(int64_t v) {
    sqlite3_bind_int64(s_, ++n_, v);
    return *this;
  }
  TComando& Blob(std::string_view v) {
    sqlite3_bind_blob(s_, ++n_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TComando& Texto(std::string_view v) {
    sqlite3_bind_text(s_, ++n_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // True while a row is available.
  bool Linha() {
    if (s_ == nullptr) return false;
    const int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) banco_.falhou_ = true;
    return false;
  }
  void Executar() { Linha(); }
  int64_t I(int col) const { return sqlite3_column_int64(s_, col); }
  std::string B(int col) const {
    const void* p = sqlite3_column_blob(s_, col);
    const int n = sqlite3_column_bytes(s_, col);
    return p == nullptr ? std::string() : std::string(static_cast<const char*>(p), n);
  }
  sqlite3_stmt* S() const { return s_; }

 private:
  TBanco& banco_;
  sqlite3_stmt* s_;
  int n_ = 0;
};

std::unique_ptr<TBanco> TBanco::Abrir(const std::string& caminho, bool sincronoTotal,
                                      std::string& erro) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(caminho.c_str(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
  if (rc != SQLITE_OK) {
    erro = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<TBanco> banco(new TBanco(db));
  // Another process (an admin command) may hold the write lock for a moment.
  sqlite3_busy_timeout(db, 5000);
  const std::string pragmas = std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=") +
                              (sincronoTotal ? "FULL" : "NORMAL") +
                              "; PRAGMA foreign_keys=OFF;";
  if (!banco->Executar(pragmas.c_str(), erro)) return nullptr;
  if (!banco->Migrar(erro)) return nullptr;
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
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
    falhou_ = true;
    return nullptr;
  }
  comandos_.emplace(sql, s);
  return s;
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
    erro = std::string("a statement failed: ") + sqlite3_errmsg(db_);
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

// --- users ------------------------------------------------------------------

#define TAZUD_COLUNAS_USUARIO \
  "niu, apelido, nome, email, hash, exige_autorizacao, nao_publicar, ultimo_aviso"

TUsuario TBanco::LerUsuario(sqlite3_stmt* s) {
  auto blob = [s](int col) {
    const void* p = sqlite3_column_blob(s, col);
    return p == nullptr ? std::string()
                        : std::string(static_cast<const char*>(p), sqlite3_column_bytes(s, col));
  };
  TUsuario u;
  u.niu = static_cast<Niu>(sqlite3_column_int64(s, 0));
  u.apelido = blob(1);
  u.nome = blob(2);
  u.email = blob(3);
  u.hash = blob(4);
  u.exigeAutorizacao = sqlite3_column_int(s, 5) != 0;
  u.naoPublicar = sqlite3_column_int(s, 6) != 0;
  u.ultimoAviso = sqlite3_column_int64(s, 7);
  return u;
}

std::optional<TUsuario> TBanco::Usuario(Niu niu) {
  TComando c(*this, "SELECT " TAZUD_COLUNAS_USUARIO " FROM usuarios WHERE niu=?");
  c.Int(niu);
  if (!c.Linha()) return std::nullopt;
  return LerUsuario(c.S());
}

std::optional<TUsuario> TBanco::UsuarioPorApelido(std::string_view apelido) {
  TComando c(*this, "SELECT " TAZUD_COLUNAS_USUARIO " FROM usuarios WHERE apelido_busca=?");
  c.Blob(Maiusculas(apelido));
  if (!c.Linha()) return std::nullopt;
  return LerUsuario(c.S());
}

bool TBanco::ApelidoEmUso(std::string_view apelido, Niu exceto) {
  TComando c(*this, "SELECT 1 FROM usuarios WHERE apelido_busca=? AND niu<>?");
  c.Blob(Maiusculas(apelido)).Int(exceto);
  return c.Linha();
}

Niu TBanco::CriarUsuario(const TUsuario& u, const std::string& blocoPessoal) {
  int64_t niu = 0;
  {
    // Numbers start at 1000; past the top, the lowest gap above it.
    TComando c(*this, "SELECT COALESCE(MAX(niu), 999) + 1 FROM usuarios");
    if (c.Linha()) niu = c.I(0);
  }
  if (niu > 65535) {
    TComando c(*this,
               "SELECT a.niu + 1 FROM usuarios a WHERE a.niu >= 999 AND a.niu < 65535 AND NOT "
               "EXISTS (SELECT 1 FROM usuarios b WHERE b.niu = a.niu + 1) ORDER BY a.niu LIMIT 1");
    niu = c.Linha() ? c.I(0) : 0;
    if (niu == 0) return 0;
  }
  {
    TComando c(*this,
               "INSERT INTO usuarios(niu, apelido, apelido_busca, nome, nome_busca, email, "
               "email_busca, hash, exige_autorizacao, nao_publicar, ultimo_aviso, criado) "
               "VALUES(?,?,?,?,?,?,?,?,?,?,(SELECT COALESCE(MAX(id),0) FROM avisos),"
               "strftime('%s','now'))");
    c.Int(niu)
        .Blob(u.apelido)
        .Blob(Maiusculas(u.apelido))
        .Blob(u.nome)
        .Blob(Maiusculas(u.nome))
        .Blob(u.email)
        .Blob(Maiusculas(u.email))
        .Texto(u.hash)
        .Int(u.exigeAutorizacao)
        .Int(u.naoPublicar);
    c.Executar();
  }
  GravarBloco(static_cast<Niu>(niu), 1, blocoPessoal);
  return static_cast<Niu>(niu);
}

std::vector<TUsuario> TBanco::Usuarios() {
  std::vector<TUsuario> lista;
  TComando c(*this, "SELECT " TAZUD_COLUNAS_USUARIO " FROM usuarios ORDER BY niu");
  while (c.Linha()) lista.push_back(LerUsuario(c.S()));
  return lista;
}

void TBanco::AtualizarPerfil(Niu niu, std::string_view apelido, std::string_view nome,
                             std::string_view email) {
  TComando c(*this,
             "UPDATE usuarios SET apelido=?, apelido_busca=?, nome=?, nome_busca=?, email=?, "
             "email_busca=? WHERE niu=?");
  c.Blob(apelido)
      .Blob(Maiusculas(apelido))
      .Blob(nome)
      .Blob(Maiusculas(nome))
      .Blob(email)
      .Blob(Maiusculas(email))
      .Int(niu);
  c.Executar();
}

std::vector<TUsuario> TBanco::Buscar(int tipo, std::string_view a, std::string_view b, int limite) {
  std::vector<TUsuario> lista;
  const std::string ma = Maiusculas(a);
  const std::string mb = Maiusculas(b);
  if (ma.empty() || (tipo == 5 && mb.empty())) return lista;
  const char* sql = nullptr;
  switch (tipo) {
    case 2:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE instr(apelido_busca, ?) > 0 ORDER BY niu LIMIT ?";
      break;
    case 3:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE nao_publicar=0 AND instr(nome_busca, ?) > 0 ORDER BY niu LIMIT ?";
      break;
    case 4:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE nao_publicar=0 AND email_busca = ? ORDER BY niu LIMIT ?";
      break;
    case 5:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE nao_publicar=0 AND instr(apelido_busca, ?) > 0 AND "
            "instr(nome_busca, ?) > 0 ORDER BY niu LIMIT ?";
      break;
    default:
      return lista;
  }
  TComando c(*this, sql);
  c.Blob(ma);
  if (tipo == 5) c.Blob(mb);
  c.Int(limite);
  while (c.Linha()) lista.push_back(LerUsuario(c.S()));
  return lista;
}

// --- contacts ---------------------------------------------------------------

std::vector<TContatoGuardado> TBanco::Contatos(Niu dono) {
  std::vector<TContatoGuardado> lista;
  TComando c(*this,
             "SELECT c.contato, c.lista, u.apelido FROM contatos c JOIN usuarios u ON "
             "u.niu = c.contato WHERE c.dono=? ORDER BY c.contato");
  c.Int(dono);
  while (c.Linha()) {
    const std::string letra = c.B(1);
    lista.push_back({static_cast<Niu>(c.I(0)), letra.empty() ? 'A' : letra[0], c.B(2)});
  }
  return lista;
}

std::optional<char> TBanco::Lista(Niu dono, Niu contato) {
  TComando c(*this, "SELECT lista FROM contatos WHERE dono=? AND contato=?");
  c.Int(dono).Int(contato);
  if (!c.Linha()) return std::nullopt;
  const std::string letra = c.B(0);
  return letra.empty() ? 'A' : letra[0];
}

void TBanco::GravarContato(Niu dono, Niu contato, char lista) {
  TComando c(*this, "INSERT OR REPLACE INTO contatos(dono, contato, lista) VALUES(?,?,?)");
  c.Int(dono).Int(contato).Texto(std::string(1, lista));
  c.Executar();
}

void TBanco::RemoverContato(Niu dono, Niu contato) {
  TComando c(*this, "DELETE FROM contatos WHERE dono=? AND contato=?");
  c.Int(dono).Int(contato);
  c.Executar();
}

std::vector<Niu> TBanco::Observadores(Niu contato) {
  std::vector<Niu> lista;
  TComando c(*this, "SELECT dono FROM contatos WHERE contato=? AND lista='A'");
  c.Int(contato);
  while (c.Linha()) lista.push_back(static_cast<Niu>(c.I(0)));
  return lista;
}

void TBanco::GravarPedido(Niu de, Niu para) {
  TComando c(*this, "INSERT OR IGNORE INTO pedidos(de, para) VALUES(?,?)");
  c.Int(de).Int(para);
  c.Executar();
}

bool TBanco::ExistePedido(Niu de, Niu para) {
  TComando c(*this, "SELECT 1 FROM pedidos WHERE de=? AND para=?");
  c.Int(de).Int(para);
  return c.Linha();
}

void TBanco::RemoverPedido(Niu de, Niu para) {
  TComando c(*this, "DELETE FROM pedidos WHERE de=? AND para=?");
  c.Int(de).Int(para);
  c.Executar();
}

// --- events and messages ----------------------------------------------------

int64_t TBanco::GravarEvento(Niu para, std::string_view codigo, Niu de, std::string_view texto1,
                             std::string_view texto2) {
  TComando c(*this,
             "INSERT INTO eventos(para, codigo, de, texto1, texto2) VALUES(?,?,?,?,?)");
  c.Int(para).Texto(codigo).Int(de).Blob(texto1).Blob(texto2);
  c.Executar();
  return sqlite3_last_insert_rowid(db_);
}

std::vector<TEventoGuardado> TBanco::Eventos(Niu para) {
  std::vector<TEventoGuardado> lista;
  TComando c(*this,
             "SELECT e.id, e.codigo, e.de, COALESCE(u.apelido, ''), e.texto1, e.texto2 FROM "
             "eventos e LEFT JOIN usuarios u ON u.niu = e.de WHERE e.para=? ORDER BY e.id");
  c.Int(para);
  while (c.Linha()) {
    lista.push_back({c.I(0), c.B(1), static_cast<Niu>(c.I(2)), c.B(3), c.B(4), c.B(5)});
  }
  return lista;
}

void TBanco::RemoverEvento(int64_t id) {
  TComando c(*this, "DELETE FROM eventos WHERE id=?");
  c.Int(id);
  c.Executar();
}

int64_t TBanco::GravarMensagem(Niu de, Niu para, std::string_view texto, int64_t quando) {
  TComando c(*this, "INSERT INTO mensagens(de, para, texto, criada) VALUES(?,?,?,?)");
  c.Int(de).Int(para).Blob(texto).Int(quando);
  c.Executar();
  return sqlite3_last_insert_rowid(db_);
}

std::vector<TMensagemGuardada> TBanco::Mensagens(Niu para, int64_t depoisDe, int limite) {
  std::vector<TMensagemGuardada> lista;
  TComando c(*this,
             "SELECT m.id, m.de, COALESCE(u.apelido, ''), m.texto FROM mensagens m LEFT JOIN "
             "usuarios u ON u.niu = m.de WHERE m.para=? AND m.id>? ORDER BY m.id LIMIT ?");
  c.Int(para).Int(depoisDe).Int(limite);
  while (c.Linha()) lista.push_back({c.I(0), static_cast<Niu>(c.I(1)), c.B(2), c.B(3)});
  return lista;
}

int TBanco::ContarMensagens(Niu para) {
  TComando c(*this, "SELECT COUNT(*) FROM mensagens WHERE para=?");
  c.Int(para);
  return c.Linha() ? static_cast<int>(c.I(0)) : 0;
}

void TBanco::RemoverMensagem(int64_t id) {
  TComando c(*this, "DELETE FROM mensagens WHERE id=?");
  c.Int(id);
  c.Executar();
}

// --- information, accounts, notices -----------------------------------------

std::optional<std::string> TBanco::Bloco(Niu niu, int bloco) {
  TComando c(*this, "SELECT texto FROM informacoes WHERE niu=? AND bloco=?");
  c.Int(niu).Int(bloco);
  if (!c.Linha()) return std::nullopt;
  return c.B(0);
}

void TBanco::GravarBloco(Niu niu, int bloco, std::string_view texto) {
  TComando c(*this, "INSERT OR REPLACE INTO informacoes(niu, bloco, texto) VALUES(?,?,?)");
  c.Int(niu).Int(bloco).Blob(texto);
  c.Executar();
}

TContasExternas TBanco::Contas(Niu niu) {
  TContasExternas contas;
  TComando c(*this, "SELECT tipo, usa, conta, senha FROM comunicadores WHERE niu=?");
  c.Int(niu);
  while (c.Linha()) {
    const int64_t tipo = c.I(0);
    if (tipo < 0 || tipo > 2) continue;
    contas[tipo] = {c.I(1) != 0, c.B(2), c.B(3)};
  }
  return contas;
}

void TBanco::GravarContas(Niu niu, const TContasExternas& contas) {
  for (int tipo = 0; tipo < 3; ++tipo) {
    TComando c(*this,
               "INSERT OR REPLACE INTO comunicadores(niu, tipo, usa, conta, senha) "
               "VALUES(?,?,?,?,?)");
    c.Int(niu).Int(tipo).Int(contas[tipo].usa).Blob(contas[tipo].conta).Blob(contas[tipo].senha);
    c.Executar();
  }
}

int64_t TBanco::GravarAviso(Niu para, int numero, std::string_view texto) {
  TComando c(*this,
             "INSERT INTO avisos(para, numero, texto, criado) VALUES(?,?,?,strftime('%s','now'))");
  c.Int(para).Int(numero).Blob(texto);
  c.Executar();
  return sqlite3_last_insert_rowid(db_);
}

int64_t TBanco::UltimoAviso() {
  TComando c(*this, "SELECT COALESCE(MAX(id), 0) FROM avisos");
  return c.Linha() ? c.I(0) : 0;
}

std::vector<TAviso> TBanco::Avisos(Niu niu, int64_t depoisDe) {
  std::vector<TAviso> lista;
  TComando c(*this,
             "SELECT id, numero, texto FROM avisos WHERE id>? AND (para=0 OR para=?) ORDER BY id");
  c.Int(depoisDe).Int(niu);
  while (c.Linha()) lista.push_back({c.I(0), static_cast<int>(c.I(1)), c.B(2)});
  return lista;
}

void TBanco::MarcarAviso(Niu niu, int64_t id) {
  TComando c(*this, "UPDATE usuarios SET ultimo_aviso=? WHERE niu=? AND ultimo_aviso<?");
  c.Int(id).Int(niu).Int(id);
  c.Executar();
}

}  // namespace tazu::tazud

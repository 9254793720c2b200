// Contact lists, authorisation requests, kept events and messages, notices.
#include <sqlite3.h>

#include "tazud/Banco.h"
#include "tazud/BancoComando.h"

namespace tazu::tazud {

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
  TComando c(*this, "INSERT INTO eventos(para, codigo, de, texto1, texto2) VALUES(?,?,?,?,?)");
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
  const int64_t id = ReservarMensagem();
  GravarMensagem(id, de, para, texto, quando);
  return id;
}

void TBanco::GravarMensagem(int64_t id, Niu de, Niu para, std::string_view texto, int64_t quando) {
  TComando c(*this, "INSERT INTO mensagens(id, de, para, texto, criada) VALUES(?,?,?,?,?)");
  c.Int(id).Int(de).Int(para).Blob(texto).Int(quando);
  c.Executar();
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

int TBanco::ContarMensagens(Niu para, Niu de) {
  TComando c(*this, "SELECT COUNT(*) FROM mensagens WHERE para=? AND de=?");
  c.Int(para).Int(de);
  return c.Linha() ? static_cast<int>(c.I(0)) : 0;
}

void TBanco::RemoverMensagem(int64_t id) {
  TComando c(*this, "DELETE FROM mensagens WHERE id=?");
  c.Int(id);
  c.Executar();
}

// --- notices ----------------------------------------------------------------

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

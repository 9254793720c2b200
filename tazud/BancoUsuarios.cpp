// Users, their search, their information blocks and outside accounts.
#include <sqlite3.h>

#include "core/UGlobal.h"
#include "tazud/Banco.h"
#include "tazud/BancoComando.h"

namespace tazu::tazud {

namespace {

std::string Maiusculas(std::string_view t) {
  return MaiusculasAnsi(Aparar(t));
}

}  // namespace

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

namespace {

// The least text greater than every text that starts with `prefixo`; past any
// key the table can hold when `prefixo` is all 0xFF.
std::string Sucessor(std::string prefixo) {
  while (!prefixo.empty() && static_cast<unsigned char>(prefixo.back()) == 0xFF) prefixo.pop_back();
  if (prefixo.empty()) return std::string(4096, '\xFF');
  prefixo.back() = static_cast<char>(static_cast<unsigned char>(prefixo.back()) + 1);
  return prefixo;
}

}  // namespace

std::vector<TUsuario> TBanco::Buscar(int tipo, std::string_view a, std::string_view b, int limite) {
  std::vector<TUsuario> lista;
  const std::string ma = Maiusculas(a);
  const std::string mb = Maiusculas(b);
  varridas_ = 0;
  if (ma.empty() || (tipo == 5 && mb.empty())) return lista;
  // Prefixes as ranges, so that each kind walks its index from the first match.
  const char* sql = nullptr;
  switch (tipo) {
    case 2:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE apelido_busca >= ?1 AND apelido_busca < ?2"
            " ORDER BY apelido_busca LIMIT ?5";
      break;
    case 3:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE nao_publicar=0 AND nome_busca >= ?1 AND nome_busca < ?2"
            " ORDER BY nome_busca, niu LIMIT ?5";
      break;
    case 4:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE nao_publicar=0 AND email_busca = ?1 ORDER BY niu LIMIT ?5";
      break;
    case 5:
      sql = "SELECT " TAZUD_COLUNAS_USUARIO
            " FROM usuarios WHERE apelido_busca >= ?1 AND apelido_busca < ?2 AND nao_publicar=0"
            " AND nome_busca >= ?3 AND nome_busca < ?4 ORDER BY apelido_busca LIMIT ?5";
      break;
    default:
      return lista;
  }
  TComando c(*this, sql);
  c.Blob(ma).Blob(Sucessor(ma)).Blob(mb).Blob(Sucessor(mb)).Int(limite);
  while (c.Linha()) lista.push_back(LerUsuario(c.S()));
  if (c.S() != nullptr) varridas_ = sqlite3_stmt_status(c.S(), SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
  return lista;
}

// --- information blocks and outside accounts -------------------------------

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

}  // namespace tazu::tazud

// User information, outside accounts and search.
#include <string>

#include "core/UGlobal.h"
#include "tazud/Campos.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

namespace {

constexpr std::size_t kCamposPessoais = 19;
constexpr std::size_t kCamposTrabalho = 10;
constexpr std::size_t kCampoDeInformacao = 100;
constexpr std::size_t kApelido = 25;
constexpr std::size_t kCampo = 60;

// A stored block with exactly `n` fields, the first one being the nickname.
std::vector<std::string> Completar(std::vector<std::string> campos, std::size_t n,
                                   const std::string& apelido) {
  campos.resize(n);
  campos[0] = CodificarTexto(apelido);
  return campos;
}

std::string Juntar(const std::vector<std::string>& campos) {
  std::string texto;
  for (std::size_t i = 0; i < campos.size(); ++i) {
    if (i > 0) texto += kSeparador;
    texto += campos[i];
  }
  return texto;
}

}  // namespace

// [CRIU]§0§NIU
void TServidor::CRIU(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  const Niu niu = LerNiu(s, campos.size() < 2 ? std::string() : campos[1], "CRIU");
  if (niu == 0) return;
  const std::optional<TUsuario> u = UsuarioExistente(s, niu);
  if (!u) return;
  const std::string numero = std::to_string(niu);
  const std::string apelido = EscreverApelido(u->apelido);
  const bool proprio = niu == s.niu;
  if (u->naoPublicar && !proprio) {
    Enviar(s, MontarLinha("SUNP", {numero, apelido}));
    return;
  }
  std::vector<std::string> pessoais =
      Completar(Dividir(banco_.Bloco(niu, 1).value_or("")), kCamposPessoais, u->apelido);
  // The SMS number and the window's own field are the owner's business only.
  if (!proprio) pessoais[1].clear(), pessoais[18].clear();
  const std::vector<std::string> trabalho =
      Completar(Dividir(banco_.Bloco(niu, 2).value_or("")), kCamposTrabalho, u->apelido);
  Enviar(s, MontarLinha("SRIG", {numero, apelido, Juntar(pessoais)}));
  Enviar(s, MontarLinha("SRIT", {numero, apelido, Juntar(trabalho)}));
}

namespace {

// A nickname, name or e-mail of the personal block (tag-escaped) as it is
// stored.
std::string TextoDoPerfil(const std::string& campo, std::size_t maximo) {
  return std::string(Aparar(Cortar(SemSeparador(Aparar(DecodificarTexto(campo))), maximo)));
}

}  // namespace

// [CADC]§block§fields of the block
void TServidor::CADC(TSessao& s, std::string& resto) {
  const std::string numero = ProximoCampo(resto, Separador);
  uint32_t bloco = 0;
  if (!LerNumero(numero, 2, bloco) || bloco == 0) {
    Recusar(s, textos::ErroBloco);
    return;
  }
  // Fields are stored as sent and read back by others.
  if (!CamposLimpos(s, resto, "CADC")) return;
  std::vector<std::string> campos = Dividir(resto);
  const std::size_t n = bloco == 1 ? kCamposPessoais : kCamposTrabalho;
  if (campos.size() > n) {
    Recusar(s, textos::ErroBloco);
    return;
  }
  for (std::string& c : campos) c = Cortar(c, kCampoDeInformacao);
  campos.resize(n);
  std::string apelido = s.apelido;
  if (bloco == 1) {
    const std::optional<TUsuario> u = banco_.Usuario(s.niu);
    if (!u) return;
    // What is checked for use is exactly what is kept.
    const std::string novo = TextoDoPerfil(campos[0], kApelido);
    if (!novo.empty() && novo != u->apelido) {
      if (banco_.ApelidoEmUso(novo, s.niu)) {
        EnviarErro(s, textos::ErroApelidoEmUso);
        return;
      }
      apelido = novo;
    }
    if (!Gravar(s)) return;
    const std::string nome = TextoDoPerfil(campos[2], kCampo);
    const std::string email = TextoDoPerfil(campos[17], kCampo);
    banco_.AtualizarPerfil(s.niu, apelido, nome.empty() ? u->nome : nome,
                           email.empty() ? u->email : email);
    if (!banco_.Falhou()) s.apelido = apelido;
  } else if (!Gravar(s)) {
    return;
  }
  banco_.GravarBloco(s.niu, static_cast<int>(bloco), Juntar(Completar(campos, n, apelido)));
}

// [CSCM]§ICQ in use§UIN§password§MSN in use§e-mail§password§Yahoo in use§id§password
void TServidor::CSCM(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  // Exactly nine: a "§" inside a value would shift the rest, and storing the
  // first nine would keep a cut password and the wrong address.
  if (campos.size() != 9) {
    Recusar(s, textos::ErroMalFormado, "CSCM");
    return;
  }
  if (!CamposLimpos(s, resto, "CSCM")) return;
  TContasExternas contas;
  for (std::size_t i = 0; i < 3; ++i) {
    contas[i].usa = campos[3 * i] == "1";
    contas[i].conta = Cortar(std::string(Aparar(campos[3 * i + 1])), 50);
    contas[i].senha = Cortar(campos[3 * i + 2], 15);
  }
  if (!Gravar(s)) return;
  banco_.GravarContas(s.niu, contas);
}

void TServidor::CRCM(TSessao& s, std::string&) {
  const TContasExternas contas = banco_.Contas(s.niu);
  std::vector<std::string> campos;
  for (const TContaExterna& c : contas) {
    campos.push_back(c.usa ? "1" : "0");
    campos.push_back(SemSeparador(c.conta));
    campos.push_back(SemSeparador(c.senha));
  }
  std::string linha = MontarLinha("SECM");
  for (const std::string& c : campos) linha += kSeparador + c;
  Enviar(s, linha);
}

// [CRBS]§kind§text[§name]: results (SRBS), bounded, then SFBS.
void TServidor::CRBS(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  uint32_t tipo = 0;
  if (campos.size() < 2 || !LerNumero(campos[0], 5, tipo) || tipo == 0 ||
      (tipo == 5 && campos.size() < 3)) {
    Recusar(s, textos::ErroMalFormado, "CRBS");
    return;
  }
  if (s.turnoDasBuscas_ != turno_) {
    s.turnoDasBuscas_ = turno_;
    s.buscasNoTurno_ = 0;
  }
  ++s.buscasNoTurno_;
  std::vector<TUsuario> achados;
  if (tipo == 1) {
    uint32_t niu = 0;
    if (LerNumero(Aparar(campos[1]), 65535, niu)) {
      if (auto u = banco_.Usuario(static_cast<Niu>(niu))) achados.push_back(std::move(*u));
    }
  } else {
    achados =
        banco_.Buscar(static_cast<int>(tipo), LerApelido(campos[1]),
                      tipo == 5 ? LerApelido(campos[2]) : std::string(), config_.resultadosDeBusca);
  }
  for (const TUsuario& u : achados) {
    const bool publica = !u.naoPublicar || u.niu == s.niu;
    Enviar(s, MontarLinha("SRBS", {std::to_string(u.niu), EscreverApelido(u.apelido),
                                   publica ? SemSeparador(u.nome) : std::string(),
                                   publica ? SemSeparador(u.email) : std::string(),
                                   u.exigeAutorizacao ? "1" : "0"}));
  }
  Enviar(s, MontarLinha("SFBS"));
}

// [CFNT]§n: the client closed its search. Results go out at once, so there is
// nothing left to stop.
void TServidor::CFNT(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  uint32_t n = 0;
  if (campos.empty() || !LerNumero(campos[0], 255, n)) Recusar(s, textos::ErroMalFormado, "CFNT");
}

}  // namespace tazu::tazud

// Contact lists, authorisation and status.
#include <string>

#include "core/UGlobal.h"
#include "tazud/Campos.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

Niu TServidor::LerNiu(TSessao& s, const std::string& campo, std::string_view codigo) {
  uint32_t niu = 0;
  if (!LerNumero(campo, 65535, niu) || niu == 0) {
    Recusar(s, textos::ErroMalFormado, codigo);
    return 0;
  }
  return static_cast<Niu>(niu);
}

bool TServidor::CamposLimpos(TSessao& s, std::string_view campos, std::string_view codigo) {
  if (!TemQuebraOuNulo(campos)) return true;
  Recusar(s, textos::ErroCaractereInvalido, codigo);
  return false;
}

std::optional<TUsuario> TServidor::UsuarioExistente(TSessao& s, Niu niu) {
  std::optional<TUsuario> u = banco_.Usuario(niu);
  if (!u) Recusar(s, textos::ErroUsuarioInexistente);
  return u;
}

void TServidor::CRLC(TSessao& s, std::string&) {
  EnviarLista(s);
}

void TServidor::AdicionarSemAutorizacao(TSessao& s, const TUsuario& alvo) {
  const bool jaEstava = banco_.Lista(s.niu, alvo.niu) == std::optional<char>('A');
  if (!jaEstava) {
    if (!Gravar(s)) return;
    banco_.GravarContato(s.niu, alvo.niu, 'A');
    banco_.RemoverPedido(s.niu, alvo.niu);
  }
  Enviar(s, MontarLinha("CACS", {std::to_string(alvo.niu)}));
  Enviar(s, LinhaDeContato(alvo.niu, alvo.apelido, 'A'));
  if (!jaEstava) Notificar(alvo.niu, "SNIL", s, DataDeHoje(), "");
}

// [CACL]§NIU
void TServidor::CACL(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  const Niu niu = LerNiu(s, campos.empty() ? std::string() : campos[0], "CACL");
  if (niu == 0) return;
  if (niu == s.niu) {
    Recusar(s, textos::ErroAutoAdicao);
    return;
  }
  const std::optional<TUsuario> alvo = UsuarioExistente(s, niu);
  if (!alvo) return;
  if (alvo->exigeAutorizacao && banco_.Lista(s.niu, niu) != std::optional<char>('A')) {
    Enviar(s, MontarLinha("RCEA", {std::to_string(niu), EscreverApelido(alvo->apelido)}));
    return;
  }
  AdicionarSemAutorizacao(s, *alvo);
}

// [CRCL]§NIU
void TServidor::CRCL(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  const Niu niu = LerNiu(s, campos.empty() ? std::string() : campos[0], "CRCL");
  if (niu == 0) return;
  if (!banco_.Lista(s.niu, niu) && !banco_.ExistePedido(s.niu, niu)) return;
  if (!Gravar(s)) return;
  banco_.RemoverContato(s.niu, niu);
  banco_.RemoverPedido(s.niu, niu);
}

// [CPAC]§NIU§request text (tag-escaped)
void TServidor::CPAC(TSessao& s, std::string& resto) {
  const std::string campo = ProximoCampo(resto, Separador);
  const Niu niu = LerNiu(s, campo, "CPAC");
  if (niu == 0) return;
  if (niu == s.niu) {
    Recusar(s, textos::ErroAutoAdicao);
    return;
  }
  const std::optional<TUsuario> alvo = UsuarioExistente(s, niu);
  if (!alvo) return;
  const std::optional<char> lista = banco_.Lista(s.niu, niu);
  if (!alvo->exigeAutorizacao || lista == std::optional<char>('A')) {
    AdicionarSemAutorizacao(s, *alvo);
    return;
  }
  if (!Gravar(s)) return;
  banco_.GravarContato(s.niu, niu, 'P');
  banco_.GravarPedido(s.niu, niu);
  Enviar(s, LinhaDeContato(niu, alvo->apelido, 'P'));
  Notificar(niu, "SPAC", s, DataDeHoje(), TextoLivre(resto));
}

// The requester whose pending request this user answers with `codigo`, the
// request already taken out of the store; 0 when there is none to answer.
Niu TServidor::ResponderPedido(TSessao& s, std::string& resto, std::string_view codigo) {
  const std::vector<std::string> campos = Dividir(resto);
  const Niu requerente = LerNiu(s, campos.empty() ? std::string() : campos[0], codigo);
  if (requerente == 0) return 0;
  if (!banco_.ExistePedido(requerente, s.niu)) {
    Recusar(s, textos::ErroSemPedido);
    return 0;
  }
  if (!Gravar(s)) return 0;
  banco_.RemoverPedido(requerente, s.niu);
  return requerente;
}

// [CAAC]§NIU: this user grants NIU's request.
void TServidor::CAAC(TSessao& s, std::string& resto) {
  const Niu requerente = ResponderPedido(s, resto, "CAAC");
  if (requerente == 0) return;
  const bool naLista = banco_.Lista(requerente, s.niu).has_value();
  if (naLista) banco_.GravarContato(requerente, s.niu, 'A');
  Notificar(requerente, "CAAC", s, DataDeHoje(), "");
  if (TSessao* r = Online(requerente); r != nullptr && naLista) {
    Enviar(*r, LinhaDeContato(s.niu, s.apelido, 'A'));
  }
}

// [CRAC]§NIU: this user refuses NIU's request.
void TServidor::CRAC(TSessao& s, std::string& resto) {
  const Niu requerente = ResponderPedido(s, resto, "CRAC");
  if (requerente == 0) return;
  if (banco_.Lista(requerente, s.niu) == std::optional<char>('P')) {
    banco_.RemoverContato(requerente, s.niu);
  }
  Notificar(requerente, "CRAC", s, DataDeHoje(), "");
}

// [CCCT]§NIU: the entry of someone who wrote to this user.
void TServidor::CCCT(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  const Niu niu = LerNiu(s, campos.empty() ? std::string() : campos[0], "CCCT");
  if (niu == 0) return;
  const std::optional<char> lista = banco_.Lista(s.niu, niu);
  if (!lista && s.remetentes.count(niu) == 0) {
    Recusar(s, textos::ErroIndisponivel);
    return;
  }
  const std::optional<TUsuario> u = UsuarioExistente(s, niu);
  if (!u) return;
  Enviar(s, LinhaDeContato(niu, u->apelido, lista.value_or('F')));
}

// [CNMS]§status
void TServidor::CNMS(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  uint32_t status = 0;
  if (campos.empty() || !LerNumero(campos[0], 255, status)) {
    Recusar(s, textos::ErroMalFormado, "CNMS");
    return;
  }
  if (status != 1 && status != 2 && status != 5 && status != 6 && status != 7 && status != 8) {
    Recusar(s, textos::ErroStatus);
    return;
  }
  const uint8_t antes = s.status;
  s.status = static_cast<uint8_t>(status);
  AnunciarTransicao(s, antes, s.status);
}

}  // namespace tazu::tazud

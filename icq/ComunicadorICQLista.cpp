// The ICQ adapter's contacts: the server-side list and its "Tazu" group,
// presence, adding and removing, authorisation and user information.
#include "base/Eventos.h"
#include "core/UGlobal.h"
#include "icq/CodecLista.h"
#include "icq/CodecPacote.h"
#include "icq/ComunicadorICQ.h"
#include "icq/Textos.h"

namespace tazu::icq {

namespace {

std::string Registro(std::vector<std::string> campos) {
  std::string r;
  for (std::size_t i = 0; i < campos.size(); ++i) r += (i ? Separador : "") + campos[i];
  return r;
}

std::string DoisDigitos(unsigned n, std::size_t largura) {
  std::string t = std::to_string(n);
  return std::string(t.size() < largura ? largura - t.size() : 0, '0') + t;
}

}  // namespace

TUsuario* TComunicadorICQ::RegistrarContato(uint16_t grupo, uint16_t item, char lista,
                                            const std::string& uin, const std::string& apelido) {
  TUsuario* u = ListaContatos.Localizar(uin);
  if (!u) {
    auto novo = std::make_unique<TUsuario>();
    novo->Status = 3;
    novo->Identificador = uin;
    novo->Rede = NomeComunicador;
    novo->Adaptador = this;
    u = ListaContatos.Adicionar(uin, std::move(novo));
  }
  u->Apelido = apelido;
  u->GrupoServidor = grupo;
  u->ItemServidor = item;
  u->Lista = lista;
  return u;
}

void TComunicadorICQ::StatusDoContato(const std::string& uin, uint32_t statusICQ) {
  TUsuario* u = ListaContatos.Localizar(uin);
  if (!u) return;
  const int codigo = CodigoDoStatusICQ(statusICQ);
  if (codigo != u->Status) {
    if (codigo == 3 && u->Lista == 'C') u->Lista = 'D';
    if (codigo != 3 && u->Lista == 'D') u->Lista = 'C';
    u->Status = static_cast<int16_t>(codigo);
  }
  SolicitarIdentificacao(
      u->Identificador, false, [this](const std::string& id, const std::string& apelido, bool) {
        TUsuario* c = ListaContatos.Localizar(id);
        if (!c) return;
        // A failed look-up answers a blank nickname: the old one stays.
        if (apelido != id && !Aparar(apelido).empty()) c->Apelido = apelido;
        AnunciarDepois({c->Apelido, c->Identificador, std::to_string(c->Status), c->Lista});
      });
}

void TComunicadorICQ::ContatoSaiu(const std::string& uin) {
  TUsuario* u = ListaContatos.Localizar(uin);
  if (!u || u->Status == 3) return;
  u->Status = 3;
  if (u->Lista == 'C') u->Lista = 'D';
  AnunciarDepois({u->Apelido, u->Identificador, "3", 'D'});
}

void TComunicadorICQ::ListaDoServidor(const std::vector<TEntradaLista>& lista) {
  grupoTazuAusente_ = true;
  membrosTazu_ = 0;
  std::vector<TAnuncio> iniciais;
  for (const TEntradaLista& e : lista) {
    const bool doTazu = e.nomeDoGrupo == textos::GrupoTazu;
    if (doTazu) ++membrosTazu_;
    if (grupoTazuAusente_) {
      if (doTazu) {
        grupoTazuAusente_ = false;
        grupoTazu_ = e.grupo;
      } else if (e.grupo >= grupoTazu_) {
        grupoTazu_ = e.grupo + 1;
      }
    }
    maiorItem_ = std::max<int>(maiorItem_, e.item);
    if (e.tipo == lista::kIgnorado) continue;
    const std::string uin = std::to_string(e.uin);
    const std::string apelido = Aparar(e.apelido).empty() ? uin : e.apelido;
    RegistrarContato(e.grupo, e.item, 'D', uin, apelido);
    iniciais.push_back({TApelido(apelido), uin, "3", 'D'});
    motor_.AddToContactList(e.uin);
  }
  if (lista.empty()) return;
  // The whole list is announced before any change that comes meanwhile.
  listaPronta_ = false;
  Depois([this, iniciais = std::move(iniciais)] {
    for (const TAnuncio& a : iniciais) {
      const Lifetime::Guard vida = vida_.Watch();
      ReceberContato(Conta, niu_, a.apelido, a.identificador, a.status, a.lista, NomeComunicador);
      if (!vida) return;
    }
    listaPronta_ = true;
    AnunciarPendentes();
  });
}

// ---- Adding ----

void TComunicadorICQ::AdicionarContato(const std::string& uin) {
  SolicitarIdentificacao(
      uin, true, [this](const std::string& id, const std::string& apelido, bool exige) {
        const bool verificar = verificarAutorizacao_;
        verificarAutorizacao_ = true;
        if (exige && verificar) {
          const Lifetime::Guard vida = vida_.Watch();
          Disparar(AoConfirmar, *this);
          if (vida) Disparar(OnExigirAutorizacao, *this, id, apelido);
          return;
        }
        AlterarListaServidor(
            id, apelido,
            [this](const std::string& u, const std::string& a) { return IncluirNoServidor(u, a); },
            [this](const std::string& u, const std::string& a, uint16_t c) { Incluido(u, a, c); });
      });
}

int TComunicadorICQ::IncluirNoServidor(const std::string& uin, const std::string& apelido) {
  const std::string nome = apelido == uin ? std::string() : apelido;
  ++maiorItem_;
  int mudancas = 1;
  motor_.BeginServerListEdit();
  if (grupoTazuAusente_) {
    motor_.AddServerGroup(std::string(textos::GrupoTazu), static_cast<uint16_t>(grupoTazu_));
    grupoTazuAusente_ = false;
    ++mudancas;
  }
  motor_.AddServerContact(uin, nome, static_cast<uint16_t>(grupoTazu_),
                          static_cast<uint16_t>(maiorItem_), true);
  motor_.EndServerListEdit();
  return mudancas;
}

void TComunicadorICQ::Incluido(const std::string& uin, const std::string& apelido,
                               uint16_t codigo) {
  if (codigo != lista::kOk) {
    Disparar(AoConfirmar, *this);
    return;
  }
  const Lifetime::Guard vida = vida_.Watch();
  Disparar(AoAdicionarComSucesso, *this, uin);
  if (!vida) return;
  motor_.AddToContactList(UinDeTexto(uin));
  TUsuario* u = RegistrarContato(static_cast<uint16_t>(grupoTazu_),
                                 static_cast<uint16_t>(maiorItem_), 'D', uin, apelido);
  u->Lista = u->Status == 3 ? 'D' : 'C';
  AnunciarDepois({u->Apelido, u->Identificador, std::to_string(u->Status), u->Lista});
  ++membrosTazu_;
}

// ---- Removing ----

void TComunicadorICQ::RemoverContato(const std::string& uin) {
  const TUsuario* u = ListaContatos.Localizar(uin);
  if (!u) return;
  auto doTazu = std::make_shared<bool>(false);
  AlterarListaServidor(
      uin, u->Apelido,
      [this, doTazu](const std::string& id, const std::string& a) {
        return ExcluirDoServidor(id, a, *doTazu);
      },
      [this, doTazu](const std::string& id, const std::string&, uint16_t c) {
        Excluido(id, c, *doTazu);
      });
}

int TComunicadorICQ::ExcluirDoServidor(const std::string& uin, const std::string& apelido,
                                       bool& doTazu) {
  const TUsuario* u = ListaContatos.Localizar(uin);
  if (!u) return 0;  // gone meanwhile: nothing left to change
  // Read before the entry goes.
  const uint16_t grupo = u->GrupoServidor, item = u->ItemServidor;
  doTazu = grupo == grupoTazu_ && !grupoTazuAusente_;
  ListaContatos.Remover(uin);
  motor_.BeginServerListEdit();
  motor_.DeleteServerContact(uin, apelido == uin ? std::string() : apelido, grupo, item);
  motor_.EndServerListEdit();
  return 1;
}

void TComunicadorICQ::Excluido(const std::string& uin, uint16_t codigo, bool doTazu) {
  if (codigo != lista::kOk) return;
  motor_.RemoveFromContactList(UinDeTexto(uin));
  // Only the group's own members count towards emptying it.
  if (!doTazu || --membrosTazu_ > 0) return;
  membrosTazu_ = 0;
  AlterarListaServidor(
      "0", {},
      [this](const std::string&, const std::string&) {
        motor_.BeginServerListEdit();
        motor_.DeleteServerGroup(std::string(textos::GrupoTazu), static_cast<uint16_t>(grupoTazu_));
        motor_.EndServerListEdit();
        return 1;
      },
      [this](const std::string&, const std::string&, uint16_t c) {
        if (c == lista::kOk) {
          grupoTazuAusente_ = true;  // the next add makes it again
          return;
        }
        Disparar(MensagemDeErro, *this, std::string(textos::GrupoNaoRemovido) + TextoErroLista(c));
      });
}

// ---- Authorisation ----

void TComunicadorICQ::AutorizacaoPedida(const std::string& uin, const std::string& motivo) {
  pedidosDeAutorizacao_[uin] = motivo;
  SolicitarIdentificacao(uin, false,
                         [this](const std::string& id, const std::string& apelido, bool) {
                           const auto p = pedidosDeAutorizacao_.find(id);
                           if (p == pedidosDeAutorizacao_.end()) return;
                           const std::string motivo = p->second;
                           pedidosDeAutorizacao_.erase(p);
                           Disparar(AoReceberEvento, *this, 2, id, apelido, motivo);
                         });
}

void TComunicadorICQ::AutorizacaoRespondida(const std::string& uin, bool concedida,
                                            const std::string& motivo) {
  const uint8_t tipo = concedida ? 4 : 3;
  const Lifetime::Guard vida = vida_.Watch();
  if (concedida) {
    verificarAutorizacao_ = false;
    AdicionarContato(uin);
  } else {
    Disparar(AoConfirmar, *this);
  }
  if (!vida) return;
  SolicitarIdentificacao(
      uin, false, [this, tipo, motivo](const std::string& id, const std::string& apelido, bool) {
        Disparar(AoReceberEvento, *this, tipo, id, apelido, motivo);
      });
}

void TComunicadorICQ::PedirAutorizacao(const std::string& uin, const std::string& texto) {
  motor_.RequestAuthorization(UinDeTexto(uin), texto);
  SolicitarIdentificacao(uin, false,
                         [this](const std::string& id, const std::string& apelido, bool) {
                           AnunciarDepois({apelido, id, "3", 'A'});
                         });
}

void TComunicadorICQ::ResponderAutorizacao(const std::string& uin, bool concedida) {
  motor_.ReplyAuthorization(uin, {}, concedida);
}

// ---- User information ----

void TComunicadorICQ::InformacaoGeral(const std::string& uin, const meta::TInfoGeral& i,
                                      const std::string& pais) {
  std::vector<std::string> c(20);
  if (!i.nome.empty() && !i.sobrenome.empty()) c[1] = i.nome + " " + i.sobrenome;
  c[4] = i.cidade;
  c[5] = i.estado;
  c[6] = pais;
  c[7] = i.cep;
  c[13] = i.celular;
  c[14] = i.telefone;
  c[16] = i.email;
  c[17] = "0";
  Disparar(AoReceberInfoUsuario, *this, 1, uin, i.apelido, Registro(c));
}

void TComunicadorICQ::InformacaoMais(const std::string& uin, const meta::TInfoMais& i,
                                     const std::string idiomas[3]) {
  std::vector<std::string> c(20);
  if (i.sexo == 1) c[2] = std::string(textos::Feminino);
  if (i.sexo == 2) c[2] = std::string(textos::Masculino);
  if (i.diaNascimento && i.mesNascimento && i.anoNascimento)
    c[3] = DoisDigitos(i.diaNascimento, 2) + "/" + DoisDigitos(i.mesNascimento, 2) + "/" +
           DoisDigitos(i.anoNascimento, 4);
  for (int k = 0; k < 3; ++k) c[10 + k] = idiomas[k];
  c[17] = "0";
  c[18] = i.homePage;
  c[19] = std::to_string(i.idade);
  Disparar(AoReceberInfoUsuario, *this, 1, uin, std::string(), Registro(c));
}

void TComunicadorICQ::InformacaoTrabalho(const std::string& uin, const meta::TInfoTrabalho& i,
                                         const std::string& pais, const std::string& ocupacao) {
  Disparar(AoReceberInfoUsuario, *this, 2, uin, std::string(),
           Registro({i.empresa, i.cidade, i.estado, pais, i.cep, i.telefone, ocupacao, i.cargo,
                     i.homePage}));
}

}  // namespace tazu::icq

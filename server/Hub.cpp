// The client as hub: the contact list of every community, the adapters of the
// outside networks, and the routing of the windows' requests by community.
#include <string>

#include "base/Eventos.h"
#include "core/UGlobal.h"
#include "server/Textos.h"
#include "server/UClientePCTazu.h"

namespace tazu {

namespace {

const std::string kTazu(textos::Comunidade);

bool EhTazu(const std::string& comunidade) { return comunidade == kTazu; }

std::string JuntarLinhas(const std::vector<std::string>& linhas) {
  std::string texto;
  for (const std::string& l : linhas) texto += l + "\r\n";
  return texto;
}

}  // namespace

// ---- Server messages for the hub ----

void TClientePCTazu::MensagemParaOHub(const TMensagemDoServidor& m) {
  using C = TCodigoServidor;
  const TApelido tazu(kTazu);
  switch (m.codigo) {
    case C::SACT: ContatoDaLista(m); break;
    case C::SNCC: ContatoConectado(m); break;
    case C::SNDC: ContatoDesconectado(m); break;
    case C::SNMS: ContatoMudouStatus(m); break;
    case C::CMSG: MensagemDoServidor(m); break;
    case C::SACM: IniciarComunicador(m.registro); break;
    case C::CACS:
      Disparar(AoConfirmar, *this);
      AnunciarRemocao(kTazu, m.niu);
      break;
    case C::SCEM: Disparar(AoConfirmarEnvio, *this, tazu, m.niu); break;
    case C::SNEM: {
      std::vector<std::string> linhas = DividirLinhas(m.texto);
      Disparar(AoEnviarOffLine, *this, tazu, m.niu, linhas);
      break;
    }
    case C::SCUA:
      Disparar(AoAceitarCadastro, *this, static_cast<uint16_t>(m.numero), m.texto);
      break;
    case C::SRBS:
      Disparar(AoReceberBusca, *this, m.niu, m.apelido, m.nome, m.email, m.autorizar);
      break;
    case C::RCEA:
      Disparar(AoConfirmar, *this);
      Disparar(AoExigirAutorizacao, *this, tazu, m.niu, TApelido(m.apelido));
      break;
    case C::SNIL:
    case C::SPAC:
    case C::CRAC:
    case C::CAAC: {
      const int tipo = m.codigo == C::SNIL ? 1 : m.codigo == C::SPAC ? 2 : m.codigo == C::CRAC ? 3 : 4;
      if (tipo != 1) Disparar(AoConfirmar, *this);
      Disparar(AoReceberEventoUsuario, *this, tipo, kTazu, m.niu, TApelido(m.apelido), m.texto);
      break;
    }
    case C::SECM: {
      const auto& v = m.contas;
      Disparar(AoReceberComunicadores, *this, v[0] == "1", v[1], v[2], v[3] == "1", v[4], v[5],
               v[6] == "1", v[7], v[8]);
      Disparar(AoConfirmar, *this);
      break;
    }
    case C::SUNP:
    case C::SRIG:
    case C::SRIT: {
      const int tipo = m.codigo == C::SUNP ? 0 : m.codigo == C::SRIG ? 1 : 2;
      Disparar(AoReceberInfoUsuario, *this, tipo, kTazu, m.niu, TApelido(m.apelido), m.texto);
      break;
    }
    case C::SEMS: Disparar(AoMensagemDeSistema, *this, m.numero, m.texto); break;
    default: break;  // the session's own messages never come here
  }
}

// ---- Adapters ----

void TClientePCTazu::IniciarComunicador(const std::string& registro) {
  std::string campos = registro;
  uint32_t tipo = 0;
  if (!LerNumero(ProximoCampo(campos, Separador), 0xFFFF, tipo)) return;
  if (tipo >= Contas.size()) return;  // no such network: ignored
  std::string identificador = ProximoCampo(campos, Separador);
  std::string senha = ProximoCampo(campos, Separador);

  std::string conta = Contas[tipo];
  const std::string lembrado = ProximoCampo(conta, Separador).substr(0, 2);
  uint8_t status = Status;
  uint32_t n = 0;
  if (!lembrado.empty() && lembrado != "0" && LerNumero(lembrado, 255, n))
    status = static_cast<uint8_t>(n);
  if (!identificador.empty()) {
    Contas[tipo] = (lembrado.empty() ? "0" : lembrado) + Separador + identificador + Separador +
                   senha;
  } else {
    identificador = ProximoCampo(conta, Separador);
    senha = ProximoCampo(conta, Separador);
  }
  if (identificador.empty()) return;

  const auto fabrica = fabricas_.find(static_cast<int>(tipo));
  if (fabrica == fabricas_.end() || !fabrica->second) return;  // no adapter for this network
  TContaComunicador dados;
  dados.Tipo = static_cast<int>(tipo);
  dados.Status = status;
  dados.NIU = std::to_string(NIU);
  dados.Senha = senha;
  dados.Identificador = identificador;
  std::unique_ptr<TInterfaceComunicador> adaptador = fabrica->second(runtime_, dados);
  if (!adaptador) return;
  TInterfaceComunicador& c = *adaptador;
  adaptadores_.push_back(std::move(adaptador));
  LigarEventos(c);
  c.Conectar();
  Comunicadores.Adicionar(&c);
}

// The adapter's events become the client's, with the adapter's network as the
// community: its connection, contacts and messages here, its answers to
// requests in LigarRespostas.
void TClientePCTazu::LigarEventos(TInterfaceComunicador& c) {
  c.OnConectar = [this](TInterfaceComunicador& a) { Disparar(AoConectarComunicador, *this, a); };
  c.OnDesconectar = [this](TInterfaceComunicador& a) { ComunicadorDesconectou(a); };
  c.OnFalhaConexao = [this](TInterfaceComunicador& a) {
    Disparar(AoReceberErro, *this, 10, std::string(textos::SemConexaoComunidade) + a.NomeComunidade);
  };
  c.OnReceberContato = [this](const std::string&, const std::string&, const std::string& apelido,
                              const std::string& id, const std::string& status, char lista,
                              const std::string& comunicador) {
    ContatoDoComunicador(apelido, id, status, lista, comunicador);
  };
  c.OnReceberMsg = [this](TInterfaceComunicador& a, const std::string& id,
                          const std::string& apelido, const std::string& msg, bool aoVivo,
                          const std::string&) {
    MensagemDoComunicador(a, id, apelido, msg, aoVivo);
  };
  c.OnConfirmaEnvio = [this](TInterfaceComunicador& a, const std::string& id, bool recebido,
                             uint8_t, const std::string& retorno) {
    if (recebido) {
      Disparar(AoConfirmarEnvio, *this, TApelido(a.NomeComunicador), id);
    } else {
      std::vector<std::string> linhas = DividirLinhas(retorno);
      Disparar(AoEnviarOffLine, *this, TApelido(a.NomeComunicador), id, linhas);
    }
  };
  LigarRespostas(c);
}

void TClientePCTazu::LigarRespostas(TInterfaceComunicador& c) {
  c.OnExigirAutorizacao = [this](TInterfaceComunicador& a, const std::string& id,
                                 const std::string& apelido) {
    Disparar(AoExigirAutorizacao, *this, TApelido(a.NomeComunicador), id, TApelido(apelido));
  };
  c.AoReceberEvento = [this](TInterfaceComunicador& a, uint8_t tipo, const std::string& id,
                             const std::string& apelido, const std::string& texto) {
    Disparar(AoReceberEventoUsuario, *this, tipo, a.NomeComunicador, id, TApelido(apelido), texto);
  };
  c.AoReceberInfoUsuario = [this](TInterfaceComunicador& a, uint8_t tipo, const std::string& id,
                                  const std::string& apelido, const std::string& texto) {
    Disparar(AoReceberInfoUsuario, *this, tipo, a.NomeComunicador, id, TApelido(apelido), texto);
  };
  c.AoReceberBusca = [this](TInterfaceComunicador&, const std::string& id,
                            const std::string& apelido, const std::string& nome,
                            const std::string& email, char autorizar) {
    Disparar(AoReceberBusca, *this, id, apelido, nome, email, autorizar);
  };
  c.AoFinalizarBusca = [this](TInterfaceComunicador&) { Disparar(AoFinalizarBusca, *this); };
  c.AoConfirmar = [this](TInterfaceComunicador&) { Disparar(AoConfirmar, *this); };
  c.AoAdicionarComSucesso = [this](TInterfaceComunicador& a, const std::string& contato) {
    Disparar(AoConfirmar, *this);
    AnunciarRemocao(a.NomeComunicador, contato);
  };
  c.MensagemDeErro = [this](TInterfaceComunicador&, const std::string& texto) {
    Disparar(AoInformar, *this, 0, texto);
  };
  c.AoLiberar = [this](TInterfaceComunicador& a) {
    runtime_.Post([this, vivo = vivo_.Watch(), alvo = &a] {
      if (vivo) std::erase_if(adaptadores_, [alvo](const auto& x) { return x.get() == alvo; });
    });
  };
  c.OnUsuarioNaoExiste = [this](TInterfaceComunicador& a, const std::string& contato) {
    Disparar(AoConfirmar, *this);
    Disparar(AoMensagemDeSistema, *this, 32,
             std::string(textos::UsuarioAntes) + contato +
                 std::string(textos::UsuarioNaoEncontrado) + a.NomeComunidade);
  };
}

void TClientePCTazu::ComunicadorDesconectou(TInterfaceComunicador& c) {
  if (!Desligando) Contatos.RemoverDaComunidade(c.NomeComunicador);
  Disparar(AoDesconectarComunicador, *this, c);
  // An adapter lives for one login: once it has logged off it is freed, later,
  // when none of its own code is running any more.
  runtime_.Post([this, vivo = vivo_.Watch(), alvo = &c] {
    if (!vivo) return;
    std::erase_if(adaptadores_, [alvo](const auto& a) { return a.get() == alvo; });
  });
}

TInterfaceComunicador* TClientePCTazu::Comunicador(const std::string& comunidade) {
  return Comunicadores.Localizar(comunidade) ? Comunicadores.ComunicadorAtual() : nullptr;
}

int TClientePCTazu::TipoDaRede(const std::string& rede) {
  if (rede == "ICQ") return 1;
  if (rede == "Yahoo") return 3;
  if (rede == "MSN") return 4;
  return 0;
}

TClientePCTazu::TStatusDaRede TClientePCTazu::MudarStatusDaRede(const std::string& rede,
                                                                 uint8_t escolha) {
  const int tipo = TipoDaRede(rede);
  if (tipo == 0 || Contas[tipo].empty()) return TStatusDaRede::NaoHabilitado;
  const uint8_t status = escolha == 0 ? Status : escolha;
  TInterfaceComunicador* c = Comunicador(rede);
  if (!c) {
    ConectarComunicador(tipo, "", "");
    return Comunicador(rede) ? TStatusDaRede::Aplicado : TStatusDaRede::NaoConfigurado;
  }
  if (c->Conectando) return TStatusDaRede::EmLogin;
  c->MudarStatus(status);
  std::string resto = Contas[tipo];
  ProximoCampo(resto, Separador);
  Contas[tipo] = std::to_string(escolha) + Separador + resto;
  c->SegueStatus = escolha == 0;
  return TStatusDaRede::Aplicado;
}

// ---- Requests of the windows ----

void TClientePCTazu::Comando(std::string_view codigo,
                             std::initializer_list<std::string_view> campos) {
  sessao_.ComandoDeValores(codigo, campos);
  Executar();
}

void TClientePCTazu::MudarStatus(uint8_t status) {
  sessao_.MudarStatus(status);
  Executar();
  std::vector<TInterfaceComunicador*> seguidores;
  for (TInterfaceComunicador* c : Comunicadores)
    if (c->SegueStatus) seguidores.push_back(c);
  for (TInterfaceComunicador* c : seguidores) c->MudarStatus(status);
}

void TClientePCTazu::EnviarMensagem(uint16_t niu, const std::vector<std::string>& linhas) {
  if (linhas.empty()) return;
  sessao_.Comando("CMSG", {std::to_string(niu), TextoDeMensagem(linhas)});
  Executar();
}

void TClientePCTazu::EnviarMensagemComunicador(const std::string& comunidade,
                                               const std::string& identificador,
                                               const std::vector<std::string>& linhas) {
  if (TInterfaceComunicador* c = Comunicador(comunidade))
    c->EnviarMensagem(std::to_string(NIU), identificador,
                      RemoverQuebrasFinais(JuntarLinhas(linhas)));
}

void TClientePCTazu::AdicionarContato(const std::string& comunidade,
                                      const std::string& identificador) {
  if (EhTazu(comunidade)) {
    Comando("CACL", {identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->AdicionarContato(identificador);
  }
}

void TClientePCTazu::RemoverContato(const std::string& comunidade,
                                    const std::string& identificador) {
  if (!Contatos.Localizar(comunidade, identificador)) return;
  if (EhTazu(comunidade)) {
    Comando("CRCL", {identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->RemoverContato(identificador);
  }
  if (Contatos.Localizar(comunidade, identificador)) Contatos.Remover();
}

void TClientePCTazu::PedirAutorizacao(const std::string& comunidade,
                                      const std::string& identificador, const std::string& texto) {
  if (EhTazu(comunidade)) {
    Comando("CPAC", {identificador, TextoLivre(texto)});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->PedirAutorizacao(identificador, texto);
  }
}

void TClientePCTazu::ResponderAutorizacao(const std::string& comunidade,
                                          const std::string& identificador) {
  if (EhTazu(comunidade)) {
    Comando("CAAC", {identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->ResponderAutorizacao(identificador, true);
  }
}

void TClientePCTazu::RejeitarAutorizacao(const std::string& comunidade,
                                         const std::string& identificador) {
  if (EhTazu(comunidade)) {
    Comando("CRAC", {identificador});
  } else {
    Disparar(AoInformar, *this, 0, std::string(textos::RejeitarEmDesenvolvimento));
  }
}

void TClientePCTazu::PedirInformacoes(const std::string& comunidade,
                                      const std::string& identificador) {
  if (EhTazu(comunidade)) {
    Comando("CRIU", {"0", identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->PedirInformacoes(identificador);
  }
}

void TClientePCTazu::GravarInformacoes(const std::string& comunidade, int bloco,
                                       const std::string& texto) {
  // The block's fields come joined by "§" on purpose.
  if (!EhTazu(comunidade)) return;
  sessao_.Comando("CADC", {std::to_string(bloco), texto});
  Executar();
}

void TClientePCTazu::BuscarContato(const std::string& comunidade, char tipo,
                                   const std::string& texto) {
  const std::string nome = TApelido(comunidade);
  if (EhTazu(nome)) {
    sessao_.Pedido(PendenteBusca, "CRBS", {std::string(1, tipo), texto});
    Executar();
  } else if (TInterfaceComunicador* c = Comunicador(nome)) {
    c->BuscarContato(tipo, texto);
  }
}

void TClientePCTazu::EncerrarBusca(int numero) { Comando("CFNT", {std::to_string(numero)}); }

void TClientePCTazu::PedirListaDeContatos() {
  sessao_.Pedido(PendenteListaDeContatos, "CRLC");
  Executar();
}

void TClientePCTazu::PedirComunicadores() { Comando("CRCM"); }

void TClientePCTazu::GravarComunicadores(bool usaICQ, const std::string& uin,
                                         const std::string& senhaICQ, bool usaMSN,
                                         const std::string& emailMSN,
                                         const std::string& senhaMSN, bool usaYahoo,
                                         const std::string& nomeYahoo,
                                         const std::string& senhaYahoo) {
  Comando("CSCM", {usaICQ ? "1" : "0", uin, senhaICQ, usaMSN ? "1" : "0", emailMSN, senhaMSN,
                         usaYahoo ? "1" : "0", nomeYahoo, senhaYahoo});
}

void TClientePCTazu::Cadastrar(const std::vector<std::string>& valores) {
  std::vector<std::string> campos{std::string(textos::VersaoDoCliente)};
  for (std::size_t i = 0; i < valores.size(); ++i)
    campos.push_back(i == 0 ? CodificarApelido(valores[i]) : valores[i]);
  sessao_.Comando("CCUS", campos);
  Executar();
}

void TClientePCTazu::ConectarComunicador(int tipo, const std::string& identificador,
                                         const std::string& senha) {
  IniciarComunicador(std::to_string(tipo) + Separador + identificador + Separador + senha);
}

}  // namespace tazu

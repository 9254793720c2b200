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

// A status read from a text; what does not read leaves `padrao`.
int32_t StatusDe(const std::string& texto, int32_t padrao) {
  uint32_t v = 0;
  return LerNumero(texto, 255, v) ? static_cast<int32_t>(v) : padrao;
}

}  // namespace

// ---- Contacts of the Tazu community ----

TContato* TClientePCTazu::ContatoTazu(const std::string& niu) {
  return Contatos.Localizar(kTazu, niu) ? Contatos.ContatoAtual() : nullptr;
}

void TClientePCTazu::ContatoDaLista(const std::string& id, const std::string& apelido,
                                    const std::string& lista, const std::string& status,
                                    const std::string& origem) {
  TContato* c = ContatoTazu(id);
  const bool novo = c == nullptr;
  const bool eraConectado = !novo && c->Conectado;
  const char listaAntes = eraConectado ? c->Lista : '\0';
  if (novo) {
    auto criado = std::make_unique<TContato>();
    criado->Identificador = id;
    criado->Lista = 'A';  // an empty letter field leaves a harmless default
    c = Contatos.Adicionar(std::move(criado));
  }
  c->NIU = static_cast<uint16_t>(std::stoul(id));
  c->Comunicador = kTazu;
  c->Identificador = id;
  c->Apelido = DecodificarApelido(apelido);
  if (!lista.empty()) c->Lista = lista[0];
  int32_t s = StatusDe(status, c->Status);
  if (s == StatusInvisivel && c->Status != StatusDesconhecido) s = StatusDesconectado;
  c->Status = s;
  c->Origem = origem;
  c->Conectado = c->Status != StatusDesconectado;

  if (c->Conectado && !novo && !eraConectado) Disparar(AoConectarContato, *this, c);
  if (c->Conectado && eraConectado && c->Lista != listaAntes) Disparar(AoMudarStatus, *this, c);
  if (!c->Conectado && eraConectado) Disparar(AoDesconectarContato, *this, c);
  if (novo) Disparar(AoReceberContato, *this, c);
}

void TClientePCTazu::ContatoConectado(const std::string& niu, const std::string& apelido,
                                      const std::string& status, const std::string& origem) {
  TContato* c = ContatoTazu(niu);
  if (!c) return;
  c->NIU = static_cast<uint16_t>(std::stoul(niu));
  c->Identificador = niu;
  c->Apelido = DecodificarApelido(apelido);
  const int32_t s = StatusDe(status, StatusInvisivel);
  if (s != StatusInvisivel) {
    c->Status = s;
    c->Origem = origem;
    c->Conectado = true;
  }
  if (c->Conectado) Disparar(AoConectarContato, *this, c);
}

void TClientePCTazu::ContatoDesconectado(const std::string& niu, const std::string& apelido,
                                         const std::string& origem) {
  TContato* c = ContatoTazu(niu);
  if (!c || c->Status == StatusDesconectado) return;
  c->NIU = static_cast<uint16_t>(std::stoul(niu));
  c->Apelido = DecodificarApelido(apelido);
  c->Origem = origem;
  c->Status = StatusDesconectado;
  c->Conectado = false;
  Disparar(AoDesconectarContato, *this, c);
}

void TClientePCTazu::ContatoMudouStatus(const std::string& niu, const std::string& apelido,
                                        const std::string& status, const std::string& origem) {
  TContato* c = ContatoTazu(niu);
  if (!c || status.empty()) return;  // no status digit: nothing to change
  const int32_t statusAntes = c->Status;
  const bool conectadoAntes = c->Conectado;
  c->NIU = static_cast<uint16_t>(std::stoul(niu));
  c->Identificador = niu;
  c->Apelido = DecodificarApelido(apelido);
  const char digito = status[0];
  if (digito == '3') {
    c->Origem = origem;
    if (statusAntes != StatusDesconectado) {
      c->Status = StatusDesconectado;
      c->Conectado = false;
      Disparar(AoDesconectarContato, *this, c);
    }
    return;
  }
  if (digito < '0' || digito > '9') return;
  int32_t s = digito - '0';
  if (s == StatusInvisivel && statusAntes != StatusInvisivel && statusAntes != StatusDesconhecido)
    s = StatusDesconectado;
  c->Status = s;
  c->Origem = origem;
  c->Conectado = s != StatusDesconectado;
  if (conectadoAntes) {
    Disparar(AoMudarStatus, *this, c);
  } else {
    ContatoConectado(niu, CodificarApelido(c->Apelido), std::string(1, digito), origem);
  }
}

void TClientePCTazu::MensagemDoServidor(const std::string& niu, const std::string& apelido,
                                        const std::string& presenca, const std::string& texto) {
  TContato* c = ContatoTazu(niu);
  if (!c) {
    auto novo = std::make_unique<TContato>();
    novo->NIU = static_cast<uint16_t>(std::stoul(niu));
    novo->Apelido = DecodificarApelido(apelido);
    novo->Identificador = niu;
    novo->Lista = 'F';
    novo->Status = StatusDesconhecido;
    novo->Conectado = true;
    novo->Origem = "TPC";
    c = Contatos.Adicionar(std::move(novo));
    Disparar(AoReceberContato, *this, c);
    EnviarComando("CCCT", {niu});
    c = ContatoTazu(niu);  // a handler may have removed it again
    if (!c) return;
  }
  std::vector<std::string> linhas = DividirLinhas(DecodificarTexto(texto));
  if (presenca == "C" && c->Status == StatusDesconectado) {
    c->Status = StatusInvisivel;
    c->Conectado = true;
    Disparar(AoMudarStatus, *this, c);
  }
  Disparar(AoReceberMensagemUsuario, *this, c, linhas);
}

void TClientePCTazu::AnunciarRemocao(const std::string& comunidade,
                                     const std::string& identificador) {
  // The contact stays in the list; the windows move it to its new place.
  if (Contatos.Localizar(comunidade, identificador))
    Disparar(AoRemoverContato, *this, Contatos.ContatoAtual());
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
                          const std::string& comunicador) {
    MensagemDoComunicador(a, id, apelido, msg, aoVivo, comunicador);
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

void TClientePCTazu::ContatoDoComunicador(const std::string& apelido,
                                          const std::string& identificador,
                                          const std::string& status, char lista,
                                          const std::string& comunicador) {
  TContato* c = Contatos.Localizar(comunicador, identificador) ? Contatos.ContatoAtual() : nullptr;
  if (!c) {
    auto novo = std::make_unique<TContato>();
    novo->Comunicador = comunicador;
    novo->Identificador = identificador;
    c = Contatos.Adicionar(std::move(novo));
  }
  c->NIU = 0;
  c->Apelido = apelido;
  c->Identificador = identificador;
  c->Lista = lista == 'F' ? 'F' : lista == 'A' ? 'P' : 'A';
  c->Status = StatusDe(status, StatusDesconhecido);
  c->Conectado = status != "3";
  c->Nativo = false;
  c->Origem = comunicador;
  c->Comunicador = comunicador;
  Disparar(AoReceberContato, *this, c);
}

void TClientePCTazu::MensagemDoComunicador(TInterfaceComunicador& a,
                                           const std::string& identificador,
                                           const std::string& apelido, const std::string& msg,
                                           bool aoVivo, const std::string&) {
  const std::string& rede = a.NomeComunicador;
  TContato* c = Contatos.Localizar(rede, identificador) ? Contatos.ContatoAtual() : nullptr;
  if (!c) {
    auto novo = std::make_unique<TContato>();
    novo->Apelido = apelido;
    novo->Identificador = identificador;
    novo->Lista = 'F';
    novo->Status = StatusDesconhecido;
    novo->Conectado = true;
    novo->Nativo = false;
    novo->Origem = rede;
    novo->Comunicador = rede;
    c = Contatos.Adicionar(std::move(novo));
    Disparar(AoReceberContato, *this, c);
    if (!Contatos.Localizar(rede, identificador)) return;
    c = Contatos.ContatoAtual();
  }
  if (aoVivo && c->Status == StatusDesconectado) {
    c->Status = StatusInvisivel;
    c->Conectado = true;
    Disparar(AoMudarStatus, *this, c);
  }
  std::vector<std::string> linhas = DividirLinhas(msg);
  Disparar(AoReceberMensagemUsuario, *this, c, linhas);
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

void TClientePCTazu::MudarStatus(uint8_t status) {
  if (status != Status) {
    Status = status;
    if (status != StatusDesconectado && Conectado) {
      EnviarComando("CNMS", {std::to_string(status)});
    } else if (status != StatusDesconectado) {
      Conectar();
    } else {
      Desconectar();
    }
  }
  std::vector<TInterfaceComunicador*> seguidores;
  for (TInterfaceComunicador* c : Comunicadores)
    if (c->SegueStatus) seguidores.push_back(c);
  for (TInterfaceComunicador* c : seguidores) c->MudarStatus(status);
}

void TClientePCTazu::EnviarMensagem(uint16_t niu, const std::vector<std::string>& linhas) {
  if (linhas.empty()) return;
  EnviarComando("CMSG", {std::to_string(niu), CodificarTexto(JuntarLinhas(linhas))});
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
    EnviarComando("CACL", {identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->AdicionarContato(identificador);
  }
}

void TClientePCTazu::RemoverContato(const std::string& comunidade,
                                    const std::string& identificador) {
  if (!Contatos.Localizar(comunidade, identificador)) return;
  if (EhTazu(comunidade)) {
    EnviarComando("CRCL", {identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->RemoverContato(identificador);
  }
  if (Contatos.Localizar(comunidade, identificador)) Contatos.Remover();
}

void TClientePCTazu::PedirAutorizacao(const std::string& comunidade,
                                      const std::string& identificador, const std::string& texto) {
  if (EhTazu(comunidade)) {
    EnviarComando("CPAC", {identificador, CodificarTexto(texto)});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->PedirAutorizacao(identificador, texto);
  }
}

void TClientePCTazu::ResponderAutorizacao(const std::string& comunidade,
                                          const std::string& identificador) {
  if (EhTazu(comunidade)) {
    EnviarComando("CAAC", {identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->ResponderAutorizacao(identificador, true);
  }
}

void TClientePCTazu::RejeitarAutorizacao(const std::string& comunidade,
                                         const std::string& identificador) {
  if (EhTazu(comunidade)) {
    EnviarComando("CRAC", {identificador});
  } else {
    MostrarCaixaDeMensagem(std::string(textos::RejeitarEmDesenvolvimento));
  }
}

void TClientePCTazu::PedirInformacoes(const std::string& comunidade,
                                      const std::string& identificador) {
  if (EhTazu(comunidade)) {
    EnviarComando("CRIU", {"0", identificador});
  } else if (TInterfaceComunicador* c = Comunicador(comunidade)) {
    c->PedirInformacoes(identificador);
  }
}

void TClientePCTazu::GravarInformacoes(const std::string& comunidade, int bloco,
                                       const std::string& texto) {
  if (EhTazu(comunidade)) EnviarComando("CADC", {std::to_string(bloco), texto});
}

void TClientePCTazu::BuscarContato(const std::string& comunidade, char tipo,
                                   const std::string& texto) {
  const std::string nome = TApelido(comunidade);
  if (EhTazu(nome)) {
    ComandoPendente = PendenteBusca;
    RespostaOk = true;
    EnviarComando("CRBS", {std::string(1, tipo), texto});
  } else if (TInterfaceComunicador* c = Comunicador(nome)) {
    c->BuscarContato(tipo, texto);
  }
}

void TClientePCTazu::EncerrarBusca(int numero) { EnviarComando("CFNT", {std::to_string(numero)}); }

void TClientePCTazu::PedirListaDeContatos() {
  ComandoPendente = PendenteListaDeContatos;
  RespostaOk = true;
  EnviarComando("CRLC");
}

void TClientePCTazu::PedirComunicadores() { EnviarComando("CRCM"); }

void TClientePCTazu::GravarComunicadores(bool usaICQ, const std::string& uin,
                                         const std::string& senhaICQ, bool usaMSN,
                                         const std::string& emailMSN,
                                         const std::string& senhaMSN, bool usaYahoo,
                                         const std::string& nomeYahoo,
                                         const std::string& senhaYahoo) {
  EnviarComando("CSCM", {usaICQ ? "1" : "0", uin, senhaICQ, usaMSN ? "1" : "0", emailMSN, senhaMSN,
                         usaYahoo ? "1" : "0", nomeYahoo, senhaYahoo});
}

void TClientePCTazu::Cadastrar(const std::vector<std::string>& valores) {
  std::string linha = MontarLinha("CCUS", {textos::VersaoDoCliente});
  for (std::size_t i = 0; i < valores.size(); ++i) {
    linha += Separador;
    linha += i == 0 ? CodificarApelido(valores[i]) : valores[i];
  }
  Enviar(linha);
}

void TClientePCTazu::ConectarComunicador(int tipo, const std::string& identificador,
                                         const std::string& senha) {
  IniciarComunicador(std::to_string(tipo) + Separador + identificador + Separador + senha);
}

}  // namespace tazu

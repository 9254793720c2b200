// The hub runs its session: every operation and every report of the
// connection goes into the session, and the actions that come out are carried
// out in order — bytes and closes on the connection, events to the windows,
// server messages to the contact list. An event handler may call the client
// again; the actions that call produces are carried out before the rest of the
// batch that raised the event, as if the handler had acted in place.
#include "server/UClientePCTazu.h"

#include "base/Eventos.h"
#include "core/UGlobal.h"

namespace tazu {

TClientePCTazu::TClientePCTazu(net::Runtime& runtime)
    : runtime_(runtime),
      sessao_(
          *this, [&runtime] { return runtime.Now(); }, [this] { return bool(AoDepurar); }),
      conexao_(runtime) {
  conexao_.aoConectar = [this] {
    sessao_.Conectou(conexao_.EnderecoLocal(), conexao_.PortaLocal());
    Executar();
  };
  conexao_.aoLinha = [this](std::string_view bruta) {
    sessao_.LinhaRecebida(bruta);
    Executar();
  };
  conexao_.aoLinhaLonga = [this] {
    sessao_.LinhaLongaDemais();
    Executar();
  };
  conexao_.aoFimDaLeitura = [this] {
    sessao_.FimDaLeitura();
    Executar();
  };
  conexao_.aoFechar = [this] {
    sessao_.Fechou();
    Executar();
  };
  conexao_.aoFalhar = [this](const std::string& mensagem) {
    sessao_.Falhou(mensagem);
    Executar();
  };
  conexao_.aoPrazo = [this] {
    sessao_.AoPrazo();
    Executar();
  };
  Contatos.AoLiberarContato = [this](TContato* c) { Disparar(AoRemoverContato, *this, c); };
  Contatos.AoInformar = [this](const std::string& texto) { Disparar(AoInformar, *this, 0, texto); };
}

TClientePCTazu::~TClientePCTazu() {
  vivo_.End();
  // Nothing reaches the windows any more; adapters still alive are freed here.
  Contatos.AoLiberarContato = nullptr;
  for (auto& a : adaptadores_) {
    a->OnDesconectar = nullptr;
    a->AoRemover = nullptr;
  }
  Comunicadores.Limpar();
  adaptadores_.clear();
}

void TClientePCTazu::Executar() {
  const bool vivo = executor_.Run(
      vivo_, [this](TSessaoTazu::TAcoes& acoes) { sessao_.TomarAcoes(acoes); },
      [this](TAcaoTazu& a) { ExecutarAcao(a); });
  if (vivo) conexao_.ArmarPrazo(sessao_.ProximoPrazo());
}

void TClientePCTazu::ExecutarAcao(TAcaoTazu& a) {
  const auto abrirFalhou = [this] {
    sessao_.AbrirFalhou();
    Executar();
  };
  if (CarrySocketAction(a, conexao_, abrirFalhou)) return;
  if (auto* erro = std::get_if<acao::Erro>(&a)) {
    Disparar(AoReceberErro, *this, erro->numero, erro->texto);
  } else if (auto* informar = std::get_if<acao::Informar>(&a)) {
    Disparar(AoInformar, *this, informar->numero, informar->texto);
  } else if (auto* resposta = std::get_if<acao::Resposta>(&a)) {
    Disparar(AoReceberResposta, *this, resposta->comando, resposta->sucesso, std::string());
  } else if (auto* notificar = std::get_if<acao::Notificar>(&a)) {
    Notificar(notificar->aviso);
  } else if (std::holds_alternative<acao::Limpeza>(a)) {
    LimpezaDeDesconexao();
  } else if (auto* hub = std::get_if<acao::ParaOHub>(&a)) {
    MensagemParaOHub(*hub->mensagem);
  } else if (auto* depurar = std::get_if<acao::Depurar>(&a)) {
    Disparar(AoDepurar, *this, depurar->linha);
  }
}

void TClientePCTazu::Notificar(acao::Aviso aviso) {
  switch (aviso) {
    case acao::Aviso::Confirmar: Disparar(AoConfirmar, *this); break;
    case acao::Aviso::ConectarServidor: Disparar(AoConectarServidor, *this); break;
    case acao::Aviso::DesconectarServidor: Disparar(AoDesconectarServidor, *this); break;
    case acao::Aviso::ConectarComunidade: Disparar(AoConectarComunidade, *this); break;
    case acao::Aviso::FinalizarAplicativo: Disparar(AoFinalizarAplicativo, *this); break;
    case acao::Aviso::FinalizarBusca: Disparar(AoFinalizarBusca, *this); break;
  }
}

// The connection is gone: adapters disconnected, contacts and accounts
// forgotten. The session has settled its own state already; the windows hear
// of it next (AoDesconectarServidor).
void TClientePCTazu::LimpezaDeDesconexao() {
  Desligando = true;
  DesconectarComunicadoresDaLista();
  for (TInterfaceComunicador* c : Comunicadores) c->AoRemover = nullptr;
  Comunicadores.Limpar();
  Contatos.Limpar();
  for (std::string& conta : Contas) conta.clear();
  Desligando = false;
}

void TClientePCTazu::DesconectarComunicadoresDaLista() {
  const std::string niu = std::to_string(NIU);
  for (const char* nome : {"ICQ", "MSN", "Yahoo", "AIM"}) {
    if (Comunicadores.Localizar(nome)) Comunicadores.ComunicadorAtual()->Desconectar(niu);
  }
}

// ---- Operations ----

void TClientePCTazu::Conectar() {
  sessao_.Conectar();
  Executar();
}

void TClientePCTazu::Identificar(uint8_t status) {
  sessao_.Identificar(status);
  Executar();
}

void TClientePCTazu::IdentificarCadastro(uint8_t porApelido, const std::string& numeroOuApelido) {
  sessao_.IdentificarCadastro(porApelido, numeroOuApelido);
  Executar();
}

void TClientePCTazu::Desconectar() {
  sessao_.Desconectar();
  Executar();
}

void TClientePCTazu::DesconectarEFechar() {
  sessao_.DesconectarEFechar();
  Executar();
}

void TClientePCTazu::Sair() {
  sessao_.Sair();
  Executar();
}

void TClientePCTazu::Enviar(const std::string& texto) {
  sessao_.Enviar(texto);
  Executar();
}

void TClientePCTazu::DesconectarComunicadores() { DesconectarComunicadoresDaLista(); }

void TClientePCTazu::RegistrarFabrica(int tipo, TFabricaComunicador fabrica) {
  fabricas_[tipo] = std::move(fabrica);
}

}  // namespace tazu

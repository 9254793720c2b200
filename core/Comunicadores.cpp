#include "core/Comunicadores.h"

#include "base/Eventos.h"
#include "core/UGlobal.h"

namespace tazu {

// --- TListaDeUsuarios ---

TUsuario* TListaDeUsuarios::Adicionar(const std::string& identificador,
                                      std::unique_ptr<TUsuario> usuario) {
  itens_.emplace_back(identificador, std::move(usuario));
  indice_[MaiusculasAnsi(identificador)].push_back(Quantidade() - 1);
  return itens_.back().second.get();
}

int TListaDeUsuarios::IndiceDe(const std::string& identificador) const {
  const auto it = indice_.find(MaiusculasAnsi(identificador));
  return it == indice_.end() ? -1 : it->second.front();
}

void TListaDeUsuarios::Reindexar() {
  indice_.clear();
  for (int i = 0; i < Quantidade(); ++i) indice_[MaiusculasAnsi(itens_[i].first)].push_back(i);
}

TUsuario* TListaDeUsuarios::Localizar(const std::string& identificador) const {
  const int i = IndiceDe(identificador);
  return i < 0 ? nullptr : itens_[i].second.get();
}

bool TListaDeUsuarios::Remover(const std::string& identificador) {
  const int i = IndiceDe(identificador);
  if (i < 0) return false;
  Remover(i);
  return true;
}

void TListaDeUsuarios::Remover(int indice) {
  if (indice < 0 || indice >= Quantidade()) return;
  itens_.erase(itens_.begin() + indice);
  Reindexar();  // positions after it moved; removals are rare
}

// --- TInterfaceComunicador ---

TInterfaceComunicador::TInterfaceComunicador(net::Runtime& runtime) : runtime_(runtime) {}

TInterfaceComunicador::~TInterfaceComunicador() {
  if (AoRemover) {
    const auto remover = std::move(AoRemover);
    AoRemover = nullptr;
    remover(*this);
  }
}

void TInterfaceComunicador::BuscarContato(char, const std::string&) {}
void TInterfaceComunicador::Conectar() {}

void TInterfaceComunicador::Desconectar(const std::string&) {
  Disparar(OnDesconectar, *this);
  Disparar(AoRemover, *this);
}

void TInterfaceComunicador::EnviarMensagem(const std::string&, const std::string&,
                                           const std::string&) {}

void TInterfaceComunicador::FalhaConexao() { Disparar(OnFalhaConexao, *this); }

void TInterfaceComunicador::ReceberMensagem(const std::string&, const std::string& mensagem,
                                            const std::string& identificador, const std::string&,
                                            const std::string& comunicador,
                                            const std::string& apelido, bool aoVivo) {
  Disparar(OnReceberMsg, *this, identificador, apelido, mensagem, aoVivo, comunicador);
}

void TInterfaceComunicador::MudarStatus(uint8_t) {}

void TInterfaceComunicador::PararTemporizador() {
  if (Temporizador) Temporizador->Stop();
}

void TInterfaceComunicador::AdicionarContato(const std::string&) {}
void TInterfaceComunicador::RemoverContato(const std::string&) {}
void TInterfaceComunicador::PedirInformacoes(const std::string&) {}
void TInterfaceComunicador::PedirAutorizacao(const std::string&, const std::string&) {}
void TInterfaceComunicador::ResponderAutorizacao(const std::string&, bool) {}

void TInterfaceComunicador::ReceberContato(const std::string& usuario, const std::string& niu,
                                           const std::string& apelido,
                                           const std::string& identificador,
                                           const std::string& status, char lista,
                                           const std::string& comunicador) {
  Disparar(OnReceberContato, usuario, niu, apelido, identificador, status, lista, comunicador);
}

// --- TListaDeComunicadores ---

TListaDeComunicadores::~TListaDeComunicadores() {
  for (TInterfaceComunicador* c : *this) c->AoRemover = nullptr;
  Limpar();
}

void TListaDeComunicadores::Adicionar(TInterfaceComunicador* comunicador) {
  Ultimo();
  Proximo();
  Inserir(comunicador);
  comunicador->AoRemover = [this](TInterfaceComunicador& c) { RemoverComunicador(&c); };
}

bool TListaDeComunicadores::Localizar(const std::string& nome) {
  for (Primeiro(); !FimDaLista(); Proximo()) {
    if (Atual()->NomeComunicador == nome) return true;
  }
  return false;
}

void TListaDeComunicadores::RemoverComunicador(TInterfaceComunicador* comunicador) {
  for (Primeiro(); !FimDaLista(); Proximo()) {
    if (Atual() == comunicador) {
      comunicador->AoRemover = nullptr;
      Remover();
      return;
    }
  }
}

}  // namespace tazu

// The messenger abstraction: what every outside-network adapter (ICQ, MSN,
// Yahoo) holds, what the rest of the program may ask of it and the events by
// which it reports back; an adapter's roster entries; the list of live
// adapters. The Tazu client creates, wires and owns the adapters; windows see
// them only through the Tazu client.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/Listas.h"
#include "core/StringCurta.h"
#include "net/Runtime.h"

namespace tazu {

class TInterfaceComunicador;

// One roster entry of an adapter.
struct TUsuario {
  int16_t Status = 3;  // 3 when first registered, 255 when unknown
  TString50 Identificador;
  TApelido Apelido;
  StringCurta<10> Rede;  // "ICQ", "MSN" or "Yahoo"
  TInterfaceComunicador* Adaptador = nullptr;
  uint16_t GrupoServidor = 0;  // ICQ server-side group
  uint16_t ItemServidor = 0;   // ICQ server-side item id
  char Lista = '\0';
};

// An adapter's roster: identifier → entry, in insertion order; owns the
// entries. Identifiers compare without regard to letter case (Windows-1252
// rules), as rosters of these networks do. A look-up is a hash probe, so a
// roster of thousands fills in linear time.
class TListaDeUsuarios {
 public:
  TUsuario* Adicionar(const std::string& identificador, std::unique_ptr<TUsuario> usuario);
  int IndiceDe(const std::string& identificador) const;  // −1 when absent
  TUsuario* Localizar(const std::string& identificador) const;
  bool Remover(const std::string& identificador);
  void Remover(int indice);
  void Limpar() {
    itens_.clear();
    indice_.clear();
  }
  int Quantidade() const { return static_cast<int>(itens_.size()); }
  const std::string& Chave(int indice) const { return itens_[indice].first; }
  TUsuario* Usuario(int indice) const { return itens_[indice].second.get(); }

 private:
  void Reindexar();

  std::vector<std::pair<std::string, std::unique_ptr<TUsuario>>> itens_;
  // Upper-case identifier → the positions holding it, in order.
  std::unordered_map<std::string, std::vector<int>> indice_;
};

// The abstract adapter. Operations a network does not override do nothing.
// Events are optional and raised only when assigned. The creator passes the
// runtime the adapter reaches the outside world through (sockets, timers).
class TInterfaceComunicador {
 public:
  using TNotifyEvent = std::function<void(TInterfaceComunicador& sender)>;

  explicit TInterfaceComunicador(net::Runtime& runtime);
  TInterfaceComunicador(const TInterfaceComunicador&) = delete;
  TInterfaceComunicador& operator=(const TInterfaceComunicador&) = delete;
  // Leaves the list of live adapters if it is still there.
  virtual ~TInterfaceComunicador();

  // Published properties.
  TString15 Senha;
  TString50 Servidor;
  uint16_t Porta = 0;
  TListaDeUsuarios ListaContatos;
  int32_t Status = 0;

  std::string NomeComunicador;  // "ICQ", "MSN" or "Yahoo": key in the adapter list
  std::string NomeComunidade;   // "ICQ", "MSN Messenger" or "Yahoo! Messenger"
  std::string Conta;            // the account on that network
  bool SegueStatus = true;      // follows every change of the user's own status
  bool Conectando = false;      // a login on the network is in progress
  std::unique_ptr<net::Timer> Temporizador;
  // Set by TListaDeComunicadores; raised by Desconectar so the list drops us.
  std::function<void(TInterfaceComunicador& comunicador)> AoRemover;
  // Set by the owner: an adapter that is done without having logged off (a
  // login that failed) raises it so that the owner frees it, later, from the
  // loop.
  std::function<void(TInterfaceComunicador& comunicador)> AoLiberar;

  // Events, in order of declaration.
  TNotifyEvent OnConectar;
  TNotifyEvent OnDesconectar;
  std::function<void(TInterfaceComunicador& sender, const std::string& Identificador,
                     const std::string& Apelido, const std::string& Msg, bool AoVivo,
                     const std::string& Comunicador)>
      OnReceberMsg;
  TNotifyEvent OnFalhaConexao;
  std::function<void(TInterfaceComunicador& sender, const std::string& Identificador,
                     uint32_t Status)>
      OnMudarStatus;
  std::function<void(TInterfaceComunicador& sender, const std::string& Identificador)>
      OnUsuarioDesconectado;
  std::function<void(TInterfaceComunicador& sender, const std::string& Contato)> OnMeAdicionar;
  std::function<void(TInterfaceComunicador& sender, const std::string& Indentifcador,
                     const std::string& Apelido, const std::string& Nome,
                     const std::string& Ultimo, const std::string& Email, bool BuscaCompleta,
                     bool Livre)>
      OnUsuarioEncontrado;
  TNotifyEvent OnUsuarioNaoEncontrado;
  std::function<void(TInterfaceComunicador& sender, const std::string& Apelido,
                     const std::vector<std::string>& ListaContatos)>
      OnReceberListaContatos;
  std::function<void(TInterfaceComunicador& sender, const std::string& Apelido,
                     const std::string& Motivo)>
      OnPedirListaContatos;
  std::function<void(const std::string& Usuario, const std::string& NIU,
                     const std::string& Apelido, const std::string& Identificador,
                     const std::string& Status, char Lista, const std::string& Comunicador)>
      OnReceberContato;
  std::function<void(const std::string& Celular, const std::string& Apelido,
                     const std::string& Identificador, const std::string& Msg)>
      OnQuebrarMensagem;
  std::function<void(TInterfaceComunicador& sender, const std::string& Identificador,
                     bool Recebido, uint8_t Status, const std::string& MensagemDeRetorno)>
      OnConfirmaEnvio;
  std::function<void(TInterfaceComunicador& sender, const std::string& Identificador,
                     const std::string& Apelido)>
      OnExigirAutorizacao;
  using TOnRecebeEvento =
      std::function<void(TInterfaceComunicador& sender, uint8_t Tipo,
                         const std::string& Identificador, const std::string& Apelido,
                         const std::string& Mensagem)>;
  TOnRecebeEvento AoReceberEvento;  // Tipo 1 added you, 2 asks authorisation, 3 denied, 4 granted
  TOnRecebeEvento AoReceberInfoUsuario;
  std::function<void(TInterfaceComunicador& sender, const std::string& Identificador,
                     const std::string& Apelido, const std::string& Nome,
                     const std::string& EMail, char Autorizar)>
      AoReceberBusca;
  TNotifyEvent AoFinalizarBusca;
  TNotifyEvent AoConfirmar;
  std::function<void(TInterfaceComunicador& sender, const std::string& Contato)>
      AoAdicionarComSucesso;
  std::function<void(TInterfaceComunicador& sender, const std::string& Contato)>
      OnUsuarioNaoExiste;
  std::function<void(TInterfaceComunicador& sender, const std::string& Msg)> MensagemDeErro;
  std::function<void(TInterfaceComunicador& sender, const std::string& Msg)>
      MensagemDeInformacao;

  // Operations, in the order the adapters override them.
  virtual void BuscarContato(char tipo, const std::string& texto);
  virtual void Conectar();
  // Raises OnDesconectar, then AoRemover. Adapters log off first and call this
  // once their network connection is gone; `motivo` is the user's NIU as text.
  virtual void Desconectar(const std::string& motivo);
  virtual void EnviarMensagem(const std::string& remetente, const std::string& identificador,
                              const std::string& mensagem);
  virtual void FalhaConexao();
  // Raises OnReceberMsg(this, identificador, apelido, mensagem, aoVivo, comunicador).
  virtual void ReceberMensagem(const std::string& conta, const std::string& mensagem,
                               const std::string& identificador, const std::string& ignorado,
                               const std::string& comunicador, const std::string& apelido,
                               bool aoVivo);
  virtual void MudarStatus(uint8_t status);
  virtual void PararTemporizador();
  virtual void AdicionarContato(const std::string& identificador);
  virtual void RemoverContato(const std::string& identificador);
  virtual void PedirInformacoes(const std::string& identificador);
  virtual void PedirAutorizacao(const std::string& identificador, const std::string& texto);
  virtual void ResponderAutorizacao(const std::string& identificador, bool concedida);

  // Announces a roster entry: raises OnReceberContato with exactly these values.
  void ReceberContato(const std::string& usuario, const std::string& niu,
                      const std::string& apelido, const std::string& identificador,
                      const std::string& status, char lista, const std::string& comunicador);

 protected:
  net::Runtime& runtime_;
};

// The live adapters. Holds references, not the adapters: deleting an item
// forgets the adapter without freeing it.
class TListaDeComunicadores : public TLista<TInterfaceComunicador> {
 public:
  TListaDeComunicadores() = default;
  // Adapters that outlive the list no longer point back at it.
  ~TListaDeComunicadores() override;

  // Appends the adapter and makes its AoRemover take it out of this list.
  void Adicionar(TInterfaceComunicador* comunicador);
  // First adapter whose NomeComunicador equals `nome` exactly; the cursor is
  // left on it.
  bool Localizar(const std::string& nome);
  TInterfaceComunicador* ComunicadorAtual() const { return Atual(); }
  // Forgets this very adapter (not merely the first of the same name).
  void RemoverComunicador(TInterfaceComunicador* comunicador);
};

}  // namespace tazu

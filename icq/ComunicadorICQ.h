// TComunicadorICQ: one ICQ account in the program. It owns an engine
// (TICQClient), turns the engine's events into the messenger's events, keeps
// the account's contacts in ListaContatos and in one server-side group named
// "Tazu", and maps ICQ status values onto the program's codes.
//
// The exchanges that wait for the server (a contact's nickname, the result
// of a server-side list change) and the announcements that must come after
// the initial list are asynchronous steps on the main loop, each with its
// time-out: 10 s for a nickname or a list change, 8 s for a message's
// acknowledgement. List changes run one at a time, in the order asked.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Lifetime.h"
#include "core/Comunicadores.h"
#include "core/ServidoresExternos.h"
#include "icq/ICQClient.h"
#include "net/Runtime.h"

namespace tazu::icq {

// ICQ status (flag bits ignored) → program code, and back.
int CodigoDoStatusICQ(uint32_t status);
uint32_t StatusICQDoCodigo(int codigo);
// The text of a server-side list result code.
std::string TextoErroLista(uint16_t codigo);

class TComunicadorICQ : public TInterfaceComunicador {
 public:
  static constexpr net::Milliseconds kEsperaConfirmacao{8000};
  static constexpr net::Milliseconds kEsperaIdentificacao{10000};
  static constexpr net::Milliseconds kEsperaLista{10000};
  static constexpr net::Milliseconds kLiberacao{8000};

  TComunicadorICQ(net::Runtime& runtime, uint8_t status, const std::string& niu,
                  const std::string& senha, const std::string& uin,
                  const TEnderecoServidor& servidor, const TProxy& proxy = {});
  ~TComunicadorICQ() override;

  void BuscarContato(char tipo, const std::string& texto) override;
  void Conectar() override;
  void Desconectar(const std::string& motivo) override;
  void EnviarMensagem(const std::string& remetente, const std::string& identificador,
                      const std::string& mensagem) override;
  void MudarStatus(uint8_t status) override;
  void AdicionarContato(const std::string& identificador) override;
  void RemoverContato(const std::string& identificador) override;
  void PedirInformacoes(const std::string& identificador) override;
  void PedirAutorizacao(const std::string& identificador, const std::string& texto) override;
  void ResponderAutorizacao(const std::string& identificador, bool concedida) override;

  TICQClient& Motor() { return motor_; }
  bool Logado() const { return logado_; }
  // The state tests look at.
  bool MensagensComConfirmacao() const { return comConfirmacao_; }
  int GrupoTazu() const { return grupoTazu_; }
  bool GrupoTazuAusente() const { return grupoTazuAusente_; }
  int MembrosTazu() const { return membrosTazu_; }
  bool ListaPronta() const { return listaPronta_; }

 private:
  // Both waits deliver (UIN, nickname, authorisation required) / (UIN,
  // nickname, result code) to the step that asked.
  using TResultadoIdentificacao =
      std::function<void(const std::string& uin, const std::string& apelido, bool exige)>;
  using TAcaoLista = std::function<int(const std::string& uin, const std::string& apelido)>;
  using TResultadoLista =
      std::function<void(const std::string& uin, const std::string& apelido, uint16_t codigo)>;
  struct TEspera;
  struct TAlteracao;
  struct TEnvio;
  struct TAnuncio {
    std::string apelido, identificador, status;
    char lista;
  };

  void LigarMotor();
  void LigarInformacoes();
  void Logou();
  void FalhouConexao();
  void Liberar();

  // Messages (ComunicadorICQ.cpp).
  void Receber(const std::string& texto, const std::string& uin, bool aoVivo);
  void Confirmar(const std::string& uin, bool recebido, uint8_t status, const std::string& texto);
  void ConfirmarComoSimples(const std::string& uin, const std::string& texto);
  void Confirmacao(const std::string& uin, uint16_t id, uint8_t aceite, const std::string& texto);
  void SemConfirmacao(const std::string& id);

  // Contacts (ComunicadorICQLista.cpp).
  TUsuario* RegistrarContato(uint16_t grupo, uint16_t item, char lista, const std::string& uin,
                             const std::string& apelido);
  void StatusDoContato(const std::string& uin, uint32_t statusICQ);
  void ContatoSaiu(const std::string& uin);
  void ListaDoServidor(const std::vector<TEntradaLista>& lista);
  void Identificado(const std::string& uin, const std::string& apelido, bool exige);
  int IncluirNoServidor(const std::string& uin, const std::string& apelido);
  void Incluido(const std::string& uin, const std::string& apelido, uint16_t codigo);
  int ExcluirDoServidor(const std::string& uin, const std::string& apelido, bool& doTazu);
  void Excluido(const std::string& uin, uint16_t codigo, bool doTazu);
  void AutorizacaoPedida(const std::string& uin, const std::string& motivo);
  void AutorizacaoRespondida(const std::string& uin, bool concedida, const std::string& motivo);
  void InformacaoGeral(const std::string& uin, const meta::TInfoGeral& i, const std::string& pais);
  void InformacaoMais(const std::string& uin, const meta::TInfoMais& i,
                      const std::string idiomas[3]);
  void InformacaoTrabalho(const std::string& uin, const meta::TInfoTrabalho& i,
                          const std::string& pais, const std::string& ocupacao);

  // Waits and announcements (ComunicadorICQEsperas.cpp).
  void SolicitarIdentificacao(const std::string& uin, bool sempre, TResultadoIdentificacao r);
  void FimDaIdentificacao(TEspera* espera);
  void AlterarListaServidor(const std::string& uin, const std::string& apelido, TAcaoLista acao,
                            TResultadoLista resultado);
  void ProximaAlteracao();
  void FimDaAlteracao();
  void RespostaDaLista(uint16_t codigo);
  void AnunciarDepois(TAnuncio anuncio);
  void AnunciarPendentes();
  void Depois(std::function<void()> passo);

  TICQClient motor_;
  bool logado_ = false;
  std::string niu_;
  bool comConfirmacao_ = true;
  uint32_t contadorMensagens_ = 0;
  std::map<std::string, std::unique_ptr<TEnvio>> pendentes_;
  bool verificarAutorizacao_ = true;
  std::vector<std::unique_ptr<TEspera>> esperas_;
  std::map<std::string, std::string> pedidosDeAutorizacao_;
  std::deque<std::unique_ptr<TAlteracao>> alteracoes_;  // the first is the one running
  bool alterando_ = false;
  int grupoTazu_ = 10;
  bool grupoTazuAusente_ = true;
  int maiorItem_ = 0;
  int membrosTazu_ = 0;
  bool listaPronta_ = true;
  std::deque<TAnuncio> anuncios_;
  bool anunciando_ = false;
  std::unique_ptr<net::Timer> liberacao_;
  Lifetime vida_;
};

}  // namespace tazu::icq

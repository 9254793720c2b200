// The hidden main form. It owns the tray icon and its menu, applies the own
// status everywhere, keeps the senders of unread text, handles every event of
// the Tazu client (EventosDoCliente.cpp) and ends the program.
#pragma once

#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <array>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Listas.h"

namespace tazu {

class TContexto;
class TFrmComunicando;
class TSystemTray;

class TFrmPrincipal : public QWidget {
 public:
  static constexpr int IntervaloAgendado = 20;  // ms
  static constexpr int IntervaloApelido = 200;  // ms
  // The tray's blink picture: the "Status7" icon.
  static constexpr int ImagemPiscada = 7;

  explicit TFrmPrincipal(TContexto& ctx);
  ~TFrmPrincipal() override;

  // Start-up: the tray icon with its menu, showing the "Invisível" picture.
  void CriarBandeja();
  // Attaches a handler to every event of the client.
  void LigarEventos();

  // The one routine that changes the own status: menus, tray, the manager's
  // picture and, with `enviar`, the server and the user's preferred status.
  void AplicaStatus(int status, bool enviar);
  void MostraGerenciador();
  void AtualizaBandeja();
  void AdiaAviso(const std::string& texto);
  void ExecutaOpcao(int codigo);
  void SelecionarUsuarioAtivo();
  void AbrirComunicadores();
  // Option 2 of the options menu: the search, or first the community.
  void AdicionarContato();
  // Quit: through the server when connected (it ends the program after the
  // disconnection), at once otherwise.
  void Sair();

  // Finds or opens the chat window of the contact. For a received message it
  // opens minimised and asks for attention.
  TFrmComunicando* AbrirConversa(TContato& contato, bool recebida);
  // The chat windows' two notifications.
  void TextoChegouInativa(const std::string& comunicador, const std::string& identificador,
                          const std::string& apelido);
  void TextoVisto(const std::string& comunicador, const std::string& identificador,
                  const std::string& apelido);

  // Boxes for the client's events open once the event has returned, one after
  // the other, so the client is never re-entered from inside its own read.
  enum class TCaixa { Erro, Informacao, MensagemDeSistema };
  void Avisar(TCaixa caixa, std::string texto);
  // Ends the program once the boxes still waiting have been shown.
  void Encerrar(int codigo);
  // The community connection opened (AoConectarComunidade); the user
  // registration window runs it as well.
  void ComunidadeConectada();

  TSystemTray* Bandeja() const { return bandeja_; }
  QMenu* PumPrincipal() { return &pumPrincipal_; }
  QAction* Mostrar1() const { return mostrar1_; }
  QAction* MinhasInformacoes1() const { return minhasInformacoes1_; }
  QAction* Comunicadores1() const { return comunicadores1_; }
  QAction* SelecionarUsuario1() const { return selecionarUsuario1_; }
  QAction* Status1() const { return status1_; }
  QAction* MnuConfiguracoes() const { return mnuConfiguracoes_; }
  QAction* Sair1() const { return sair1_; }
  // The status item whose tag is `codigo`, or null.
  QAction* ItemDeStatus(int codigo) const;
  TListaDeContatos& MensagensNaoLidas() { return mensagensNaoLidas_; }
  const std::vector<std::string>& AvisosAdiados() const { return avisosAdiados_; }
  bool PodeFechar() const { return podeFechar_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void LigarEventosDaSessao();
  void LigarEventosDosContatos();
  void CriarMenu();
  void MostrarAvisos();
  void ProximaCaixa();
  void DuploClique();

  // Event handlers (EventosDoCliente.cpp).
  void ServidorConectado();
  void ServidorDesconectado();
  void ContatoRecebido(TContato* contato);
  void ContatoRemovido(TContato* contato);
  void MensagemRecebida(TContato* contato, std::vector<std::string>& linhas);
  void EnvioConfirmado(const std::string& comunicador, const std::string& identificador);
  void EnviadaOffLine(const std::string& comunicador, const std::string& identificador,
                      std::vector<std::string>& linhas);
  void EventoDeUsuario(int tipo, const std::string& comunicador, const std::string& identificador,
                       const std::string& apelido, const std::string& texto);
  void InformacaoDeUsuario(int tipo, const std::string& comunicador,
                           const std::string& identificador, const std::string& apelido,
                           const std::string& texto);

  TContexto& ctx_;
  TSystemTray* bandeja_ = nullptr;
  QMenu pumPrincipal_;
  QMenu menuStatus_;
  QAction* mostrar1_ = nullptr;
  QAction* minhasInformacoes1_ = nullptr;
  QAction* comunicadores1_ = nullptr;
  QAction* selecionarUsuario1_ = nullptr;
  QAction* status1_ = nullptr;
  QAction* n1_ = nullptr;
  QAction* mnuConfiguracoes_ = nullptr;
  QAction* sair1_ = nullptr;
  std::vector<QAction*> itensDeStatus_;
  QTimer tmrAgendado_;
  QTimer tmrApelido_;
  TListaDeContatos mensagensNaoLidas_;
  std::vector<std::string> avisosAdiados_;
  bool podeFechar_ = false;
  bool naoLidasPendentes_ = false;
  std::deque<std::pair<TCaixa, std::string>> caixas_;
  bool mostrandoCaixa_ = false;
  std::optional<int> encerrar_;
};

}  // namespace tazu

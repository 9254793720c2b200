// The manager: the skinned contact-list window the user sees while connected.
// Its look comes from "Gerente.cap": the identification area (status picture
// and nickname), the four contact lists, the web-search box, the switch strip
// of the outside networks and the buttons of the frame.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTimer>
#include <array>
#include <string>

#include "shell/Icones.h"
#include "shell/ListasDoGerenciador.h"
#include "skin/UChaveador.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;
class TDelegadoDeContatos;

class TFrmGerenciador : public TFrmEncapado {
 public:
  static constexpr int IntervaloDePiscagem = 750;  // ms

  explicit TFrmGerenciador(TContexto& ctx);
  ~TFrmGerenciador() override;

  // ---- What the rest of the program asks of the manager ----
  void AtualizaContato(const TContato& contato);
  void RemoveContato(const TContato& contato);
  void LimpaListas();
  void MostraApelido(const std::string& apelido);
  // "ICQ", "MSN" or "Yahoo" lit (ativo) or grey; other names are ignored.
  void IndicaComunicador(const std::string& nome, bool ativo);
  void RestauraIconeContato(const TContato& contato);
  // The big status picture of the identification area.
  void DefinirStatus(int status);
  // The hint of the nickname, "Seu número Tazu: N".
  void DefinirNumero(uint16_t niu);
  // One tick of the blinking of rows with unread text.
  void Piscar();

  // ---- Contact menu, on the selected row ----
  void Mensagem();
  void Informacoes();
  void Historico();
  void RemoverContato();
  void AdicionarALista();

  // ---- Outside networks ----
  // Opens the status menu of key k (0 ICQ, 1 MSN, 2 Yahoo) at `onde`, with
  // the stored choice checked; an account that is not set up only says so.
  void MenuDaRede(int chave, const QPoint& onde);
  // A status item of the last opened network menu (0 = follow the own status).
  void EscolherStatusDaRede(int codigo);

  // ---- Web search ----
  void Pesquisar();
  static QUrl EnderecoDeBusca(const QString& texto);

  // ---- For the windows' own tests ----
  TListasDoGerenciador& Listas() { return listas_; }
  QListView* Lista() const { return lista_; }
  QLabel* Identificacao() const { return lblIdentificacao_; }
  QLabel* ImagemDoStatus() const { return imgStatus_; }
  QLineEdit* CaixaDeBusca() const { return edit_; }
  TChaveador* Chaveador() const { return chaveador_; }
  QMenu* MenuDeContato() const { return popupMenu1_; }
  QMenu* MenuDaRede(int chave) const { return menusDaRede_.at(static_cast<std::size_t>(chave)); }
  const TIcones& Icones() const { return icones_; }
  QTimer& TmrPiscagem() { return tmrPiscagem_; }
  // The contact of the selected row, if it still exists.
  TContato* ContatoSelecionado() const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);
  void CriarControles();
  void CriarMenuDeContato();
  void CriarMenusDasRedes();
  void CriarChaveador(TFeicao& f);
  void ReposicionarIdentificacao();
  void Sair();
  void AbrirMenuDoContato(const QPoint& onde);
  QRect RetanguloDoElemento(std::size_t n);

  TContexto& ctx_;
  TIcones icones_;
  TListasDoGerenciador listas_;
  TDelegadoDeContatos* delegado_ = nullptr;
  QListView* lista_ = nullptr;
  QLabel* imgStatus_ = nullptr;
  QLabel* lblIdentificacao_ = nullptr;
  QLineEdit* edit_ = nullptr;
  TChaveador* chaveador_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  QAction* acaoRemover_ = nullptr;
  QAction* acaoAdicionar_ = nullptr;
  std::array<QMenu*, 3> menusDaRede_{};
  int redeAberta_ = -1;
  QTimer tmrPiscagem_;
  bool fase_ = false;
  std::string apelido_;
};

}  // namespace tazu

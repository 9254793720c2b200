// Searching the Tazu (or ICQ) community for someone to add: by number, by
// nickname and/or name, or by e-mail, one page each; the results in a list,
// from which a row is added to the contact list.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <array>
#include <memory>
#include <string>

#include "server/UClientePCTazu.h"
#include "shell/Contexto.h"
#include "shell/Controles.h"
#include "skin/Animacao.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

// One page of the search: its picture and edit boxes.
class TFrameBusca : public TPagina {
 public:
  TFrameBusca(QWidget* pai, int pagina, TListaDeFeicoes& feicoes);
  // The boxes of the page: NIU; nickname and name; e-mail.
  QLineEdit* EdtNIU = nullptr;
  QLineEdit* EdtApelido = nullptr;
  QLineEdit* EdtNome = nullptr;
  QLineEdit* EdtEMail = nullptr;
};

class TFrmBuscaContato : public TFrmEncapado {
 public:
  TFrmBuscaContato(TContexto& ctx, std::string comunidade);
  ~TFrmBuscaContato() override;

  // Opens the search for "Tazu" or "ICQ"; an open one is only shown.
  static TFrmBuscaContato* BuscaContato(TContexto& ctx, const std::string& comunidade);
  static TFrmBuscaContato* Aberta();

  void MudarPagina(int pagina);
  void Buscar();
  void NovaBusca();
  void Adicionar();

  // What one answer of the server adds to the results.
  void ResultadoRecebido(const std::string& identificador, const std::string& apelido,
                         const std::string& nome, const std::string& email, char autorizar);
  void BuscaFinalizada();

  int Pagina() const { return pagina_; }
  TFrameBusca* Frame() const { return frame_; }
  QTreeWidget* ListView() const { return listView_; }
  QLabel* LblDicas() const { return lblDicas_; }
  TAnimacao* Animacao() const { return animacao_; }
  bool BuscarHabilitado() const { return btnBuscar_.Habilitado(); }
  bool AdicionarHabilitado() const { return btnAdicionar_.Habilitado(); }
  int Resultados() const { return resultados_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);
  void CriarListView();
  void Soltar();

  TContexto& ctx_;
  std::string comunidade_;
  int pagina_ = -1;
  TFrameBusca* frame_ = nullptr;
  QWidget* area_;
  std::array<QLabel*, 3> abas_{};
  QTreeWidget* listView_;
  TAnimacao* animacao_;
  QLabel* lblDicas_;
  QLabel* imgComunicador_;
  TBotaoDoFundo btnBuscar_;
  TBotaoDoFundo btnAdicionar_;
  int resultados_ = 0;
  using TEventoBusca = decltype(TClientePCTazu::AoReceberBusca);
  std::unique_ptr<TEventoTomado<TEventoBusca>> recebendo_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> finalizando_;
};

}  // namespace tazu

// Where the program connects: the Tazu server's address and port (kept in
// Dados/Tazu.cfg) on the first page, the servers of the outside networks and
// the ICQ proxy (Dados/Servidores.cfg) on the second. Changes count from the
// next connection.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>
#include <array>

#include "core/ServidoresExternos.h"

namespace tazu {

class TContexto;

class TFrmConfiguracoes : public QDialog {
 public:
  enum TCampoExterno { Yahoo, MSN, ICQ, ProxyICQ };

  explicit TFrmConfiguracoes(TContexto& ctx);

  // Runs the window modally.
  static void Executar(TContexto& ctx);

  // Ok: stores what the boxes say and closes, or tells the user what is wrong.
  void Ok();

  QTabWidget* Paginas() const { return paginas_; }
  QLineEdit* EdtServidor() const { return edtServidor_; }
  QLineEdit* EdtPorta() const { return edtPorta_; }
  QLineEdit* Externo(TCampoExterno c) const { return externos_[c]; }

 private:
  QWidget* PaginaTazu();
  QWidget* PaginaExternos();
  bool GravarExternos();

  TContexto& ctx_;
  QTabWidget* paginas_;
  QLineEdit* edtServidor_ = nullptr;
  QLineEdit* edtPorta_ = nullptr;
  std::array<QLineEdit*, 4> externos_{};
  // The file's own values, under whatever the environment overrides.
  TServidoresExternos doArquivo_;
};

}  // namespace tazu

// What a Tazu or ICQ user published about himself, in seven pages: a summary
// and the fields by subject. The user's own data ("Minhas Informações") can be
// edited and sent. MSN and Yahoo users have their profile pages on the web
// instead, opened in the user's browser.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <array>
#include <string>

#include "shell/Controles.h"
#include "shell/InformacoesDoUsuario.h"
#include "shell/USeletor.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmInfoUsuario : public TFrmEncapado {
 public:
  static constexpr int QuantidadeDePaginas = 7;

  TFrmInfoUsuario(TContexto& ctx, std::string comunidade, std::string identificador,
                  const std::string& apelido);
  ~TFrmInfoUsuario() override;

  // The window of this user (shown again if it is open, else opened and its
  // data asked for), or his profile page on the web for MSN and Yahoo.
  static TFrmInfoUsuario* MostraInformacoes(TContexto& ctx, const std::string& comunidade,
                                            const std::string& identificador,
                                            const std::string& apelido);
  // The web addresses of the public profiles.
  static QUrl PerfilMSN(const std::string& identificador);
  static QUrl PerfilYahoo(const std::string& identificador);

  // A block of the server's answer (1 personal, 2 work).
  void ReceberBloco(int bloco, const std::string& texto);
  void MostrarPagina(int pagina);
  void Enviar();

  bool Proprio() const { return proprio_; }
  int PaginaAtual() const { return pagina_; }
  QLineEdit* Caixa(TCampoInfo campo) const { return caixas_.at(static_cast<std::size_t>(campo)); }
  QPlainTextEdit* MemoPessoal() const { return memoPessoal_; }
  QTextEdit* RichGeral() const { return richGeral_; }
  QLabel* LblApelido() const { return lblApelido_; }
  QLabel* LblNIU() const { return lblNIU_; }
  TSeletor* Seletor() const { return seletor_; }
  QWidget* Painel(int i) const { return paineis_.at(static_cast<std::size_t>(i)); }
  bool EnviarVisivel() const { return enviar_.Habilitado(); }

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);
  void CriarPaginas();
  void CopiarDasCaixas();
  void CopiarParaAsCaixas();
  bool VerificarData();
  bool VerificarCelularSMS();

  TContexto& ctx_;
  std::string comunidade_;
  std::string identificador_;
  std::string apelido_;
  bool proprio_;
  int pagina_ = -1;
  TInformacoesDoUsuario info_;
  QLabel* lblApelido_;
  QLabel* lblNIU_;
  TSeletor* seletor_;
  QWidget* area_;
  std::array<TPagina*, QuantidadeDePaginas> paineis_{};
  QTextEdit* richGeral_;
  std::array<QLineEdit*, QuantidadeDeCaixasInfo> caixas_{};
  QPlainTextEdit* memoPessoal_ = nullptr;
  TBotaoDoFundo enviar_;
  bool avisando_ = false;
};

}  // namespace tazu

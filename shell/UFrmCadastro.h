// The registration wizard: three pages of data, then the server's answer — the
// new number, or the reason it was refused. It takes over a few of the Tazu
// client's events while it registers and hands them back when it closes; on
// leaving after success the new user becomes a user of this computer.
#pragma once

#include <QTimer>
#include <memory>

#include "server/UClientePCTazu.h"
#include "shell/Contexto.h"
#include "shell/Controles.h"
#include "shell/FichaCadastral.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TFrameCadastro1;
class TFrameCadastro2;
class TFrameCadastro3;
class TFrameCadastroOk;
class TFrameCadastroErro;

class TFrmCadastro : public TFrmEncapado {
 public:
  enum TPaginaCadastro { Dados, Complemento, Privacidade, Aceito, Recusado };
  static constexpr int IntervaloDeConexao = 1000;  // ms

  explicit TFrmCadastro(TContexto& ctx);
  ~TFrmCadastro() override;

  // Shown from the options menu (the open one, if there is one), or run
  // modally by the initial options.
  static TFrmCadastro* Abrir(TContexto& ctx);
  static void Executar(TContexto& ctx);
  static TFrmCadastro* Aberta();

  void Avancar();
  void Voltar();
  void Concluir();
  void Sair();

  int Pagina() const { return pagina_; }
  bool Concluido() const { return concluido_; }
  bool Habilitado(int botao) const;
  TFrameCadastro1* Pagina1() const;
  TFrameCadastro2* Pagina2() const;
  TFrameCadastro3* Pagina3() const;
  TFrameCadastroOk* PaginaOk() const;
  TFrameCadastroErro* PaginaErro() const;
  const TFichaCadastral& Ficha() const { return ficha_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  enum TBotao { BtnVoltar, BtnAvancar, BtnConcluir, BtnSair, BtnVoltarErro, QuantidadeDeBotoes };

  void MudarPagina(int pagina);
  void AjustarBotoes();
  void HabilitarTodos(bool habilitado);
  void CopiarPagina();
  // The client's events while registering.
  void Conectou();
  void Desconectou();
  void CadastroAceito(uint16_t niu, const std::string& boasVindas);
  void CadastroRecusado(const std::string& texto);
  void Devolver();

  TContexto& ctx_;
  TFichaCadastral ficha_;
  int pagina_ = -1;
  QWidget* area_;
  TPagina* frame_ = nullptr;
  TBotaoDoFundo botoes_[QuantidadeDeBotoes];
  bool bloqueado_ = false;
  QTimer timerConnect_;
  bool registrando_ = false;
  bool concluido_ = false;
  uint16_t niu_ = 0;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> conectar_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> desconectar_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TErroDoServidor>> erro_;
  std::unique_ptr<TEventoTomado<decltype(TClientePCTazu::AoAceitarCadastro)>> aceitar_;
};

}  // namespace tazu

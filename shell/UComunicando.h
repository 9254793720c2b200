// The chat window: one per conversation partner on any network. It shows the
// conversation, sends what is typed through the Tazu client, marks delivery
// or storage for later, asks for attention when text arrives unseen and
// writes every line to the partner's history file.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/Listas.h"
#include "shell/Conversa.h"
#include "skin/Animacao.h"
#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmComunicando : public TFrmEncapado {
 public:
  static constexpr int MaximoDoTexto = 900;

  explicit TFrmComunicando(TContexto& ctx);
  ~TFrmComunicando() override;

  // The partner (or none once it went away) and a refresh of what shows it.
  void DefinirContato(TContato* contato);
  void Atualiza();
  void ChegouMensagem(const std::string& hora, std::vector<std::string>& linhas);
  void MensagemEntregue(const std::string& hora);
  void MensagemNaoEntregue(const std::string& hora, std::vector<std::string>& linhas);
  void ChamaAtencao();
  // The send button, Alt+E, Ctrl+E and Ctrl+Enter.
  void Enviar();
  void AbrirHistorico();
  void AbrirInformacoes();

  // To the main form: (community, identifier, window caption).
  using TNotificacao =
      std::function<void(const std::string&, const std::string&, const std::string&)>;
  TNotificacao AoChegarInativa;
  TNotificacao AoVerTexto;

  bool NaoLido() const { return conversa_.NaoLido; }
  bool Enviando() const { return conversa_.Enviando; }
  TContato* Contato() const { return contato_; }
  const TConversa& Conversa() const { return conversa_; }
  std::string NomeDaRede() const { return nomeDaRede_; }
  QPlainTextEdit* Memo() const { return memo_; }
  QTextEdit* RichEdit() const { return richEdit_; }
  QLabel* LblApelido() const { return lblApelido_; }
  QLabel* LblDigitos() const { return lblDigitos_; }
  QLabel* LblNIU() const { return lblNIU_; }
  QLabel* ImgStatus() const { return imgStatus_; }
  QLabel* ImgComunicador() const { return imgComunicador_; }
  TAnimacao* Animacao() const { return animacao_; }
  TBotaoImagem* BotaoEnviar() const { return botaoEnviar_; }

 protected:
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);
  void CriarControles();
  void TextoMudou();
  void DefinirEnvio(bool habilitado);
  void FimDoEnvio();
  void Mostrar(const std::vector<TTrecho>& trechos);
  void Ativou();
  void Apresentar();
  std::string Titulo() const;

  TContexto& ctx_;
  TConversa conversa_;
  TContato* contato_ = nullptr;
  std::string nomeDaRede_;
  std::string nomeDoStatus_;
  QPlainTextEdit* memo_ = nullptr;
  QTextEdit* richEdit_ = nullptr;
  QLabel* lblApelido_ = nullptr;
  QLabel* lblDigitos_ = nullptr;
  QLabel* lblNIU_ = nullptr;
  QLabel* imgStatus_ = nullptr;
  QLabel* imgComunicador_ = nullptr;
  TAnimacao* animacao_ = nullptr;
  TBotaoImagem* botaoEnviar_ = nullptr;
  QTimer tmrLimpaMemo_;
  bool fechando_ = false;
};

}  // namespace tazu

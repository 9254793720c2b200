// New users through the wizard, and users of the server brought onto this
// computer, against the test's own tazud.
#include <gmock/gmock.h>

#include <QTest>

#include "core/DadosLocais.h"
#include "shell/UFramesCadastro.h"
#include "shell/UFrmCadastro.h"
#include "shell/UFrmRegistroDeUsuario.h"
#include "shell/UGerenciador.h"
#include "shell/UPrincipal.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class Cadastro : public TAmbiente {
 protected:
  void Preencher(TFrameCadastro1* p, const char* apelido) {
    p->EdtApelido->setText(QString::fromUtf8(apelido));
    QTest::keyClicks(p->EdtNome, "maria  da silva");
    QTest::keyClick(p->EdtNome, Qt::Key_Return);  // leaving the box formats the name
    p->EdtEMail->setText("mari@exemplo.com.br");
    p->EdtSenha->setText("segredo");
    p->EdtConfirma->setText("segredo");
    p->ChkSenha->setChecked(true);
  }
};

TEST_F(Cadastro, AssistenteCadastraEntraEGuardaONovoUsuario) {
  servidor_->Criar("Ana", "a");
  Programa().Iniciar();
  programa_->Principal().ExecutaOpcao(4);
  TFrmCadastro* w = TFrmCadastro::Aberta();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Pagina(), TFrmCadastro::Dados);
  EXPECT_FALSE(w->Habilitado(1));
  EXPECT_FALSE(w->Habilitado(3));

  w->Avancar();
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{
                            "erro",
                            "Os campos Apelido, Nome Completo, E-Mail, Senha, Confirmação da Senha "
                            "são de preenchimento obrigatório."}));
  Preencher(w->Pagina1(), "Ana");
  EXPECT_EQ(w->Pagina1()->EdtNome->text(), QStringLiteral("Maria da Silva"));
  QTest::keyClick(w, Qt::Key_A, Qt::AltModifier);
  ASSERT_EQ(w->Pagina(), TFrmCadastro::Complemento);

  TFrameCadastro2* p2 = w->Pagina2();
  QTest::keyClicks(p2->EdtNascimentoDia, "31");
  EXPECT_TRUE(p2->EdtNascimentoMes->hasFocus() || !w->isActiveWindow());
  p2->EdtNascimentoMes->setText("02");
  p2->EdtNascimentoAno->setText("1990");
  QTest::keyClicks(p2->EdtCelular, "31222-233334");
  EXPECT_EQ(p2->EdtCelular->text(), QStringLiteral("31222233334"));
  p2->ChkFeminino->setChecked(true);
  w->Avancar();
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{
                            "informacao", "O campo \"Dia\" não foi preenchido corretamente."}));
  p2->EdtNascimentoDia->setText("28");
  w->Avancar();
  ASSERT_EQ(w->Pagina(), TFrmCadastro::Complemento);
  EXPECT_THAT(Caixas().at(0).Texto, HasSubstr("Utilize 10 algarismos"));
  EXPECT_EQ(p2->EdtCelular->text(), QString());
  w->Avancar();
  ASSERT_EQ(w->Pagina(), TFrmCadastro::Privacidade);
  EXPECT_EQ(w->Pagina3()->LblNome->text(), QStringLiteral("Maria da Silva"));
  // Back and forth keeps what was typed.
  QTest::keyClick(w, Qt::Key_V, Qt::AltModifier);
  EXPECT_EQ(w->Pagina2()->EdtNascimentoDia->text(), QStringLiteral("28"));
  EXPECT_TRUE(w->Pagina2()->ChkFeminino->isChecked());
  w->Avancar();

  // "Ana" is taken: the server's reason on the last page, and back to the start.
  QTest::keyClick(w, Qt::Key_C, Qt::AltModifier);
  EXPECT_THAT(esperas_, Contains(std::pair<std::string, std::string>(
                            "Aguarde...",
                            "Emitindo dados cadastrais ao servidor Tazu Messenger.\r\nIsso "
                            "poderá levar alguns segundos.")));
  ASSERT_TRUE(EsperarAte([w] { return w->Pagina() == TFrmCadastro::Recusado; }));
  EXPECT_THAT(w->PaginaErro()->StxErro->toPlainText().toStdString(), HasSubstr("em uso"));
  EXPECT_TRUE(w->Habilitado(1));
  w->Voltar();
  ASSERT_EQ(w->Pagina(), TFrmCadastro::Dados);
  w->Pagina1()->EdtApelido->setText("Mari");
  w->Avancar();
  w->Avancar();
  w->Concluir();
  ASSERT_TRUE(EsperarAte([w] { return w->Pagina() == TFrmCadastro::Aceito; }));
  const uint16_t niu = static_cast<uint16_t>(w->PaginaOk()->LblNIU->text().toUInt());
  EXPECT_GT(niu, 1000);
  EXPECT_THAT(enviadas_, Contains(HasSubstr(Cp("§Mari§Maria da Silva§segredo§F§28/02/1990§"))));
  // Signed in as the new user.
  ASSERT_TRUE(EsperarAte([&] {
    return programa_->Principal().Mostrar1()->isEnabled() && programa_->Gerenciador().isVisible();
  }));
  EXPECT_EQ(programa_->Cliente().NIU, niu);
  EXPECT_EQ(programa_->Gerenciador().Identificacao()->text(), QStringLiteral("Mari"));

  w->Sair();
  EXPECT_TRUE(Ctx().CadastroConcluido);
  ReiniciarDadosLocais();
  ASSERT_TRUE(CarregarConfiguracao());
  EXPECT_EQ(Configuracao.UltimoUsuario, niu);
  CarregarUsuarios(niu);
  EXPECT_EQ(UsuarioAtual.NIU, niu);
  EXPECT_EQ(UsuarioAtual.Apelido, "Mari");
  EXPECT_EQ(UsuarioAtual.Senha, "segredo");
  EXPECT_TRUE(UsuarioAtual.LembrarSenha);
  // The events are the main form's again.
  EXPECT_FALSE(programa_->Cliente().AoAceitarCadastro);
}

TEST_F(Cadastro, RegistrarNumeroJaConhecidoNaoContataOServidor) {
  const uint16_t ana = servidor_->Criar("Ana", "a");
  UsuarioLocal(ana, "Ana", "a", false);
  Programa().Iniciar();
  programa_->Principal().ExecutaOpcao(5);
  TFrmRegistroDeUsuario* r = TFrmRegistroDeUsuario::Aberta();
  ASSERT_NE(r, nullptr);
  r->Registrar();
  r->EdtNIU()->setText(QString::number(ana));
  r->Registrar();
  r->EdtSenha()->setText("a");
  r->Registrar();
  r->EdtConfirmacao()->setText("a");
  r->Registrar();
  r->ChkApelido()->setChecked(true);
  r->EdtApelido()->setText("ANA");
  r->Registrar();
  const std::string jaRegistrado =
      "Este Número já foi registrado.\r\nUsuário: Ana (" + std::to_string(ana) + ")";
  EXPECT_THAT(Caixas(),
              ElementsAre(TCaixaMostrada{"informacao", "Informe um NIU válido."},
                          TCaixaMostrada{"informacao", "Informe uma Senha válida."},
                          TCaixaMostrada{"informacao",
                                         "O valor digitado em Senha não confere com o digitado "
                                         "em Confirmação da Senha.\r\nPor favor indique o mesmo "
                                         "valor nos dois campos."},
                          TCaixaMostrada{"informacao", jaRegistrado},
                          TCaixaMostrada{"informacao", jaRegistrado}));
  Rodar(TFrmRegistroDeUsuario::IntervaloDeConexao + 200);
  EXPECT_THAT(enviadas_, IsEmpty());
  EXPECT_FALSE(programa_->Cliente().Conectando || programa_->Cliente().Conectado);
  EXPECT_FALSE(r->Registrando());
}

TEST_F(Cadastro, RegistrarPeloApelidoEntraComoOUsuario) {
  const uint16_t ana = servidor_->Criar("Ana", "a");
  const uint16_t bia = servidor_->Criar("Bia", "b");
  UsuarioLocal(ana, "Ana", "a", true);
  ASSERT_TRUE(IniciarConectado());
  TFrmRegistroDeUsuario* r = TFrmRegistroDeUsuario::Abrir(Ctx());
  r->ChkApelido()->setChecked(true);
  r->EdtApelido()->setText("bia");
  r->EdtSenha()->setText("errada");
  r->EdtConfirmacao()->setText("errada");
  r->Registrar();
  // A wrong password: the server's error, and the window is ready again.
  ASSERT_TRUE(EsperarAte([&] { return !caixas_.empty(); }));
  EXPECT_EQ(Caixas().at(0).Tipo, "erro");
  EXPECT_FALSE(r->Registrando());
  r->EdtSenha()->setText("b");
  r->EdtConfirmacao()->setText("b");
  r->Registrar();
  ASSERT_TRUE(EsperarAte([&] { return TFrmRegistroDeUsuario::Aberta() == nullptr; }));
  EXPECT_EQ(programa_->Cliente().NIU, bia);
  ASSERT_TRUE(EsperarAte([&] { return !caixas_.empty(); }));
  EXPECT_THAT(Caixas(),
              ElementsAre(TCaixaMostrada{"informacao", "Conectado à comunidade Tazu Messenger."}));
  EXPECT_GE(LocalizarUsuario(bia), 0);
  EXPECT_GE(LocalizarUsuario(ana), 0);
  EXPECT_EQ(Configuracao.UltimoUsuario, bia);
  EXPECT_EQ(UsuarioAtual.Apelido, "Bia");
  EXPECT_EQ(programa_->Gerenciador().Identificacao()->text(), QStringLiteral("Bia"));
}

}  // namespace
}  // namespace tazu::teste

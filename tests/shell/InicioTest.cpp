// Start-up, signing in and leaving, against a real tazud.
#include <gmock/gmock.h>

#include <QTest>

#include "core/DadosLocais.h"
#include "shell/SystemTray.h"
#include "shell/UGerenciador.h"
#include "shell/ULogin.h"
#include "shell/UPrincipal.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class Inicio : public TAmbiente {};

TEST_F(Inicio, SenhaLembradaConectaSemJanelaNenhuma) {
  const uint16_t ana = servidor_->Criar("Ana", "segredo");
  UsuarioLocal(ana, "Ana", "segredo", true);
  ASSERT_TRUE(IniciarConectado());
  EXPECT_THAT(modais_, IsEmpty()) << "no login window, no initial options";
  TFrmGerenciador& g = programa_->Gerenciador();
  EXPECT_EQ(g.Identificacao()->text(), QStringLiteral("Ana"));
  EXPECT_EQ(g.Identificacao()->toolTip(), QStringLiteral("Seu número Tazu: 1000"));
  EXPECT_EQ(programa_->Principal().Bandeja()->ImagemAtual(), 1);
  EXPECT_TRUE(programa_->Principal().ItemDeStatus(1)->isChecked());
  EXPECT_THAT(enviadas_.at(0), HasSubstr("[CVER]"));
  EXPECT_THAT(enviadas_, Contains(HasSubstr("[CRLC]")));
  programa_->AposAbertura();
  EXPECT_THAT(esperas_, IsEmpty()) << "already connected when the splash closes";
  EXPECT_THAT(Caixas(), IsEmpty());
}

TEST_F(Inicio, SemSenhaLembradaALoginPedeEConecta) {
  const uint16_t ana = servidor_->Criar("Ana", "segredo");
  UsuarioLocal(ana, "Ana", "", false);
  AoModal = [](QWidget* janela) {
    auto* login = dynamic_cast<TFrmLogin*>(janela);
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->EdtNIU()->text(), QStringLiteral("1000"));
    login->EdtSenha()->setText(QStringLiteral("segredo"));
    login->ChkSalvarSenha()->setChecked(true);
    login->Ok();
  };
  ASSERT_TRUE(IniciarConectado());
  ASSERT_EQ(modais_.size(), 1u);
  EXPECT_THAT(modais_[0], HasSubstr("TFrmLogin"));
  EXPECT_THAT(esperas_, ElementsAre(std::pair<std::string, std::string>(
                            "Conectando...", "Aguarde conexão com a comunidade Tazu Messenger.")));
  // "Remember" keeps the password in the user's record for the next start.
  ReiniciarDadosLocais();
  CarregarUsuarios(ana);
  EXPECT_TRUE(UsuarioAtual.LembrarSenha);
  EXPECT_EQ(UsuarioAtual.Senha, "segredo");
}

TEST_F(Inicio, JanelaDeLoginConfereNumeroESenha) {
  const uint16_t ana = servidor_->Criar("Ana", "segredo");
  UsuarioLocal(ana, "Ana", "", false);
  Programa().Iniciar();
  struct Caso {
    const char* numero;
    const char* senha;
    const char* caixa;  // "" for none
    bool aceita;
    const char* numeroDepois;
  };
  const Caso casos[] = {
      {"4321", "x", "O usuário \"4321\" ainda não foi registrado nesse computador", false, ""},
      {"abc", "x", "O usuário \"abc\" ainda não foi registrado nesse computador", false, ""},
      {"", "x", "Informe um Número Tazu Messenger e uma Senha válidos.", false, ""},
      {"1000", "", "Informe um Número Tazu Messenger e uma Senha válidos.", false, "1000"},
      {"1000", "segredo", "", true, "1000"},
  };
  for (const Caso& c : casos) {
    TFrmLogin login(Ctx());
    login.show();
    login.EdtNIU()->setText(QString::fromUtf8(c.numero));
    login.EdtSenha()->setText(QString::fromUtf8(c.senha));
    Caixas();
    // Enter in the password box is the OK button.
    QTest::keyClick(login.EdtSenha(), Qt::Key_Return);
    const auto caixas = Caixas();
    if (*c.caixa) {
      ASSERT_EQ(caixas.size(), 1u) << c.numero;
      EXPECT_EQ(caixas[0].Texto, c.caixa);
    } else {
      EXPECT_THAT(caixas, IsEmpty());
    }
    EXPECT_EQ(login.result() == ResultadoOk, c.aceita) << c.numero;
    EXPECT_EQ(login.isVisible(), !c.aceita) << c.numero;
    EXPECT_EQ(login.EdtNIU()->text().toStdString(), c.numeroDepois);
  }
}

TEST_F(Inicio, ComputadorSemUsuariosOferecePrimeirosPassosESairEncerra) {
  Programa().Iniciar();
  programa_->IniciaLogin();
  ASSERT_EQ(modais_.size(), 1u);
  EXPECT_THAT(modais_[0], HasSubstr("TFrmOpcoesIniciais"));
  EXPECT_THAT(fim_, ElementsAre(0));
}

TEST_F(Inicio, SairConectadoDesconectaAntesDeTerminar) {
  const uint16_t ana = servidor_->Criar("Ana", "segredo");
  const uint16_t bia = servidor_->Criar("Bia", "b");
  Amigos(ana, "segredo", bia, "b");
  TParceiro& pb = Parceiro(bia, "b");
  ASSERT_TRUE(pb.Entrar());
  UsuarioLocal(ana, "Ana", "segredo", true);
  ASSERT_TRUE(IniciarConectado());
  ASSERT_TRUE(EsperarAte([&] { return pb.Recebeu("AoConectarContato"); }));
  std::string ultimaAoTerminar;
  Ctx().Terminar = [&](int codigo) {
    fim_.push_back(codigo);
    ultimaAoTerminar = enviadas_.empty() ? "" : enviadas_.back();
  };
  programa_->Principal().Sair1()->trigger();
  EXPECT_THAT(fim_, IsEmpty()) << "the program waits for the server";
  ASSERT_TRUE(EsperarAte([&] { return !fim_.empty(); }));
  EXPECT_THAT(fim_, ElementsAre(0));
  EXPECT_THAT(ultimaAoTerminar, HasSubstr("[CDSC]"));
  EXPECT_TRUE(EsperarAte([&] { return pb.Recebeu("AoDesconectarContato"); }));
}

}  // namespace
}  // namespace tazu::teste

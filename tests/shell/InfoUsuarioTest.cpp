// The user information window: someone else's data read-only, one's own sent
// and read back by another user; MSN and Yahoo profiles on the web.
#include <gmock/gmock.h>

#include <QTest>
#include <QTextBlock>

#include "core/UGlobal.h"
#include "shell/InformacoesDoUsuario.h"
#include "shell/UFrmInfoUsuario.h"
#include "shell/UPrincipal.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class InfoUsuario : public TAmbiente {
 protected:
  void SetUp() override {
    ana_ = servidor_->Criar("Ana", "a");
    bia_ = servidor_->Criar("Bia", "b");
    UsuarioLocal(ana_, "Ana", "a", true);
    ASSERT_TRUE(IniciarConectado());
    bia_p_ = &Parceiro(bia_, "b");
    ASSERT_TRUE(bia_p_->Entrar());
  }
  int Pedidos(const std::string& comando) const {
    int n = 0;
    for (const std::string& l : enviadas_) n += l.rfind(comando, 0) == 0;
    return n;
  }
  std::vector<std::string> Resumo(TFrmInfoUsuario* w) {
    std::vector<std::string> linhas;
    for (QTextBlock b = w->RichGeral()->document()->begin(); b.isValid(); b = b.next()) {
      QTextCursor c(b);
      c.movePosition(QTextCursor::NextCharacter);
      const bool negrito = !b.text().isEmpty() && c.charFormat().fontWeight() == QFont::Bold;
      linhas.push_back((negrito ? "*" : "") + b.text().toStdString());
    }
    return linhas;
  }
  uint16_t ana_ = 0, bia_ = 0;
  TParceiro* bia_p_ = nullptr;
};

TEST_F(InfoUsuario, DadosDeOutroSoParaLer) {
  TInformacoesDoUsuario dados;
  dados.Campos[InfoApelido] = "Bia";
  dados.Campos[InfoNome] = "Beatriz Lima";
  dados.Campos[InfoCelularSMS] = "3199990000";
  dados.Campos[InfoDia] = "07";
  dados.Campos[InfoMes] = "09";
  dados.Campos[InfoAno] = "1985";
  dados.Campos[InfoEmpresa] = Cp("Padaria D'Ouro");
  bia_p_->Cliente.GravarInformacoes("Tazu", BlocoPessoal, dados.Bloco(BlocoPessoal));
  bia_p_->Cliente.GravarInformacoes("Tazu", BlocoTrabalho, dados.Bloco(BlocoTrabalho));
  Rodar(100);

  TFrmInfoUsuario* w =
      TFrmInfoUsuario::MostraInformacoes(Ctx(), "Tazu", std::to_string(bia_), "Bia");
  ASSERT_TRUE(EsperarAte([&] { return Resumo(w).size() > 4; }));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Informações de Bia"));
  EXPECT_THAT(Resumo(w), ElementsAre("*Pessoais", "Apelido: Bia", "Nome: Beatriz Lima",
                                     "Data de Nascimento: 07/09/1985", "", "*Trabalho",
                                     "Empresa: Padaria D'Ouro"));
  EXPECT_EQ(w->Caixa(InfoMes)->text(), QStringLiteral("09"));
  EXPECT_EQ(w->Caixa(InfoCelularSMS)->text(), QString()) << "only its owner sees it";
  EXPECT_TRUE(w->Caixa(InfoNome)->isReadOnly());
  EXPECT_FALSE(w->EnviarVisivel());
  w->Enviar();
  EXPECT_THAT(Caixas().at(0).Texto,
              HasSubstr("Não é possível atualizar dados de outros usuários."));
  EXPECT_EQ(Pedidos(Cp("[CADC]")), 0);

  // The pages follow the selector.
  w->MostrarPagina(5);
  EXPECT_TRUE(w->Caixa(InfoEmpresa)->isVisible());
  EXPECT_FALSE(w->RichGeral()->isVisible());

  // Asked again, the open window comes forward; nothing more is asked.
  EXPECT_EQ(TFrmInfoUsuario::MostraInformacoes(Ctx(), "Tazu", std::to_string(bia_), "Bia"), w);
  EXPECT_EQ(Pedidos(Cp("[CRIU]")), 1);

  // MSN and Yahoo profiles live on the web.
  EXPECT_EQ(TFrmInfoUsuario::MostraInformacoes(Ctx(), "MSN", "bia@hotmail.com", "Bia"), nullptr);
  EXPECT_EQ(TFrmInfoUsuario::MostraInformacoes(Ctx(), "Yahoo", "bia_y", "Bia"), nullptr);
  ASSERT_EQ(enderecos_.size(), 2u);
  EXPECT_THAT(enderecos_[0].toString().toStdString(),
              AllOf(HasSubstr("Version=4.6"), HasSubstr("lc=0416"), HasSubstr("CLCID=0416"),
                    HasSubstr("Country=BR"), HasSubstr("BrandID=MSMSGS"),
                    HasSubstr("passport=bia@hotmail.com")));
  EXPECT_THAT(enderecos_[1].path().toStdString(), HasSubstr("/bia_y"));
  EXPECT_EQ(Pedidos(Cp("[CRIU]")), 1);

  w->close();
  Rodar(20);
  EXPECT_TRUE(Ctx().JanelasDeInformacao.Vazio());
}

TEST_F(InfoUsuario, MinhasInformacoesEnviadasELidasPorOutro) {
  programa_->Principal().MinhasInformacoes1()->trigger();
  TFrmInfoUsuario* w = JanelaAberta<TFrmInfoUsuario>();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Minhas Informações"));
  ASSERT_TRUE(EsperarAte([&] { return w->Caixa(InfoApelido)->text() == "Ana"; }));
  EXPECT_TRUE(w->EnviarVisivel());
  EXPECT_FALSE(w->Caixa(InfoNome)->isReadOnly());

  QTest::keyClicks(w->Caixa(InfoNome), "ana  de souza");
  QTest::keyClick(w->Caixa(InfoNome), Qt::Key_Return);
  EXPECT_EQ(w->Caixa(InfoNome)->text(), QStringLiteral("Ana de Souza"));
  QTest::keyClicks(w->Caixa(InfoDia), "3x0");
  EXPECT_EQ(w->Caixa(InfoDia)->text(), QStringLiteral("30"));
  w->Caixa(InfoMes)->setText("02");
  w->Caixa(InfoAno)->setText("1990");
  w->Caixa(InfoEmpresa)->setText(QStringLiteral("Tazu & Cia"));
  w->Caixa(InfoCelularSMS)->setText("3122223333");
  w->MemoPessoal()->setPlainText(QStringLiteral("só eu\nleio"));
  // No 30th of February.
  w->Enviar();
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{
                            "informacao", "O campo \"Dia\" não foi preenchido corretamente."}));
  EXPECT_EQ(Pedidos(Cp("[CADC]")), 0);
  w->Caixa(InfoDia)->setText("28");
  int fechamentos = 0;
  Ctx().Espera.Fechar = [&] { ++fechamentos; };
  w->Enviar();
  // Nothing answers an update: the wait window goes once both are sent.
  EXPECT_EQ(fechamentos, 1);
  EXPECT_EQ(Pedidos(Cp("[CADC]§1§")), 1);
  EXPECT_EQ(Pedidos(Cp("[CADC]§2§")), 1);
  EXPECT_THAT(esperas_,
              Contains(std::pair<std::string, std::string>(
                  "Aguarde...", "Enviando dados de informações pessoais para o servidor.")));

  // Someone else reads it back, without what is Ana's alone.
  bia_p_->Cliente.PedirInformacoes("Tazu", std::to_string(ana_));
  ASSERT_TRUE(EsperarAte([&] {
    return bia_p_->Recebeu(
               {"\"AoReceberInfoUsuario\"", "\"Tipo\": 1", "Ana de Souza", "28/02/1990"}) &&
           bia_p_->Recebeu({"\"AoReceberInfoUsuario\"", "\"Tipo\": 2", "Tazu & Cia"});
  }));
  EXPECT_FALSE(bia_p_->Recebeu("3122223333"));
  EXPECT_FALSE(bia_p_->Recebeu("leio"));

  // Ana herself gets all of it in a new window.
  w->close();
  Rodar(20);
  programa_->Principal().MinhasInformacoes1()->trigger();
  w = JanelaAberta<TFrmInfoUsuario>();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(EsperarAte([&] { return !w->Caixa(InfoEmpresa)->text().isEmpty(); }));
  EXPECT_EQ(w->Caixa(InfoCelularSMS)->text(), QStringLiteral("3122223333"));
  EXPECT_EQ(w->MemoPessoal()->toPlainText(), QStringLiteral("só eu\nleio"));
  EXPECT_EQ(w->Caixa(InfoDia)->text(), QStringLiteral("28"));
}

}  // namespace
}  // namespace tazu::teste

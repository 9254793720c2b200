// Searching, adding and authorising, against other users signed in from the
// test.
#include <gmock/gmock.h>

#include <QTest>

#include "shell/UAdicionarContato.h"
#include "shell/UBuscaContato.h"
#include "shell/UEventoContato.h"
#include "shell/UGerenciador.h"
#include "shell/UPedidoAutorizacao.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class Busca : public TAmbiente {
 protected:
  void SetUp() override {
    ana_ = servidor_->Criar("Ana", "a", true);
    bia_ = servidor_->Criar("Bia", "b", true, "Beatriz Lima");
    bruno_ = servidor_->Criar("Bruno", "r", false, "Bruno Dias");
    UsuarioLocal(ana_, "Ana", "a", true);
    ASSERT_TRUE(IniciarConectado());
  }
  TFrmBuscaContato* Abrir() { return TFrmBuscaContato::BuscaContato(Ctx(), "Tazu"); }
  // Runs the search and waits for its end.
  void Buscar(TFrmBuscaContato* b) {
    b->Buscar();
    ASSERT_TRUE(EsperarAte([b] { return b->BuscarHabilitado(); }));
  }
  void BuscarNIU(TFrmBuscaContato* b, uint16_t niu) {
    if (b->Pagina() != 0) b->MudarPagina(0);
    b->Frame()->EdtNIU->setText(QString::number(niu));
    Buscar(b);
  }
  std::vector<std::string> Linhas(TFrmBuscaContato* b) {
    std::vector<std::string> l;
    for (int i = 0; i < b->ListView()->topLevelItemCount(); ++i) {
      std::string linha;
      for (int c = 0; c < 5; ++c)
        linha += (c ? "|" : "") + b->ListView()->topLevelItem(i)->text(c).toStdString();
      l.push_back(linha);
    }
    return l;
  }
  bool Contem(const std::string& trecho) const {
    for (const std::string& l : enviadas_)
      if (l.find(trecho) != std::string::npos) return true;
    return false;
  }
  // The manager's list the contact's row is in; -1 when none.
  int ListaDe(uint16_t niu) {
    const auto* linha = programa_->Gerenciador().Listas().PorChave("Tazu:" + std::to_string(niu));
    return linha ? static_cast<int>(linha->Lista) : -1;
  }
  uint16_t ana_ = 0, bia_ = 0, bruno_ = 0;
};

TEST_F(Busca, ContadoresTiposDeBuscaEOProprioNumero) {
  TFrmBuscaContato* b = Abrir();
  EXPECT_EQ(b->LblDicas()->text(), QStringLiteral("Aguardando busca."));
  EXPECT_FALSE(b->AdicionarHabilitado());

  b->Buscar();  // nothing typed
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{"informacao",
                                                   "Digite um NIU antes de realizar a busca."}));
  EXPECT_FALSE(Contem("[CRBS]"));

  b->MudarPagina(1);
  QTest::keyClicks(b->Frame()->EdtApelido, "B");
  Buscar(b);
  EXPECT_EQ(b->LblDicas()->text(), QStringLiteral("2 resultados para a busca."));
  EXPECT_THAT(Linhas(b), ElementsAre(std::to_string(bia_) + "|Bia|Beatriz Lima||Sim",
                                     std::to_string(bruno_) + "|Bruno|Bruno Dias||Não"));
  // The nickname alone: kind 2 and nothing else.
  EXPECT_THAT(enviadas_, Contains(Cp("[CRBS]§2§B")));

  // Typing a name gives the nickname up: kind 3.
  QTest::keyClicks(b->Frame()->EdtNome, "Beat");
  EXPECT_EQ(b->Frame()->EdtApelido->text(), QString());
  Buscar(b);
  EXPECT_EQ(b->LblDicas()->text(), QStringLiteral("1 resultado para a busca."));
  EXPECT_THAT(enviadas_, Contains(Cp("[CRBS]§3§Beat")));

  b->MudarPagina(0);
  QTest::keyClicks(b->Frame()->EdtNIU, "9x9");
  EXPECT_EQ(b->Frame()->EdtNIU->text(), QStringLiteral("99"));
  Buscar(b);
  EXPECT_EQ(b->LblDicas()->text(), QStringLiteral("Nenhum contato foi encontrado."));

  // One's own number is found, but not added: the server hears nothing of it.
  BuscarNIU(b, ana_);
  b->ListView()->setCurrentItem(b->ListView()->topLevelItem(0));
  EXPECT_TRUE(b->AdicionarHabilitado());
  b->Adicionar();
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{
                            "informacao", "Você não pode se adicionar à sua própria lista."}));
  EXPECT_FALSE(Contem("[CACL]"));
  EXPECT_EQ(TFrmBuscaContato::Aberta(), b);

  // Closing ends the search on the server and lets results go unseen.
  b->close();
  Rodar(20);
  EXPECT_EQ(TFrmBuscaContato::Aberta(), nullptr);
  EXPECT_FALSE(programa_->Cliente().AoReceberBusca);
  EXPECT_THAT(enviadas_.back(), Cp("[CFNT]§2"));
}

TEST_F(Busca, AdicionarComESemAutorizacao) {
  TParceiro& bruno = Parceiro(bruno_, "r");
  TParceiro& bia = Parceiro(bia_, "b");
  ASSERT_TRUE(bruno.Entrar());
  ASSERT_TRUE(bia.Entrar());

  // Bruno asks for no authorisation: he is in the list at once.
  TFrmBuscaContato* b = Abrir();
  BuscarNIU(b, bruno_);
  b->ListView()->setCurrentItem(b->ListView()->topLevelItem(0));
  b->Adicionar();
  Rodar(20);
  EXPECT_EQ(TFrmBuscaContato::Aberta(), nullptr);
  EXPECT_THAT(esperas_, Contains(std::pair<std::string, std::string>(
                            "Aguarde...", "Adicionando \"Bruno\" (Tazu) à lista de contatos.")));
  ASSERT_TRUE(EsperarAte([&] { return ListaDe(bruno_) == TListasDoGerenciador::OnLine; }));
  ASSERT_TRUE(EsperarAte([&] {
    return bruno.Recebeu({"\"AoReceberEventoUsuario\"", "\"Tipo\": 1", "\"Apelido\": \"Ana\""});
  }));

  // Bia does: the program asks her, she grants it, and she leaves "Aguardando".
  b = Abrir();
  BuscarNIU(b, bia_);
  b->ListView()->setCurrentItem(b->ListView()->topLevelItem(0));
  b->Adicionar();
  ASSERT_TRUE(EsperarAte([] { return JanelaAberta<TFrmPedidoAutorizacao>() != nullptr; }));
  TFrmPedidoAutorizacao* pedido = JanelaAberta<TFrmPedidoAutorizacao>();
  EXPECT_THAT(pedido->StxDescricao()->text().toStdString(),
              HasSubstr("O contato \"Bia\" precisa autorizá-lo para que você possa adicioná-lo"));
  pedido->Memo()->setPlainText(QStringLiteral("Oi Bia, é a Ana'\ndo curso"));
  pedido->Enviar();
  ASSERT_TRUE(EsperarAte([&] {
    return bia.Recebeu(
        {"\"AoReceberEventoUsuario\"", "\"Tipo\": 2", "Oi Bia, é a Ana'\\r\\ndo curso"});
  }));
  ASSERT_TRUE(EsperarAte([&] { return ListaDe(bia_) == TListasDoGerenciador::Autorizando; }));

  bia.Cliente.ResponderAutorizacao("Tazu", std::to_string(ana_));
  ASSERT_TRUE(EsperarAte([&] { return ListaDe(bia_) == TListasDoGerenciador::OnLine; }));
  TFrmEvento* evento = TFrmEvento::Atual();
  ASSERT_NE(evento, nullptr);
  EXPECT_EQ(evento->Tipo(), 4);
  EXPECT_EQ(evento->StxDescricao()->toPlainText(),
            QStringLiteral("\"Bia\" permitiu que você o adicione à sua lista de contatos."));
  for (int botao : {5, 6, 7}) EXPECT_FALSE(evento->Botao(botao)->Habilitado()) << botao;
}

TEST_F(Busca, PedidoRecebidoAutorizadoOuRejeitado) {
  const uint16_t caio = servidor_->Criar("Caio", "c");
  const uint16_t dora = servidor_->Criar("Dora", "d");
  TParceiro& pc = Parceiro(caio, "c");
  TParceiro& pd = Parceiro(dora, "d");
  ASSERT_TRUE(pc.Entrar());
  ASSERT_TRUE(pd.Entrar());

  pc.Cliente.PedirAutorizacao("Tazu", std::to_string(ana_), "Sou o Caio");
  ASSERT_TRUE(EsperarAte([] { return TFrmEvento::Atual() != nullptr; }));
  TFrmEvento* evento = TFrmEvento::Atual();
  EXPECT_EQ(evento->Tipo(), 2);
  EXPECT_EQ(evento->LblApelido()->text(), QStringLiteral("Caio"));
  EXPECT_EQ(evento->LblNIU()->text(), QString::number(caio));
  EXPECT_EQ(
      evento->StxDescricao()->toPlainText().toStdString(),
      "\"Caio\" deseja adicioná-lo à sua lista de contatos.\n\nMensagem de Caio:\nSou o Caio");
  for (int botao : {5, 6, 7}) EXPECT_TRUE(evento->Botao(botao)->Habilitado()) << botao;
  evento->Autorizar();
  EXPECT_THAT(enviadas_.back(), Cp("[CAAC]§") + std::to_string(caio));
  ASSERT_TRUE(EsperarAte([&] {
    return pc.Recebeu({"\"AoReceberEventoUsuario\"", "\"Tipo\": 4"}) &&
           pc.Cliente.Contatos.Localizar("Tazu", std::to_string(ana_)) &&
           pc.Cliente.Contatos.ContatoAtual()->Lista == 'A';
  }));

  // Leaving a request rejects it, once the user confirms.
  pd.Cliente.PedirAutorizacao("Tazu", std::to_string(ana_), "");
  ASSERT_TRUE(EsperarAte(
      [] { return TFrmEvento::Atual() && TFrmEvento::Atual()->LblApelido()->text() == "Dora"; }));
  evento = TFrmEvento::Atual();
  EXPECT_EQ(evento->StxDescricao()->toPlainText(),
            QStringLiteral("\"Dora\" deseja adicioná-lo à sua lista de contatos."));
  resposta_ = false;
  evento->Sair();
  EXPECT_TRUE(evento->isVisible());
  resposta_ = true;
  evento->Sair();
  EXPECT_THAT(Caixas(),
              Contains(TCaixaMostrada{"confirmacao",
                                      "Se você sair, Dora será rejeitado e não poderá adicioná-lo "
                                      "à sua lista.\r\nTem certeza que deseja sair?"}));
  ASSERT_TRUE(EsperarAte([&] {
    return pd.Recebeu({"\"AoReceberEventoUsuario\"", "\"Tipo\": 3"});
  }));
}

// MSN and Yahoo contacts are added by their identifier; without the network's
// adapter there is nobody to ask.
TEST_F(Busca, AdicionarPorIdentificadorSemOComunicador) {
  TFrmAdicionarContato* w = TFrmAdicionarContato::AdicionaContato(Ctx(), "MSN");
  w->Adicionar();
  w->Edit()->setText("  bia@hotmail.com ");
  w->Adicionar();
  EXPECT_THAT(Caixas(),
              ElementsAre(TCaixaMostrada{"informacao", "Informe um contato a ser adicionado."},
                          TCaixaMostrada{"erro", "O comunicador \"MSN\" está desativado."}));
  EXPECT_TRUE(w->isVisible());
  EXPECT_THAT(esperas_, IsEmpty());
  w->close();
}

}  // namespace
}  // namespace tazu::teste

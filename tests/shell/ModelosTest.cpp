// The pieces that need no server: the manager's lists, the command line, the
// single-copy guard, the row selector, the web-search address and what a
// conversation sends.
#include <gmock/gmock.h>

#include <QMouseEvent>
#include <QUrlQuery>
#include <filesystem>

#include "shell/Conversa.h"
#include "shell/InstanciaUnica.h"
#include "shell/LinhaDeComando.h"
#include "shell/ListasDoGerenciador.h"
#include "shell/Programa.h"
#include "shell/UGerenciador.h"
#include "shell/USeletor.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using L = TListasDoGerenciador;
using ::testing::ElementsAre;

TContato Contato(const std::string& id, const std::string& apelido, bool conectado, char lista,
                 int32_t status = 1, const std::string& origem = "TPC") {
  TContato c;
  c.Identificador = id;
  c.Apelido = apelido;
  c.Conectado = conectado;
  c.Lista = lista;
  c.Status = status;
  c.Origem = origem;
  return c;
}

// The model as the view sees it: one line per row, headers in brackets.
std::vector<std::string> Linhas(const L& listas) {
  std::vector<std::string> linhas;
  for (int r = 0; r < listas.rowCount(); ++r) {
    const QModelIndex i = listas.index(r);
    const std::string texto = i.data().toString().toStdString();
    if (i.data(L::PapelCabecalho).toBool()) {
      linhas.push_back("[" + texto + "]");
    } else {
      linhas.push_back(texto + " " + std::to_string(i.data(L::PapelImagem).toInt()) + "/" +
                       std::to_string(i.data(L::PapelOrigem).toInt()));
    }
  }
  return linhas;
}

TEST(ListasDoGerenciador, ContatoMudaDeListaEOsCabecalhosAcompanham) {
  L listas;
  int entradas = 0;
  listas.AoEntrarEmConectados = [&] { ++entradas; };
  listas.AtualizaContato(Contato("1", "Bia", true, 'A', 5, "ICQ"));
  listas.AtualizaContato(Contato("2", "Caio", false, 'A', 3, "MSN"));
  listas.AtualizaContato(Contato("3", "Davi", true, 'F', 4, "SMS"));
  listas.AtualizaContato(Contato("4", "Eva", false, 'P', 3, "Yahoo"));
  EXPECT_THAT(Linhas(listas),
              ElementsAre("[Conectados]", "Bia 5/12", "[Fora da Lista]", "Davi 4/10",
                          "[Desconectados]", "Caio 3/15", "[Aguardando]", "Eva 3/17"));
  EXPECT_EQ(entradas, 1);

  // Bia, waiting for authorisation now, goes offline: out of "Conectados"
  // (its header with it) into "Aguardando", grey origin icon.
  listas.AtualizaContato(Contato("1", "Bia", false, 'P', 3, "ICQ"));
  EXPECT_THAT(Linhas(listas), ElementsAre("[Fora da Lista]", "Davi 4/10", "[Desconectados]",
                                          "Caio 3/15", "[Aguardando]", "Bia 3/13", "Eva 3/17"));
  // A status change inside "Conectados" plays no second sound.
  listas.AtualizaContato(Contato("2", "Caio", true, 'A', 1, "Tazu"));
  listas.AtualizaContato(Contato("2", "Caio", true, 'A', 8, "Tazu"));
  EXPECT_EQ(entradas, 2);
  EXPECT_THAT(Linhas(listas), ElementsAre("[Conectados]", "Caio 8/11", "[Fora da Lista]",
                                          "Davi 4/10", "[Aguardando]", "Bia 3/13", "Eva 3/17"));
  listas.RemoveContato("Tazu", "3");
  listas.RemoveContato("Tazu", "99");
  EXPECT_THAT(Linhas(listas),
              ElementsAre("[Conectados]", "Caio 8/11", "[Aguardando]", "Bia 3/13", "Eva 3/17"));
  listas.LimpaListas();
  EXPECT_EQ(listas.rowCount(), 0);
}

TEST(ListasDoGerenciador, ImagemDoStatusNuncaApontaParaForaDosStatus) {
  const std::pair<int32_t, int> casos[] = {{1, 1},   {4, 4},   {8, 8},    {101, 8}, {102, 6},
                                           {203, 8}, {255, 0}, {1000, 0}, {9, 0},   {-1, 0}};
  for (const auto& [status, imagem] : casos) {
    EXPECT_EQ(L::ImagemDoStatus(status), imagem) << "status " << status;
  }
}

TEST(ListasDoGerenciador, OrdemIgnoraMaiusculasEAcentosERenomearReordena) {
  L listas;
  for (const auto& [id, apelido] : std::vector<std::pair<std::string, std::string>>{
           {"1", "bruno"}, {"2", Cp("Álvaro")}, {"3", "Carla"}, {"4", "Ana"}, {"5", "ana"}}) {
    listas.AtualizaContato(Contato(id, apelido, false, 'A', 3));
  }
  EXPECT_THAT(Linhas(listas), ElementsAre("[Desconectados]", "Álvaro 3/-1", "Ana 3/-1", "ana 3/-1",
                                          "bruno 3/-1", "Carla 3/-1"));
  listas.AtualizaContato(Contato("3", "Aaron", false, 'A', 3));
  EXPECT_EQ(Linhas(listas).at(1), "Aaron 3/-1");
}

TEST(ListasDoGerenciador, PiscarMexeSoNasLinhasPedidasERestaurarVolta) {
  L listas;
  listas.AtualizaContato(Contato("1", "Bia", true, 'A', 7));
  listas.AtualizaContato(Contato("2", "Caio", true, 'A', 1));
  std::vector<int> mudadas;
  QObject::connect(&listas, &QAbstractItemModel::dataChanged,
                   [&](const QModelIndex& a, const QModelIndex&) { mudadas.push_back(a.row()); });
  listas.Piscar({"Tazu:2", "Tazu:404"}, true);
  EXPECT_THAT(Linhas(listas), ElementsAre("[Conectados]", "Bia 7/-1", "Caio 9/-1"));
  listas.Piscar({"Tazu:2"}, false);
  EXPECT_EQ(Linhas(listas).at(2), "Caio -1/-1");
  listas.RestauraIcone("Tazu:2");
  EXPECT_EQ(Linhas(listas).at(2), "Caio 1/-1");
  EXPECT_THAT(mudadas, ElementsAre(2, 2, 2));
}

TEST(LinhaDeComando, OpcoesValidasEInvalidas) {
  TOpcoesDoPrograma o;
  std::string erro;
  ASSERT_TRUE(LerLinhaDeComando(
      {"--home", "/tmp/x", "--server", "127.0.0.1:7000", "--niu", "1000", "--password", "senhá"}, o,
      erro));
  EXPECT_EQ(o.Home, "/tmp/x");
  EXPECT_EQ(o.Servidor, "127.0.0.1");
  EXPECT_EQ(o.Porta, 7000);
  EXPECT_EQ(o.NIU, 1000);
  EXPECT_EQ(o.Senha, Cp("senhá"));
  const std::vector<std::vector<std::string>> ruins = {
      {"--server", "127.0.0.1"}, {"--server", "h:0"}, {"--server", ":80"},
      {"--niu", "70000"},        {"--niu", "12a"},    {"--niu", "1000"},
      {"--password", "x"},       {"--home"},          {"--nada"}};
  for (const auto& args : ruins) {
    TOpcoesDoPrograma r;
    EXPECT_FALSE(LerLinhaDeComando(args, r, erro)) << args.front();
  }
}

TEST(InstanciaUnica, SegundaCopiaMostraOAvisoETerminaSemTocarNaPrimeira) {
  const std::string caminho =
      (std::filesystem::path(::testing::TempDir()) / ("tazu_lock_" + std::to_string(getpid())))
          .string();
  std::vector<std::string> avisos;
  TCaixas caixas;
  caixas.InformacaoInicial = [&](const std::string& t) { avisos.push_back(Utf8(t)); };
  {
    TInstanciaUnica primeira(caminho);
    ASSERT_TRUE(VerificarInstanciaUnica(primeira, caixas));
    TInstanciaUnica segunda(caminho);
    EXPECT_FALSE(VerificarInstanciaUnica(segunda, caixas));
    EXPECT_THAT(avisos, ElementsAre("Já existe uma cópia do \"Tazu Messenger\" sendo executada."));
    TInstanciaUnica terceira(caminho);
    EXPECT_FALSE(terceira.Adquirir()) << "the first copy still holds the lock";
  }
  TInstanciaUnica depois(caminho);
  EXPECT_TRUE(depois.Adquirir()) << "the lock goes with the copy that held it";
  std::filesystem::remove(caminho);
}

TEST(Seletor, LinhaAlemDoNumeroDeOpcoesNaoMudaNadaNemEscolhe) {
  Aplicacao();
  TSeletor s(nullptr);
  s.resize(100, 100);
  s.AlturaDaSelecao = 20;
  s.NumeroDeOpcoes = 3;
  int escolhas = 0;
  s.AoClicar = [&](TSeletor& sel) { escolhas += 10 + sel.Atual(); };
  auto mouse = [&](QEvent::Type tipo, int y) {
    QMouseEvent e(tipo, QPointF(5, y), QPointF(5, y), Qt::LeftButton,
                  tipo == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(&s, &e);
  };
  mouse(QEvent::MouseMove, 45);
  EXPECT_EQ(s.Atual(), 2);
  mouse(QEvent::MouseMove, 70);
  EXPECT_EQ(s.Atual(), 2) << "row 3 is past the count";
  mouse(QEvent::MouseButtonPress, 70);
  mouse(QEvent::MouseButtonRelease, 70);
  EXPECT_EQ(escolhas, 0);
  mouse(QEvent::MouseButtonPress, 45);
  mouse(QEvent::MouseButtonRelease, 45);
  EXPECT_EQ(escolhas, 12);
}

TEST(BuscaNaWeb, OTextoDigitadoViajaInteiroComoUmParametro) {
  const QUrl url = TFrmGerenciador::EnderecoDeBusca(QStringLiteral("pão & café #1=2"));
  const QUrlQuery q(url);
  EXPECT_EQ(q.queryItemValue(QStringLiteral("query"), QUrl::FullyDecoded),
            QStringLiteral("pão & café #1=2"));
  EXPECT_EQ(q.allQueryItemValues(QStringLiteral("categorie")),
            (QStringList{QStringLiteral("meta_ingles"), QStringLiteral("meta_portugues")}));
  EXPECT_TRUE(url.fragment().isEmpty());
  EXPECT_EQ(q.queryItemValue(QStringLiteral("engine")), QStringLiteral("meta"));
}

TEST(ModeloDaConversa, SoBrancosEQuebrasNaoSaoEnviados) {
  EXPECT_FALSE(TConversa::LinhasParaEnviar(""));
  EXPECT_FALSE(TConversa::LinhasParaEnviar(" \r\n\t\n"));
  EXPECT_THAT(*TConversa::LinhasParaEnviar("oi\nvoce\r\n"), ElementsAre("oi", "voce"));
  TConversa tazu;
  tazu.Apelido = "Bia";
  tazu.Comunicador = "Tazu";
  TConversa msn = tazu;
  msn.Comunicador = "MSN";
  EXPECT_EQ(Utf8(tazu.NotaDeNaoEntrega()),
            "Bia não está conectado ao Tazu no momento. A mensagem será enviada quando ele se "
            "conectar:");
  EXPECT_EQ(Utf8(msn.NotaDeNaoEntrega()), "Bia não recebeu sua mensagem.");
}

}  // namespace
}  // namespace tazu::teste

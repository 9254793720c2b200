// The default skin as the build lays it out: every descriptor read back and
// held to what its window needs, and every file the windows name present.
#include <gtest/gtest.h>

#include <QImage>
#include <QMovie>
#include <fstream>
#include <set>
#include <sstream>

#include "base/Cp1252.h"
#include "skin/Catalogo.h"
#include "skin/Skin.h"
#include "skin/UFeicoesVariaveis.h"
#include "tests/skin/Apoio.h"

namespace tazu {
namespace {

class SkinPadrao : public ::testing::Test {
 protected:
  void SetUp() override { teste::Aplicacao(); }
  teste::TSkinPadrao skin_;
};

TEST_F(SkinPadrao, CadaDescritorTemOsElementosDaSuaJanela) {
  for (const auto& janela : catalogo::Janelas()) {
    SCOPED_TRACE(janela.Descritor);
    std::vector<TRegistroFeicao> r;
    ASSERT_EQ(LerDescritor(CaminhoNaSkin(janela.Descritor), r), TResultadoDaLeitura::Lido);
    ASSERT_GE(r.size(), 2u);
    std::ifstream arquivo(CaminhoNaSkin(janela.Descritor), std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<std::size_t>(arquivo.tellg()), r.size() * TamanhoDoRegistro);
    std::set<uint8_t> ids;
    for (std::size_t i = 1; i < r.size(); ++i) ids.insert(r[i].Id());
    for (const auto& e : janela.Elementos) {
      EXPECT_TRUE(ids.count(e.Id)) << "element " << int(e.Id) << " missing";
    }
    // Picture and text labels: pictures must exist, captions must fit.
    for (std::size_t i = 1; i < r.size(); ++i) {
      for (const auto& e : janela.Elementos) {
        if (e.Id != r[i].Id() || e.Tipo != TTipoFeicao::RTL) continue;
        if (r[i].LabelKind() == 1) {
          EXPECT_FALSE(r[i].Text().empty());
        } else {
          EXPECT_FALSE(QImage(CaminhoNaSkinQt(r[i].Text())).isNull()) << r[i].Text();
        }
      }
    }
    // A window never opens larger than the screens it runs on.
    EXPECT_LE(r[0].Width(), 1024);
    EXPECT_LE(r[0].Height(), 768);
  }
}

TEST_F(SkinPadrao, ElementosLidosPelaPosicaoVemPrimeiroEmOrdem) {
  for (const auto& [descritor, quantos] :
       {std::pair<std::string, uint8_t>{"Gerente.cap", 4}, {"Mens.cap", 7}}) {
    std::vector<TRegistroFeicao> r;
    LerDescritor(CaminhoNaSkin(descritor), r);
    ASSERT_GT(r.size(), quantos);
    for (uint8_t i = 1; i <= quantos; ++i) EXPECT_EQ(r[i].Id(), i) << descritor;
  }
  // The contact-list element carries the lists' colours.
  std::vector<TRegistroFeicao> g;
  LerDescritor(CaminhoNaSkin("Gerente.cap"), g);
  EXPECT_EQ(g[2].Color(), 0x00FFFFFFu);
  EXPECT_NE(g[2].FontColor(), g[2].Color());
  EXPECT_GT(g[0].MinWidth(), 0);
  EXPECT_GT(g[0].MinHeight(), 0);
}

TEST_F(SkinPadrao, MenusTrazemLinhasAlturaECodigos) {
  std::vector<TRegistroFeicao> status, opcoes, usuarios;
  LerDescritor(CaminhoNaSkin("MenuStat.cap"), status);
  LerDescritor(CaminhoNaSkin("MenuOpc.cap"), opcoes);
  LerDescritor(CaminhoNaSkin("MenuUsu.cap"), usuarios);
  ASSERT_GE(status.size(), 2u);
  ASSERT_GE(opcoes.size(), 2u);
  ASSERT_GE(usuarios.size(), 2u);
  EXPECT_EQ(status[1].MinWidth(), 7);
  EXPECT_EQ(opcoes[1].MinWidth(), 6);
  for (int linha = 0; linha < 6; ++linha) EXPECT_EQ(opcoes[1].CodigoDeOpcao(linha), linha + 2);
  for (const auto* r : {&status[1], &opcoes[1]}) {
    const QImage linhas(CaminhoNaSkinQt(r->Text()));
    ASSERT_FALSE(linhas.isNull()) << r->Text();
    EXPECT_EQ(linhas.height(), r->MinWidth() * r->MinHeight());
  }
  // The user list takes its rectangle from the second record.
  EXPECT_GT(ElementWidth(usuarios[1], {usuarios[0].Width(), usuarios[0].Height()}), 100);
}

TEST_F(SkinPadrao, MoldurasFigurasIconesSonsEAnimacao) {
  std::set<std::string> conjuntos;
  for (const auto& janela : catalogo::Janelas()) conjuntos.insert(janela.Pecas);
  for (const auto& c : conjuntos) {
    const TPecasMoldura pecas = CarregarPecas(c);
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(pecas[i].isNull()) << c << "/" << NomesDasPecas[i];
    // The window's shape comes from the corner's transparent pixel.
    EXPECT_EQ(pecas[SE].pixel(0, 0) & 0xFFFFFF, CorTransparente) << c;
  }
  std::vector<std::string> figuras = {
      "Entrada\\Prim",     "Info\\Erro",       "Info\\Excl",
      "Info\\Interro",     "Botoes\\Ok",       "Botoes\\Sim",
      "Botoes\\Nao",       "Botoes\\Limpar",   "Botoes\\Sair",
      "Botoes\\Adicionar", "Botoes\\Rejeitar", "Botoes\\Autorizar",
      "Cadastro\\COk",     "Cadastro\\CErro",  "Icones\\Sistema\\TelaMsg"};
  for (int i = 1; i <= 3; ++i) {
    for (const char* f : {"Busca\\O", "Busca\\B", "Cadastro\\C"})
      figuras.push_back(f + std::to_string(i));
  }
  for (int i = 0; i <= 6; ++i) figuras.push_back("InfoUsu\\I" + std::to_string(i));
  for (const auto& f : figuras) EXPECT_FALSE(QImage(CaminhoNaSkinQt(f + ".bmp")).isNull()) << f;
  EXPECT_FALSE(QImage(CaminhoNaSkinQt("Icones\\Sistema\\TelaMsg.ico")).isNull());
  for (const char* o :
       {"Celular", "Globo", "ICQ1", "ICQ2", "MSN1", "MSN2", "YAH1", "YAH2", "Tazu1"}) {
    EXPECT_EQ(QImage(CaminhoNaSkinQt(std::string("Icones\\Origens\\") + o + ".bmp")).size(),
              QSize(16, 16))
        << o;
  }
  for (int codigo : {255, 1, 2, 3, 5, 6, 7, 8}) {
    const std::string s = "Icones\\Tray\\Status" + std::to_string(codigo) + ".ico";
    EXPECT_FALSE(QImage(CaminhoNaSkinQt(s)).isNull()) << s;
  }
  for (const char* som : {"Sons\\Incoming_MSG.wav", "Sons\\User_Conected.wav"}) {
    std::ifstream wav(CaminhoNaSkin(som), std::ios::binary);
    std::string cabecalho(12, '\0');
    wav.read(cabecalho.data(), 12);
    EXPECT_EQ(cabecalho.substr(0, 4) + cabecalho.substr(8, 4), "RIFFWAVE") << som;
  }
  QMovie filme(CaminhoDaAnimacao("Animacao\\Envio.avi"));
  ASSERT_TRUE(filme.isValid());
  EXPECT_GE(filme.frameCount(), 16);  // the chat window stops the animation on frame 15
}

TEST_F(SkinPadrao, IconesDscApontaParaOsStatus) {
  std::ifstream f(CaminhoNaSkin("Icones.dsc"), std::ios::binary);
  std::vector<std::string> linhas;
  for (std::string l; std::getline(f, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    linhas.push_back(l);
  }
  ASSERT_GE(linhas.size(), 3u);
  for (std::size_t n = 0; n < 3; ++n) {
    const auto sep = linhas[n].find('\xA7');
    ASSERT_NE(sep, std::string::npos) << n;
    const std::string dir = linhas[n].substr(0, sep);
    std::string ext = linhas[n].substr(sep + 1);
    if (n == 2) ext = "bmp";  // the big pictures' line names only the folder
    for (int codigo : {255, 1, 2, 3, 5, 6, 7, 8}) {
      const std::string arquivo = dir + "Status" + std::to_string(codigo) + "." + ext;
      const QImage i(CaminhoNaSkinQt(arquivo));
      ASSERT_FALSE(i.isNull()) << arquivo;
      if (n < 2) {
        EXPECT_EQ(i.size(), QSize(16, 16)) << arquivo;
      }
    }
  }
}

// Status icons must be told apart at a glance: no two alike.
TEST_F(SkinPadrao, IconesDeStatusDistintos) {
  std::vector<QImage> icones;
  for (int codigo : {255, 1, 2, 3, 5, 6, 7, 8}) {
    icones.push_back(
        QImage(CaminhoNaSkinQt("Icones\\Lista\\Status" + std::to_string(codigo) + ".bmp"))
            .convertToFormat(QImage::Format_RGB32));
  }
  for (std::size_t a = 0; a < icones.size(); ++a) {
    for (std::size_t b = a + 1; b < icones.size(); ++b) {
      int diferentes = 0;
      for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) diferentes += icones[a].pixel(x, y) != icones[b].pixel(x, y);
      }
      EXPECT_GT(diferentes, 40) << a << " vs " << b;
    }
  }
}

}  // namespace
}  // namespace tazu

#include <gtest/gtest.h>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"

namespace tazu {
namespace {

using Linhas = std::vector<std::string>;

Linhas Ler(TLeitorDeLinhas& leitor, std::string_view dados, int* excessos = nullptr) {
  Linhas linhas;
  leitor.Alimentar(
      dados,
      [&](std::string_view l) {
        linhas.emplace_back(l);
        return true;
      },
      [&] {
        if (excessos) ++*excessos;
      });
  return linhas;
}

TEST(TLeitorDeLinhas, CortaEmQualquerFimDeLinhaEUmNulEncerraSoASuaLinha) {
  TLeitorDeLinhas leitor;
  EXPECT_EQ(Ler(leitor, "[RPNG]\r\n[SFBS]\r\n\r\n\na\rb\n"),
            (Linhas{"[RPNG]", "[SFBS]", "a", "b"}));
  EXPECT_EQ(Ler(leitor, std::string("[RPNG]\0lixo\r\n[SFBS]\r\n", 21)),
            (Linhas{"[RPNG]", "[SFBS]"}));
  // The NUL in one read, the rest of its line in the next.
  EXPECT_TRUE(Ler(leitor, std::string("ab\0c", 4)).empty());
  EXPECT_EQ(Ler(leitor, "de\r\nfg\r\n"), (Linhas{"ab", "fg"}));
  EXPECT_EQ(leitor.Pendente(), 0u);
  // A handler that stops the read drops the rest of it.
  Linhas vistas;
  leitor.Alimentar("a\r\nb\r\nc", [&](std::string_view l) {
    vistas.emplace_back(l);
    return false;
  });
  EXPECT_EQ(vistas, Linhas{"a"});
  EXPECT_EQ(leitor.Pendente(), 0u);
}

TEST(TLeitorDeLinhas, GuardaALinhaIncompletaEntreLeiturasEmQualquerCorte) {
  const std::string fluxo =
      "[CMSG]\xA7"
      "12\xA7"
      "Ana\xA7"
      "C\xA7oi\r\n[SCEM]\xA7"
      "7\r\n[RPNG]\n";
  const Linhas esperado = {
      "[CMSG]\xA7"
      "12\xA7"
      "Ana\xA7"
      "C\xA7oi",
      "[SCEM]\xA7"
      "7",
      "[RPNG]"};
  for (size_t a = 0; a <= fluxo.size(); ++a) {
    for (size_t b = a; b <= fluxo.size(); b += 3) {
      TLeitorDeLinhas leitor;
      Linhas linhas;
      for (auto pedaco :
           {std::string_view(fluxo).substr(0, a), std::string_view(fluxo).substr(a, b - a),
            std::string_view(fluxo).substr(b)})
        for (auto& l : Ler(leitor, pedaco)) linhas.push_back(l);
      ASSERT_EQ(linhas, esperado) << a << "," << b;
    }
  }
}

TEST(TLeitorDeLinhas, DescartaUmaLinhaLongaDemaisUmaVezESeRecupera) {
  TLeitorDeLinhas leitor(10);
  int excessos = 0;
  EXPECT_TRUE(Ler(leitor, "0123456789", &excessos).empty());
  EXPECT_EQ(excessos, 0);  // at the limit: still kept
  EXPECT_TRUE(Ler(leitor, "AB", &excessos).empty());
  EXPECT_TRUE(Ler(leitor, std::string(50, 'x'), &excessos).empty());
  EXPECT_EQ(excessos, 1);
  EXPECT_EQ(Ler(leitor, "y\r\nok\r\n", &excessos), Linhas{"ok"});
  EXPECT_EQ(leitor.Pendente(), 0u);
}

TEST(ProtocoloTazu, EnvioAbertoEEmbaralhadoLinhaALinha) {
  TCriptografia semCripto;
  semCripto.Chave = 0;
  EXPECT_EQ(MontarLinha("CNMS", {"5"}),
            "[CNMS]\xA7"
            "5");
  EXPECT_EQ(PrepararEnvio("[CPNG]\r\n\r\n", semCripto), "[CPNG]\r\n");
  EXPECT_EQ(PrepararEnvio("", semCripto), "");
  EXPECT_EQ(AbrirLinha("  [RPNG] \t", semCripto), "[RPNG]");

  TCriptografia cripto;
  cripto.Chave = 91;
  const std::string envio = PrepararEnvio(
      " [CCON]\xA7segredo\xA7"
      "1 \r\nsegunda\r\n",
      cripto);
  TLeitorDeLinhas leitor;
  Linhas abertas;
  for (const std::string& l : Ler(leitor, envio)) abertas.push_back(AbrirLinha(l, cripto));
  EXPECT_EQ(abertas, (Linhas{"[CCON]\xA7segredo\xA7"
                             "1",
                             "segunda"}));
  EXPECT_EQ(envio.substr(0, envio.find("\r\n")), cripto.Embaralhar("[CCON]\xA7segredo\xA7"
                                                                   "1"));
}

}  // namespace
}  // namespace tazu

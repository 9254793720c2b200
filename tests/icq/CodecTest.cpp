// The OSCAR codec: the frames the engine sends byte for byte, the bounds of
// the packet buffer and of every reader, framing, rich text and the code
// tables.
#include <gtest/gtest.h>

#include <random>

#include "icq/CodecCliente.h"
#include "icq/CodecLista.h"
#include "icq/CodecMeta.h"
#include "icq/CodecServidor.h"
#include "icq/ComunicadorICQ.h"
#include "icq/Rtf.h"
#include "icq/TabelasICQ.h"
#include "tests/support/Expect.h"
#include "tests/support/icq/OscarDialect.h"

namespace tazu::test {
namespace {

using namespace icq;

TEST(CodecICQ, QuadrosDoClienteByteAByte) {
  struct Caso {
    const char* nome;
    std::string bytes;
    const char* esperado;
  };
  TMensagemRecebida recebida;
  recebida.cookie = std::string("\1\2\3\4\5\6\7\x08", 8);
  recebida.canal = 2;
  recebida.uin = "222222";
  recebida.cabecalhoAck = std::string(47, '\x11');
  const Caso casos[] = {
      {"mensagem simples", cliente::MensagemSimples(222222, "oi", 0x123456),
       R"(SNAC 0004/0006 00000000 00123456 0001 b"222222" T0002(T0501(01) T0101(00000000 "oi")) T0006())"},
      {"mensagem simples vazia", cliente::MensagemSimples(7, "", 1),
       R"(SNAC 0004/0006 00000000 00000001 0001 b"7" T0002(T0501(01) T0101(00000000)) T0006())"},
      {"mensagem com confirmação", cliente::MensagemComConfirmacao(222222, "oi", false, 0x0102),
       R"(SNAC 0004/0006 00000000 0102 0000 0002 b"222222" T0005(0000 00000000 0102 0000
          094613494C7F11D18222444553540000 T000A(0001) T000F() T2711(le16:27 le16:8
          00000000000000000000000000000000 le16:0 le32:3 00 le16:65535 le16:14 le16:65535
          000000000000000000000000 01 00 le16:0 le16:0 z"oi" le32:0 le32:16777215)) T0003())"},
      {"mensagem RTF", cliente::MensagemComConfirmacao(9, "x", true, 1),
       R"(SNAC 0004/0006 00000000 0001 0000 0002 b"9" T0005(0000 00000000 0001 0000
          094613494C7F11D18222444553540000 T000A(0001) T000F() T2711(le16:27 le16:8
          00000000000000000000000000000000 le16:0 le32:3 00 le16:65535 le16:14 le16:65535
          000000000000000000000000 01 00 le16:0 le16:0 z"x" le32:0 le32:16777215
          le32:38 "{97B12751-243C-4334-AD22-D6ABF73F1492}")) T0003())"},
      {"confirmação de mensagem", cliente::ConfirmarMensagem(recebida, "fora"),
       R"(SNAC 0004/000B 0102030405060708 0002 b"222222" 0003
          1111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111
          00000000 le16:0 le32:0 le32:16777215)"},
      {"status", cliente::Status(0x0100), "SNAC 0001/001E T0006(00000100)"},
      {"lista visível", cliente::ListaVisivel({"1", "22"}), R"(SNAC 0009/0005 b"1" b"22")"},
      {"lista invisível vazia", cliente::ListaInvisivel({}), "SNAC 0009/0007"},
      {"remover contato local", cliente::RemoverContatoLocal("5"), R"(SNAC 0003/0005 b"5")"},
      {"pedir lista", cliente::PedirListaServidor(), "SNAC 0013/0004 id=00010004"},
      {"iniciar edição", cliente::IniciarEdicao(false), "SNAC 0013/0011 id=00000011"},
      {"importação", cliente::IniciarEdicao(true), "SNAC 0013/0011 id=00000011 00010000"},
      {"terminar edição", cliente::TerminarEdicao(), "SNAC 0013/0012 id=00000012"},
      {"incluir contato", cliente::Item(8, {"222222", 10, 3, 0, "Bia", {}, true, {}}),
       R"(SNAC 0013/0008 w"222222" 000A 0003 0000 000B T0131("Bia") T0066())"},
      {"apelido em UTF-8", cliente::Item(9, {"7", 1, 2, 0, "Z\xE9", "55", false, {}}),
       R"(SNAC 0013/0009 w"7" 0001 0002 0000 000D T0131(5AC3A9) T013A("55"))"},
      {"incluir grupo", cliente::Item(8, {"Tazu", 10, 0, 1, {}, {}, false, {}}),
       R"(SNAC 0013/0008 w"Tazu" 000A 0000 0001 0000)"},
      {"apagar contato", cliente::Item(10, {"222222", 10, 3, 0, {}, {}, false, {}}),
       R"(SNAC 0013/000A w"222222" 000A 0003 0000 0000)"},
      {"pedir autorização", cliente::PedirAutorizacao("222222", "sou eu"),
       R"(SNAC 0013/0018 id=00000018 b"222222" w"sou eu" 0000)"},
      {"conceder", cliente::ResponderAutorizacao("222222", "ignorado", true),
       R"(SNAC 0013/001A b"222222" 01 0000 0000)"},
      {"negar", cliente::ResponderAutorizacao("222222", "n\xE3o", false),
       R"(SNAC 0013/001A b"222222" 00 w"não" 0000)"},
      {"mensagens offline", meta::Pedido(111111, meta::kOffline, 2),
       "SNAC 0015/0002 id=00010002 T0001(L(le32:111111 le16:60 le16:2))"},
      {"confirmar offline", meta::Pedido(111111, meta::kConfirmarOffline, 3),
       "SNAC 0015/0002 T0001(L(le32:111111 le16:62 le16:3))"},
      {"informação completa",
       meta::Pedido(111111, meta::kInfo, 4, meta::PedidoInfo(meta::kPedidoCompleto, 222222)),
       "SNAC 0015/0002 T0001(L(le32:111111 le16:2000 le16:4 le16:1202 le32:222222))"},
      {"informação curta",
       meta::Pedido(111111, meta::kInfo, 5, meta::PedidoInfo(meta::kPedidoCurto, 222222)),
       "SNAC 0015/0002 T0001(L(le32:111111 le16:2000 le16:5 le16:1210 le32:222222))"},
      {"busca por UIN", meta::Pedido(1, meta::kInfo, 6, meta::BuscaPorUin(222222)),
       "SNAC 0015/0002 T0001(L(le32:1 le16:2000 le16:6 le16:1385 le16:310 le16:4 le32:222222))"},
      {"busca por e-mail", meta::Pedido(1, meta::kInfo, 7, meta::BuscaPorEmail("a@b")),
       R"(SNAC 0015/0002 T0001(L(le32:1 le16:2000 le16:7 le16:1395 le16:350 le16:6 z"a@b")))"},
      {"busca por nomes",
       meta::Pedido(1, meta::kInfo, 8, meta::BuscaPorNomes({"Ana", "", "", "e"})),
       R"(SNAC 0015/0002 T0001(L(le32:1 le16:2000 le16:8 le16:1375 le16:320 le16:6 z"Ana"
          le16:350 le16:4 z"e")))"},
  };
  for (const Caso& c : casos) {
    std::string esperado(c.esperado);
    for (char& ch : esperado)
      if (ch == '\n') ch = ' ';
    EXPECT_TRUE(SameBytes(OscarDialect::Body(esperado), c.bytes)) << c.nome;
  }
}

TEST(CodecICQ, PacoteNuncaPassaDoLimite) {
  TPacote p;
  p.Bytes(std::string(kMaxDadosFlap, 'x')).TextoW(std::string(100, 'y')).U32(7);
  EXPECT_EQ(p.Tamanho(), kCabecalhoFlap + kMaxDadosFlap);
  EXPECT_TRUE(p.Cortado());
  EXPECT_EQ(MontarFlap(2, 0, p.Dados()).size(), kCabecalhoFlap + kMaxDadosFlap);

  // Lengths read from the wire are checked against what is left.
  const std::string curto(
      "\x00\x09"
      "abc"
      "\x05",
      6);
  TLeitor l(curto);
  EXPECT_EQ(l.TextoW(), "");
  EXPECT_TRUE(l.Falhou());
  EXPECT_EQ(l.U32(), 0u);
  EXPECT_EQ(l.U8(), 0u);
  const std::string tlvCurta(
      "\x00\x01\x00\x05"
      "ab",
      6);
  TLeitor t(tlvCurta);
  TLeitor::TTlv tlv;
  EXPECT_FALSE(t.Tlv(tlv));
  EXPECT_TRUE(t.Falhou());
  EXPECT_EQ(UinDeTexto("4294967295"), 4294967295u);
  for (const char* ruim : {"4294967296", "12a", "", "99999999999", "-1"})
    EXPECT_EQ(UinDeTexto(ruim), 0u) << ruim;
}

TEST(CodecICQ, MontadorDeQuadrosEmQualquerCorte) {
  const std::string a = MontarFlap(1, 5, std::string("\0\0\0\1", 4));
  const std::string b = MontarFlap(2, 6, std::string(300, 'z'));
  const std::string fluxo = a + b + a;
  for (std::size_t corte : {1u, 2u, 5u, 6u, 7u, 64u, 1000u}) {
    TMontadorFlap m;
    std::vector<std::string> quadros;
    for (std::size_t i = 0; i < fluxo.size(); i += corte) {
      m.Alimentar(std::string_view(fluxo).substr(i, corte));
      TFlap q;
      while (m.Proximo(q) == TMontadorFlap::Resultado::Quadro)
        quadros.push_back(std::to_string(q.canal) + ":" + std::to_string(q.sequencia) + ":" +
                          std::to_string(q.dados.size()));
    }
    EXPECT_EQ(quadros, (std::vector<std::string>{"1:5:4", "2:6:300", "1:5:4"})) << corte;
    EXPECT_EQ(m.Guardados(), 0u);
  }
  TMontadorFlap m;
  m.Alimentar(std::string("\x2A\x02\x00\x01\x20\x00", 6));
  TFlap q;
  EXPECT_EQ(m.Proximo(q), TMontadorFlap::Resultado::Incompleto) << "8192 is still allowed";
  m.Limpar();
  m.Alimentar(std::string("\x2A\x02\x00\x01\xFF\xFF", 6));
  EXPECT_EQ(m.Proximo(q), TMontadorFlap::Resultado::Longo);
  EXPECT_EQ(m.TamanhoLido(), 0xFFFF);
  m.Alimentar(a);
  EXPECT_EQ(m.Proximo(q), TMontadorFlap::Resultado::Malformado) << "a stopped stream stays stopped";
}

TEST(CodecICQ, LeitoresAguentamQualquerEntrada) {
  std::mt19937 gerador(1234);
  for (int volta = 0; volta < 3000; ++volta) {
    std::string b(gerador() % 200, '\0');
    for (char& c : b) c = static_cast<char>(gerador() % 4 == 0 ? 0 : gerador());
    TPresenca p;
    TMensagemRecebida m;
    TConfirmacao c;
    std::vector<TItemLista> itens;
    meta::TMeta mt;
    meta::TInfoGeral g;
    meta::TResultadoBusca r;
    TMensagemEnviada e;
    servidor::TLogin login;
    uint16_t codigo;
    std::string uin;
    cliente::LerRespostaLogin(b);
    cliente::LerPresenca(b, p);
    cliente::LerMensagem(b, m);
    cliente::LerConfirmacao(b, c);
    cliente::LerResultadoLista(b, codigo);
    cliente::LerAdicionouVoce(b, uin);
    lista::LerLista(b, itens);
    lista::Entradas(itens);
    meta::Ler(b, mt);
    meta::LerGeral(b, g);
    meta::LerResultadoBusca(b, r);
    servidor::LerMensagemEnviada(b, e);
    servidor::LerQuadroLogin(b, login);
    RtfParaTexto("{\\rtf" + b);
  }
}

TEST(CodecICQ, ItensEMetaVoltamComoForam) {
  const std::vector<TItemLista> itens = {
      {"Tazu", 10, 0, 1, {}, {}, false, {}},
      {"222222", 10, 3, 0, "Bia \xC7\xE1", "5511", true, {}},
      {"333333", 10, 4, 14, {}, {}, false, std::string("\x01\x45\x00\x01\x07", 5)},
  };
  std::vector<TItemLista> lidos;
  ASSERT_TRUE(lista::LerLista(lista::Lista(itens), lidos));
  ASSERT_EQ(lidos.size(), itens.size());
  for (std::size_t i = 0; i < itens.size(); ++i) {
    EXPECT_EQ(lidos[i].nome, itens[i].nome);
    EXPECT_EQ(lidos[i].apelido, itens[i].apelido);
    EXPECT_EQ(lidos[i].sms, itens[i].sms);
    EXPECT_EQ(lidos[i].aguardandoAutorizacao, itens[i].aguardandoAutorizacao);
    EXPECT_EQ(lidos[i].outrosTlvs, itens[i].outrosTlvs);
  }
  const auto entradas = lista::Entradas(lidos);
  ASSERT_EQ(entradas.size(), 2u) << "the group is not an entry";
  EXPECT_EQ(entradas[1].nomeDoGrupo, "Tazu");
  EXPECT_EQ(entradas[1].tipo, 14);

  meta::TInfoMais mais{31, 2, "http://x", 1990, 2, 29, {36, 12, 0}};
  meta::TInfoMais lido;
  ASSERT_TRUE(meta::LerMais(meta::Mais(mais), lido));
  EXPECT_EQ(lido.diaNascimento, 29);
  EXPECT_EQ(lido.idiomas[0], 36);
  EXPECT_FALSE(meta::LerMais(meta::Mais(mais).substr(0, 10), lido)) << "a short reply fails";
}

TEST(CodecICQ, TextoRicoViraTextoSimples) {
  const std::pair<const char*, const char*> casos[] = {
      {R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}{\colortbl ;\red0\green0\blue0;}\f0 Ol\'e1\par mundo\par})",
       "Ol\xE1\r\nmundo"},
      {R"({\rtf1 a\{b\}\\c\tab d})", "a{b}\\c\td"},
      {R"({\rtf1{\*\generator x;}\uc1\u8364?uro})", "\x80uro"},
      {"texto comum {\\rtf", "texto comum {\\rtf"},
  };
  for (const auto& [rtf, texto] : casos) EXPECT_EQ(RtfParaTexto(rtf), texto) << rtf;
  EXPECT_EQ(TextoDaMensagem("ver: {\\rtf1\\ansi oi\\par}"), "ver: oi");
}

TEST(CodecICQ, TabelasEStatus) {
  EXPECT_EQ(NomeDoPais(55), "Brazil");
  EXPECT_EQ(NomeDoPais(351), "Portugal");
  EXPECT_EQ(NomeDoPais(4242), "Unknown");
  EXPECT_EQ(NomeDoIdioma(36), "Portuguese");
  EXPECT_EQ(NomeDoIdioma(200), "Unknown");
  EXPECT_EQ(NomeDaOcupacao(5), "Computers");
  EXPECT_EQ(NomeDaOcupacao(99), "Other Services");
  EXPECT_EQ(NomeDaOcupacao(28), "Unknown");
  // ICQ → program, flag bits cleared first; program → ICQ.
  const std::pair<uint32_t, int> icqParaPrograma[] = {
      {0x0100, 2}, {0x0001, 8},     {0x0005, 8},     {0x0011, 6}, {0x0013, 5},    {0x0020, 7},
      {0x0000, 1}, {0x10020013, 5}, {0x00010100, 2}, {0x0004, 1}, {0x00080001, 1}};
  for (const auto& [icq, codigo] : icqParaPrograma)
    EXPECT_EQ(CodigoDoStatusICQ(icq), codigo) << icq;
  const std::pair<int, uint32_t> programaParaIcq[] = {
      {1, 0}, {2, 0x100}, {3, 0}, {4, 0}, {5, 0x13}, {6, 0x11}, {7, 0x20}, {8, 1}, {9, 0}};
  for (const auto& [codigo, icq] : programaParaIcq)
    EXPECT_EQ(StatusICQDoCodigo(codigo), icq) << codigo;
}

}  // namespace
}  // namespace tazu::test

#include "skin/Catalogo.h"

namespace tazu::catalogo {

namespace {

constexpr auto PSC = TTipoFeicao::PSC;
constexpr auto BTN = TTipoFeicao::BTN;
constexpr auto MOV = TTipoFeicao::MOV;
constexpr auto RDM = TTipoFeicao::RDM;
constexpr auto RTL = TTipoFeicao::RTL;
using C = TControle;

std::vector<TJanelaEsperada> Montar() {
  std::vector<TJanelaEsperada> j;
  j.push_back({"Gerente.cap",
               "Gerente",
               "Tazu Messenger",
               {{1, PSC, C::Identificacao, "Maria Silva"},
                {2, PSC, C::Contatos},
                {3, PSC},
                {4, BTN},
                {5, BTN},
                {6, BTN},
                {7, RDM},
                {8, BTN},
                {9, BTN},
                {10, BTN},
                {12, BTN},
                {13, MOV},
                {14, RTL},
                {15, PSC, C::Chaveador}}});
  j.push_back({"Login.cap",
               "Login",
               "Tazu Messenger (Login)",
               {{1, PSC, C::Edicao, "4242"},
                {2, PSC, C::Senha, "segredo"},
                {3, PSC, C::Marcador, "Lembrar minha senha"},
                {4, BTN},
                {5, BTN},
                {6, MOV},
                {7, RTL}}});
  j.push_back({"Info.cap",
               "Info",
               "Informação",
               {{1, PSC, C::Rotulo, "Texto da mensagem."},
                {2, PSC, C::Figura, "Info\\Excl.bmp"},
                {3, PSC, C::Rotulo, "Informação"},
                {4, PSC, C::BotaoFigura, "Botoes\\Ok.bmp"},
                {5, BTN},
                {6, MOV},
                {7, RTL}}});
  j.push_back({"Aguarde.cap",
               "Info",
               "Aguarde",
               {{1, PSC, C::Rotulo, "Conectando..."},
                {2, PSC, C::Rotulo, "Aguardando conexao com o servidor Tazu Messenger."},
                {3, PSC, C::Animacao, "Animacao\\Envio.avi"},
                {4, RTL},
                {5, MOV}}});
  j.push_back({"Mens.cap",
               "Mens",
               "Ana Paula (Conectado)",
               {{1, PSC, C::Rotulo, "Ana Paula (Conectado)"},
                {2, PSC, C::Rotulo, "ana.paula@hotmail.com"},
                {3, PSC, C::Conversa},
                {4, PSC, C::Texto, "Combinado, às oito na praça!"},
                {5, BTN},
                {6, PSC, C::Animacao, "Animacao\\Envio.avi"},
                {7, PSC, C::Rotulo, "28"},
                {8, BTN},
                {9, BTN},
                {10, RDM},
                {11, MOV},
                {12, BTN},
                {13, PSC, C::Figura, "Icones\\Status\\Status1.bmp"},
                {14, PSC, C::Figura, "Icones\\Origens\\MSN1.bmp"},
                {15, BTN}}});
  j.push_back({"Hist.cap",
               "Mens",
               "Histórico",
               {{1, PSC, C::Conversa},
                {2, PSC, C::BotaoFigura, "Botoes\\Limpar.bmp"},
                {3, PSC, C::BotaoFigura, "Botoes\\Ok.bmp"},
                {4, BTN},
                {5, RTL},
                {6, MOV},
                {7, RDM}}});
  j.push_back({"Busca.cap",
               "Busca",
               "Adicionar novo contato à lista de contatos",
               {{1, PSC, C::Pagina, "Busca\\B1.bmp"},
                {2, BTN},
                {3, BTN},
                {4, BTN},
                {5, PSC, C::Edicao, "4242", 1},
                {6, PSC, C::Nenhum, "", 1},
                {7, PSC, C::Nenhum, "", 1},
                {8, PSC, C::Nenhum, "", 1},
                {9, PSC, C::Animacao, "Animacao\\Envio.avi"},
                {10, BTN},
                {11, BTN},
                {12, BTN},
                {13, PSC, C::Resultados},
                {14, BTN},
                {16, RDM},
                {17, MOV},
                {18, RTL},
                {19, PSC, C::Rotulo, "2 resultados para a busca."},
                {20, PSC, C::Figura, "Icones\\Origens\\Tazu1.bmp"}}});
  j.push_back({"Selecao.cap",
               "Selecao",
               "Escolha a comunidade",
               {{1, BTN},
                {2, BTN},
                {3, PSC, C::Marcador, "Tazu"},
                {4, PSC, C::Marcador, "ICQ"},
                {5, PSC, C::Marcador, "MSN Messenger"},
                {6, PSC, C::Marcador, "Yahoo! Messenger"},
                {7, RTL},
                {8, MOV}}});
  j.push_back({"Adiciona.cap",
               "Adiciona",
               "Adicionar contato",
               {{1, BTN},
                {2, BTN},
                {3, PSC, C::Edicao, "amigo@hotmail.com"},
                {4, RTL},
                {5, MOV},
                {6, PSC, C::Figura, "Icones\\Origens\\MSN1.bmp"}}});
  j.push_back({"Eventos.cap",
               "Eventos",
               "Aviso de contato",
               {{1, PSC, C::Rotulo, "ICQ: 123456789"},
                {2, PSC, C::Rotulo, "Joana"},
                {3, PSC, C::Texto,
                 "\"Joana\" deseja adicioná-lo à sua lista de contatos.\n\nMensagem de Joana:\nOi! "
                 "Lembra de mim? Somos colegas da faculdade."},
                {4, PSC, C::BotaoFigura, "Botoes\\Sair.bmp"},
                {5, PSC, C::BotaoFigura, "Botoes\\Adicionar.bmp"},
                {6, PSC, C::BotaoFigura, "Botoes\\Rejeitar.bmp"},
                {7, PSC, C::BotaoFigura, "Botoes\\Autorizar.bmp"},
                {8, BTN},
                {9, MOV}}});
  j.push_back({"PedeAut.cap",
               "PedeAut",
               "Pedido de Autorização",
               {{1, PSC, C::Rotulo,
                 "O contato \"Pedro\" precisa autorizá-lo para que você possa adicioná-lo à sua "
                 "lista. Envie uma mensagem identificando-se."},
                {2, PSC, C::Texto, "Oi Pedro, é a Maria do curso de inglês!"},
                {3, BTN},
                {4, BTN},
                {5, MOV},
                {6, RTL}}});
  j.push_back({"Comunic.cap",
               "Comunic",
               "Comunicadores",
               {{1, PSC, C::Marcador, "Usar ICQ"},
                {2, PSC, C::Edicao, "123456789"},
                {3, PSC, C::Senha, "segredo"},
                {4, PSC, C::Marcador, "Usar MSN Messenger"},
                {5, PSC, C::Edicao, "maria@hotmail.com"},
                {6, PSC, C::Senha, "segredo"},
                {7, PSC, C::Marcador, "Usar Yahoo! Messenger"},
                {8, PSC, C::Edicao, ""},
                {9, PSC, C::Senha, ""},
                {10, BTN},
                {11, BTN},
                {12, MOV}}});
  j.push_back({"Cadastro.cap",
               "Cadastro",
               "Cadastro de novo usuário",
               {{1, BTN},
                {2, BTN},
                {3, BTN},
                {4, BTN},
                {5, BTN},
                {6, MOV},
                {7, BTN},
                {8, PSC, C::Pagina, "Cadastro\\C1.bmp"},
                {20, PSC, C::Edicao, "Mari", 8},
                {21, PSC, C::Edicao, "Maria da Silva", 8},
                {22, PSC, C::Edicao, "maria@exemplo.com.br", 8},
                {23, PSC, C::Senha, "segredo", 8},
                {24, PSC, C::Senha, "segredo", 8},
                {25, PSC, C::Marcador, "Lembrar a senha neste computador", 8}}});
  j.push_back({"Registro.cap",
               "Registro",
               "Registrar usuário neste computador",
               {{1, PSC, C::Edicao, "4242"},
                {2, PSC, C::Marcador, "Pelo número (NIU):"},
                {3, PSC, C::Marcador, "Pelo apelido:"},
                {4, PSC, C::Edicao, ""},
                {5, PSC, C::Senha, "segredo"},
                {6, PSC, C::Senha, "segredo"},
                {7, PSC, C::Marcador, "Lembrar a senha neste computador"},
                {10, BTN},
                {11, BTN},
                {12, MOV},
                {13, RTL}}});
  std::vector<TElementoEsperado> info = {{1, PSC, C::Rotulo, "Maria Silva"},
                                         {2, PSC, C::Rotulo, "Tazu: 4242"},
                                         {4, PSC, C::Seletor},
                                         {5, BTN},
                                         {6, BTN},
                                         {7, BTN},
                                         {8, MOV},
                                         {9, PSC, C::Pagina, "InfoUsu\\I1.bmp"},
                                         {10, PSC, C::Nenhum, "", 9}};
  const char* pessoais[] = {"Mari", "Maria da Silva", "F", "12", "03", "1980"};
  for (uint8_t id = 11; id <= 37; ++id) {
    const bool naPagina = id <= 16 || id == 30;
    std::string exemplo = id <= 16 ? pessoais[id - 11] : id == 30 ? "3122223333" : "";
    info.push_back({id, PSC, naPagina ? C::Edicao : C::Nenhum, exemplo, 9});
  }
  j.push_back({"InfoUsu.cap", "InfoUsu", "Informações de Maria Silva", info});
  j.push_back(
      {"MenuStat.cap", "Menu", "Meu status", {{1, PSC, C::Seletor}, {2, BTN}, {3, MOV}, {4, RTL}}});
  j.push_back(
      {"MenuOpc.cap", "Menu", "Opções", {{1, PSC, C::Seletor}, {2, BTN}, {3, MOV}, {4, RTL}}});
  j.push_back({"MenuUsu.cap",
               "Menu",
               "Usuários",
               {{1, PSC, C::ListaMarcada}, {2, BTN}, {3, MOV}, {4, RTL}}});
  j.push_back({"Prim.cap",
               "Prim",
               "Tazu Messenger (Opções Iniciais)",
               {{1, BTN}, {2, BTN}, {3, BTN}, {4, MOV}}});
  j.push_back({"Sobre.cap",
               "Sobre",
               "Sobre o Tazu Messenger",
               {{1, PSC, C::BotaoFigura, "Botoes\\Ok.bmp"}, {2, BTN}, {3, MOV}, {4, RTL}}});
  return j;
}

}  // namespace

const std::vector<TJanelaEsperada>& Janelas() {
  static const std::vector<TJanelaEsperada> janelas = Montar();
  return janelas;
}

}  // namespace tazu::catalogo

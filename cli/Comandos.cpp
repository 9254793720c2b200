// The commands of standard input: each one is read against its syntax, checked
// against what the client can do right now (a command that cannot be carried
// out says why in an "erro" event and sends nothing), then handed to the client.
#include <array>

#include "base/Cp1252.h"
#include "cli/AplicacaoCli.h"
#include "cli/Textos.h"
#include "core/Listas.h"
#include "core/UGlobal.h"
#include "server/Textos.h"

namespace tazu::cli {

namespace {

constexpr std::array<const char*, 4> kComunidades = {"Tazu", "ICQ", "MSN", "Yahoo"};

std::vector<std::string> LinhasDaMensagem(std::string texto) {
  std::vector<std::string> linhas;
  for (std::size_t p; (p = texto.find("\\n")) != std::string::npos;) {
    linhas.push_back(texto.substr(0, p));
    texto.erase(0, p + 2);
  }
  linhas.push_back(texto);
  return linhas;
}

}  // namespace

// What a command takes: its number of words and whether the last one is free
// text (the rest of the line).
struct TAplicacaoCli::TSintaxe {
  std::size_t palavras;
  bool ultimoLivre;
  const char* uso;
  TExecutor executor;
};

const std::map<std::string, TAplicacaoCli::TSintaxe>& TAplicacaoCli::Sintaxes() {
  using A = TAplicacaoCli;
  static const std::map<std::string, TSintaxe> s = {
      {"msg", {3, true, "msg COMUNIDADE ID TEXTO", &A::ExecutarMsg}},
      {"status", {1, false, "status CODIGO", &A::ExecutarStatus}},
      {"netstatus", {2, false, "netstatus COMUNIDADE CODIGO", &A::ExecutarNetstatus}},
      {"add", {2, false, "add COMUNIDADE ID", &A::ExecutarAdd}},
      {"remove", {2, false, "remove COMUNIDADE ID", &A::ExecutarRemove}},
      {"authreq", {3, true, "authreq COMUNIDADE ID TEXTO", &A::ExecutarAuthreq}},
      {"grant", {2, false, "grant COMUNIDADE ID", &A::ExecutarGrant}},
      {"reject", {2, false, "reject COMUNIDADE ID", &A::ExecutarReject}},
      {"search", {3, true, "search COMUNIDADE TIPO TEXTO", &A::ExecutarSearch}},
      {"endsearch", {0, false, "endsearch", &A::ExecutarEndsearch}},
      {"info", {2, false, "info COMUNIDADE ID", &A::ExecutarInfo}},
      {"setinfo", {2, true, "setinfo BLOCO TEXTO", &A::ExecutarSetinfo}},
      {"accounts", {0, false, "accounts", &A::ExecutarAccounts}},
      {"setaccounts",
       {9, false, "setaccounts USA_ICQ UIN SENHA USA_MSN EMAIL SENHA USA_YAHOO ID SENHA",
        &A::ExecutarSetaccounts}},
      {"register", {20, false, "register VALOR1 ... VALOR20", &A::ExecutarRegister}},
      {"identify",
       {3, false, "identify POR_APELIDO NUMERO_OU_APELIDO SENHA", &A::ExecutarIdentify}},
      {"contacts", {0, false, "contacts", &A::ExecutarContacts}},
      {"disconnect", {0, false, "disconnect", &A::ExecutarDisconnect}},
      {"quit", {0, false, "quit", &A::ExecutarQuit}},
  };
  return s;
}

bool DividirComando(const std::string& linha, std::size_t palavras, bool ultimoLivre,
                    std::vector<std::string>& saida) {
  saida.clear();
  std::size_t i = 0;
  auto pularBrancos = [&] {
    while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
  };
  while (true) {
    pularBrancos();
    if (i >= linha.size()) break;
    if (ultimoLivre && saida.size() + 1 == palavras) {
      saida.push_back(linha.substr(i));
      break;
    }
    std::string palavra;
    if (linha[i] == '"') {
      ++i;
      bool fechou = false;
      while (i < linha.size()) {
        const char c = linha[i++];
        if (c == '"') {
          fechou = true;
          break;
        }
        if (c == '\\' && i < linha.size() && (linha[i] == '"' || linha[i] == '\\')) {
          palavra.push_back(linha[i++]);
        } else {
          palavra.push_back(c);
        }
      }
      if (!fechou) return false;
    } else {
      while (i < linha.size() && linha[i] != ' ' && linha[i] != '\t') palavra.push_back(linha[i++]);
    }
    saida.push_back(std::move(palavra));
  }
  return true;
}

void TAplicacaoCli::Executar(const std::string& linhaCompleta) {
  if (terminou_) return;
  const std::string linha(Aparar(linhaCompleta));
  if (linha.empty()) return;
  const std::size_t fimNome = linha.find_first_of(" \t");
  const std::string nome = linha.substr(0, fimNome);
  const std::string resto = fimNome == std::string::npos ? "" : linha.substr(fimNome + 1);
  const auto sintaxe = Sintaxes().find(nome);
  if (sintaxe == Sintaxes().end())
    return Erro(std::string(textos::cli::ComandoDesconhecido) + nome);
  const TSintaxe& s = sintaxe->second;
  comando_ = nome;
  uso_ = s.uso;
  std::vector<std::string> a;
  if (!DividirComando(resto, s.palavras, s.ultimoLivre, a) || a.size() != s.palavras) return Uso();
  (this->*s.executor)(a);
}

void TAplicacaoCli::Uso() {
  Erro(std::string(textos::cli::Uso) + uso_);
}

// ---- What a command needs ----

// The community as the client names it; its name may be typed in any case.
bool TAplicacaoCli::Comunidade(std::string& nome) {
  for (const char* conhecida : kComunidades) {
    if (MaiusculasAnsi(nome) == MaiusculasAnsi(conhecida)) {
      nome = conhecida;
      return true;
    }
  }
  Erro(std::string(textos::cli::ComunidadeDesconhecida) + nome +
       std::string(textos::cli::ComunidadesConhecidas));
  return false;
}

bool TAplicacaoCli::ConectadoAoServidor() {
  if (cliente_.Conectado) return true;
  Erro(comando_ + std::string(textos::cli::SemServidor));
  return false;
}

// Tazu needs the server; an outside network needs its adapter, which lives only
// while the user is logged in to the network.
bool TAplicacaoCli::Alcancavel(const std::string& comunidade) {
  if (comunidade == textos::Comunidade) return ConectadoAoServidor();
  if (cliente_.Comunicadores.Localizar(comunidade)) return true;
  Erro(comando_ + std::string(textos::cli::OComunicador) + comunidade +
       std::string(textos::cli::NaoConectado));
  return false;
}

// ---- The commands ----

void TAplicacaoCli::ExecutarMsg(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (!Comunidade(comunidade)) return;
  const bool tazu = comunidade == textos::Comunidade;
  uint32_t niu = 0;
  if (tazu && !LerNumero(a[1], 65535, niu)) return Uso();
  if (!Alcancavel(comunidade)) return;
  const std::vector<std::string> linhas = LinhasDaMensagem(a[2]);
  emTransito_.Enviado(comunidade, a[1], JuntarLinhas(linhas));
  if (tazu) {
    cliente_.EnviarMensagem(static_cast<uint16_t>(niu), linhas);
  } else {
    cliente_.EnviarMensagemComunicador(comunidade, a[1], linhas);
  }
}

void TAplicacaoCli::ExecutarStatus(const TArgumentos& a) {
  uint32_t n = 0;
  if (!LerNumero(a[0], 255, n)) return Uso();
  const bool conecta = !cliente_.Conectado && n != StatusDesconectado;
  if (n != StatusDesconectado) opcoes_.status = static_cast<uint8_t>(n);
  if (conecta) {
    EsperarLogin(TModo::Login);
    alcancandoServidor_ = true;  // the client connects to change the status
  }
  cliente_.MudarStatus(static_cast<uint8_t>(n));
}

void TAplicacaoCli::ExecutarNetstatus(const TArgumentos& a) {
  std::string rede = a[0];
  uint32_t n = 0;
  if (!Comunidade(rede)) return;
  if (!LerNumero(a[1], 255, n)) return Uso();
  switch (cliente_.MudarStatusDaRede(rede, static_cast<uint8_t>(n))) {
    case TClientePCTazu::TStatusDaRede::Aplicado:
      break;
    case TClientePCTazu::TStatusDaRede::NaoHabilitado:
      Emitir("aviso", "Descricao",
             std::string(textos::ComunicadorAntes) + rede + std::string(textos::NaoHabilitado));
      break;
    case TClientePCTazu::TStatusDaRede::EmLogin:
      Emitir(
          "aviso", "Descricao",
          std::string(textos::AguardeLoginAntes) + rede + std::string(textos::AguardeLoginDepois));
      break;
    case TClientePCTazu::TStatusDaRede::NaoConfigurado:
      Emitir("aviso", "Descricao", std::string(textos::ComunicadorNaoConfigurado));
      break;
  }
}

void TAplicacaoCli::ExecutarAdd(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (Comunidade(comunidade) && Alcancavel(comunidade)) cliente_.AdicionarContato(comunidade, a[1]);
}

void TAplicacaoCli::ExecutarRemove(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (!Comunidade(comunidade)) return;
  if (!cliente_.Contatos.Localizar(comunidade, a[1]))
    return Erro(comando_ + ": " + comunidade + " " + a[1] + std::string(textos::cli::ForaDaLista));
  if (Alcancavel(comunidade)) cliente_.RemoverContato(comunidade, a[1]);
}

void TAplicacaoCli::ExecutarAuthreq(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (Comunidade(comunidade) && Alcancavel(comunidade))
    cliente_.PedirAutorizacao(comunidade, a[1], a[2]);
}

void TAplicacaoCli::ExecutarGrant(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (Comunidade(comunidade) && Alcancavel(comunidade))
    cliente_.ResponderAutorizacao(comunidade, a[1]);
}

// Refusing is done on the Tazu server only; for the other networks the client
// itself tells why (a notice).
void TAplicacaoCli::ExecutarReject(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (!Comunidade(comunidade)) return;
  if (comunidade == textos::Comunidade && !ConectadoAoServidor()) return;
  cliente_.RejeitarAutorizacao(comunidade, a[1]);
}

void TAplicacaoCli::ExecutarSearch(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (!Comunidade(comunidade)) return;
  if (a[1].size() != 1 || a[1][0] < '1' || a[1][0] > '5') return Uso();
  if (!Alcancavel(comunidade)) return;
  std::string texto = a[2];
  // Nickname and name travel as two fields; "|" is the easy way to type it.
  if (a[1] == "5" && texto.find(kSeparador) == std::string::npos) {
    const std::size_t barra = texto.find('|');
    if (barra != std::string::npos) texto[barra] = kSeparador;
  }
  cliente_.BuscarContato(comunidade, a[1][0], texto);
}

void TAplicacaoCli::ExecutarEndsearch(const TArgumentos&) {
  if (ConectadoAoServidor()) cliente_.EncerrarBusca(2);
}

void TAplicacaoCli::ExecutarInfo(const TArgumentos& a) {
  std::string comunidade = a[0];
  if (Comunidade(comunidade) && Alcancavel(comunidade)) cliente_.PedirInformacoes(comunidade, a[1]);
}

void TAplicacaoCli::ExecutarSetinfo(const TArgumentos& a) {
  uint32_t bloco = 0;
  if (!LerNumero(a[0], 2, bloco) || bloco == 0) return Uso();
  if (ConectadoAoServidor())
    cliente_.GravarInformacoes(std::string(textos::Comunidade), static_cast<int>(bloco), a[1]);
}

void TAplicacaoCli::ExecutarAccounts(const TArgumentos&) {
  if (ConectadoAoServidor()) cliente_.PedirComunicadores();
}

void TAplicacaoCli::ExecutarSetaccounts(const TArgumentos& a) {
  for (int i : {0, 3, 6})
    if (a[i] != "0" && a[i] != "1") return Uso();
  if (!ConectadoAoServidor()) return;
  cliente_.GravarComunicadores(a[0] == "1", a[1], a[2], a[3] == "1", a[4], a[5], a[6] == "1", a[7],
                               a[8]);
}

void TAplicacaoCli::ExecutarRegister(const TArgumentos& a) {
  if (cliente_.Conectado) return Erro(comando_ + std::string(textos::cli::DesconecteSe));
  valoresCadastro_ = a;
  Conectar(TModo::Cadastro);
}

void TAplicacaoCli::ExecutarIdentify(const TArgumentos& a) {
  uint32_t porApelido = 0;
  if (!LerNumero(a[0], 1, porApelido)) return Uso();
  if (cliente_.Conectado) return Erro(comando_ + std::string(textos::cli::DesconecteSe));
  identificarPorApelido_ = static_cast<uint8_t>(porApelido);
  identificarTexto_ = a[1];
  cliente_.Senha = a[2];
  Conectar(TModo::Identificacao);
}

void TAplicacaoCli::ExecutarContacts(const TArgumentos&) {
  std::vector<TValorDeEvento> itens;
  for (const TContato* c : cliente_.Contatos) itens.push_back(TValorDeEvento::DoContato(*c));
  if (saida)
    saida(EventoEmJson({"contatos", {"Contatos"}, {TValorDeEvento::DeLista(std::move(itens))}}));
}

void TAplicacaoCli::ExecutarDisconnect(const TArgumentos&) {
  if (ConectadoAoServidor()) cliente_.Desconectar();
}

void TAplicacaoCli::ExecutarQuit(const TArgumentos&) {
  Sair();
}

}  // namespace tazu::cli

#include "cli/AplicacaoCli.h"

#include <charconv>

#include "base/Cp1252.h"
#include "core/Listas.h"
#include "core/UGlobal.h"
#include "core/UHistorico.h"
#include "server/Textos.h"

namespace tazu::cli {

namespace {

bool LerInteiro(const std::string& texto, uint32_t maximo, uint32_t& valor) {
  return LerNumero(texto, maximo, valor);
}

std::string Juntar(const std::vector<std::string>& linhas) {
  std::string t;
  for (std::size_t i = 0; i < linhas.size(); ++i) t += (i ? "\r\n" : "") + linhas[i];
  return t;
}

// What a command takes: its number of words and whether the last one is free
// text (the rest of the line).
struct TSintaxe {
  std::size_t palavras;
  bool ultimoLivre;
  const char* uso;
};

const std::map<std::string, TSintaxe>& Sintaxes() {
  static const std::map<std::string, TSintaxe> s = {
      {"msg", {3, true, "msg COMUNIDADE ID TEXTO"}},
      {"status", {1, false, "status CODIGO"}},
      {"netstatus", {2, false, "netstatus COMUNIDADE CODIGO"}},
      {"add", {2, false, "add COMUNIDADE ID"}},
      {"remove", {2, false, "remove COMUNIDADE ID"}},
      {"authreq", {3, true, "authreq COMUNIDADE ID TEXTO"}},
      {"grant", {2, false, "grant COMUNIDADE ID"}},
      {"reject", {2, false, "reject COMUNIDADE ID"}},
      {"search", {3, true, "search COMUNIDADE TIPO TEXTO"}},
      {"endsearch", {0, false, "endsearch"}},
      {"info", {2, false, "info COMUNIDADE ID"}},
      {"setinfo", {2, true, "setinfo BLOCO TEXTO"}},
      {"accounts", {0, false, "accounts"}},
      {"setaccounts", {9, false, "setaccounts USA_ICQ UIN SENHA USA_MSN EMAIL SENHA USA_YAHOO ID SENHA"}},
      {"register", {20, false, "register VALOR1 ... VALOR20"}},
      {"identify", {3, false, "identify POR_APELIDO NUMERO_OU_APELIDO SENHA"}},
      {"contacts", {0, false, "contacts"}},
      {"disconnect", {0, false, "disconnect"}},
      {"quit", {0, false, "quit"}},
  };
  return s;
}

}  // namespace

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

TAplicacaoCli::TAplicacaoCli(net::Runtime& runtime, TOpcoes opcoes)
    : runtime_(runtime), opcoes_(std::move(opcoes)), cliente_(runtime) {
  cliente_.IPServidor = opcoes_.host;
  cliente_.PortaServidor = opcoes_.porta;
  LigarEventos();
}

void TAplicacaoCli::LigarEventos() {
  ObservarEventos(cliente_, [this](const TEventoDoCliente& e) {
    if (saida) saida(EventoEmJson(e));
  });
  cliente_.AoDepurar = [this](TClientePCTazu&, const std::string& linha) {
    if (opcoes_.depurar && depuracao) depuracao(cp1252::ToUtf8(linha));
  };

  // The handlers below add the program's behaviour to the printing.
  auto conectado = cliente_.AoConectarServidor;
  cliente_.AoConectarServidor = [this, conectado](TClientePCTazu& c) {
    conectado(c);
    switch (modo_) {
      case TModo::Login: c.Identificar(opcoes_.status); break;
      case TModo::Cadastro: c.Cadastrar(valoresCadastro_); break;
      case TModo::Identificacao: c.IdentificarCadastro(identificarPorApelido_, identificarTexto_); break;
    }
  };
  auto comunidade = cliente_.AoConectarComunidade;
  cliente_.AoConectarComunidade = [this, comunidade](TClientePCTazu& c) {
    comunidade(c);
    LoginTerminou();
  };
  auto erro = cliente_.AoReceberErro;
  cliente_.AoReceberErro = [this, erro](TClientePCTazu& c, int n, const std::string& d) {
    erro(c, n, d);
    if (aguardandoLogin_ && modo_ != TModo::Login) LoginTerminou();
  };
  auto resposta = cliente_.AoReceberResposta;
  cliente_.AoReceberResposta = [this, resposta](TClientePCTazu& c, int comando, bool ok,
                                                const std::string& r) {
    resposta(c, comando, ok, r);
    if (!ok && (comando == TClientePCTazu::PendenteIdentificacao ||
                comando == TClientePCTazu::PendenteCadastro))
      LoginTerminou();
  };
  auto desconectado = cliente_.AoDesconectarServidor;
  cliente_.AoDesconectarServidor = [this, desconectado](TClientePCTazu& c) {
    desconectado(c);
    modo_ = TModo::Login;
    LoginTerminou();
  };
  auto cadastro = cliente_.AoAceitarCadastro;
  cliente_.AoAceitarCadastro = [this, cadastro](TClientePCTazu& c, uint16_t niu,
                                                const std::string& boasVindas) {
    cadastro(c, niu, boasVindas);
    // Registered: log in as the new user on the same connection.
    c.NIU = niu;
    c.Senha = valoresCadastro_.size() > 2 ? valoresCadastro_[2] : "";
    modo_ = TModo::Login;
    c.Identificar(StatusConectado);
  };
  auto fim = cliente_.AoFinalizarAplicativo;
  cliente_.AoFinalizarAplicativo = [this, fim](TClientePCTazu& c) {
    fim(c);
    Terminar(saindo_ ? 0 : 1);
  };
  auto mensagem = cliente_.AoReceberMensagemUsuario;
  cliente_.AoReceberMensagemUsuario = [this, mensagem](TClientePCTazu& c, TContato* ct,
                                                       std::vector<std::string>& linhas) {
    GravaHistorico(c.NIU, ct->Comunicador, ct->Identificador, HistoricoRecebida,
                   HoraDoHistorico(runtime_.WallNow()), Juntar(linhas), ct->Apelido + ": ");
    mensagem(c, ct, linhas);
  };
  auto entregue = cliente_.AoConfirmarEnvio;
  cliente_.AoConfirmarEnvio = [this, entregue](TClientePCTazu& c, const TApelido& com,
                                               const std::string& id) {
    GravarEnviada(com, id, HistoricoEnviada, c.Apelido + ": ");
    entregue(c, com, id);
  };
  auto offline = cliente_.AoEnviarOffLine;
  cliente_.AoEnviarOffLine = [this, offline](TClientePCTazu& c, const TApelido& com,
                                             const std::string& id,
                                             std::vector<std::string>& linhas) {
    const std::string apelido = ApelidoDe(com, id);
    const std::string nota = com == std::string(textos::Comunidade)
                                 ? apelido + std::string(textos::NaoConectadoAoTazu)
                                 : apelido + std::string(textos::NaoRecebeu);
    GravarEnviada(com, id, HistoricoNaoEntregue, nota);
    offline(c, com, id, linhas);
  };
}

std::string TAplicacaoCli::ApelidoDe(const std::string& comunidade,
                                     const std::string& identificador) {
  if (cliente_.Contatos.Localizar(comunidade, identificador))
    return cliente_.Contatos.ContatoAtual()->Apelido;
  return identificador;
}

void TAplicacaoCli::GravarEnviada(const std::string& comunidade, const std::string& identificador,
                                  int tipo, const std::string& cabecalho) {
  const auto it = ultimoEnviado_.find(comunidade + ":" + identificador);
  const std::string texto = it == ultimoEnviado_.end() ? std::string() : it->second;
  GravaHistorico(cliente_.NIU, comunidade, identificador, tipo, HoraDoHistorico(runtime_.WallNow()),
                 texto, cabecalho);
}

void TAplicacaoCli::Iniciar() {
  if (!opcoes_.temNiu) return;
  cliente_.NIU = opcoes_.niu;
  cliente_.Senha = opcoes_.senha;
  EsperarLogin(TModo::Login);
  cliente_.Conectar();
}

void TAplicacaoCli::EsperarLogin(TModo modo) {
  modo_ = modo;
  aguardandoLogin_ = true;
  // A server that never answers must not hold the commands forever.
  if (!prazoLogin_) {
    prazoLogin_ = runtime_.CreateTimer();
    prazoLogin_->onTimeout = [this] {
      Erro(cp1252::FromUtf8("O servidor não concluiu o login em 30 segundos."));
      LoginTerminou();
    };
  }
  prazoLogin_->Start(std::chrono::seconds(30), false);
}

void TAplicacaoCli::LoginTerminou() {
  if (!aguardandoLogin_) return;
  aguardandoLogin_ = false;
  prazoLogin_->Stop();
  // The commands that waited run once the read that ended the login is over.
  runtime_.Post([this] {
    while (!aguardandoLogin_ && !fila_.empty() && !terminou_) {
      const std::string linha = fila_.front();
      fila_.erase(fila_.begin());
      Executar(linha);
    }
  });
}

void TAplicacaoCli::Comando(const std::string& linhaUtf8) {
  std::string linha = cp1252::FromUtf8(linhaUtf8);
  if (!linha.empty() && linha.back() == '\r') linha.pop_back();
  if (aguardandoLogin_ || !fila_.empty()) {
    fila_.push_back(std::move(linha));
    return;
  }
  Executar(linha);
}

void TAplicacaoCli::FimDaEntrada() { Comando("quit"); }

void TAplicacaoCli::Emitir(const std::string& evento, const std::string& campo,
                           const std::string& texto) {
  if (!saida) return;
  TEventoDoCliente e{evento, {campo}, {TValorDeEvento::DeTexto(texto)}};
  saida(EventoEmJson(e));
}

void TAplicacaoCli::Erro(const std::string& descricao) { Emitir("erro", "Descricao", descricao); }

void TAplicacaoCli::EmitirContatos() {
  std::vector<TValorDeEvento> itens;
  for (const TContato* c : cliente_.Contatos) itens.push_back(TValorDeEvento::DoContato(*c));
  if (saida) saida(EventoEmJson({"contatos", {"Contatos"}, {TValorDeEvento::DeLista(std::move(itens))}}));
}

void TAplicacaoCli::Sair() {
  saindo_ = true;
  if (cliente_.Conectado) {
    cliente_.Sair();  // AoFinalizarAplicativo follows: on SDSC or 500 ms later
  } else {
    Terminar(0);
  }
}

void TAplicacaoCli::Terminar(int codigo) {
  if (terminou_) return;
  terminou_ = true;
  if (aoTerminar) aoTerminar(codigo);
}

void TAplicacaoCli::Executar(const std::string& linhaCompleta) {
  if (terminou_) return;
  const std::string linha(Aparar(linhaCompleta));
  if (linha.empty()) return;
  const std::size_t fimNome = linha.find_first_of(" \t");
  const std::string nome = linha.substr(0, fimNome);
  const std::string resto = fimNome == std::string::npos ? "" : linha.substr(fimNome + 1);
  const auto sintaxe = Sintaxes().find(nome);
  if (sintaxe == Sintaxes().end()) {
    Erro(cp1252::FromUtf8("Comando desconhecido: ") + nome);
    return;
  }
  std::vector<std::string> a;
  const TSintaxe& s = sintaxe->second;
  if (!DividirComando(resto, s.palavras, s.ultimoLivre, a) || a.size() != s.palavras) {
    Erro(cp1252::FromUtf8("Uso: ") + s.uso);
    return;
  }
  auto uso = [&] { Erro(cp1252::FromUtf8("Uso: ") + s.uso); };
  uint32_t n = 0;

  if (nome == "msg") {
    std::vector<std::string> linhas;
    std::string texto = a[2];
    for (std::size_t p; (p = texto.find("\\n")) != std::string::npos;) {
      linhas.push_back(texto.substr(0, p));
      texto.erase(0, p + 2);
    }
    linhas.push_back(texto);
    ultimoEnviado_[a[0] + ":" + a[1]] = Juntar(linhas);
    if (a[0] == std::string(textos::Comunidade)) {
      if (!LerInteiro(a[1], 65535, n)) return uso();
      cliente_.EnviarMensagem(static_cast<uint16_t>(n), linhas);
    } else {
      cliente_.EnviarMensagemComunicador(a[0], a[1], linhas);
    }
  } else if (nome == "status") {
    if (!LerInteiro(a[0], 255, n)) return uso();
    const bool conectava = !cliente_.Conectado && n != StatusDesconectado;
    if (n != StatusDesconectado) opcoes_.status = static_cast<uint8_t>(n);
    if (conectava) EsperarLogin(TModo::Login);
    cliente_.MudarStatus(static_cast<uint8_t>(n));
  } else if (nome == "netstatus") {
    if (!LerInteiro(a[1], 255, n)) return uso();
    switch (cliente_.MudarStatusDaRede(a[0], static_cast<uint8_t>(n))) {
      case TClientePCTazu::TStatusDaRede::Aplicado: break;
      case TClientePCTazu::TStatusDaRede::NaoHabilitado:
        Emitir("aviso", "Descricao",
               std::string(textos::ComunicadorAntes) + a[0] + std::string(textos::NaoHabilitado));
        break;
      case TClientePCTazu::TStatusDaRede::EmLogin:
        Emitir("aviso", "Descricao",
               std::string(textos::AguardeLoginAntes) + a[0] + std::string(textos::AguardeLoginDepois));
        break;
      case TClientePCTazu::TStatusDaRede::NaoConfigurado:
        Emitir("aviso", "Descricao", std::string(textos::ComunicadorNaoConfigurado));
        break;
    }
  } else if (nome == "add") {
    cliente_.AdicionarContato(a[0], a[1]);
  } else if (nome == "remove") {
    cliente_.RemoverContato(a[0], a[1]);
  } else if (nome == "authreq") {
    cliente_.PedirAutorizacao(a[0], a[1], a[2]);
  } else if (nome == "grant") {
    cliente_.ResponderAutorizacao(a[0], a[1]);
  } else if (nome == "reject") {
    cliente_.RejeitarAutorizacao(a[0], a[1]);
  } else if (nome == "search") {
    if (a[1].size() != 1 || a[1][0] < '1' || a[1][0] > '5') return uso();
    std::string texto = a[2];
    // Nickname and name travel as two fields; "|" is the easy way to type it.
    if (a[1] == "5" && texto.find(kSeparador) == std::string::npos) {
      const std::size_t barra = texto.find('|');
      if (barra != std::string::npos) texto[barra] = kSeparador;
    }
    cliente_.BuscarContato(a[0], a[1][0], texto);
  } else if (nome == "endsearch") {
    cliente_.EncerrarBusca(2);
  } else if (nome == "info") {
    cliente_.PedirInformacoes(a[0], a[1]);
  } else if (nome == "setinfo") {
    if (!LerInteiro(a[0], 2, n) || n == 0) return uso();
    cliente_.GravarInformacoes(std::string(textos::Comunidade), static_cast<int>(n), a[1]);
  } else if (nome == "accounts") {
    cliente_.PedirComunicadores();
  } else if (nome == "setaccounts") {
    for (int i : {0, 3, 6})
      if (a[i] != "0" && a[i] != "1") return uso();
    cliente_.GravarComunicadores(a[0] == "1", a[1], a[2], a[3] == "1", a[4], a[5], a[6] == "1",
                                 a[7], a[8]);
  } else if (nome == "register") {
    if (cliente_.Conectado)
      return Erro(cp1252::FromUtf8("register: desconecte-se primeiro (disconnect)."));
    valoresCadastro_ = a;
    EsperarLogin(TModo::Cadastro);
    cliente_.Conectar();
  } else if (nome == "identify") {
    if (!LerInteiro(a[0], 1, n)) return uso();
    if (cliente_.Conectado)
      return Erro(cp1252::FromUtf8("identify: desconecte-se primeiro (disconnect)."));
    identificarPorApelido_ = static_cast<uint8_t>(n);
    identificarTexto_ = a[1];
    cliente_.Senha = a[2];
    EsperarLogin(TModo::Identificacao);
    cliente_.Conectar();
  } else if (nome == "contacts") {
    EmitirContatos();
  } else if (nome == "disconnect") {
    cliente_.Desconectar();
  } else if (nome == "quit") {
    Sair();
  }
}

}  // namespace tazu::cli

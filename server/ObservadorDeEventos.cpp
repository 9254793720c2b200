#include "server/ObservadorDeEventos.h"

#include <cstdio>

#include "base/Cp1252.h"

namespace tazu {

using V = TValorDeEvento;

V V::DeNumero(int64_t n) {
  V v;
  v.tipo = Tipo::Numero;
  v.numero = n;
  return v;
}
V V::DeLogico(bool b) {
  V v;
  v.tipo = Tipo::Logico;
  v.logico = b;
  return v;
}
V V::DeTexto(std::string t) {
  V v;
  v.tipo = Tipo::Texto;
  v.texto = std::move(t);
  return v;
}
V V::DeLinhas(std::vector<std::string> l) {
  V v;
  v.tipo = Tipo::Linhas;
  v.linhas = std::move(l);
  return v;
}
V V::DoContato(const TContato& c) {
  V v;
  v.tipo = Tipo::Objeto;
  v.nomes = {"NIU", "Apelido", "Lista", "Status", "Origem", "Conectado", "Nativo",
             "Identificador", "Comunicador"};
  v.campos = {DeNumero(c.NIU),       DeTexto(c.Apelido),       DeTexto(std::string(c.Lista ? 1 : 0, c.Lista)),
              DeNumero(c.Status),    DeTexto(c.Origem),        DeLogico(c.Conectado),
              DeLogico(c.Nativo),    DeTexto(c.Identificador), DeTexto(c.Comunicador)};
  return v;
}
V V::DoComunicador(const TInterfaceComunicador& c) {
  V v;
  v.tipo = Tipo::Objeto;
  v.nomes = {"NomeComunicador", "NomeComunidade", "Conta", "Status"};
  v.campos = {DeTexto(c.NomeComunicador), DeTexto(c.NomeComunidade), DeTexto(c.Conta),
              DeNumero(c.Status)};
  return v;
}

V V::DeLista(std::vector<V> itens) {
  V v;
  v.tipo = Tipo::Lista;
  v.campos = std::move(itens);
  return v;
}

namespace {

using Observador = std::function<void(const TEventoDoCliente&)>;

// Builds and delivers one event.
struct Emissor {
  Observador observador;
  void operator()(const char* nome, std::vector<std::string> argumentos,
                  std::vector<V> valores) const {
    observador(TEventoDoCliente{nome, std::move(argumentos), std::move(valores)});
  }
};

}  // namespace

void ObservarEventos(TClientePCTazu& c, Observador observador) {
  const Emissor e{std::move(observador)};
  using S = TClientePCTazu&;
  using T = const std::string&;
  auto erro = [e](const char* nome) {
    return [e, nome](S, int numero, T descricao) {
      e(nome, {"Numero", "Descricao"}, {V::DeNumero(numero), V::DeTexto(descricao)});
    };
  };
  auto simples = [e](const char* nome) { return [e, nome](S) { e(nome, {}, {}); }; };
  auto contato = [e](const char* nome) {
    return [e, nome](S, TContato* ct) { e(nome, {"Contato"}, {V::DoContato(*ct)}); };
  };
  auto usuario = [e](const char* nome) {
    return [e, nome](S, int tipo, T com, T id, const TApelido& apelido, T evento) {
      e(nome, {"Tipo", "Comunicador", "Identificador", "Apelido", "Evento"},
        {V::DeNumero(tipo), V::DeTexto(com), V::DeTexto(id), V::DeTexto(apelido),
         V::DeTexto(evento)});
    };
  };
  auto comunicador = [e](const char* nome) {
    return [e, nome](S, TInterfaceComunicador& a) {
      e(nome, {"Comunicador"}, {V::DoComunicador(a)});
    };
  };

  c.AoReceberErro = erro("AoReceberErro");
  c.AoInformar = erro("AoInformar");
  c.AoMensagemDeSistema = erro("AoMensagemDeSistema");
  c.AoReceberResposta = [e](S, int comando, bool sucesso, T resposta) {
    e("AoReceberResposta", {"Comando", "Sucesso", "Resposta"},
      {V::DeNumero(comando), V::DeLogico(sucesso), V::DeTexto(resposta)});
  };
  c.AoConfirmar = simples("AoConfirmar");
  c.AoConectarServidor = simples("AoConectarServidor");
  c.AoDesconectarServidor = simples("AoDesconectarServidor");
  c.AoConectarComunidade = simples("AoConectarComunidade");
  c.AoFinalizarAplicativo = simples("AoFinalizarAplicativo");
  c.AoFinalizarBusca = simples("AoFinalizarBusca");
  c.AoReceberContato = contato("AoReceberContato");
  c.AoConectarContato = contato("AoConectarContato");
  c.AoDesconectarContato = contato("AoDesconectarContato");
  c.AoMudarStatus = contato("AoMudarStatus");
  c.AoRemoverContato = contato("AoRemoverContato");
  c.AoReceberMensagemUsuario = [e](S, TContato* ct, std::vector<std::string>& linhas) {
    e("AoReceberMensagemUsuario", {"Contato", "Mensagem"},
      {V::DoContato(*ct), V::DeLinhas(linhas)});
  };
  c.AoConfirmarEnvio = [e](S, const TApelido& com, T id) {
    e("AoConfirmarEnvio", {"Comunicador", "Identificador"}, {V::DeTexto(com), V::DeTexto(id)});
  };
  c.AoEnviarOffLine = [e](S, const TApelido& com, T id, std::vector<std::string>& linhas) {
    e("AoEnviarOffLine", {"Comunicador", "Identificador", "Mensagem"},
      {V::DeTexto(com), V::DeTexto(id), V::DeLinhas(linhas)});
  };
  c.AoAceitarCadastro = [e](S, uint16_t niu, T boasVindas) {
    e("AoAceitarCadastro", {"NIU", "BoasVindas"}, {V::DeNumero(niu), V::DeTexto(boasVindas)});
  };
  c.AoReceberBusca = [e](S, T id, T apelido, T nome, T email, char autorizar) {
    e("AoReceberBusca", {"Identificador", "Apelido", "Nome", "EMail", "Autorizar"},
      {V::DeTexto(id), V::DeTexto(apelido), V::DeTexto(nome), V::DeTexto(email),
       V::DeTexto(std::string(1, autorizar))});
  };
  c.AoExigirAutorizacao = [e](S, const TApelido& com, T id, const TApelido& apelido) {
    e("AoExigirAutorizacao", {"Comunicador", "Identificador", "Apelido"},
      {V::DeTexto(com), V::DeTexto(id), V::DeTexto(apelido)});
  };
  c.AoReceberEventoUsuario = usuario("AoReceberEventoUsuario");
  c.AoReceberInfoUsuario = usuario("AoReceberInfoUsuario");
  c.AoReceberComunicadores = [e](S, bool usaICQ, T uin, T senhaICQ, bool usaMSN, T emailMSN,
                                 T senhaMSN, bool usaYahoo, T nomeYahoo, T senhaYahoo) {
    e("AoReceberComunicadores",
      {"UsaICQ", "UIN", "SenhaICQ", "UsaMSN", "EMailMSN", "SenhaMSN", "UsaYahoo", "NomeYahoo",
       "SenhaYahoo"},
      {V::DeLogico(usaICQ), V::DeTexto(uin), V::DeTexto(senhaICQ), V::DeLogico(usaMSN),
       V::DeTexto(emailMSN), V::DeTexto(senhaMSN), V::DeLogico(usaYahoo), V::DeTexto(nomeYahoo),
       V::DeTexto(senhaYahoo)});
  };
  c.AoConectarComunicador = comunicador("AoConectarComunicador");
  c.AoDesconectarComunicador = comunicador("AoDesconectarComunicador");
}

namespace {

// How values are written: plain for test descriptions, JSON for tazu-cli.
struct Estilo {
  void (*texto)(const std::string& t, std::string& out);
  const char* entreLinhas;  // between the lines of a message
  const char* entreCampos;  // between an object's fields
  const char* aposNome;     // between a field's name and its value
};

void TextoSimples(const std::string& t, std::string& out) { out += "\"" + t + "\""; }

void JsonTexto(const std::string& t, std::string& out) {
  out += '"';
  for (const char ch : cp1252::ToUtf8(t)) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

// Descriptions show message lines bare, joined by "|": easy to compare.
void LinhaSimples(const std::string& t, std::string& out) { out += t; }

constexpr Estilo kDescricao{TextoSimples, "|", " ", "="};
constexpr Estilo kJson{JsonTexto, ", ", ", ", ": "};

void Escrever(const V& v, const Estilo& e, std::string& out) {
  switch (v.tipo) {
    case V::Tipo::Numero: out += std::to_string(v.numero); break;
    case V::Tipo::Logico: out += v.logico ? "true" : "false"; break;
    case V::Tipo::Texto: e.texto(v.texto, out); break;
    case V::Tipo::Linhas:
      out += "[";
      for (std::size_t i = 0; i < v.linhas.size(); ++i) {
        if (i) out += e.entreLinhas;
        (e.texto == TextoSimples ? LinhaSimples : e.texto)(v.linhas[i], out);
      }
      out += "]";
      break;
    case V::Tipo::Objeto:
      out += "{";
      for (std::size_t i = 0; i < v.nomes.size(); ++i) {
        if (i) out += e.entreCampos;
        (e.texto == TextoSimples ? LinhaSimples : e.texto)(v.nomes[i], out);
        out += e.aposNome;
        Escrever(v.campos[i], e, out);
      }
      out += "}";
      break;
    case V::Tipo::Lista:
      out += "[";
      for (std::size_t i = 0; i < v.campos.size(); ++i) {
        if (i) out += ", ";
        Escrever(v.campos[i], e, out);
      }
      out += "]";
      break;
  }
}

}  // namespace

std::string DescreverEvento(const TEventoDoCliente& evento) {
  std::string out = evento.nome + "(";
  for (std::size_t i = 0; i < evento.argumentos.size(); ++i) {
    if (i) out += ", ";
    out += evento.argumentos[i] + "=";
    Escrever(evento.valores[i], kDescricao, out);
  }
  return out + ")";
}

std::string EventoEmJson(const TEventoDoCliente& evento) {
  std::string out = "{\"event\": ";
  JsonTexto(evento.nome, out);
  for (std::size_t i = 0; i < evento.argumentos.size(); ++i) {
    out += ", ";
    JsonTexto(evento.argumentos[i], out);
    out += ": ";
    Escrever(evento.valores[i], kJson, out);
  }
  return out + "}";
}

}  // namespace tazu

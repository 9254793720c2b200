// Every event of the Tazu client as data: its name and its arguments under
// their names. tazu-cli prints them as JSON; tests record them in order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "server/UClientePCTazu.h"

namespace tazu {

struct TValorDeEvento {
  enum class Tipo { Numero, Logico, Texto, Linhas, Objeto, Lista };
  Tipo tipo = Tipo::Texto;
  int64_t numero = 0;
  bool logico = false;
  std::string texto;                  // Windows-1252, as the client has it
  std::vector<std::string> linhas;
  std::vector<std::string> nomes;     // an object's field names...
  std::vector<TValorDeEvento> campos; // ...and their values (a list's items)

  static TValorDeEvento DeNumero(int64_t n);
  static TValorDeEvento DeLogico(bool b);
  static TValorDeEvento DeTexto(std::string t);
  static TValorDeEvento DeLinhas(std::vector<std::string> l);
  static TValorDeEvento DoContato(const TContato& c);
  static TValorDeEvento DoComunicador(const TInterfaceComunicador& c);
  static TValorDeEvento DeLista(std::vector<TValorDeEvento> itens);
};

struct TEventoDoCliente {
  std::string nome;
  std::vector<std::string> argumentos;  // names, in order
  std::vector<TValorDeEvento> valores;
};

// Assigns every event of the client; each call reaches `observador`. Handlers
// assigned before are replaced (wrap events afterwards to add behaviour).
void ObservarEventos(TClientePCTazu& cliente, std::function<void(const TEventoDoCliente&)> observador);

// One line of text per event, e.g. AoReceberErro(Numero=1, Descricao="x").
std::string DescreverEvento(const TEventoDoCliente& evento);

// The event as one JSON object {"event": name, ...}; texts converted to UTF-8.
std::string EventoEmJson(const TEventoDoCliente& evento);

}  // namespace tazu

// The MSN client's own lists of contacts (the forward list and the block
// list): records of identifier, nickname and status, owned by the list.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Listas.h"

namespace tazu::msn {

struct TContatoMSN {
  std::string Identificador;
  std::string Apelido;
  uint8_t Status = 0;
};

// Identifiers compare exactly (letter case counts). A look-up is a hash
// probe, so a list of thousands fills in linear time.
class TListaDeContatosMSN : public TLista<TContatoMSN> {
 public:
  TListaDeContatosMSN();
  ~TListaDeContatosMSN() override;

  // Appends a copy of the record; the cursor moves to it.
  TContatoMSN* Adicionar(TContatoMSN contato);
  // The first record with this identifier, under the cursor; false (the
  // cursor at the end) when there is none.
  bool Localizar(const std::string& identificador);
  TContatoMSN* ContatoAtual() const { return Atual(); }
  bool Contem(const std::string& identificador) const { return indice_.count(identificador) > 0; }

 protected:
  void NoLigado(No* no) override;
  void NoDesligado(No* no) override;

 private:
  // Nodes in list order, since records are only ever appended.
  std::unordered_map<std::string, std::vector<No*>> indice_;
};

}  // namespace tazu::msn

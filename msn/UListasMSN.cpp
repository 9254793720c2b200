#include "msn/UListasMSN.h"

#include <algorithm>

namespace tazu::msn {

TListaDeContatosMSN::TListaDeContatosMSN() {
  AoLiberar = [](TContatoMSN* contato) { delete contato; };
}

TListaDeContatosMSN::~TListaDeContatosMSN() {
  Limpar();
}

TContatoMSN* TListaDeContatosMSN::Adicionar(TContatoMSN contato) {
  PosicionarEm(nullptr);
  auto* c = new TContatoMSN(std::move(contato));
  Inserir(c);
  return c;
}

bool TListaDeContatosMSN::Localizar(const std::string& identificador) {
  const auto it = indice_.find(identificador);
  PosicionarEm(it == indice_.end() ? nullptr : it->second.front());
  return it != indice_.end();
}

void TListaDeContatosMSN::NoLigado(No* no) {
  indice_[no->item->Identificador].push_back(no);
}

void TListaDeContatosMSN::NoDesligado(No* no) {
  const auto it = indice_.find(no->item->Identificador);
  if (it == indice_.end()) return;
  std::erase(it->second, no);
  if (it->second.empty()) indice_.erase(it);
}

}  // namespace tazu::msn

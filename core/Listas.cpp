#include "core/Listas.h"

#include <algorithm>

#include "base/Eventos.h"
#include "core/Textos.h"
#include "core/UGlobal.h"

namespace tazu {

TListaDeContatos::TListaDeContatos() {
  AoLiberar = [this](TContato* contato) {
    Disparar(AoLiberarContato, contato);
    delete contato;
  };
}

TListaDeContatos::~TListaDeContatos() { Limpar(); }

TContato* TListaDeContatos::Adicionar(std::unique_ptr<TContato> contato) {
  Ultimo();
  Proximo();
  TContato* c = contato.release();
  Inserir(c);
  return c;
}

std::string TListaDeContatos::Chave(const std::string& comunidade,
                                    const std::string& identificador) {
  // The community is compared exactly and the identifier in upper case; the
  // community never holds the separator byte, so the pair maps one to one.
  std::string chave = comunidade;
  chave.push_back('\0');
  chave += MaiusculasAnsi(identificador);
  return chave;
}

void TListaDeContatos::Indexar(No* no) {
  std::string chave = Chave(no->item->Comunicador, no->item->Identificador);
  indice_[chave].push_back(no);
  chaveDoNo_[no] = std::move(chave);
}

void TListaDeContatos::Desindexar(No* no) {
  const auto k = chaveDoNo_.find(no);
  if (k == chaveDoNo_.end()) return;
  const auto it = indice_.find(k->second);
  if (it != indice_.end()) {
    auto& nos = it->second;
    std::erase(nos, no);
    if (nos.empty()) indice_.erase(it);
  }
  chaveDoNo_.erase(k);
}

void TListaDeContatos::NoLigado(No* no) { Indexar(no); }
void TListaDeContatos::NoDesligado(No* no) { Desindexar(no); }

void TListaDeContatos::Reindexar(TContato* contato) {
  for (No* no = NoPrimeiro(); no; no = no->proximo) {
    if (no->item == contato) {
      Desindexar(no);
      Indexar(no);
      return;
    }
  }
}

bool TListaDeContatos::Localizar(const std::string& comunidade, const std::string& identificador) {
  const auto it = indice_.find(Chave(comunidade, identificador));
  if (it == indice_.end()) {
    PosicionarEm(nullptr);
    return false;
  }
  const auto& nos = it->second;
  if (nos.size() == 1) {
    PosicionarEm(nos.front());
    return true;
  }
  // Several contacts share the key: the first in list order wins.
  for (No* no = NoPrimeiro(); no; no = no->proximo) {
    if (std::find(nos.begin(), nos.end(), no) != nos.end()) {
      PosicionarEm(no);
      return true;
    }
  }
  PosicionarEm(nullptr);
  return false;
}

void TListaDeContatos::RemoverDaComunidade(const std::string& comunidade) {
  Guarda guarda(*this);
  No* no = NoPrimeiro();
  while (no) {
    if (no->desligado) {  // a handler removed the node we were about to visit
      no = NoPrimeiro();
      continue;
    }
    if (no->item->Comunicador == comunidade) {
      No* seguinte = no->proximo;
      PosicionarEm(no);
      Remover();
      no = seguinte;
    } else {
      no = no->proximo;
    }
  }
  PosicionarEm(nullptr);
}

}  // namespace tazu

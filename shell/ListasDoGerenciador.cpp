#include "shell/ListasDoGerenciador.h"

#include <algorithm>

#include "core/UGlobal.h"
#include "shell/Textos.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

// Nicknames sort as a reader expects: case and accents do not count ("Álvaro"
// sits with the A's), the key breaks ties so every row has one place.
std::string OrdemDe(const std::string& apelido, const std::string& chave) {
  std::string ordem = MaiusculasAnsi(apelido);
  for (char& c : ordem) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0xC0 && b <= 0xC5)
      c = 'A';
    else if (b == 0xC7)
      c = 'C';
    else if (b >= 0xC8 && b <= 0xCB)
      c = 'E';
    else if (b >= 0xCC && b <= 0xCF)
      c = 'I';
    else if (b == 0xD1)
      c = 'N';
    else if ((b >= 0xD2 && b <= 0xD6) || b == 0xD8)
      c = 'O';
    else if (b >= 0xD9 && b <= 0xDC)
      c = 'U';
    else if (b == 0xDD)
      c = 'Y';
  }
  ordem.push_back('\0');
  ordem += chave;
  return ordem;
}

bool AntesDe(const TListasDoGerenciador::TLinha* a, const std::string& ordem) {
  return a->Ordem < ordem;
}

}  // namespace

TListasDoGerenciador::TListasDoGerenciador(QObject* pai) : QAbstractListModel(pai) {
  titulos_ = {ParaQString(textos_shell::Conectados), ParaQString(textos_shell::ForaDaLista),
              ParaQString(textos_shell::Desconectados), ParaQString(textos_shell::Aguardando)};
}

TListasDoGerenciador::~TListasDoGerenciador() = default;

std::string TListasDoGerenciador::Chave(const std::string& comunicador,
                                        const std::string& identificador) {
  return comunicador + ":" + identificador;
}

int TListasDoGerenciador::ImagemDoStatus(int32_t status) {
  if (status < 0 || status >= 255) return ImagemDesconhecido;
  std::string nome;
  const int base = NomeDoStatus(static_cast<uint8_t>(status), nome);
  // Anything the status table does not fold onto 1..8 would point at the
  // message or origin pictures further on in the image list.
  return base >= 1 && base <= 8 ? base : ImagemDesconhecido;
}

int TListasDoGerenciador::OrigemConectado(const std::string& origem) {
  if (origem == "SMS") return OrigemCelular;
  if (origem == "ICQ") return OrigemICQ;
  if (origem == "MSN") return OrigemMSN;
  if (origem == "Yahoo") return OrigemYahoo;
  if (origem == "TPC") return SemImagem;
  return OrigemGlobo;
}

int TListasDoGerenciador::OrigemDesconectado(const std::string& origem) {
  if (origem == "ICQ") return OrigemICQ + 1;
  if (origem == "MSN") return OrigemMSN + 1;
  if (origem == "Yahoo") return OrigemYahoo + 1;
  return SemImagem;
}

void TListasDoGerenciador::AtualizaContato(const TContato& contato) {
  auto linha = std::make_unique<TLinha>();
  linha->Comunicador = contato.Comunicador.str();
  linha->Identificador = contato.Identificador;
  linha->Chave = Chave(linha->Comunicador, linha->Identificador);
  linha->Apelido = contato.Apelido.str();
  linha->Ordem = OrdemDe(linha->Apelido, linha->Chave);
  if (contato.Conectado) {
    linha->Lista = contato.Lista == 'F' ? ForaDaLista : OnLine;
    linha->ImagemDoStatus = ImagemDoStatus(contato.Status);
    linha->Origem = OrigemConectado(contato.Origem.str());
  } else {
    linha->Lista = contato.Lista == 'F'   ? ForaDaLista
                   : contato.Lista == 'P' ? Autorizando
                                          : OffLine;
    linha->ImagemDoStatus = ImagemDesconectado;
    linha->Origem = OrigemDesconectado(contato.Origem.str());
  }
  linha->Imagem = linha->ImagemDoStatus;

  const auto it = linhas_.find(linha->Chave);
  if (it != linhas_.end() && it->second->Lista == linha->Lista &&
      it->second->Ordem == linha->Ordem) {
    TLinha& atual = *it->second;
    atual.Apelido = linha->Apelido;
    atual.Imagem = linha->Imagem;
    atual.ImagemDoStatus = linha->ImagemDoStatus;
    atual.Origem = linha->Origem;
    Mudou(atual);
    return;
  }
  const bool nova = it == linhas_.end() || it->second->Lista != linha->Lista;
  if (it != linhas_.end()) Retirar(linha->Chave);
  const bool conectado = linha->Lista == OnLine;
  Inserir(std::move(linha));
  if (nova && conectado && AoEntrarEmConectados) AoEntrarEmConectados();
}

void TListasDoGerenciador::RemoveContato(const std::string& comunicador,
                                         const std::string& identificador) {
  Retirar(Chave(comunicador, identificador));
}

void TListasDoGerenciador::LimpaListas() {
  if (linhas_.empty()) return;
  beginResetModel();
  for (auto& lista : listas_) lista.clear();
  linhas_.clear();
  Recontar();
  endResetModel();
}

void TListasDoGerenciador::RestauraIcone(const std::string& chave) {
  const auto it = linhas_.find(chave);
  if (it == linhas_.end()) return;
  it->second->Imagem = it->second->ImagemDoStatus;
  Mudou(*it->second);
}

void TListasDoGerenciador::Piscar(const std::vector<std::string>& chaves, bool fase) {
  for (const std::string& chave : chaves) {
    const auto it = linhas_.find(chave);
    if (it == linhas_.end()) continue;
    it->second->Imagem = fase ? ImagemMensagem : SemImagem;
    Mudou(*it->second);
  }
}

const TListasDoGerenciador::TLinha* TListasDoGerenciador::PorChave(const std::string& chave) const {
  const auto it = linhas_.find(chave);
  return it == linhas_.end() ? nullptr : it->second.get();
}

void TListasDoGerenciador::Recontar() {
  int inicio = 0;
  for (std::size_t l = 0; l < listas_.size(); ++l) {
    inicios_[l] = inicio;
    if (!listas_[l].empty()) inicio += static_cast<int>(listas_[l].size()) + 1;
  }
  inicios_[listas_.size()] = inicio;
}

int TListasDoGerenciador::LinhaDoCabecalho(TLista lista) const {
  return listas_[lista].empty() ? -1 : Inicio(lista);
}

std::size_t TListasDoGerenciador::Posicao(const TLinha& linha) const {
  const auto& lista = listas_[linha.Lista];
  return static_cast<std::size_t>(
      std::lower_bound(lista.begin(), lista.end(), linha.Ordem, AntesDe) - lista.begin());
}

QModelIndex TListasDoGerenciador::Indice(const std::string& chave) const {
  const TLinha* linha = PorChave(chave);
  if (!linha) return {};
  return index(Inicio(linha->Lista) + 1 + static_cast<int>(Posicao(*linha)));
}

void TListasDoGerenciador::Inserir(std::unique_ptr<TLinha> linha) {
  auto& lista = listas_[linha->Lista];
  const std::size_t pos = Posicao(*linha);
  const int inicio = Inicio(linha->Lista);
  // The first row of a list brings its header along.
  const int primeira = lista.empty() ? inicio : inicio + 1 + static_cast<int>(pos);
  const int ultima = inicio + 1 + static_cast<int>(pos);
  beginInsertRows({}, primeira, ultima);
  lista.insert(lista.begin() + static_cast<std::ptrdiff_t>(pos), linha.get());
  const std::string chave = linha->Chave;
  linhas_.emplace(chave, std::move(linha));
  Recontar();
  endInsertRows();
}

std::unique_ptr<TListasDoGerenciador::TLinha> TListasDoGerenciador::Retirar(
    const std::string& chave) {
  const auto it = linhas_.find(chave);
  if (it == linhas_.end()) return nullptr;
  TLinha& linha = *it->second;
  auto& lista = listas_[linha.Lista];
  const std::size_t pos = Posicao(linha);
  const int inicio = Inicio(linha.Lista);
  const int ultima = inicio + 1 + static_cast<int>(pos);
  // The last row takes its header away with it.
  const int primeira = lista.size() == 1 ? inicio : ultima;
  beginRemoveRows({}, primeira, ultima);
  lista.erase(lista.begin() + static_cast<std::ptrdiff_t>(pos));
  std::unique_ptr<TLinha> retirada = std::move(it->second);
  linhas_.erase(it);
  Recontar();
  endRemoveRows();
  return retirada;
}

void TListasDoGerenciador::Mudou(const TLinha& linha) {
  const QModelIndex i = index(Inicio(linha.Lista) + 1 + static_cast<int>(Posicao(linha)));
  emit dataChanged(i, i);
}

const TListasDoGerenciador::TLinha* TListasDoGerenciador::Linha(const QModelIndex& indice) const {
  if (!indice.isValid()) return nullptr;
  int resto = indice.row();
  for (const auto& lista : listas_) {
    if (lista.empty()) continue;
    if (resto == 0) return nullptr;  // the header
    if (resto <= static_cast<int>(lista.size())) return lista[static_cast<std::size_t>(resto - 1)];
    resto -= static_cast<int>(lista.size()) + 1;
  }
  return nullptr;
}

int TListasDoGerenciador::rowCount(const QModelIndex& pai) const {
  return pai.isValid() ? 0 : Inicio(QuantidadeDeListas);
}

QVariant TListasDoGerenciador::data(const QModelIndex& indice, int papel) const {
  if (!indice.isValid()) return {};
  const TLinha* linha = Linha(indice);
  if (!linha) {
    int l = 0;
    while (l < QuantidadeDeListas && LinhaDoCabecalho(static_cast<TLista>(l)) != indice.row()) ++l;
    if (l == QuantidadeDeListas) return {};
    switch (papel) {
      case Qt::DisplayRole:
        return titulos_[l];
      case PapelCabecalho:
        return true;
      case PapelLista:
        return l;
      default:
        return {};
    }
  }
  switch (papel) {
    case Qt::DisplayRole:
      return ParaQString(linha->Apelido);
    case PapelImagem:
      return linha->Imagem;
    case PapelOrigem:
      return linha->Origem;
    case PapelCabecalho:
      return false;
    case PapelChave:
      return ParaQString(linha->Chave);
    case PapelLista:
      return linha->Lista;
    default:
      return {};
  }
}

Qt::ItemFlags TListasDoGerenciador::flags(const QModelIndex& indice) const {
  if (!Linha(indice)) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace tazu

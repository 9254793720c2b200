#include "skin-src/desenho/Figuras.h"

#include <QPainterPath>
#include <cmath>
#include <fstream>
#include <functional>
#include <vector>

#include "base/Cp1252.h"
#include "skin-src/desenho/Arte.h"
#include "skin-src/desenho/Codificadores.h"

namespace tazu::arte {

namespace {

// The status codes in the order the program loads them.
constexpr int Codigos[] = {255, 1, 2, 3, 5, 6, 7, 8};

constexpr int AlturaDaBarra = 28;

std::string Em(const std::string& saida, const std::string& relativo) {
  return saida + "/" + relativo;
}

// Icons and buttons: their anti-aliased edges are laid over a light colour
// close to the backgrounds they sit on.
QImage Icone(int lado, const std::function<void(QPainter&, QRectF)>& desenho) {
  QImage i = Nova(lado, lado);
  QPainter p(&i);
  desenho(p, QRectF(0, 0, lado, lado));
  p.end();
  return Achatar(i, QColor(0xF4, 0xF6, 0xF9));
}

// A strip of the title bar's gradient, rows [y0, y0 + altura), for pictures
// laid over the bar.
QImage Barra(int largura, int altura, int y0) {
  QImage i = Nova(largura, altura);
  QPainter p(&i);
  p.translate(0, -y0);
  Gradiente(p, QRectF(0, 0, largura, AlturaDaBarra), cor::TituloClaro, cor::TituloEscuro);
  p.fillRect(QRectF(0, AlturaDaBarra - 1, largura, 1), cor::TituloEscuro.darker(125));
  return i;
}

bool Gravar(const QImage& i, const std::string& caminho, std::string& erro) {
  if (Salvar(i, caminho)) return true;
  erro = "cannot write " + caminho;
  return false;
}

bool Botoes(const std::string& s, std::string& erro) {
  struct B {
    const char* arquivo;
    const char* texto;
    bool primario;
  };
  const B botoes[] = {{"Ok", "OK", true},
                      {"Sim", "Sim", true},
                      {"Nao", "Não", false},
                      {"Limpar", "Limpar", false},
                      {"Sair", "Sair", false},
                      {"Adicionar", "Adicionar", false},
                      {"Rejeitar", "Rejeitar", false},
                      {"Autorizar", "Autorizar", true}};
  for (const B& b : botoes) {
    QImage i = Nova(84, 26);
    QPainter p(&i);
    Botao(p, QRectF(0, 0, 84, 26), QString::fromUtf8(b.texto), b.primario);
    p.end();
    if (!Gravar(Achatar(i, cor::Corpo), Em(s, std::string("Botoes/") + b.arquivo + ".bmp"), erro)) {
      return false;
    }
  }
  return true;
}

bool IconesDaCaixa(const std::string& s, std::string& erro) {
  auto disco = [](QPainter& p, QRectF r, QColor c, const QString& letra) {
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(r.center() - QPointF(6, 7), r.width() * 0.8);
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.setPen(QPen(c.darker(140), 1.2));
    p.drawEllipse(r.adjusted(1.5, 1.5, -1.5, -1.5));
    Escrever(p, r.adjusted(0, 0, 0, -1), letra, Qt::white, Fonte(20, true));
  };
  const std::pair<const char*, std::function<void(QPainter&, QRectF)>> icones[] = {
      {"Info/Erro.bmp",
       [&](QPainter& p, QRectF r) {
         p.setRenderHint(QPainter::Antialiasing);
         disco(p, r, QColor(0xD3, 0x3B, 0x2F), QString());
         QPen x(Qt::white, 3.6);
         x.setCapStyle(Qt::RoundCap);
         p.setPen(x);
         p.drawLine(QPointF(11, 11), QPointF(21, 21));
         p.drawLine(QPointF(21, 11), QPointF(11, 21));
       }},
      {"Info/Excl.bmp",
       [&](QPainter& p, QRectF r) { disco(p, r, QColor(0x2F, 0x7B, 0xC8), QStringLiteral("i")); }},
      {"Info/Interro.bmp",
       [&](QPainter& p, QRectF r) { disco(p, r, QColor(0xE8, 0x8A, 0x1A), QStringLiteral("?")); }},
  };
  for (const auto& [arquivo, desenho] : icones) {
    if (!Gravar(Icone(32, desenho), Em(s, arquivo), erro)) return false;
  }
  // The message box's close button, laid over its title bar.
  QImage fechar = Barra(20, 20, 4);
  QPainter p(&fechar);
  BotaoDeTitulo(p, QRectF(0, 0, 20, 20), "fechar");
  p.end();
  return Gravar(Achatar(fechar, cor::TituloEscuro), Em(s, "Info/Fechar.bmp"), erro);
}

bool IconesDeStatus(const std::string& s, std::string& erro) {
  for (int codigo : Codigos) {
    const std::string nome = "Status" + std::to_string(codigo);
    auto desenho = [codigo](QPainter& p, QRectF r) {
      Status(p, r.adjusted(0.5, 0.5, -0.5, -0.5), codigo);
    };
    const QImage pequeno = Icone(16, desenho);
    if (!Gravar(pequeno, Em(s, "Icones/Lista/" + nome + ".bmp"), erro)) return false;
    if (!Gravar(pequeno, Em(s, "Icones/Menu/" + nome + ".bmp"), erro)) return false;
    if (!Gravar(Icone(24, desenho), Em(s, "Icones/Status/" + nome + ".bmp"), erro)) return false;
    // The tray draws with real transparency: no key colour there.
    QImage tray = Nova(32, 32);
    QPainter p(&tray);
    Status(p, QRectF(1, 1, 30, 30), codigo);
    p.end();
    if (!Gravar(tray.convertToFormat(QImage::Format_ARGB32), Em(s, "Icones/Tray/" + nome + ".ico"),
                erro)) {
      return false;
    }
  }
  if (!Gravar(Icone(16, [](QPainter& p, QRectF r) { TelaMsg(p, r); }),
              Em(s, "Icones/Sistema/TelaMsg.bmp"), erro)) {
    return false;
  }
  QImage tray = Nova(32, 32);
  QPainter p(&tray);
  TelaMsg(p, QRectF(0, 0, 32, 32));
  p.end();
  return Gravar(tray.convertToFormat(QImage::Format_ARGB32), Em(s, "Icones/Sistema/TelaMsg.ico"),
                erro);
}

bool IconesDeOrigem(const std::string& s, std::string& erro) {
  const char* redes[][2] = {{"ICQ", "ICQ"}, {"MSN", "MSN"}, {"YAH", "YAH"}, {"Tazu", "Tazu"}};
  for (const auto& rede : redes) {
    for (int ativo = 1; ativo <= 2; ++ativo) {
      const std::string arquivo =
          std::string("Icones/Origens/") + rede[0] + std::to_string(ativo) + ".bmp";
      auto desenho = [&](QPainter& p, QRectF r) {
        Origem(p, r.adjusted(0.5, 0.5, -0.5, -0.5), rede[1], ativo == 1);
      };
      if (!Gravar(Icone(16, desenho), Em(s, arquivo), erro)) return false;
    }
  }
  for (const char* nome : {"Celular", "Globo"}) {
    auto desenho = [&](QPainter& p, QRectF r) { Origem(p, r, nome, true); };
    if (!Gravar(Icone(16, desenho), Em(s, std::string("Icones/Origens/") + nome + ".bmp"), erro)) {
      return false;
    }
  }
  return true;
}

bool DescricaoDosIcones(const std::string& s, std::string& erro) {
  const std::string sep = cp1252::FromUtf8("§");
  std::ofstream f(Em(s, "Icones.dsc"), std::ios::binary);
  f << "Icones\\Lista\\" << sep << "bmp\r\n"
    << "Icones\\Menu\\" << sep << "bmp\r\n"
    << "Icones\\Status\\" << sep << "\r\n";
  if (!f) erro = "cannot write Icones.dsc";
  return static_cast<bool>(f);
}

// The rows of a skinned menu, stacked: an icon or glyph and a caption each.
QImage Linhas(
    int largura, int altura,
    const std::vector<std::pair<std::function<void(QPainter&, QRectF)>, QString>>& linhas) {
  QImage i = Nova(largura, altura * static_cast<int>(linhas.size()));
  QPainter p(&i);
  p.setRenderHint(QPainter::Antialiasing);
  for (std::size_t n = 0; n < linhas.size(); ++n) {
    const qreal y = static_cast<qreal>(n) * altura;
    QLinearGradient g(0, y, 0, y + altura);
    g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(1, QColor(0xF1, 0xF5, 0xFA));
    p.fillRect(QRectF(0, y, largura, altura), g);
    if (n + 1 < linhas.size())
      p.fillRect(QRectF(8, y + altura - 1, largura - 16, 1), QColor(0xE1, 0xE8, 0xF0));
    linhas[n].first(p, QRectF(10, y + (altura - 16) / 2.0, 16, 16));
    Escrever(p, QRectF(34, y, largura - 40, altura), linhas[n].second, cor::Texto, Fonte(12),
             Qt::AlignLeft | Qt::AlignVCenter);
  }
  p.end();
  return Achatar(i, Qt::white);
}

// Laid at (8, 1) over the menu's title bar.
QImage TituloDeMenu(int largura, const QString& texto) {
  QImage i = Barra(largura, AlturaDaBarra - 2, 1);
  QPainter p(&i);
  p.setRenderHint(QPainter::Antialiasing);
  Escrever(p, QRectF(2, 0, largura - 2, AlturaDaBarra - 2), texto, Qt::white, Fonte(12, true),
           Qt::AlignLeft | Qt::AlignVCenter);
  p.end();
  return Achatar(i, cor::TituloEscuro);
}

bool Menus(const std::string& s, std::string& erro) {
  auto status = [](int c) { return [c](QPainter& p, QRectF r) { Status(p, r, c); }; };
  auto glifo = [](const char* g) {
    return [g](QPainter& p, QRectF r) { Glifo(p, r, g, cor::TituloEscuro); };
  };
  const QImage estados = Linhas(176, 26,
                                {{status(1), QStringLiteral("Conectado")},
                                 {status(8), QStringLiteral("Longe")},
                                 {status(7), QStringLiteral("Livre para Chat")},
                                 {status(5), QString::fromUtf8("Não Perturbe")},
                                 {status(6), QStringLiteral("Ocupado")},
                                 {status(2), QString::fromUtf8("Invisível")},
                                 {status(3), QStringLiteral("Desconectado")}});
  const QImage opcoes =
      Linhas(216, 26,
             {{glifo("lupa"), QStringLiteral("Adicionar contato...")},
              {glifo("fechar"), QStringLiteral("Remover contato")},
              {glifo("usuarios"), QString::fromUtf8("Cadastrar novo usuário...")},
              {glifo("info"), QString::fromUtf8("Registrar usuário existente...")},
              {glifo("usuarios"), QString::fromUtf8("Selecionar usuário ativo...")},
              {glifo("menu"), QStringLiteral("Comunicadores...")}});
  const QImage paginas = Linhas(124, 26,
                                {{glifo("info"), QStringLiteral("Resumo")},
                                 {glifo("usuarios"), QStringLiteral("Pessoais")},
                                 {glifo("menu"), QString::fromUtf8("Endereço")},
                                 {glifo("enviar"), QStringLiteral("Contato")},
                                 {glifo("sobre"), QString::fromUtf8("Formação")},
                                 {glifo("historico"), QStringLiteral("Trabalho")},
                                 {glifo("lupa"), QStringLiteral("Sobre mim")}});
  return Gravar(paginas, Em(s, "InfoUsu/Paginas.bmp"), erro) &&
         Gravar(estados, Em(s, "Menu/Status.bmp"), erro) &&
         Gravar(opcoes, Em(s, "Menu/Opcoes.bmp"), erro) &&
         Gravar(TituloDeMenu(130, QString::fromUtf8("Meu status")), Em(s, "Menu/TituloStatus.bmp"),
                erro) &&
         Gravar(TituloDeMenu(130, QString::fromUtf8("Opções")), Em(s, "Menu/TituloOpcoes.bmp"),
                erro) &&
         Gravar(TituloDeMenu(150, QString::fromUtf8("Usuários")), Em(s, "Menu/TituloUsuarios.bmp"),
                erro);
}

bool AbasDaBusca(const std::string& s, std::string& erro) {
  const char* nomes[] = {"NIU", "Apelido ou Nome", "E-mail"};
  const int larguras[] = {70, 120, 80};
  for (int i = 0; i < 3; ++i) {
    QImage img = Nova(larguras[i], 24);
    QPainter p(&img);
    p.fillRect(img.rect(), cor::Corpo);
    Aba(p, QRectF(0, 0, larguras[i], 24), QString::fromUtf8(nomes[i]), true);
    p.end();
    if (!Gravar(Achatar(img, cor::Corpo), Em(s, "Busca/O" + std::to_string(i + 1) + ".bmp"),
                erro)) {
      return false;
    }
  }
  return true;
}

// Pictures that lie over parts of a shared frame: the history window's title,
// and patches that hide the chat-only buttons of the "Mens" frame.
bool Remendos(const std::string& s, std::string& erro) {
  QImage titulo = Barra(150, AlturaDaBarra - 1, 0);
  QPainter p(&titulo);
  Glifo(p, QRectF(9, 6, 16, 16), "historico", Qt::white);
  Escrever(p, QRectF(31, 0, 120, AlturaDaBarra - 1), QString::fromUtf8("Histórico"), Qt::white,
           Fonte(12, true), Qt::AlignLeft | Qt::AlignVCenter);
  p.end();
  QImage minimizar = Barra(24, 22, 3);
  QImage faixa = Nova(90, 30);
  QPainter q(&faixa);
  q.fillRect(faixa.rect(), cor::Faixa);
  q.end();
  // The logo the manager lays over its title bar.
  QImage logo = Barra(22, 22, 3);
  QPainter l(&logo);
  Logo(l, QRectF(1, 1, 20, 20));
  l.end();
  // One straight side line for where the chat frame leaves a gap between its
  // conversation and typing boxes.
  QImage linha(1, 18, QImage::Format_RGB32);
  linha.fill(cor::BordaCampo);
  return Gravar(Achatar(titulo, cor::TituloEscuro), Em(s, "Hist/Titulo.bmp"), erro) &&
         Gravar(linha, Em(s, "Hist/Linha.bmp"), erro) &&
         Gravar(Achatar(minimizar, cor::TituloEscuro), Em(s, "Hist/Barra.bmp"), erro) &&
         Gravar(Achatar(faixa, cor::Faixa), Em(s, "Hist/Faixa.bmp"), erro) &&
         Gravar(Achatar(logo, cor::TituloEscuro), Em(s, "Gerente/Logo.bmp"), erro);
}

QImage Abertura() {
  const int w = 380, h = 230;
  QImage i = Nova(w, h);
  QPainter p(&i);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath forma;
  forma.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 16, 16);
  QLinearGradient g(0, 0, 0, h);
  g.setColorAt(0, cor::TituloClaro);
  g.setColorAt(1, cor::TituloEscuro.darker(115));
  p.setBrush(g);
  p.setPen(QPen(cor::Contorno, 1));
  p.drawPath(forma);
  // Soft circles behind the mark.
  p.setPen(Qt::NoPen);
  for (int k = 0; k < 3; ++k) {
    p.setBrush(QColor(255, 255, 255, 18 + 6 * k));
    p.drawEllipse(QPointF(300 - k * 20, 40 + k * 10), 120 - k * 30, 120 - k * 30);
  }
  Logo(p, QRectF(36, 54, 84, 84));
  Escrever(p, QRectF(134, 60, 230, 40), QStringLiteral("Tazu"), Qt::white, Fonte(38, true),
           Qt::AlignLeft | Qt::AlignVCenter);
  Escrever(p, QRectF(136, 100, 230, 26), QStringLiteral("Messenger"), QColor(0xFF, 0xE0, 0xC0),
           Fonte(20, true), Qt::AlignLeft | Qt::AlignVCenter);
  Escrever(p, QRectF(0, 170, w, 20), QString::fromUtf8("Todos os seus contatos em um só lugar"),
           QColor(255, 255, 255, 220), Fonte(12), Qt::AlignCenter);
  const char* redes[] = {"Tazu", "ICQ", "MSN", "YAH"};
  for (int k = 0; k < 4; ++k) {
    p.setBrush(QColor(255, 255, 255, 235));
    p.setPen(Qt::NoPen);
    const QRectF r(w / 2.0 - 58 + k * 30, 194, 24, 24);
    p.drawRoundedRect(r, 6, 6);
    Origem(p, r.adjusted(4, 4, -4, -4), redes[k], true);
  }
  p.end();
  return Achatar(i, cor::Contorno);
}

QImage Sobre() {
  QImage i = Nova(64, 64);
  QPainter p(&i);
  p.fillRect(i.rect(), cor::Corpo);
  Logo(p, QRectF(0, 0, 64, 64));
  p.end();
  return Achatar(i, cor::Corpo);
}

// Sixteen frames: a paper plane crossing a dotted track.
std::vector<QImage> Envio() {
  std::vector<QImage> quadros;
  const int w = 64, h = 16;
  for (int f = 0; f < 16; ++f) {
    QImage i = Nova(w, h);
    QPainter p(&i);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 8; ++k) {
      const qreal x = 4 + k * 8;
      const bool aceso = std::fmod(k - f / 2.0 + 16, 8) < 3;
      p.setPen(Qt::NoPen);
      p.setBrush(aceso ? cor::Acento : QColor(0xB8, 0xC6, 0xD6));
      p.drawEllipse(QPointF(x, 8), aceso ? 2.4 : 1.8, aceso ? 2.4 : 1.8);
    }
    const qreal x = -8 + f * 4.5;
    Glifo(p, QRectF(x, 0, 16, 16), "enviar", cor::TituloEscuro);
    p.end();
    quadros.push_back(i);
  }
  return quadros;
}

// Soft bell-like tones: a few sine partials under a quick attack and an
// exponential decay.
std::vector<float> Tons(const std::vector<std::pair<double, double>>& notas, int taxa) {
  std::vector<float> s;
  for (const auto& [frequencia, duracao] : notas) {
    const int n = static_cast<int>(duracao * taxa);
    for (int k = 0; k < n; ++k) {
      const double t = static_cast<double>(k) / taxa;
      const double envelope = std::min(1.0, t / 0.006) * std::exp(-t * 7.0);
      const double onda = std::sin(2 * M_PI * frequencia * t) +
                          0.35 * std::sin(4 * M_PI * frequencia * t) +
                          0.12 * std::sin(6 * M_PI * frequencia * t);
      s.push_back(static_cast<float>(0.32 * envelope * onda));
    }
  }
  return s;
}

}  // namespace

bool GerarFiguras(const std::string& s, std::string& erro) {
  if (!Botoes(s, erro) || !IconesDaCaixa(s, erro) || !IconesDeStatus(s, erro) ||
      !IconesDeOrigem(s, erro) || !DescricaoDosIcones(s, erro) || !Menus(s, erro) ||
      !AbasDaBusca(s, erro) || !Remendos(s, erro)) {
    return false;
  }
  if (!Gravar(Abertura(), Em(s, "Entrada/Prim.bmp"), erro)) return false;
  if (!Gravar(Sobre(), Em(s, "Sobre/Logo.bmp"), erro)) return false;
  if (!GravarGif(Em(s, "Animacao/Envio.gif"), Envio(), 6, erro)) return false;
  constexpr int taxa = 22050;
  // An incoming message: a rising pair; a contact connecting: a single chime.
  if (!GravarWav(Em(s, "Sons/Incoming_MSG.wav"), Tons({{784, 0.14}, {1175, 0.42}}, taxa), taxa) ||
      !GravarWav(Em(s, "Sons/User_Conected.wav"), Tons({{988, 0.5}}, taxa), taxa)) {
    erro = "cannot write the sounds";
    return false;
  }
  return true;
}

}  // namespace tazu::arte

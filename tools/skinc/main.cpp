// skinc: builds the skin from its sources.
//   skinc <skin sources> <output Skin directory>
// Every "janelas/*.txt" becomes a descriptor (and its frame pieces and pages);
// then the icons, buttons, menus, animation and sounds are drawn.
#include <QDir>
#include <QGuiApplication>
#include <iostream>

#include "skin-src/desenho/Figuras.h"
#include "tools/skinc/Compilador.h"
#include "tools/skinc/Fonte.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: skinc <skin sources> <output Skin directory>\n";
    return 2;
  }
  // Drawing text needs a GUI application, not a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string fontes = argv[1];
  const std::string saida = argv[2];
  QDir().mkpath(QString::fromStdString(saida));

  const QDir janelas(QString::fromStdString(fontes + "/janelas"));
  const QStringList arquivos =
      janelas.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
  if (arquivos.isEmpty()) {
    std::cerr << "skinc: no window sources in " << fontes << "/janelas\n";
    return 1;
  }
  for (const QString& arquivo : arquivos) {
    tazu::skinc::TDescritorFonte d;
    std::string erro;
    if (!tazu::skinc::LerFonte(janelas.filePath(arquivo).toStdString(), d, erro) ||
        !tazu::skinc::Compilar(d, saida, erro)) {
      std::cerr << "skinc: " << erro << "\n";
      return 1;
    }
  }
  std::string erro;
  if (!tazu::arte::GerarFiguras(saida, erro)) {
    std::cerr << "skinc: " << erro << "\n";
    return 1;
  }
  return 0;
}

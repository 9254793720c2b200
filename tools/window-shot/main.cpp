// tazu-shot: saves a PNG of one X window (by id) or of the whole screen, for
// the demo and for looking at the program under Xvfb.
//   tazu-shot WINDOW_ID|root FILE.png
// Window ids are what `xdotool search` prints (decimal) or 0x-prefixed hex.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tazu-shot WINDOW_ID|root FILE.png\n";
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  const std::string alvo = argv[1];
  WId janela = 0;
  if (alvo != "root") {
    try {
      janela = static_cast<WId>(std::stoull(alvo, nullptr, 0));
    } catch (const std::exception&) {
      std::cerr << "tazu-shot: not a window id: " << alvo << "\n";
      return 2;
    }
  }
  QScreen* tela = QGuiApplication::primaryScreen();
  const QPixmap foto = tela ? tela->grabWindow(janela) : QPixmap();
  if (foto.isNull() || !foto.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::cerr << "tazu-shot: could not grab " << alvo << "\n";
    return 1;
  }
  std::cout << argv[2] << " (" << foto.width() << "x" << foto.height() << ")\n";
  return 0;
}

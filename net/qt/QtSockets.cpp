#include "net/qt/QtSockets.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#ifdef __linux__
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

namespace tazu::net {
namespace {

// A closed connection whose peer never reads its last bytes is given up on.
constexpr int kFlushLimitMs = 30'000;

std::string AddressText(const QHostAddress& address) {
  if (address.isNull()) return {};
  bool isV4 = false;
  const quint32 v4 = address.toIPv4Address(&isV4);
  return (isV4 ? QHostAddress(v4) : address).toString().toStdString();
}

}  // namespace

SocketError FromQt(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return SocketError::ConnectionRefused;
    case QAbstractSocket::HostNotFoundError:
      return SocketError::HostNotFound;
    case QAbstractSocket::SocketTimeoutError:
      return SocketError::Timeout;
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::NetworkError:
      return SocketError::ConnectionReset;
    default:
      return SocketError::Other;
  }
}

// --- QtTcpSocket ------------------------------------------------------------

QtTcpSocket::QtTcpSocket(QObject* home) : home_(home) {}

QtTcpSocket::QtTcpSocket(QObject* home, QTcpSocket* socket) : home_(home) {
  // The server owns its pending connections; ours must not die with it.
  socket->setParent(home);
  Attach(socket);
  connected_ = true;
  // Bytes, or even the peer's close, may have come before anyone listened; look
  // once the receiver has had its chance to set the callbacks.
  ++inCall_;
  Dispatch([this] {
    if (socket_ == nullptr) return;
    if (socket_->bytesAvailable() > 0) {
      const auto life = life_.Watch();
      HandleReadyRead();
      if (!life) return;
    }
    if (socket_ != nullptr && socket_->state() == QAbstractSocket::UnconnectedState) {
      HandlePeerClosed();
    }
  });
  --inCall_;
}

QtTcpSocket::~QtTcpSocket() {
  life_.End();
  Retire(true);
}

void QtTcpSocket::Attach(QTcpSocket* socket) {
  socket_ = socket;
  connections_ = {
      QObject::connect(socket, &QTcpSocket::connected, socket,
                       [this] { Dispatch([this] { HandleConnected(); }); }),
      QObject::connect(socket, &QTcpSocket::readyRead, socket,
                       [this] { Dispatch([this] { HandleReadyRead(); }); }),
      QObject::connect(socket, &QTcpSocket::disconnected, socket,
                       [this] { Dispatch([this] { HandlePeerClosed(); }); }),
      // Only counts: it raises nothing, so it need not wait for the loop.
      QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                       [this](qint64 n) { taken_ += static_cast<uint64_t>(n); }),
      QObject::connect(socket, &QTcpSocket::errorOccurred, socket,
                       [this](QAbstractSocket::SocketError error) {
                         Dispatch([this, error] { HandleError(error); });
                       }),
  };
}

void QtTcpSocket::Retire(bool flush) {
  BytesUnacknowledged();  // the last figure, while the descriptor is still there
  for (const auto& connection : connections_) QObject::disconnect(connection);
  connections_.clear();
  deferred_.clear();
  connected_ = false;
  QTcpSocket* socket = socket_;
  socket_ = nullptr;
  if (socket == nullptr) return;
  if (flush && socket->state() == QAbstractSocket::ConnectedState) {
    // close() lingers in ClosingState until the last bytes are out; abort()
    // would throw them away.
    socket->close();
  } else {
    socket->abort();
  }
  if (socket->state() == QAbstractSocket::UnconnectedState) {
    socket->deleteLater();  // we may be inside one of its own signals
    return;
  }
  QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(kFlushLimitMs, socket, [socket] {
    socket->abort();
    socket->deleteLater();
  });
}

void QtTcpSocket::Dispatch(std::function<void()> handler) {
  if (inCall_ == 0 && deferred_.empty()) {
    handler();
    return;
  }
  deferred_.push_back(std::move(handler));
  if (runScheduled_ || home_ == nullptr) return;
  runScheduled_ = true;
  QMetaObject::invokeMethod(
      home_.data(),
      [this, life = life_.Watch()] {
        if (life) RunDeferred();
      },
      Qt::QueuedConnection);
}

void QtTcpSocket::RunDeferred() {
  runScheduled_ = false;
  const auto life = life_.Watch();
  while (!deferred_.empty() && life) {
    const std::function<void()> handler = std::move(deferred_.front());
    deferred_.pop_front();
    handler();
  }
}

bool QtTcpSocket::Connect(const std::string& host, uint16_t port) {
  if (host.empty() || port == 0 || home_ == nullptr) return false;
  Retire(true);
  EndDeliveries();
  taken_ = 0;
  unacknowledged_ = 0;
  auto* socket = new QTcpSocket(home_);
  Attach(socket);
  // Qt may answer at once (a refused loopback port, a literal address); such
  // answers wait for the loop.
  ++inCall_;
  socket->connectToHost(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())),
                        port);
  --inCall_;
  return true;
}

void QtTcpSocket::Send(std::string_view bytes) {
  if (!connected_ || socket_ == nullptr || bytes.empty()) return;
  ++inCall_;
  socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  --inCall_;
}

void QtTcpSocket::Close() {
  Retire(true);
  EndDeliveries();
}

std::string QtTcpSocket::LocalAddress() const {
  return connected_ && socket_ ? AddressText(socket_->localAddress()) : std::string();
}

uint16_t QtTcpSocket::LocalPort() const {
  return connected_ && socket_ ? socket_->localPort() : 0;
}

std::string QtTcpSocket::PeerAddress() const {
  return connected_ && socket_ ? AddressText(socket_->peerAddress()) : std::string();
}

uint16_t QtTcpSocket::PeerPort() const {
  return connected_ && socket_ ? socket_->peerPort() : 0;
}

std::size_t QtTcpSocket::BytesQueued() const {
  return connected_ && socket_ ? static_cast<std::size_t>(socket_->bytesToWrite()) : 0;
}

uint64_t QtTcpSocket::BytesUnacknowledged() const {
#ifdef __linux__
  // Qt has no word for it; the kernel tells what the peer has not acknowledged.
  int outq = 0;
  if (connected_ && socket_ && socket_->socketDescriptor() >= 0 &&
      ioctl(static_cast<int>(socket_->socketDescriptor()), SIOCOUTQ, &outq) == 0) {
    unacknowledged_ = static_cast<uint64_t>(outq);
  }
#endif
  return unacknowledged_;
}

void QtTcpSocket::FailLineTooLong() {
  Close();
  if (const auto handler = onError) {
    handler(SocketError::LineTooLong, ToString(SocketError::LineTooLong));
  }
}

void QtTcpSocket::HandleConnected() {
  connected_ = true;
  if (const auto handler = onConnected) handler();
}

void QtTcpSocket::HandleReadyRead() {
  if (socket_ == nullptr) return;
  // A local copy: the handler may destroy us, and the buffer with us.
  const QByteArray bytes = socket_->readAll();
  Deliver(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void QtTcpSocket::HandlePeerClosed() {
  if (socket_ != nullptr && socket_->bytesAvailable() > 0) {
    const auto life = life_.Watch();
    HandleReadyRead();
    if (!life || socket_ == nullptr) return;
  }
  Retire(false);
  EndDeliveries();
  if (const auto handler = onClosed) handler();
}

void QtTcpSocket::HandleError(QAbstractSocket::SocketError error) {
  // Qt reports a peer's orderly close as an error too; it is a close to us.
  if (error == QAbstractSocket::RemoteHostClosedError && connected_) {
    HandlePeerClosed();
    return;
  }
  const std::string message = socket_ ? socket_->errorString().toStdString() : std::string();
  Retire(false);
  EndDeliveries();
  if (const auto handler = onError) handler(FromQt(error), message);
}

// --- QtTcpListener ----------------------------------------------------------

QtTcpListener::QtTcpListener(QObject* home) : home_(home), server_(new QTcpServer(home)) {
  QObject::connect(server_.data(), &QTcpServer::newConnection, server_.data(),
                   [this] { HandleNewConnection(); });
}

QtTcpListener::~QtTcpListener() {
  life_.End();
  if (server_ == nullptr) return;
  server_->disconnect();
  server_->close();
  server_->deleteLater();  // we may be inside its newConnection
}

bool QtTcpListener::Listen(const std::string& host, uint16_t port, std::string* error) {
  if (server_ == nullptr) {
    if (error != nullptr) *error = "the runtime is gone";
    return false;
  }
  QHostAddress address;
  if (host.empty() || host == "0.0.0.0") {
    address = QHostAddress::AnyIPv4;
  } else if (host == "localhost") {
    address = QHostAddress::LocalHost;
  } else if (!address.setAddress(
                 QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())))) {
    if (error != nullptr) *error = "not an IP address: " + host;
    return false;
  }
  server_->close();
  if (!server_->listen(address, port)) {
    if (error != nullptr) *error = server_->errorString().toStdString();
    return false;
  }
  return true;
}

void QtTcpListener::Close() {
  if (server_ != nullptr) server_->close();
}

uint16_t QtTcpListener::Port() const {
  return server_ != nullptr && server_->isListening() ? server_->serverPort() : 0;
}

void QtTcpListener::HandleNewConnection() {
  const auto life = life_.Watch();
  while (life && server_ != nullptr && server_->hasPendingConnections()) {
    auto connection = std::make_unique<QtTcpSocket>(home_.data(), server_->nextPendingConnection());
    // Unclaimed connections close at once.
    if (const auto handler = onAccept) handler(std::move(connection));
  }
}

}  // namespace tazu::net

#include "tests/support/HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace testsupport {

namespace {

// False when the client went away.
bool SendAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

const char* Reason(int status) {
  switch (status) {
  case 200:
    return "OK";
  case 404:
    return "Not Found";
  case 500:
    return "Internal Server Error";
  case 503:
    return "Service Unavailable";
  default:
    return "Status";
  }
}

} // namespace

LocalHttpServer::LocalHttpServer(Handler H) : FHandler(std::move(H)) {
  FListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (FListen < 0) throw std::runtime_error("socket");
  const int one = 1;
  ::setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0; // any free port
  if (::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(FListen, 8) != 0)
    throw std::runtime_error("bind/listen");
  socklen_t len = sizeof addr;
  ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
  FPort = ntohs(addr.sin_port);
  FThread = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  FStop = true;
  FThread.join();
  ::close(FListen);
}

std::string LocalHttpServer::Url(const std::string& Path) const {
  return "http://127.0.0.1:" + std::to_string(FPort) + Path;
}

std::vector<std::string> LocalHttpServer::Requests() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FRequests;
}

void LocalHttpServer::Serve() {
  while (!FStop) {
    pollfd p{FListen, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      pollfd q{fd, POLLIN, 0};
      if (::poll(&q, 1, 2000) <= 0) break;
      const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<size_t>(n));
    }
    std::string path = "/";
    const size_t sp = request.find(' ');
    if (sp != std::string::npos) path = request.substr(sp + 1, request.find(' ', sp + 1) - sp - 1);
    {
      std::lock_guard<std::mutex> guard(FLock);
      FRequests.push_back(path);
    }
    const HttpAnswer answer = FHandler(path);
    std::string head = "HTTP/1.0 " + std::to_string(answer.Status) + " " + Reason(answer.Status) + "\r\n" +
                       "Content-Type: " + answer.ContentType + "\r\nConnection: close\r\n";
    if (answer.SendLength) head += "Content-Length: " + std::to_string(answer.Body.size()) + "\r\n";
    bool sent = SendAll(fd, head + "\r\n");
    if (answer.DripMs <= 0) {
      sent = sent && SendAll(fd, answer.Body);
    } else {
      for (size_t i = 0; sent && !FStop && !answer.Body.empty(); i = (i + 1) % answer.Body.size()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(answer.DripMs));
        sent = SendAll(fd, answer.Body.substr(i, 1));
      }
    }
    if (!sent) ++FHungUp;
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
  }
}

} // namespace testsupport

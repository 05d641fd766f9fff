#include "local_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string_view>

namespace vokra::пакеты::тест {

namespace {

constexpr std::string_view ответ_401 =
    "HTTP/1.1 401 Unauthorized\r\n"
    "WWW-Authenticate: Basic realm=\"vokra\"\r\n"
    "Content-Length: 0\r\n"
    "Connection: close\r\n\r\n";

constexpr auto предел_ожидания = std::chrono::minutes(1);

}  // namespace

МестныйСервер::МестныйСервер(Ответ ответ) : ответ_(ответ) {
    слушатель_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in адрес{};
    адрес.sin_family = AF_INET;
    адрес.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t длина = sizeof адрес;
    if (::bind(слушатель_, reinterpret_cast<sockaddr*>(&адрес), длина) != 0 ||
        ::listen(слушатель_, 8) != 0 ||
        ::getsockname(слушатель_, reinterpret_cast<sockaddr*>(&адрес), &длина) != 0)
        return;
    порт_ = ntohs(адрес.sin_port);
    поток_ = std::thread([this] { обслуживать(); });
}

МестныйСервер::~МестныйСервер() {
    {
        std::lock_guard замок(замок_);
        стоп_ = true;
        // Wakes the thread from accept() or read().
        ::shutdown(слушатель_, SHUT_RDWR);
        if (текущее_ >= 0)
            ::shutdown(текущее_, SHUT_RDWR);
    }
    if (поток_.joinable())
        поток_.join();
    ::close(слушатель_);
}

std::string МестныйСервер::адрес(const std::string& путь, const std::string& схема) const {
    return схема + "://127.0.0.1:" + std::to_string(порт_) + "/" + путь;
}

bool МестныйСервер::дождаться_соединения() {
    std::unique_lock замок(замок_);
    return перемена_.wait_for(замок, предел_ожидания, [this] { return соединений_ > 0; });
}

bool МестныйСервер::дождаться_закрытия() {
    std::unique_lock замок(замок_);
    return перемена_.wait_for(замок, предел_ожидания, [this] { return открыто_ == 0; });
}

void МестныйСервер::обслуживать() {
    for (;;) {
        const int соединение = ::accept4(слушатель_, nullptr, nullptr, SOCK_CLOEXEC);
        if (соединение < 0)
            return;
        {
            std::lock_guard замок(замок_);
            if (стоп_) {
                ::close(соединение);
                return;
            }
            текущее_ = соединение;
            ++соединений_;
            ++открыто_;
        }
        перемена_.notify_all();
        // Reads the request head, answers it when asked to, and reads on
        // until the client closes.
        std::string запрос;
        char буфер[4096];
        bool ответил = false;
        for (;;) {
            const ssize_t прочитано = ::read(соединение, буфер, sizeof буфер);
            if (прочитано <= 0)
                break;
            запрос.append(буфер, static_cast<std::size_t>(прочитано));
            if (!ответил && ответ_ == Ответ::требует_пароль &&
                запрос.find("\r\n\r\n") != std::string::npos) {
                ответил = true;
                [[maybe_unused]] const auto записано =
                    ::write(соединение, ответ_401.data(), ответ_401.size());
                ::shutdown(соединение, SHUT_WR);
            }
        }
        {
            std::lock_guard замок(замок_);
            текущее_ = -1;
            --открыто_;
            ::close(соединение);
        }
        перемена_.notify_all();
    }
}

}  // namespace vokra::пакеты::тест

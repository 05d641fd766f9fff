// A server on 127.0.0.1 that git reaches over HTTP: it answers every request
// with 401 and a request for a password, or holds each connection without a
// word, so that git waits, whatever the transport it speaks.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vokra::пакеты::тест {

class МестныйСервер {
  public:
    enum class Ответ { требует_пароль, молчит };

    explicit МестныйСервер(Ответ ответ);
    ~МестныйСервер();
    МестныйСервер(const МестныйСервер&) = delete;
    МестныйСервер& operator=(const МестныйСервер&) = delete;

    // "http://127.0.0.1:<port>/" followed by the path, or the same with
    // another scheme ("git", "https", "ssh").
    std::string адрес(const std::string& путь, const std::string& схема = "http") const;

    // Wait until a client has connected, or until every client that
    // connected has closed its connection; false when that does not happen
    // within a minute, which only a fault makes so.
    bool дождаться_соединения();
    bool дождаться_закрытия();

  private:
    void обслуживать();

    Ответ ответ_;
    int слушатель_ = -1;
    int порт_ = 0;
    std::mutex замок_;
    std::condition_variable перемена_;
    int соединений_ = 0;
    int открыто_ = 0;
    int текущее_ = -1;
    bool стоп_ = false;
    std::thread поток_;
};

}  // namespace vokra::пакеты::тест

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "local_server.hpp"
#include "sandbox.hpp"

namespace vokra::пакеты {
namespace {

namespace fs = std::filesystem;

class ИзоляцияGit : public тест::Песочница {
  protected:
    void манифест(const std::string& текст) { записать(проект / "вокра.зависимости", текст); }
};

// A project that is itself a repository (bare files at its root, or an
// unpacked `.git`) has settings that run commands. Git must not take them:
// only the person's own settings apply.
TEST_F(ИзоляцияGit, НастройкиПроектаНеДействуют) {
    const fs::path метка = проект / "метка";
    const fs::path своя = проект / "своя_метка";
    записать(дом / ".gitconfig", "[core]\n\tsshCommand = touch '" + своя.string() + "' && false\n");
    const std::string настройки =
        "[core]\n\tsshCommand = touch '" + метка.string() + "' && false\n";
    struct Случай {
        std::string где;  // the folder of the repository's files inside the project
        std::map<std::string, std::string> файлы;
    };
    const Случай случаи[] = {
        {"",
         {{"HEAD", "ref: refs/heads/main\n"}, {"config", "[core]\n\tbare = true\n" + настройки}}},
        {".git", {{"HEAD", "ref: refs/heads/main\n"}, {"config", настройки}}},
    };
    for (const auto& с : случаи) {
        for (const auto& запись : fs::directory_iterator(проект))
            fs::remove_all(запись.path());
        for (const auto& [имя, текст] : с.файлы)
            записать(проект / с.где / имя, текст);
        fs::create_directories(проект / с.где / "objects");
        fs::create_directories(проект / с.где / "refs");
        манифест("с = git ssh://vokra.invalid/с.git версия=^1.0.0\n");
        const auto снаружи = снимок_вне_проекта();

        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 1);
        EXPECT_TRUE(
            итог.ошибки.starts_with("Ошибка: git ls-remote не удался для "
                                    "'ssh://vokra.invalid/с.git': "))
            << итог.ошибки;
        EXPECT_FALSE(fs::exists(метка)) << с.где;
        EXPECT_TRUE(fs::exists(своя)) << с.где;
        EXPECT_EQ(снимок_вне_проекта(), снаружи);
        EXPECT_EQ(содержимое(временная), std::vector<std::string>{});
    }
}

// Git runs in a folder of its own, yet a relative local address still names
// the place beside the project's manifest; the files keep it as written.
TEST_F(ИзоляцияGit, ОтносительныйАдрес) {
    репозиторий("в", {{"v1.0.0", {{"в.код", "в"}}}});
    fs::copy(корень / "репозитории", проект / "местные", fs::copy_options::recursive);
    const auto снаружи = снимок_вне_проекта();
    for (const std::string адрес : {"../репозитории/в.git", "./местные/в.git", "местные/в.git"}) {
        fs::remove_all(проект / "пакеты");
        манифест("в = git " + адрес + " версия=^1.0.0\nг = git " + адрес + "\n");
        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 0) << итог.ошибки;
        EXPECT_EQ(прочитать(проект / "пакеты" / "г" / "в.код"), "в") << адрес;
        EXPECT_EQ(прочитать(проект / "пакеты" / "г" / ".метаданные"),
                  "имя=г\nисточник=" + адрес + "\n");
        EXPECT_TRUE(прочитать(проект / "вокра.блокировка")
                        .ends_with("в = git " + адрес + " версия=v1.0.0\n"));
    }
    EXPECT_EQ(снимок_вне_проекта(), снаружи);

    // The index is the person's own, outside the project.
    репозиторий("индекс", {{"", {{"каталог.пакеты", "к = git к\n"}}}});
    ASSERT_EQ(пакеты({"индекс-настроить", "../репозитории/индекс.git"}).код, 0);
    const auto обновление = пакеты({"индекс-обновить"});
    EXPECT_EQ(обновление.код, 0) << обновление.ошибки;
    EXPECT_TRUE(fs::exists(дом / ".вокра" / "индекс" / "каталог.пакеты"));
}

struct ЗапускНаТерминале {
    int код = -1;
    std::string ошибки;
    std::string терминал;  // what reached the terminal
    bool завис = false;
};

// Runs the program as a terminal session's leader, its standard input the
// terminal, the way a person starts it; its progress lines are dropped.
// Whatever reaches the terminal is then a question to the person: the
// program is ended and the text returned.
ЗапускНаТерминале на_терминале(const std::vector<std::string>& аргументы) {
    ЗапускНаТерминале итог;
    const int ведущий = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(ведущий, 0);
    ::grantpt(ведущий);
    ::unlockpt(ведущий);
    const std::string имя = ::ptsname(ведущий);
    // Held open here, so the terminal stays whole whatever the child does.
    const int ведомый = ::open(имя.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    int ошибки[2];
    EXPECT_EQ(::pipe2(ошибки, O_CLOEXEC), 0);
    std::vector<char*> argv{const_cast<char*>(VOKRA_PAKETY_BINARY)};
    for (const auto& аргумент : аргументы)
        argv.push_back(const_cast<char*>(аргумент.c_str()));
    argv.push_back(nullptr);

    const pid_t ребёнок = ::fork();
    if (ребёнок == 0) {
        ::setsid();
        const int терминал = ::open(имя.c_str(), O_RDWR);  // becomes the controlling terminal
        ::dup2(терминал, STDIN_FILENO);
        ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
        ::dup2(ошибки[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ошибки[1]);
    pollfd ожидание[2] = {{ведущий, POLLIN, 0}, {ошибки[0], POLLIN, 0}};
    char буфер[4096];
    while (ожидание[1].fd >= 0) {
        // A minute is far beyond a failure's time; only a hang reaches it.
        if (::poll(ожидание, 2, 60000) == 0) {
            итог.завис = true;
            ::kill(-ребёнок, SIGKILL);
            break;
        }
        if (ожидание[1].revents != 0) {
            const ssize_t прочитано = ::read(ошибки[0], буфер, sizeof буфер);
            if (прочитано <= 0)
                ожидание[1].fd = -1;
            else
                итог.ошибки.append(буфер, static_cast<std::size_t>(прочитано));
        }
        if (ожидание[0].revents & POLLIN) {
            const ssize_t прочитано = ::read(ведущий, буфер, sizeof буфер);
            if (прочитано > 0) {
                итог.терминал.append(буфер, static_cast<std::size_t>(прочитано));
                ::kill(-ребёнок, SIGKILL);
            }
        }
    }
    int состояние = 0;
    ::waitpid(ребёнок, &состояние, 0);
    итог.код = WIFEXITED(состояние) ? WEXITSTATUS(состояние) : -1;
    for (const int д : {ведущий, ведомый, ошибки[0]})
        ::close(д);
    return итог;
}

// An address that asks for a password, or that names git's own descriptors,
// fails at once with git's error: nothing is asked on the terminal or through
// a password program, and nothing waits for the person.
TEST_F(ИзоляцияGit, НиОдногоВопроса) {
    тест::МестныйСервер сервер(тест::МестныйСервер::Ответ::требует_пароль);
    const fs::path метка = проект / "спросили";
    const fs::path спросить = проект / "спросить";
    записать(спросить, "#!/bin/sh\ntouch '" + метка.string() + "'\necho ответ\n");
    ::chmod(спросить.c_str(), 0755);
    ::unsetenv("GIT_TERMINAL_PROMPT");
    const std::string http = сервер.адрес("п.git");
    struct Случай {
        std::string манифест;
        bool программа_для_пароля;  // the person's environment names one
        std::string начало;
        std::string причина;
    };
    const Случай случаи[] = {
        {"п = git " + http + "\n", false,
         "Ошибка: git clone не удался для 'п': ", "terminal prompts disabled"},
        {"п = git " + http + " версия=^1.0.0\n", true,
         "Ошибка: git ls-remote не удался для '" + http, "terminal prompts disabled"},
        {"п = git fd::0\n", false,
         "Ошибка: git clone не удался для 'п': ", "fatal: transport 'fd'"},
        {"п = git fd::0 версия=^1.0.0\n", true,
         "Ошибка: git ls-remote не удался для 'fd::0': ", "fatal: transport 'fd'"},
    };
    for (const auto& с : случаи) {
        for (const char* переменная : {"GIT_ASKPASS", "SSH_ASKPASS"})
            if (с.программа_для_пароля)
                ::setenv(переменная, спросить.c_str(), 1);
            else
                ::unsetenv(переменная);
        записать(проект / "вокра.зависимости", с.манифест);
        const auto снаружи = снимок_вне_проекта();
        const auto итог = на_терминале({"установить"});
        EXPECT_FALSE(итог.завис) << с.манифест;
        EXPECT_EQ(итог.код, 1) << с.манифест << итог.терминал;
        EXPECT_TRUE(итог.ошибки.starts_with(с.начало)) << итог.ошибки;
        EXPECT_NE(итог.ошибки.find(с.причина), std::string::npos) << итог.ошибки;
        EXPECT_FALSE(fs::exists(метка)) << с.манифест;
        EXPECT_EQ(снимок_вне_проекта(), снаружи);
        EXPECT_EQ(содержимое(временная), std::vector<std::string>{});
    }
    ::unsetenv("GIT_ASKPASS");
    ::unsetenv("SSH_ASKPASS");
}

// A settings folder inside the project (HOME empty or relative) holds a
// clone of the index that the project may have shipped: git runs in it only
// while it is as `git clone` leaves it, never runs its hooks, and never takes
// its files for the person's own settings.
TEST_F(ИзоляцияGit, КопияИндексаВПроекте) {
    const fs::path метка = корень / "метка";
    const fs::path команда = корень / "команда.sh";
    записать(команда, "#!/bin/sh\ntouch '" + метка.string() + "'\n");
    ::chmod(команда.c_str(), 0755);
    тест::МестныйСервер сервер(тест::МестныйСервер::Ответ::требует_пароль);
    // The index's own files name a command as a credential helper: read as
    // the person's settings, they would run it.
    const std::map<std::string, std::string> файлы{
        {"каталог.пакеты", "а = git /r/а.git\n"},
        {".gitconfig", "[credential]\n\thelper = !'" + команда.string() + "'\n"}};
    const auto индекс = репозиторий("индекс", {{"", файлы}});
    const fs::path клон = проект / ".вокра" / "индекс";
    const std::string чужая = "Ошибка: локальная копия индекса '" + клон.string() +
                              "' устроена не так, как её оставляет git clone: ";
    const std::string совет =
        " — вокра_пакеты не запускает в ней git. Удалите эту папку, и 'вокра_пакеты "
        "индекс-обновить' скачает индекс заново\n";
    struct Случай {
        std::string дом;
        std::function<void()> подготовить;
        std::string ошибка;  // the beginning of the error; none for success
    };
    const Случай случаи[] = {
        {"",
         [&] {
             git(клон, {"config", "core.fsmonitor", команда.string()});
         },
         чужая + "в её настройках есть 'core.fsmonitor'" + совет},
        {"",
         [&] {
             git(клон, {"config", "include.path", (корень / "чужие").string()});
         },
         чужая + "в её настройках есть 'include.path'" + совет},
        {"",
         [&] {
             fs::remove_all(клон / ".git");
             записать(клон / ".git", "gitdir: " + индекс + "\n");
         },
         чужая + "'.git' в ней — не настоящая папка" + совет},
        {"",
         [&] {
             записать(клон / ".git" / "hooks" / "post-merge",
                      "#!/bin/sh\n'" + команда.string() + "'\n");
             ::chmod((клон / ".git" / "hooks" / "post-merge").c_str(), 0755);
             auto новые = файлы;
             новые["каталог.пакеты"] += "б = git /r/б.git\n";
             добавить_выпуск("индекс", {"", новые});
         },
         ""},
        {".",
         [&] {
             git(клон, {"remote", "set-url", "origin", сервер.адрес("и.git")});
         },
         "Ошибка: git pull не удался: "},
    };
    for (const auto& с : случаи) {
        fs::remove_all(проект / ".вокра");
        git(корень, {"clone", "-q", индекс, клон.string()});
        записать(проект / ".вокра" / "индекс_url.txt", индекс);
        с.подготовить();
        const auto снаружи = снимок_вне_проекта();
        ::setenv("HOME", с.дом.c_str(), 1);
        const auto итог = пакеты({"индекс-обновить"});
        ::setenv("HOME", дом.c_str(), 1);
        EXPECT_FALSE(fs::exists(метка)) << с.ошибка;
        if (с.ошибка.empty()) {
            EXPECT_EQ(итог.код, 0) << итог.ошибки;
            EXPECT_TRUE(итог.вывод.ends_with("Готово: в индексе 2 пакет(ов).\n")) << итог.вывод;
        } else {
            EXPECT_EQ(итог.код, 1);
            EXPECT_TRUE(итог.ошибки.starts_with(с.ошибка)) << итог.ошибки;
        }
        EXPECT_EQ(снимок_вне_проекта(), снаружи);
    }
}

// A server that accepts and never answers, over any transport, ends the
// command once git has been silent for the limit, with a message naming the
// address. A transfer that still moves is never cut, however long it takes.
TEST_F(ИзоляцияGit, НиОдинGitНеЖдётВечно) {
    ::setenv("VOKRA_PAKETY_GIT_TIMEOUT", "1", 1);
    тест::МестныйСервер сервер(тест::МестныйСервер::Ответ::молчит);
    // A repository that git cannot open: its HEAD is a pipe nobody writes to.
    const fs::path труба = корень / "труба.git";
    fs::create_directories(труба / "objects");
    fs::create_directories(труба / "refs");
    ASSERT_EQ(::mkfifo((труба / "HEAD").c_str(), 0600), 0);
    // The person's own settings send every pack slowly, 32 bytes at a time,
    // for several times the limit.
    const auto медленный =
        репозиторий("медленный", {{"", {{"медленный.код", std::string(300, 'x')}}}});
    const std::string пакет = (корень / "пакет.pack").string();
    const fs::path хук = дом / "медленно.sh";
    записать(хук, "#!/bin/sh\n\"$@\" > '" + пакет + "'\nsize=$(wc -c < '" + пакет +
                      "')\ni=0\nwhile [ $i -lt $size ]; do\n  dd if='" + пакет +
                      "' bs=1 skip=$i count=32 status=none\n  i=$((i + 32))\n  sleep 0.3\n"
                      "done\nrm -f '" +
                      пакет + "'\n");
    ::chmod(хук.c_str(), 0755);
    записать(дом / ".gitconfig", "[uploadpack]\n\tpackObjectsHook = " + хук.string() + "\n");
    // The pipe is never read here either.
    const auto снаружи = снимок(корень, {проект, труба});

    for (const std::string& адрес :
         {сервер.адрес("m.git", "git"), сервер.адрес("m.git"), сервер.адрес("m.git", "https"),
          сервер.адрес("m.git", "ssh"), "file://" + труба.string()}) {
        for (const std::string версия : {"", " версия=^1.0.0"}) {
            манифест("м = git " + адрес + версия + "\n");
            const auto итог = пакеты({"установить"});
            EXPECT_EQ(итог.код, 1) << адрес << версия;
            EXPECT_TRUE(итог.ошибки.starts_with("Ошибка: ")) << итог.ошибки;
            EXPECT_NE(итог.ошибки.find(адрес), std::string::npos) << итог.ошибки;
        }
        // What a killed clone left would be pulled from next time.
        fs::remove_all(дом / ".вокра" / "индекс");
        EXPECT_EQ(пакеты({"индекс-настроить", адрес}).код, 0);
        const auto индекс = пакеты({"индекс-обновить"});
        EXPECT_EQ(индекс.код, 1) << адрес;
        EXPECT_NE(индекс.ошибки.find(адрес), std::string::npos) << индекс.ошибки;
        EXPECT_EQ(содержимое(временная), std::vector<std::string>{}) << адрес;
    }
    const std::string молчание = "Ошибка: git не дождался ответа от '" +
                                 сервер.адрес("m.git", "git") +
                                 "': за 1 с не пришло ничего — прерываю\n";
    манифест("м = git " + сервер.адрес("m.git", "git") + "\n");
    EXPECT_EQ(пакеты({"установить"}).ошибки, молчание);

    // An existing clone of the index pulls from its own remote, which the
    // message names.
    const fs::path клон = дом / ".вокра" / "индекс";
    fs::remove_all(клон);
    git(корень, {"clone", "-q", медленный, клон.string()});
    git(клон, {"remote", "set-url", "origin", сервер.адрес("m.git", "git")});
    EXPECT_EQ(пакеты({"индекс-обновить"}).ошибки, молчание);
    fs::remove_all(дом / ".вокра");

    манифест("м = git file://" + медленный + "\n");
    const auto медленно = пакеты({"установить"});
    EXPECT_EQ(медленно.код, 0) << медленно.ошибки;
    EXPECT_EQ(прочитать(проект / "пакеты" / "м" / "медленный.код"), std::string(300, 'x'));
    ::unsetenv("VOKRA_PAKETY_GIT_TIMEOUT");
    EXPECT_EQ(снимок(корень, {проект, труба}), снаружи);
}

}  // namespace
}  // namespace vokra::пакеты

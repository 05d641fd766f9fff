#include "sandbox.hpp"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "вокра_пакеты/process.hpp"

namespace vokra::пакеты::тест {

void Песочница::SetUp() {
    исходная_папка = fs::current_path();
    // Read once: each test points TMPDIR into its own sandbox.
    static const fs::path основа = fs::temp_directory_path();
    std::string шаблон = (основа / "vokra_pakety_test_XXXXXX").string();
    ASSERT_NE(::mkdtemp(шаблон.data()), nullptr);
    корень = шаблон;
    проект = корень / "проект";
    дом = корень / "дом";
    временная = корень / "tmp";
    for (const auto& папка : {проект, дом, временная})
        fs::create_directories(папка);

    ::setenv("HOME", дом.c_str(), 1);
    ::setenv("TMPDIR", временная.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (дом / ".config").c_str(), 1);
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
    ::setenv("GIT_TERMINAL_PROMPT", "0", 1);
    ::setenv("GIT_AUTHOR_NAME", "Тест", 1);
    ::setenv("GIT_AUTHOR_EMAIL", "test@localhost", 1);
    ::setenv("GIT_COMMITTER_NAME", "Тест", 1);
    ::setenv("GIT_COMMITTER_EMAIL", "test@localhost", 1);
    fs::current_path(проект);
}

void Песочница::TearDown() {
    fs::current_path(исходная_папка);
    std::error_code пропускаем;
    fs::remove_all(корень, пропускаем);
}

ИтогЗапуска Песочница::пакеты(const std::vector<std::string>& аргументы) {
    std::vector<std::string> полные{VOKRA_PAKETY_BINARY};
    полные.insert(полные.end(), аргументы.begin(), аргументы.end());
    const auto итог = выполнить_процесс(полные);
    if (!итог) {
        ADD_FAILURE() << итог.error();
        return {};
    }
    return {итог->код_выхода, итог->вывод, итог->ошибки};
}

void Песочница::git(const fs::path& где, const std::vector<std::string>& аргументы) {
    std::vector<std::string> полные{"git", "-C", где.string()};
    полные.insert(полные.end(), аргументы.begin(), аргументы.end());
    const auto итог = выполнить_процесс(полные);
    ASSERT_TRUE(итог && итог->успешен()) << (итог ? итог->ошибки : итог.error());
}

std::string Песочница::репозиторий(const std::string& имя, const std::vector<Выпуск>& выпуски) {
    const fs::path рабочая = корень / "исходники" / имя;
    const fs::path голая = корень / "репозитории" / (имя + ".git");
    fs::create_directories(рабочая);
    fs::create_directories(голая);
    git(рабочая, {"init", "-q", "-b", "main"});
    git(голая, {"init", "-q", "--bare", "-b", "main"});
    for (const auto& выпуск : выпуски)
        добавить_выпуск(имя, выпуск);
    return голая.string();
}

void Песочница::добавить_выпуск(const std::string& имя, const Выпуск& выпуск) {
    const fs::path рабочая = корень / "исходники" / имя;
    const fs::path голая = корень / "репозитории" / (имя + ".git");
    for (const auto& запись : fs::directory_iterator(рабочая))
        if (запись.path().filename() != ".git")
            fs::remove_all(запись.path());
    for (const auto& [путь, текст] : выпуск.файлы)
        записать(рабочая / путь, текст);
    for (const auto& [путь, цель] : выпуск.ссылки)
        fs::create_symlink(цель, рабочая / путь);
    git(рабочая, {"add", "-A"});
    git(рабочая, {"commit", "-q", "--allow-empty", "-m", выпуск.тег.empty() ? "x" : выпуск.тег});
    if (!выпуск.тег.empty()) {
        if (выпуск.аннотированный)
            git(рабочая, {"tag", "-a", "-m", выпуск.тег, выпуск.тег});
        else
            git(рабочая, {"tag", выпуск.тег});
    }
    if (!выпуск.ветка.empty())
        git(рабочая, {"branch", "-f", выпуск.ветка});
    git(голая, {"fetch", "-q", рабочая.string(), "+refs/heads/*:refs/heads/*",
                "+refs/tags/*:refs/tags/*"});
}

void Песочница::записать(const fs::path& путь, const std::string& текст) {
    if (путь.has_parent_path())
        fs::create_directories(путь.parent_path());
    std::ofstream(путь, std::ios::binary) << текст;
}

std::string Песочница::прочитать(const fs::path& путь) {
    std::ifstream файл(путь, std::ios::binary);
    std::ostringstream текст;
    текст << файл.rdbuf();
    return текст.str();
}

std::vector<std::string> Песочница::содержимое(const fs::path& папка) {
    std::vector<std::string> имена;
    std::error_code ошибка;
    for (fs::directory_iterator i(папка, ошибка), конец; !ошибка && i != конец; i.increment(ошибка))
        имена.push_back(i->path().filename().string());
    std::sort(имена.begin(), имена.end());
    return имена;
}

std::map<std::string, std::string> Песочница::снимок(const fs::path& папка,
                                                     const std::vector<fs::path>& кроме) {
    std::map<std::string, std::string> записи;
    std::error_code ошибка;
    for (auto i = fs::recursive_directory_iterator(папка, ошибка);
         !ошибка && i != fs::recursive_directory_iterator(); i.increment(ошибка)) {
        const fs::path& путь = i->path();
        if (std::find(кроме.begin(), кроме.end(), путь) != кроме.end()) {
            i.disable_recursion_pending();
            continue;
        }
        const auto тип = i->symlink_status().type();
        записи[путь.lexically_relative(папка).string()] =
            тип == fs::file_type::symlink ? "ссылка " + fs::read_symlink(путь).string()
            : тип == fs::file_type::directory ? "папка"
                                              : "файл " + прочитать(путь);
    }
    return записи;
}

}  // namespace vokra::пакеты::тест

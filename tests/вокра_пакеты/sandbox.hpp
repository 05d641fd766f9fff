// A test's own world: a temporary folder with a project folder (the current
// folder while the test runs), a home folder, a temporary folder and local
// bare git repositories made by the test, so nothing reaches the network, the
// user's git settings or another test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vokra::пакеты::тест {

namespace fs = std::filesystem;

// One commit of a repository: its whole file tree (files, and symbolic links
// with their targets), and optionally a tag and a branch that point at it.
struct Выпуск {
    std::string тег;
    std::map<std::string, std::string> файлы;
    std::string ветка = {};
    bool аннотированный = false;
    std::map<std::string, std::string> ссылки = {};
};

struct ИтогЗапуска {
    int код = -1;
    std::string вывод;
    std::string ошибки;
};

class Песочница : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the built program in the project folder.
    ИтогЗапуска пакеты(const std::vector<std::string>& аргументы);

    // Makes a bare repository from the releases, in order, and gives its path.
    std::string репозиторий(const std::string& имя, const std::vector<Выпуск>& выпуски);
    // Commits one more release on the main branch of a repository made above.
    void добавить_выпуск(const std::string& имя, const Выпуск& выпуск);

    void git(const fs::path& где, const std::vector<std::string>& аргументы);

    static void записать(const fs::path& путь, const std::string& текст);
    static std::string прочитать(const fs::path& путь);
    // File names of a folder, sorted; empty when it does not exist.
    static std::vector<std::string> содержимое(const fs::path& папка);
    // Every entry under the folder (none when it is missing), links not
    // followed: its kind with the file's content or the link's target, by path. Folders in `кроме`
    // are left out.
    static std::map<std::string, std::string> снимок(const fs::path& папка,
                                                     const std::vector<fs::path>& кроме = {});
    // The sandbox outside the project folder: what the program must leave as
    // it was.
    std::map<std::string, std::string> снимок_вне_проекта() const {
        return снимок(корень, {проект});
    }

    fs::path корень;
    fs::path проект;
    fs::path дом;
    fs::path временная;

  private:
    fs::path исходная_папка;
};

}  // namespace vokra::пакеты::тест

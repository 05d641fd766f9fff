#pragma once

// The panel's folders and the paths of an installation's layout.

#include <string>
#include <string_view>

namespace vokra::panel {

// $HOME; when it is unset or empty, the user's home folder from the password
// database; "/tmp" when that is missing too.
std::string домашняя_папка();

std::string временная_папка();

// The home folder + "/.vokra".
std::string папка_установки_по_умолчанию();

std::string путь_установленного_vokra(std::string_view папка);
std::string путь_установленного_вокра_пакеты(std::string_view папка);
std::string путь_установленного_примера(std::string_view папка);
std::string путь_файла_версии(std::string_view папка);

// An installation counts as present when its version file can be read.
bool вокра_уже_установлена(std::string_view папка);

// The folder part of the first command-line argument after the program
// name, "." without one.
std::string папка_исполняемого_файла();

// The folder of the running program's file as the system tells it
// (/proc/self/exe, links resolved); empty where it does not.
std::string папка_запущенной_программы();

}  // namespace vokra::panel

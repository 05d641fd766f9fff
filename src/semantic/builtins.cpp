#include "semantic/builtins.hpp"

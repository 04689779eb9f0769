#pragma once

#include <string_view>

// The engine's version: the UCI id line, --version and the Debian package
// (CMakeLists.txt reads it from here) all show this one.
constexpr std::string_view ENGINE_VERSION = "1.4.2";

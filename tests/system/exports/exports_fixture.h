// The plug-in loaded as a host loads it, for tests of its exports.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "krxstat.h"
#include "loaded_plugin.h"

namespace exportstest {

using krxtest::LoadedPlugin;

} // namespace exportstest

// What the module entry recorded when the host loaded the module (host thread).
#pragma once

#include <string>

// The handle the host passed to the first ModuleEntry; null while the module is not entered.
void* ModuleHandle();
// The folder that holds the module's shared library; empty while the module is not entered.
std::string ModuleFolder();

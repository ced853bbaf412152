// The folder the running program was started from, which both programs read their data beside.
#pragma once

#include <string>

// The folder the running program was started from, without a trailing "\".
std::string ProgramFolder();

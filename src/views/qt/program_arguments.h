#pragma once

#include <string>
#include <vector>

#include "ui/program_arguments.h"

namespace ulvren::views::qt {

using ulvren::AnswerHelpOrVersion;
using ulvren::ProgramDescription;
using ulvren::RefuseUnknownArguments;

// The program's arguments that the toolkit left: what it did not take as its own.
std::vector<std::string> ArgumentsLeftByToolkit();

}  // namespace ulvren::views::qt

// `lcregular-cli explain [-i] [-m] [-s] [-x] -e CHAIN`: prints the explanation
// tree of each expression of the chain as indented lines (two spaces a
// level), the same tree the window's 解释 panel shows.
#pragma once

#include <string>
#include <vector>

namespace lcr::cli {

// `args` are the arguments after "explain". Returns the exit status: 0, or 2
// for a usage error. An expression that does not compile is explained up to
// its error and still exits 0: the error is part of the explanation.
int runExplain(const std::vector<std::string>& args);

}  // namespace lcr::cli

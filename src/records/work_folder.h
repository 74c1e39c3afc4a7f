#pragma once
// The per-user folder that holds the settings and every file of every run.
#include <string>

namespace zelkan {

// The folder's path, ending with the platform's separator: on Windows the
// user's application-data folder + "\zelkan\", elsewhere
// $XDG_DATA_HOME/zelkan/ or ~/.local/share/zelkan/. Empty when the platform
// cannot tell.
std::string ResolveWorkFolder();

// Resolves the folder and creates it with any missing parents; a failure to
// create shows itself later, when a file in it cannot be written.
std::string SetUpWorkFolder();

// Creates the folder with its parents; failures are ignored.
void ForceDirectories(const std::string& folder);

}  // namespace zelkan

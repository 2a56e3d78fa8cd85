// Per-user folders and small file-system queries.
#pragma once

#include <string>

// The per-user configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config; empty when no home folder is known. No trailing slash; nothing is created.
std::string UserConfigFolder();

// Any file-system entry at path.
bool PathExists(const std::string& path);
// A regular file at path (after following links).
bool RegularFileExists(const std::string& path);
// Creates the folder and any missing parents (new ones readable by the user only). True when the
// folder exists afterwards.
bool CreateFolders(const std::string& path);

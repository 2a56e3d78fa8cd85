// Folders of our own inside shared ones (the temporary folder, /tmp): made for the user alone and
// checked before use, so that nobody else can plant or redirect the files we put there.
#pragma once

#include <string>

// $TMPDIR when it is an absolute path, else /tmp; no trailing slash.
std::string TemporaryFolder();
// "Tamsel-<uid>": one folder name per user, so users sharing a machine never share a folder.
std::string PerUserFolderName();
// parent/name, created mode 0700 when missing. Refused (empty result) unless it is a real folder
// (not a symbolic link) owned by this user; access for group and others is taken away.
std::string PrivateFolder(const std::string& parent, const std::string& name);

// option.dat: the stored process kind, a 16-bit integer in its first two
// bytes, least significant byte first (FF FF method, 00 00 thread).
#pragma once

#include <stdexcept>
#include <string>

#include "base/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {

class OptionFileError : public Error {
public:
    explicit OptionFileError(std::string message)
        : Error(code::kOptionFileUnreadable, "", 0, 0, std::move(message)) {}
};

// programDir + "/option.dat"
std::string OptionFilePath(const std::string& programDir);

// The user's configuration folder by the desktop's rules: XDG_CONFIG_HOME
// when it holds an absolute path, otherwise ~/.config.
std::string UserConfigDirectory();

// Where option.dat lives: beside the program when its folder can be written
// (as a program run from a build or a folder of its own), otherwise in
// UserConfigDirectory()/kestrom, as for an installed program.
std::string OptionFileDirectory(const std::string& programDir, bool programDirWritable);
std::string OptionFileLocation(const std::string& programDir);

// Makes the folder OptionFileLocation chose when it is the user's one, so
// that the window can create and save the file there.
void MakeOptionFileDirectory(const std::string& optionFilePath);

// Reads the stored choice without creating or changing anything: a missing
// file, or one shorter than two bytes, gives a thread process. Throws
// OptionFileError naming the path and reason when the file exists but cannot
// be read (no permission, a directory, a FIFO or device).
Integer ReadStoredProcessKind(const std::string& path);

// Creates a missing file empty. A file shorter than two bytes leaves
// processKind as it was. Throws OptionFileError naming the path and reason.
void LoadProcessKind(const std::string& path, Integer& processKind);

// Rewrites the first two bytes only; later bytes stay. Throws OptionFileError.
void SaveProcessKind(const std::string& path, Integer processKind);

} // namespace kestrom

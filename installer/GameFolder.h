#pragma once
// Where the game is, and names of files in it that work at any length.
//
// The game folder is the current directory. A folder whose path is too long
// to become a current directory (the system refuses those of MAX_PATH units
// and more and starts the program somewhere else instead) can still be the
// game folder: when the current directory does not hold the game and the
// program itself lies in such a folder, that folder is taken. Every name the
// installation touches (entries, their folders, temporary files, the backup
// folder and its manifest) is made absolute and given the extended-length
// prefix "\\?\", so that deep targets in long folders work too.

#include <string>

namespace installer
{

class GameFolder
{
public:
    // The current directory, or the executable's own folder as described above.
    static GameFolder Locate();
    // The current directory, whatever it holds.
    static GameFolder Current();
    // folder: an absolute path, with or without a trailing backslash.
    explicit GameFolder(const std::wstring& folder);

    // The folder as the user knows it: absolute, without the prefix or a trailing backslash.
    const std::wstring& Display() const { return display_; }
    // A name relative to the folder as an absolute extended-length path.
    std::wstring PathOf(const std::wstring& relative) const;
    // Whether the folder is the current directory, so that relative names reach it as well.
    bool IsCurrentDirectory() const;

private:
    std::wstring display_;
    std::wstring prefixed_;  // with the prefix and a trailing backslash
};

// Whether a folder's path (without a trailing backslash) is too long to be a current directory.
bool TooLongForCurrentDirectory(const std::wstring& folder);

}  // namespace installer

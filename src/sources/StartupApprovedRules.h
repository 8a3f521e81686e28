// Windows' own switch of an autostart entry, free of the platform. Since Windows 8 the system
// switches an entry off without removing it: it keeps the entry where it is and records "off"
// beside it, in a value named as the entry under a subkey of
// Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved of the entry's root:
// - "Run": the run key of the same root (on a 64-bit system, the local machine's native key);
// - "Run32": the local machine's run key of the 32-bit programs (its Wow6432Node key);
// - "StartupFolder": the Startup folder of the same root (the current user's folder under the
//   current user, the all-users folder under the local machine), the value named as the file,
//   extension included.
// RunOnce, RunServices, WIN.INI and the boot files have no such record.
#pragma once

#include "RunKeyLocator.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The record of one entry is binary data of 12 bytes: the first byte is odd (03, 07) when the
// entry is switched off and even (02, 06) when it is on; bytes 4 to 11 hold the time it was
// switched off. Data shorter than 12 bytes (empty included) is no record the system wrote, and
// says nothing: the entry is on, as it is without any record.
bool ApprovalSaysOff(const std::vector<unsigned char>& data);

// The record of an entry switched on, as the system's own tools write it: 02 and eleven zeros.
std::vector<unsigned char> ApprovalOnBytes();

// The key holding the records of one source's entries. The keys are not shared between the
// registry's views: on a 64-bit system they are read in the native view.
struct ApprovalPlace {
    RootKey root;
    std::string keyPath; // below the root, without a leading backslash
    RegistryView view = RegistryView::Default;
};

// "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\" SUBKEY.
std::string StartupApprovedPath(std::string_view subkey);

// Where the records of a run key's values are: the "Run" key of its root for the run key of the
// current user or of the local machine, the local machine's "Run32" key for the local machine's
// Wow6432Node run key; in the view the run key is opened in (the window opens the local
// machine's keys in the native view on a 64-bit system and in the default one on a 32-bit
// system). Key paths compare without regard to case. Empty for any other key (RunOnce,
// RunServices): the system keeps no record for them.
std::optional<ApprovalPlace> ApprovalPlaceOf(const RunKeyLocator& key);

// Where the records of a Startup folder's files are: the "StartupFolder" key of the folder's
// root, in the view its Shell Folders value is read in.
ApprovalPlace StartupFolderApprovalPlace(RootKey root, RegistryView view);

// Windows' own switch of the autostart entries (StartupApprovedRules.h): which entries the
// system records as switched off, read with read access only, and switching one back on.
#pragma once

#include "StartupApprovedRules.h"
#include "StartupFolder.h"

#include <set>
#include <string>

// Orders names as the registry compares them: without regard to case, by the system's own
// case mapping (so that "TOOL" and "tool" are one name, in any script).
struct RegistryNameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};
using SwitchedOffNames = std::set<std::wstring, RegistryNameLess>;

// Where the records of a Startup folder's files are (StartupFolderApprovalPlace of its root and
// view).
ApprovalPlace ApprovalPlaceOf(const StartupFolderPlace& folder);

// The names of the entries the system records as switched off at place: its binary values
// whose data says off (ApprovalSaysOff); a value of another type is no record of the system's.
// The key is opened for reading only; a missing key, or one that cannot even be read, records
// nothing.
SwitchedOffNames ReadSwitchedOff(const ApprovalPlace& place);

// Whether the system records the named entry as switched off at place now: a binary value of
// that name that says off. Read with read access only, as ReadSwitchedOff reads.
bool SwitchedOffNow(const ApprovalPlace& place, const std::wstring& name);

// Switches the named entry on again where the system recorded it as off: when a binary value of
// that name exists at place and says off, it is replaced by the record of an entry switched on
// (ApprovalOnBytes), and the answer is true. Otherwise nothing is written (no key, no value or a
// record that is on: the entry is not switched off there) and the answer is false; the key is
// never created. The record is read first with read access; only a record that says off has the
// key opened for querying and setting values, at this moment; a refusal to
// open it or to write raises ChangeRefused with the reason (under the local machine, access
// denied says that it needs the program run as administrator). A name holding a zero character
// raises "The name of value '%s' holds a zero character; it cannot be changed".
bool TurnApprovalOn(const ApprovalPlace& place, const std::wstring& name);

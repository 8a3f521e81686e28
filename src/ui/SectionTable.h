// The window's sections made from the stored table: each row becomes the section of its kind,
// holding the source the row names.
#pragma once

#include "Section.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where the sources are found. The program uses the system's own places; tests and the
// benchmark point the files elsewhere (the registry roots they redirect with
// RegOverridePredefKey). An empty path is the table's.
struct SourceLocators {
    std::string configSys;
    std::string autoexecBat;
    std::function<std::string()> windowsFolder; // the system's Windows folder when empty
};

// The sections of the table in its order: eleven, or fourteen on a 64-bit system (system64Bit), the
// local machine's keys then opened in the native view.
std::vector<std::unique_ptr<Section>> MakeSections(SectionHost& host, const SourceLocators& locators, bool system64Bit);

// The view the window opens a root's keys in.
RegistryView ViewOf(RootKey root, bool system64Bit);

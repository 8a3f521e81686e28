#include "SectionTable.h"

#include "BootFileSection.h"
#include "IniListSection.h"
#include "RunKeySection.h"
#include "StartupFolderSection.h"

#include "../sources/SystemInformation.h"
#include "../sources/WideText.h"

RegistryView ViewOf(RootKey root, bool system64Bit) {
    // The current user's keys are one key in both views.
    return system64Bit && root == RootKey::LocalMachine ? RegistryView::Native : RegistryView::Default;
}

namespace {
std::unique_ptr<Section> MakeSection(SectionHost& host, const layout::SectionDesign& design,
                                     const SourceLocators& locators, bool system64Bit) {
    const layout::SourceDesign& source = design.source;
    switch (source.kind) {
    case SectionKind::BootFile: {
        const std::string& given =
            design.id == layout::SectionId::ConfigSys ? locators.configSys : locators.autoexecBat;
        return std::make_unique<BootFileSection>(host, design, given.empty() ? source.name : given);
    }
    case SectionKind::IniList: {
        // The Windows folder is asked for anew at every load.
        auto folder = locators.windowsFolder ? locators.windowsFolder : std::function<std::string()>(GetWindowsFolder);
        return std::make_unique<IniListSection>(host, design, WideOfAnsi(source.name),
                                                [folder] { return WideOfAnsi(folder() + "WIN.INI"); });
    }
    case SectionKind::StartupFolder: {
        const int which = design.id == layout::SectionId::UserStartup ? 0 : 1;
        return std::make_unique<StartupFolderSection>(
            host, design, which, StartupFolderPlace{source.name, source.root, ViewOf(source.root, system64Bit)});
    }
    case SectionKind::RegistryKey: {
        const std::string path = source.wow6432Node ? Wow6432NodeRunKeyPath(source.name) : RunKeyPath(source.name);
        return std::make_unique<RunKeySection>(host, design,
                                               RunKeyLocator{source.root, path, ViewOf(source.root, system64Bit)});
    }
    }
    return nullptr;
}
} // namespace

std::vector<std::unique_ptr<Section>> MakeSections(SectionHost& host, const SourceLocators& locators,
                                                   bool system64Bit) {
    const int count = system64Bit ? layout::kSectionCountOn64BitSystem : layout::kSectionCount;
    std::vector<std::unique_ptr<Section>> sections;
    for (int i = 0; i < count; ++i)
        sections.push_back(MakeSection(host, layout::kSections[static_cast<std::size_t>(i)], locators, system64Bit));
    return sections;
}

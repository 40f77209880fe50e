// Finding the device libraries: path helpers, and the search over the registry store and the probe
// folders, with real temporary folders.
#include "device/library_discovery.h"

#include "platform/shell/folders.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(FileNameOfPath, TakesTheLastComponent)
{
    const struct {
        const char *path;
        const char *name;
    } cases[] = {
        {"/opt/Apple/Mobile Device Support/libMobileDevice.so", "libMobileDevice.so"},
        {"C:\\Program Files\\Apple\\MobileDevice.dll", "MobileDevice.dll"},
        {"libMobileDevice.so", "libMobileDevice.so"},
        {"/opt/Apple/", ""},
        {"C:\\Apple\\", ""},
        {"", ""},
        {"/a//b", "b"},
        // 0x5C inside a double-byte character is not a separator: "\x81\x5C" is one character.
        {"/dir/\x81\x5Cname", "\x81\x5Cname"},
        {"/中文/库.so", "库.so"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FileNameOfPath(c.path), c.name) << c.path;
}

TEST(LibraryFolderOf, RemovesEverySeparatorAndFileName)
{
    EXPECT_EQ(LibraryFolderOf("/opt/Apple/Mobile Device Support/libMobileDevice.so"),
              "/opt/Apple/Mobile Device Support");
    // The file name also standing as a whole component elsewhere: every occurrence goes.
    EXPECT_EQ(LibraryFolderOf("/x/libMobileDevice.so/y/libMobileDevice.so"), "/x/y");
    // A folder from the registry (no file name): the folder itself.
    EXPECT_EQ(LibraryFolderOf("/opt/Apple/"), "/opt/Apple");
}

TEST(TextToUtf16, IsZeroTerminatedCodePage936)
{
    EXPECT_EQ(TextToUtf16(""), "");
    EXPECT_EQ(TextToUtf16("a"), std::string("a\0\0\0", 4));
    EXPECT_EQ(TextToUtf16("中"), std::string("\x2D\x4E\0\0", 4));
}

class LibraryDiscoveryTest : public testing::Test {
protected:
    testsupport::TempHome home;
    std::string pf = home.path() + "/ProgramFiles";

    void registry(const std::string &body) { home.writeFile("registry.reg", body); }
    std::string library(const std::string &folder, const std::string &name)
    {
        return home.writeFile(folder.substr(home.path().size() + 1) + "/" + name, "fake");
    }
    static std::string programFilesEntry(const std::string &pf)
    {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
               "\"ProgramFilesDir\"=\"/nowhere\"\n"
               "\"ProgramFilesDir (x86)\"=\"" + pf + "\"\n";
    }
};

TEST_F(LibraryDiscoveryTest, NothingAnywhereGivesTwoEmptyPaths)
{
    const DeviceLibraryPaths paths = LocateDeviceLibraries();
    EXPECT_EQ(paths.mobileDevice, "");
    EXPECT_EQ(paths.coreFoundation, "");
}

TEST_F(LibraryDiscoveryTest, ProbesTheCommonFilesFolderOfTheX86ProgramFiles)
{
    ASSERT_EQ(Is64BitSystem(), 1);
    registry(programFilesEntry(pf));
    const std::string folder = pf + "/Common Files/Apple/Mobile Device Support";
    const std::string md = library(folder, "libMobileDevice.so");
    const std::string cf = library(folder, "libCoreFoundation.so");
    const DeviceLibraryPaths paths = LocateDeviceLibraries();
    EXPECT_EQ(paths.mobileDevice, md);
    EXPECT_EQ(paths.coreFoundation, cf);
}

TEST_F(LibraryDiscoveryTest, AFolderWithTheLibrarysNameDoesNotCount)
{
    registry(programFilesEntry(pf));
    std::filesystem::create_directories(pf + "/Apple/Mobile Device Support/libMobileDevice.so");
    const std::string md = library(pf + "/Common Files/Apple/Mobile Device Support", "libMobileDevice.so");
    EXPECT_EQ(LocateDeviceLibraries().mobileDevice, md);
}

TEST_F(LibraryDiscoveryTest, RegistryValuesAreTakenUncheckedAndIndependently)
{
    // InstallDir given (a folder that need not exist), Shared absent: MobileDevice comes from a probe.
    registry(programFilesEntry(pf) +
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Inc.\\Apple Application Support]\n"
             "\"InstallDir\"=\"/no/such/folder/\"\n");
    const std::string md = library(pf + "/Apple/Mobile Device Support", "libMobileDevice.so");
    const DeviceLibraryPaths paths = LocateDeviceLibraries();
    EXPECT_EQ(paths.mobileDevice, md);
    EXPECT_EQ(paths.coreFoundation, "/no/such/folder/");
}

TEST_F(LibraryDiscoveryTest, ExpandableRegistryValueIsExpanded)
{
    registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Inc.\\Apple Mobile Device Support]\n"
             "\"Shared\"=expand:\"%HOME%/md/libMobileDevice.so\"\n");
    EXPECT_EQ(LocateDeviceLibraries().mobileDevice, home.path() + "/md/libMobileDevice.so");
}

TEST_F(LibraryDiscoveryTest, TheFirstProbeFolderWins)
{
    registry(programFilesEntry(pf));
    const std::string first = library(pf + "/Apple/Mobile Device Support", "libCoreFoundation.so");
    library(pf + "/Common Files/Apple/Mobile Device Support", "libCoreFoundation.so");
    EXPECT_EQ(LocateDeviceLibraries().coreFoundation, first);
}

TEST(FileExists, TellsFilesFromFolders)
{
    testsupport::TempHome home;
    const std::string file = home.writeFile("f.so", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(home.path()));
    EXPECT_FALSE(FileExists(home.path() + "/missing"));
    EXPECT_FALSE(FileExists(""));
}

} // namespace

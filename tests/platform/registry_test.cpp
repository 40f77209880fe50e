// The registry stand-in: values from the export-format store file, and empty values for every kind of
// broken store.
#include "platform/registry/registry.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace {

using platform::registry::readMachineString;

constexpr char kKey[] = "SOFTWARE\\Apple Inc.\\Apple Mobile Device Support";

TEST(Registry, ReadsStringValues)
{
    testsupport::TempHome home;
    home.writeFile("registry.reg",
                   "Windows Registry Editor Version 5.00\r\n\r\n"
                   "; comment\r\n"
                   "[hkey_local_machine\\software\\apple inc.\\APPLE MOBILE DEVICE SUPPORT]\r\n"
                   "\"Shared\"=\"/opt/md/libMobileDevice.so\"\r\n"
                   "\"Quoted\"=\"a \\\"b\\\" c\\\\d\"\r\n"
                   "\"Number\"=dword:00000001\r\n"
                   "\"Broken\"=\"no closing quote\r\n"
                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Inc.\\Apple Mobile Device Support]\r\n"
                   "\"Later\"=\"second section of the same name is not read\"\r\n");
    EXPECT_EQ(readMachineString(kKey, "Shared"), "/opt/md/libMobileDevice.so");
    EXPECT_EQ(readMachineString(kKey, "shared"), "/opt/md/libMobileDevice.so");
    EXPECT_EQ(readMachineString(kKey, "Quoted"), "a \"b\" c\\d");
    EXPECT_EQ(readMachineString(kKey, "Number"), "");
    EXPECT_EQ(readMachineString(kKey, "Broken"), "");
    EXPECT_EQ(readMachineString(kKey, "Later"), "");
    EXPECT_EQ(readMachineString(kKey, "Missing"), "");
    EXPECT_EQ(readMachineString("SOFTWARE\\Other", "Shared"), "");
}

TEST(Registry, ExpandsEnvironmentReferencesInExpandableStrings)
{
    testsupport::TempHome home;
    home.writeFile("registry.reg", std::string("[HKEY_LOCAL_MACHINE\\") + kKey + "]\n"
                                       "\"A\"=expand:\"%HOME%/x\"\n"
                                       "\"B\"=expand:\"%NO_SUCH_VARIABLE_KELM%/x\"\n"
                                       "\"C\"=\"%HOME%/x\"\n");
    EXPECT_EQ(readMachineString(kKey, "A"), home.path() + "/x");
    EXPECT_EQ(readMachineString(kKey, "B"), "%NO_SUCH_VARIABLE_KELM%/x");
    EXPECT_EQ(readMachineString(kKey, "C"), "%HOME%/x");
}

TEST(Registry, BrokenStoresReadAsEmpty)
{
    testsupport::TempHome home;
    std::string garbage(64 * 1024, '\0');
    std::mt19937 random(7);
    for (char &c : garbage)
        c = static_cast<char>(random());
    std::string huge = std::string("[HKEY_LOCAL_MACHINE\\") + kKey + "]\n\"Shared\"=\"x\"\n";
    huge.append(17 * 1024 * 1024, ' ');
    const struct {
        const char *name;
        std::string content;
    } stores[] = {
        {"empty", ""},
        {"binary garbage", garbage},
        {"over 16 MiB", huge},
        {"only a section", std::string("[HKEY_LOCAL_MACHINE\\") + kKey},
        {"value before any section", "\"Shared\"=\"x\"\n"},
    };
    EXPECT_EQ(readMachineString(kKey, "Shared"), "") << "missing store";
    for (const auto &store : stores) {
        home.writeFile("registry.reg", store.content);
        EXPECT_EQ(readMachineString(kKey, "Shared"), "") << store.name;
    }
}

} // namespace

// Implementation of the whole-program test helpers.
#include "program_test_support.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "device/device_context.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace testsupport {

std::vector<std::string> logMessages(const MainWindow &window)
{
    std::vector<std::string> out;
    const std::string text = window.编辑框_log.caption();
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        const std::string line = text.substr(start, at - start);
        const size_t marker = line.find("]=>>");
        out.push_back(marker == std::string::npos ? line : line.substr(marker + 4));
    }
    return out;
}

bool logHas(const MainWindow &window, const std::string &message)
{
    const auto lines = logMessages(window);
    return std::find(lines.begin(), lines.end(), message) != lines.end();
}

void registerDeviceLibraries(const TempHome &home, const std::string &folder)
{
    home.writeFile("registry.reg", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Inc.\\Apple Mobile Device Support]\n"
                                   "\"Shared\"=\"" + folder + "/libMobileDevice.so\"\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Inc.\\Apple Application Support]\n"
                                   "\"InstallDir\"=\"" + folder + "/\"\n");
}

bool StartedProgram::start()
{
    if (phone.start().empty()) {
        ADD_FAILURE() << "virtual iPhone: " << phone.lastError();
        return false;
    }
    phone.exportAddress();
    registerDeviceLibraries(home, binDir());
    CreateDeviceContext();
    window = CreateMainWindow();
    if (!window) {
        ADD_FAILURE() << "the main window did not start";
        return false;
    }
    window->高级选择夹1.setCurrentPage(1);
    return true;
}

kelm::test::VirtualIphone *StartedProgramTest::phone = nullptr;
TempHome *StartedProgramTest::home = nullptr;
MainWindow *StartedProgramTest::window = nullptr;

void StartedProgramTest::SetUpTestSuite()
{
    auto *program = new StartedProgram; // lives on with the device thread
    ASSERT_TRUE(program->start());
    phone = &program->phone;
    home = &program->home;
    window = program->window;
}

void StartedProgramTest::TearDownTestSuite() { phone->stop(); }

} // namespace testsupport

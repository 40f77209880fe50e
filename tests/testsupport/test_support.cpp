// Implementation of the test helpers.
#include "test_support.h"

#include "platform/text/text.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace testsupport {
namespace fs = std::filesystem;

struct MessageRecorder::State {
    mutable std::mutex mutex;
    std::vector<platform::ui::MessageBoxRequest> boxes;
};

MessageRecorder::MessageRecorder() : state_(new State)
{
    platform::ui::setMessageBoxHandler([s = state_](const platform::ui::MessageBoxRequest &r) {
        std::lock_guard lock(s->mutex);
        s->boxes.push_back(r);
    });
}

MessageRecorder::~MessageRecorder()
{
    platform::ui::setMessageBoxHandler(nullptr);
    delete state_;
}

std::vector<platform::ui::MessageBoxRequest> MessageRecorder::boxes() const
{
    std::lock_guard lock(state_->mutex);
    return state_->boxes;
}

EndProgramRecorder::EndProgramRecorder() : code_(new std::optional<int>)
{
    platform::ui::setEndProgramHandler([c = code_](int code) { *c = code; });
}

EndProgramRecorder::~EndProgramRecorder()
{
    platform::ui::setEndProgramHandler(nullptr);
    delete code_;
}

std::optional<int> EndProgramRecorder::exitCode() const { return *code_; }

namespace {
const char *const kHomeVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "KELM_REGISTRY_FILE", "Path"};
}

TempHome::TempHome()
{
    std::string pattern = (fs::temp_directory_path() / "kelm-home-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    for (const char *name : kHomeVariables) {
        const char *v = std::getenv(name);
        saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    ::setenv("HOME", path_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (path_ + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (path_ + "/.local/share").c_str(), 1);
    ::setenv("KELM_REGISTRY_FILE", registryFile().c_str(), 1);
    ::unsetenv("Path");
    fs::create_directories(path_ + "/Documents");
    std::ofstream(settingsFile(), std::ios::binary) << "[初次打开]\r\n是否=1\r\n";
}

std::string TempHome::settingsFile() const
{
    return path_ + "/Documents/" + platform::text::gbkToUtf8("Kelm助手_用户配置.ini");
}

TempHome::~TempHome()
{
    for (const auto &[name, value] : saved_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempHome::writeFile(const std::string &relative, const std::string &content) const
{
    const fs::path full = fs::path(path_) / relative;
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full.string();
}

bool renderToPng(const platform::ui::Control &control, const std::string &path)
{
    QWidget *w = control.widget();
    w->ensurePolished();
    QApplication::processEvents();
    fs::create_directories(fs::path(path).parent_path());
    return w->grab().save(QString::fromUtf8(path.c_str()), "PNG");
}

std::string screenshotFolder()
{
    if (const char *dir = std::getenv("KELM_SCREENSHOT_DIR"))
        return dir;
    return binDir() + "/../screenshots";
}

QWidget *findWidget(const platform::ui::Control &root, const std::string &name)
{
    const std::u16string units = platform::text::gbkToUtf16(name);
    const QString qname(reinterpret_cast<const QChar *>(units.data()), static_cast<qsizetype>(units.size()));
    if (root.widget()->objectName() == qname)
        return root.widget();
    return root.widget()->findChild<QWidget *>(qname);
}

bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void processEvents(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::string sourceDir() { return KELM_TEST_SOURCE_DIR; }
std::string fakeDeviceLibsDir() { return KELM_TEST_FAKE_DEVICELIBS_DIR; }
std::string binDir() { return KELM_TEST_BIN_DIR; }

} // namespace testsupport

#pragma once
// A desktop laid out in a folder for one test, as HELP › Help finds it: the PATH and the XDG data
// folders, with xdg-open as a stub that succeeds and, when asked, a viewer for .chm files.

#include <QByteArray>
#include <filesystem>

#include "tests/input/temp_file.h"

namespace kelmarin::test {

// An environment variable set for one test.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), was_set_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { was_set_ ? qputenv(name_, old_) : qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    bool was_set_;
    QByteArray old_;
};

class FakeDesktop {
  public:
    FakeDesktop() {
        for (const char* dir : {"bin", "home", "share/applications/vendor"})
            std::filesystem::create_directories(tmp_.Path() / dir);
        xdgOpen_ = tmp_.Write("bin/xdg-open", "#!/bin/sh\nexit 0\n");
        std::filesystem::permissions(xdgOpen_, std::filesystem::perms::owner_all);
        tmp_.Write("share/applications/editor.desktop", "[Desktop Entry]\nMimeType=text/plain;\n");
    }
    void AddViewer() {
        tmp_.Write("share/applications/vendor/viewer.desktop",
                   "[Desktop Entry]\nMimeType=application/x-other;application/vnd.ms-htmlhelp;\n");
    }
    void RemoveXdgOpen() { std::filesystem::remove(xdgOpen_); }

  private:
    TempDir tmp_;
    std::string xdgOpen_;
    const QByteArray root_ = QByteArray::fromStdString(tmp_.Path().string());
    ScopedEnv path_{"PATH", root_ + "/bin"};
    ScopedEnv home_{"XDG_DATA_HOME", root_ + "/home"};
    ScopedEnv dirs_{"XDG_DATA_DIRS", root_ + "/share"};
};

}  // namespace kelmarin::test

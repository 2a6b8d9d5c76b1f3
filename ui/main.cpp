// Kelmarin: where short words begin in nucleotide sequences, counted and drawn while a file is
// read.

#include <exception>
#include <memory>

#include "resources/resource_paths.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/exception_display.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
    kelmarin::TApplication app(argc, argv);
    app.setWindowIcon(kelmarin::MainIcon());
    // Lets a desktop match the window to its menu entry and icon.
    app.setDesktopFileName(QStringLiteral(KELMARIN_APP_ID));
    kelmarin::TForm1 form;
    // The about box comes second and stays hidden until Info; a picture that cannot be
    // decoded is shown as a failure, and the program goes on without the box.
    std::unique_ptr<kelmarin::TAboutBox> about;
    try {
        about = std::make_unique<kelmarin::TAboutBox>();
        form.SetAboutBox(about.get());
    } catch (...) {
        kelmarin::ShowException(std::current_exception());
    }
    return app.Run(&form);
}

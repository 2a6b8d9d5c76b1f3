#pragma once
// The application shell: Qt's application object with the program's title, the sink that
// takes every failure leaving an event handler of ours (caught where the handler runs, never
// unwound through Qt), processing of pending events for busy handlers, and the termination
// request. It does not create the program's windows: the entry point builds them and hands
// the main window to Run().

#include <QApplication>
#include <QString>
#include <exception>

#include "platform/handler_guard.h"

class QWidget;

namespace kelmarin {

// How the main window is first shown (the start-up show command).
enum TShowCommand : int { swShowNormal = 1, swShowMaximized = 3, swShowMinNoActive = 7 };

// The title for a program file: its name without folder, cut at the first ".", every
// character after the first in lower case.
QString TitleFromProgramPath(const QString& path);

// The running program's title (derived from its own file when no TApplication exists).
QString ApplicationTitle();

// Handles every event that is waiting, without waiting for new ones; a failure in a handler
// it dispatches is rethrown here, after Qt's dispatch has returned.
void ProcessPendingEvents();

// Asks the event loop to end; open modal dialogs close with result 2, and dialogs opened
// afterwards close at once with 2. The program ends when control is back in Run().
void RequestTermination();

// Where a failure that left an event handler goes: back to whoever waits on Qt's dispatch
// (pending events, a modal dialog), or else to the exception display.
void ReportFailure(std::exception_ptr failure);

// True once termination has been requested.
bool TerminationRequested();

class TApplication : public QApplication {
    Q_OBJECT
  public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The application object, or nullptr when the program runs under a plain QApplication.
    static TApplication* Instance();

    const QString& Title() const { return title_; }
    bool Terminated() const { return terminated_; }

    // Shows the main window as the show command says and runs the event loop until
    // termination is requested; closing the main window requests it. Returns the exit code 0.
    // Leaves the terminate flag clear, so that another loop can be run afterwards.
    int Run(QWidget* mainWindow, TShowCommand show = swShowNormal);

    void RequestTermination();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    HandlerFailureSink previousSink_;
    QString title_;
    QWidget* mainWindow_ = nullptr;
    bool terminated_ = false;
};

}  // namespace kelmarin

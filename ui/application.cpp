#include "ui/application.h"

#include <QEvent>
#include <QFileInfo>
#include <QWidget>
#include <exception>

#include "ui/exception_display.h"
#include "ui/failure_scope.h"

namespace kelmarin {

namespace {

// Only "A" to "Z" change, as everywhere else in the program.
QChar AsciiLower(QChar c) {
    return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + ('a' - 'A')) : c;
}

// Set by RequestTermination under a plain QApplication, where no TApplication keeps the flag.
bool plainTerminated = false;

}  // namespace

QString TitleFromProgramPath(const QString& path) {
    QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0) name.truncate(dot);
    for (qsizetype i = 1; i < name.size(); ++i) name[i] = AsciiLower(name[i]);
    return name;
}

QString ApplicationTitle() {
    if (TApplication* app = TApplication::Instance()) return app->Title();
    return TitleFromProgramPath(QCoreApplication::applicationFilePath());
}

void ProcessPendingEvents() {
    TFailureScope scope;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    scope.RethrowIfAny();
}

void RequestTermination() {
    if (TApplication* app = TApplication::Instance()) {
        app->RequestTermination();
    } else {
        plainTerminated = true;
        QCoreApplication::exit(0);
    }
}

bool TerminationRequested() {
    if (TApplication* app = TApplication::Instance()) return app->Terminated();
    return plainTerminated;
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv),
      previousSink_(SetHandlerFailureSink(&ReportFailure)),
      title_(TitleFromProgramPath(applicationFilePath())) {
    // The program ends on a termination request only, never because a window was hidden.
    setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() { SetHandlerFailureSink(previousSink_); }

TApplication* TApplication::Instance() { return qobject_cast<TApplication*>(instance()); }

int TApplication::Run(QWidget* mainWindow, TShowCommand show) {
    mainWindow_ = mainWindow;
    if (mainWindow_ != nullptr) {
        mainWindow_->installEventFilter(this);
        if (show == swShowMaximized)
            mainWindow_->showMaximized();
        else if (show == swShowMinNoActive) {
            mainWindow_->setAttribute(Qt::WA_ShowWithoutActivating);
            mainWindow_->showMinimized();
        } else
            mainWindow_->show();
    }
    // exec() forgets a request made before it started: make the loop meet it again.
    if (terminated_)
        QMetaObject::invokeMethod(
            this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    exec();
    if (mainWindow_ != nullptr) mainWindow_->removeEventFilter(this);
    mainWindow_ = nullptr;
    terminated_ = false;
    return 0;
}

void TApplication::RequestTermination() {
    terminated_ = true;
    // Ends every running loop, the nested ones of modal dialogs included, and makes any loop
    // started later return at once.
    exit(0);
}

void ReportFailure(std::exception_ptr failure) {
    // Whoever waits on Qt's dispatch gets the failure back; otherwise the user sees it here
    // and the loop goes on with the next event.
    if (!TFailureScope::TakeFailure(failure)) ShowException(failure);
}

bool TApplication::eventFilter(QObject* watched, QEvent* event) {
    // The main window has no close handler of its own: closing it ends the program.
    if (watched == mainWindow_ && event->type() == QEvent::Close) RequestTermination();
    return QApplication::eventFilter(watched, event);
}

}  // namespace kelmarin

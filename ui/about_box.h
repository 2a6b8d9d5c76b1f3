#pragma once
// The about box: a small fixed-size window that is never modal. It is created hidden and shown
// by the main window's Info command; the first time it is centred on the screen, afterwards it
// comes back wherever it was left. OK, Enter, Space on OK and the close box only hide it, and
// Esc does nothing. Its picture is decoded once, when the box is built. It does not decide when
// it is created or shown: that is the application's and the main window's business.

#include <QByteArray>
#include <QDialog>
#include <memory>

class QKeyEvent;

namespace Ui {
class AboutBox;
}

namespace kelmarin {

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    // With the program's own picture. Throws EJpegError when the picture cannot be decoded.
    // Leave the parent empty: a box owned by the main window would stay in front of it.
    explicit TAboutBox(QWidget* parent = nullptr);
    // With the given JPEG data as its picture; throws EJpegError as above.
    explicit TAboutBox(const QByteArray& picture, QWidget* parent = nullptr);
    ~TAboutBox() override;

    // The Info command: shows the box and makes it the active window with the focus on OK.
    // When the box is already shown nothing happens: it is neither moved nor raised.
    void Show();

    // Centres the box on its screen when it is shown for the first time, whoever shows it.
    void setVisible(bool visible) override;

    // The OK button's handler: hides the box, which stays ready for the next Show().
    void OKButtonClick();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowPicture(const QByteArray& picture);
    void CentreOnScreen();

    std::unique_ptr<Ui::AboutBox> ui_;
    bool placed_ = false;
};

}  // namespace kelmarin

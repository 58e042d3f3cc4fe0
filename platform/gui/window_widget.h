// The main window's widget: a title bar with minimize and maximize boxes, a sizing frame, a
// menu bar with one empty item, and the client area below it that holds the gadgets.
//
// Its outer frame is kept where the program asked for it: Qt positions a window by its frame
// but sizes it by its client area, and the frame's margins are known only once the window
// manager has framed the window, so the size is corrected once when they become known. It
// records its outer rectangle by the rules of WindowX and friends (gadgets.h) and raises
// WindowClose, WindowMove, WindowSize and WindowActivate. Main thread only.
#pragma once

#include <QMenuBar>
#include <QRect>
#include <QWidget>

struct Gadget;

class WindowWidget : public QWidget {
  public:
    // A window titled title whose outer frame is to be at outer. Not yet shown.
    WindowWidget(const QString& title, const QRect& outer);

    // Shows the window and places its frame at the rectangle given at construction. Returns
    // once the frame is there, or after a second at most.
    void ShowAtFrame();

    // The gadget that stands for this window, the source of its events.
    void SetGadget(Gadget* gadget) { gadget_ = gadget; }

    QWidget* Client() const { return client_; }

    // The recorded outer rectangle. While maximized it is the maximized frame as the system
    // reports it now: the window manager may tell of the maximized frame's new border only
    // after the resize, so a rectangle taken at the resize can hold the old border.
    QRect Recorded() const;

    // Maximizes the window and returns once the window system has given it the maximized
    // size, or after a second at most.
    void Maximize();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QRect Frame() const;
    void FitFrame();
    // Records the frame and places the client area and the gadgets, unless minimized.
    void Resized();

    Gadget* gadget_ = nullptr;
    QMenuBar* menuBar_;
    QWidget* client_;
    int menuBarHeight_;
    QRect wanted_;              // The outer frame asked for at creation.
    QRect recorded_;            // See Recorded().
    bool framePending_ = true;  // The frame's margins are not yet known.
};

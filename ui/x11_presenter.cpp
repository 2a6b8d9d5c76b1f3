#include "ui/x11_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kelmarin {

namespace {

xcb_connection_t* Connection() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// A QImage's RGB32 pixel is a little-endian 0xffRRGGBB: the display must read 32-bit pixels
// the same way, with red, green and blue where a 24-bit true-colour visual has them.
bool SameLayout(const xcb_setup_t& setup) {
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || setup.image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto f = xcb_setup_pixmap_formats_iterator(&setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == 24) return f.data->bits_per_pixel == 32;
    return false;
}

bool PlainRgbVisual(const xcb_setup_t& setup, xcb_visualid_t visual) {
    for (auto screen = xcb_setup_roots_iterator(&setup); screen.rem; xcb_screen_next(&screen))
        for (auto d = xcb_screen_allowed_depths_iterator(screen.data); d.rem; xcb_depth_next(&d))
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual)
                    return d.data->depth == 24 && v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                           v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
                           v.data->blue_mask == 0xff;
    return false;
}

// A widget of the same window over part of this one, or one inside it: a repaint draws them
// on top, a put would not.
bool Covered(const QWidget& widget) {
    for (const QObject* child : widget.children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (w && w->isVisible() && !w->isWindow()) return true;
    }
    const QWidget& window = *widget.window();
    const QRect place(widget.mapTo(&window, QPoint()), widget.size());
    for (const QWidget* w = &widget; w != &window; w = w->parentWidget()) {
        const QObjectList& siblings = w->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
            const auto* s = qobject_cast<const QWidget*>(siblings[i]);
            if (s && s->isVisible() && !s->isWindow() &&
                QRect(s->mapTo(&window, QPoint()), s->size()).intersects(place))
                return true;
        }
    }
    return false;
}

template <typename T>
bool Contains(const std::vector<QPointer<T>>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

X11Presenter::X11Presenter() = default;

X11Presenter::~X11Presenter() {
    for (QPointer<QWidget>& w : held_)
        if (w) w->setUpdatesEnabled(true);
    for (Segment& s : segments_) Free(s);
    if (xcb_connection_t* c = Connection())
        for (const Target& t : targets_)
            if (t.gc) xcb_free_gc(c, t.gc);
}

bool X11Presenter::Available() {
    if (available_ == State::Unknown) {
        xcb_connection_t* c = Connection();
        const xcb_query_extension_reply_t* shm =
            c ? xcb_get_extension_data(c, &xcb_shm_id) : nullptr;
        available_ = shm && shm->present && SameLayout(*xcb_get_setup(c)) ? State::Yes : State::No;
    }
    return available_ == State::Yes;
}

X11Presenter::Target X11Presenter::TargetFor(unsigned int window) {
    for (const Target& t : targets_)
        if (t.window == window) return t;
    // Asked once per window: two round trips to the display.
    xcb_connection_t* c = Connection();
    Target target{window};
    auto* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (attributes && geometry && geometry->depth == 24 &&
        PlainRgbVisual(*xcb_get_setup(c), attributes->visual)) {
        target.gc = xcb_generate_id(c);
        const uint32_t no_exposures = 0;
        xcb_create_gc(c, target.gc, window, XCB_GC_GRAPHICS_EXPOSURES, &no_exposures);
        target.usable = true;
    }
    std::free(attributes);
    std::free(geometry);
    targets_.push_back(target);
    return target;
}

bool X11Presenter::CanPresent(const QWidget& widget) {
    if (!Available()) return false;
    const QWidget& window = *widget.window();
    const QWindow* handle = window.windowHandle();
    if (!widget.isVisible() || !handle || !handle->isExposed() ||
        widget.nativeParentWidget() != &window || widget.devicePixelRatio() != 1 || Covered(widget))
        return false;
    return TargetFor(unsigned(window.winId())).usable;
}

bool X11Presenter::Reserve(Segment& segment, std::size_t size) {
    if (segment.size >= size) return true;
    Free(segment);
    xcb_connection_t* c = Connection();
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id == -1) return false;
    void* bits = shmat(id, nullptr, 0);
    // Removed once both sides have let go of it, however the program ends.
    shmctl(id, IPC_RMID, nullptr);
    if (bits == reinterpret_cast<void*>(-1)) return false;
    const xcb_shm_seg_t name = xcb_generate_id(c);
    // A display on another machine cannot attach our memory.
    if (xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_checked(c, name, id, 0))) {
        std::free(error);
        shmdt(bits);
        return false;
    }
    segment = {name, static_cast<unsigned char*>(bits), size};
    return true;
}

void X11Presenter::WaitForDisplay(Segment& segment) {
    if (!segment.fenced) return;
    // Answered long ago, as a rule: the other segment's put went in between. Waiting for an
    // answer that came costs a round of thread wake-ups all the same.
    xcb_connection_t* c = Connection();
    void* reply = nullptr;
    if (!xcb_poll_for_reply(c, segment.fence, &reply, nullptr))
        reply = xcb_get_input_focus_reply(c, {segment.fence}, nullptr);
    std::free(reply);
    segment.fenced = false;
}

void X11Presenter::Free(Segment& segment) {
    if (!segment.bits) return;
    if (xcb_connection_t* c = Connection()) {
        WaitForDisplay(segment);
        xcb_shm_detach(c, segment.id);
        xcb_flush(c);
    }
    shmdt(segment.bits);
    segment = {};
}

bool X11Presenter::Present(QWidget& widget, const QImage& picture, const QRegion& area) {
    if (picture.format() != QImage::Format_RGB32 || picture.size() != widget.size() ||
        !CanPresent(widget))
        return false;
    return Put(widget, picture, area);
}

bool X11Presenter::Put(QWidget& widget, const QImage& picture, const QRegion& area) {
    const std::size_t stride = std::size_t(picture.width()) * 4;
    Segment& segment = segments_[turn_];
    if (!Reserve(segment, stride * std::size_t(picture.height()))) {
        available_ = State::No;
        return false;
    }
    turn_ = 1 - turn_;
    WaitForDisplay(segment);
    xcb_connection_t* c = Connection();
    const Target target = TargetFor(unsigned(widget.window()->winId()));
    const QPoint at = widget.mapTo(widget.window(), QPoint());
    for (const QRect& r : area.intersected(widget.visibleRegion())) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(segment.bits + std::size_t(y) * stride + std::size_t(r.left()) * 4,
                        picture.constScanLine(y) + std::size_t(r.left()) * 4,
                        std::size_t(r.width()) * 4);
        xcb_shm_put_image(c, target.window, target.gc, uint16_t(picture.width()),
                          uint16_t(picture.height()), int16_t(r.x()), int16_t(r.y()),
                          uint16_t(r.width()), uint16_t(r.height()), int16_t(r.x() + at.x()),
                          int16_t(r.y() + at.y()), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment.id, 0);
    }
    segment.fence = xcb_get_input_focus(c).sequence;
    segment.fenced = true;
    xcb_flush(c);
    Watch(widget);
    ++presented_count_;
    return true;
}

bool X11Presenter::PresentLineEdit(QLineEdit& edit) {
    if (!Holds(edit) || !CanPresent(edit)) return false;
    // The style's description of the box, as the line edit makes it for its own painting.
    QStyleOptionFrame frame;
    frame.initFrom(&edit);
    frame.rect = edit.contentsRect();
    frame.lineWidth = edit.hasFrame()
                          ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &edit)
                          : 0;
    frame.state |= QStyle::State_Sunken;
    if (edit.isReadOnly()) frame.state |= QStyle::State_ReadOnly;
    QWidget& window = *edit.window();
    const QRect place(edit.mapTo(&window, QPoint()), edit.size());
    const LineEditLook look{&edit,
                            place,
                            int(frame.state),
                            int(frame.direction),
                            frame.lineWidth,
                            frame.palette.cacheKey(),
                            window.palette().cacheKey(),
                            edit.style()};
    // The text area is painted opaquely and the text clipped to it: outside it, the picture
    // stays the one the same look gave.
    QRect area = edit.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &edit);
    const QScopedValueRollback<bool> rendering(rendering_, true);
    if (look != shown_look_) {  // its place holds its size
        if (shown_.size() != edit.size()) shown_ = QImage(edit.size(), QImage::Format_RGB32);
        // What lies under it first (the window's render passes over a widget whose updates are
        // held), then the box.
        window.render(&shown_, QPoint(), QRegion(place),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
        area = shown_.rect();
        shown_look_ = look;
    }
    edit.render(&shown_, area.topLeft(), QRegion(area), QWidget::DrawChildren);
    if (Put(edit, shown_, area)) return true;
    shown_look_ = {};
    return false;
}

bool X11Presenter::Hold(QWidget& widget) {
    if (Holds(widget) || !widget.updatesEnabled() || !CanPresent(widget)) return false;
    widget.setUpdatesEnabled(false);
    held_.emplace_back(&widget);
    // A repaint of what lies under it would pass over a held widget and leave a hole.
    for (QWidget* w = widget.parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        w->installEventFilter(this);
    return true;
}

bool X11Presenter::Holds(const QWidget& widget) const { return Contains(held_, &widget); }

void X11Presenter::Release(QWidget& widget) {
    const auto held = std::find(held_.begin(), held_.end(), &widget);
    if (held == held_.end()) return;
    held_.erase(held);
    widget.setUpdatesEnabled(true);
}

void X11Presenter::Watch(QWidget& widget) {
    if (!Contains(presented_, &widget)) presented_.emplace_back(&widget);
    QWindow* window = widget.window()->windowHandle();
    if (Contains(windows_, window)) return;
    windows_.emplace_back(window);
    window->installEventFilter(this);
}

bool X11Presenter::eventFilter(QObject* watched, QEvent* event) {
    const auto* painted = qobject_cast<const QWidget*>(watched);
    if (painted && event->type() == QEvent::Paint && !rendering_) {
        // Released before the painted widget's children are drawn: it is drawn with them.
        const QRegion& region = static_cast<const QPaintEvent*>(event)->region();
        for (const QPointer<QWidget>& w : std::vector(held_))
            if (w && painted->isAncestorOf(w) &&
                region.intersects(QRect(w->mapTo(painted, QPoint()), w->size())))
                Release(*w);
        return false;
    }
    if (event->type() != QEvent::Expose) return false;
    // Before Qt answers the expose from the backing store, which has not seen the puts.
    const auto of_window = [watched](const QPointer<QWidget>& w) {
        return !w || w->window()->windowHandle() == watched;
    };
    for (const QPointer<QWidget>& w : held_)
        if (w && of_window(w)) w->setUpdatesEnabled(true);
    std::erase_if(held_, of_window);
    for (const QPointer<QWidget>& w : presented_)
        if (w && of_window(w)) w->update();
    std::erase_if(presented_, of_window);
    return false;
}

}  // namespace kelmarin

#include "platform/color.h"

#include <QGuiApplication>
#include <QPalette>

namespace kelmarin {

namespace {

// Where no application palette exists yet (tests without an application), the classic
// desktop values keep drawings deterministic.
TColor ClassicSystemColor(TColor c) {
    switch (c) {
        case clWindowText:
        case clBtnText:
            return clBlack;
        case clWindow:
        case clBtnHighlight:
            return clWhite;
        case clBtnShadow:
            return clGray;
        case clBtnFace:
        default:
            return clSilver;
    }
}

}  // namespace

QColor ToQColor(TColor c) {
    if (c & kSystemColorFlag) {
        if (!qGuiApp) {
            c = ClassicSystemColor(c);
        } else {
            const QPalette pal = QGuiApplication::palette();
            switch (c) {
                case clWindowText:
                    return pal.color(QPalette::WindowText);
                case clBtnText:
                    return pal.color(QPalette::ButtonText);
                case clWindow:
                    return pal.color(QPalette::Base);
                case clBtnShadow:
                    return pal.color(QPalette::Dark);
                case clBtnHighlight:
                    return pal.color(QPalette::Light);
                case clBtnFace:
                    return pal.color(QPalette::Button);
                default:
                    c = ClassicSystemColor(c);
            }
        }
    }
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace kelmarin

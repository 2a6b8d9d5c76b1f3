#pragma once
// A font as the chart describes it: face name, size in points (or a height in pixels), colour
// and style. It turns itself into a QFont for a given resolution; faces are substituted as
// font.h does, so "Arial" measures the same everywhere. Each real change is reported.

#include <QFont>
#include <QString>
#include <functional>

#include "platform/assign_if_changed.h"
#include "platform/color.h"

namespace kelmarin {

class TCanvasFont {
  public:
    using ChangeHandler = std::function<void()>;

    TCanvasFont() = default;
    TCanvasFont(const QString& name, int size, TColor color = clBlack)
        : name_(name), size_(size), color_(color) {}
    TCanvasFont(const TCanvasFont& other)
        : name_(other.name_),
          size_(other.size_),
          color_(other.color_),
          bold_(other.bold_),
          italic_(other.italic_) {}
    TCanvasFont& operator=(const TCanvasFont& other);

    const QString& Name() const { return name_; }
    void SetName(const QString& n) { Set(name_, n); }
    // Points when positive; a negative value is a character height in pixels.
    int Size() const { return size_; }
    void SetSize(int s) { Set(size_, s); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { Set(color_, c); }
    bool Bold() const { return bold_; }
    void SetBold(bool on) { Set(bold_, on); }
    bool Italic() const { return italic_; }
    void SetItalic(bool on) { Set(italic_, on); }

    // Pixel height at ppi dots per inch: points convert as the platform does, rounding halves
    // away from zero.
    int PixelHeight(int ppi) const;
    // Unantialiased, so text pixels do not depend on the rasteriser's smoothing.
    QFont ToQFont(int ppi) const;

    void SetOnChange(ChangeHandler h) { on_change_ = std::move(h); }
    bool operator==(const TCanvasFont& o) const { return color_ == o.color_ && SameFace(o); }
    // The same glyphs, whatever their colour.
    bool SameFace(const TCanvasFont& o) const {
        return size_ == o.size_ && bold_ == o.bold_ && italic_ == o.italic_ && name_ == o.name_;
    }

  private:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] {
            if (on_change_) on_change_();
        });
    }

    QString name_ = QStringLiteral("Arial");
    int size_ = 8;
    TColor color_ = clBlack;
    bool bold_ = false;
    bool italic_ = false;
    ChangeHandler on_change_;
};

}  // namespace kelmarin

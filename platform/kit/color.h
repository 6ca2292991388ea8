// Color: a colour as four Display P3 components (red, green, blue, alpha, each 0 to 1), the way
// the screens define their colours. The few system colours the toolkit itself uses are defined in
// sRGB and kept converted to P3; srgb() gives the components a display without wide gamut shows.
#pragma once

namespace allot::kit {

class Color {
 public:
  struct Components {
    double red, green, blue, alpha;
  };

  // Display P3 components.
  Color(double red, double green, double blue, double alpha)
      : red_(red), green_(green), blue_(blue), alpha_(alpha) {}
  static Color fromSrgb(double red, double green, double blue, double alpha);

  static Color systemBlueColor();  // the system's blue, sRGB (0, 122, 255)
  static Color systemRedColor();   // the look of destructive row actions, sRGB (255, 59, 48)
  static Color systemGrayColor();  // the look of normal row actions, sRGB (142, 142, 147)

  double red() const { return red_; }
  double green() const { return green_; }
  double blue() const { return blue_; }
  double alpha() const { return alpha_; }

  // The same colour in sRGB, each component clamped to 0..1 (P3 reaches beyond sRGB).
  Components srgb() const;

  friend bool operator==(const Color&, const Color&) = default;

 private:
  double red_, green_, blue_, alpha_;
};

}  // namespace allot::kit

// Colour separation: the CMYK amounts an ink model needs to print a CIELAB
// colour, as stored in the Lab-to-CMYK table of an output profile.
#pragma once

#include "tools/payloadgen/ink_model.h"

namespace payloadgen {

// How colours are fitted into what the medium can print.
enum class Rendering {
  // The lightness range 0..100 is compressed onto the printable range
  // (darkestL()..100) first, so shadows keep their detail.
  kPerceptual,
  // Colours are kept as they are where they can be printed.
  kColorimetric,
};

class Separator {
 public:
  Separator(const InkModel& model, Rendering rendering);

  // The CMYK amounts for a media-relative CIELAB colour. After the lightness
  // mapping of the rendering, colours outside the printable range are brought
  // to the nearest printable colour. Black replaces part of the chromatic
  // inks in dark, neutral colours. Every amount lies in 0..1 and their sum
  // never exceeds the model's total ink limit.
  Cmyk separate(const LabColour& target) const;

  // L* of the darkest colour the model prints within its ink limit.
  double darkestL() const { return darkestL_; }

  // The lightness a target lightness (clamped to 0..100) is mapped to before
  // separation.
  double mappedLightness(double L) const;

 private:
  // What a separation aims at: a colour, and an amount of black weighted
  // against the colour error.
  struct Goal {
    LabColour colour;
    double black = 0.0;
    double blackWeight = 0.0;
  };

  // The amounts clamped to 0..1, with the chromatic inks reduced to keep the
  // total within the ink limit.
  Cmyk project(Cmyk cmyk) const;
  // Colour error (L*, a*, b*) and weighted black error of |cmyk|.
  void residuals(const Cmyk& cmyk, const Goal& goal, double out[4]) const;
  // Damped least-squares iterations from |start| towards |goal|.
  Cmyk refine(Cmyk start, const Goal& goal) const;

  InkModel model_;
  Rendering rendering_;
  double darkestL_ = 0.0;
};

}  // namespace payloadgen

#pragma once
// The picture adjustment chain of picture objects: grey tones, sepia, colour inversion,
// hue, saturation, brightness and contrast, sharpness, box blur, exposure, then a turn
// by whole degrees. Every filter is our own code on QImage; a filter at its neutral
// setting answers its input unchanged.
//
// Adjusted pictures are cached per source picture and settings (bounded, least recently
// used first out), so repainting does not recompute them. One picture is computed once:
// threads asking for a picture another thread is computing wait for that result.
// Everything here is safe on any thread.

#include "model/CRDImage.h"
#include "model/Picture.h"

#include <cstddef>

class ImageProcesser {
 public:
  ImageProcesser() = delete;

  // The whole chain, in this order: grayscale, sepia, invrtclr (each when set), hue,
  // sat/brt/con, sharpness r, box blur b, exposure g, rotation. tranprency is not used
  // here (the picture object applies it when drawing). Answers a null picture when the
  // chain fails as a whole (the reason is logged); a failing filter is logged and left
  // out. Results come from the cache when the same picture and settings were adjusted
  // before.
  static Picture Get_Processed_Image(const Picture& picture, bool grayscale, bool sepia,
                                     bool invrtclr, float hue, float sat, float brt, float con,
                                     int rotate, float r, float g, float b, float tranprency);
  static Picture Get_Processed_Image(const Picture& picture, const Picture_Adjustments& settings);

  // The size cap of picture objects: wider than 724 or higher than 468 points, each side
  // is capped on its own (the pixels stay).
  static Picture Set_Dimaension(const Picture& picture);

  // Grey tones: every pixel takes its luminance (the monochrome of the standard middle
  // grey, whose overlay with the luminance is the luminance itself).
  static Picture GrayScale(const Picture& picture);
  static Picture Sepia(const Picture& picture);
  static Picture Invert_Color(const Picture& picture);
  // Turns every hue by the angle in radians around the grey axis.
  static Picture adjust_Hue(const Picture& picture, float hue);
  // Saturation (0 grey, 1 unchanged), brightness (added), contrast (scaled around the
  // middle grey, 1 unchanged).
  static Picture adjust_Color_Control(const Picture& picture, float sat, float brt, float con);
  // Sharpens the luminance by the amount (0 unchanged); the colours keep their balance.
  static Picture adjust_Sharpness(const Picture& picture, float value);
  // Box blur with the radius in pixels (below half a pixel unchanged); the picture keeps
  // its size, its edges extend outwards.
  static Picture adjust_boxBlur(const Picture& picture, float value);
  // Exposure in stops: the light is multiplied by 2^value (0 unchanged).
  static Picture adjust_EV(const Picture& picture, float value);
  // Every colour component raised to the power (1 unchanged).
  static Picture adjust_Gamma(const Picture& picture, float value);
  // Turns the picture counter-clockwise by the angle in degrees on a canvas that holds
  // the whole turned picture; multiples of 360 answer the picture itself. A null picture
  // when there is no memory for the canvas.
  static Picture imageRotated(const Picture& picture, float degrees);

  // Makes picture objects draw through this chain (done by the renderer and the card
  // base painting; harmless to repeat).
  static void Install();

  // The cache: emptied, and its entry count (for tests and benchmarks).
  static void Clear_Cache();
  static std::size_t Cached_Pictures();
  // How often the chain has run in this process (for tests and benchmarks).
  static std::size_t Chain_Runs();
};

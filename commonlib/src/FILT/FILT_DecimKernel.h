#pragma once
// A separable resampling kernel, evaluated at a distance measured in output pixels.
class FILT_DecimKernelBase {
public:
  virtual ~FILT_DecimKernelBase() = default;

  virtual float CalculateWeight(float x) const = 0;
  virtual char const* Name() const = 0;
  // Support in output pixels.
  virtual short GetWidth() const = 0;
  // The most output pixels one input pixel contributes to.
  virtual short GetMaxPixAffected() const = 0;
};

// Cubic convolution with a = -0.75.
class FILT_BicubicKernel : public FILT_DecimKernelBase {
public:
  float CalculateWeight(float x) const override;
  char const* Name() const override { return "Bicubic"; }
  short GetWidth() const override { return 4; }
  short GetMaxPixAffected() const override { return 5; }
};
